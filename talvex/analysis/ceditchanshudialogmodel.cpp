#include "talvex/analysis/ceditchanshudialogmodel.h"

#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/survey/undosnapshot.h"

namespace talvex {

namespace {

bool inRange(float v, float lo, float hi)
{
    return v >= lo && v <= hi; // false for NaN
}

QString rangeMessage(const QString &label, float lo, float hi)
{
    return QStringLiteral("%1请输入一个介于 %2 和 %3 之间的数。").arg(label).arg(double(lo)).arg(double(hi));
}

// Calls `use(field, label)` with the fixed field of `which`.
template <typename Values, typename Use>
auto withField(Values &values, HoleText which, Use &&use)
{
    switch (which) {
    case HoleText::ProjectName: return use(values.projectName, "工程名");
    case HoleText::HoleNumber: return use(values.holeNumber, "孔编号");
    case HoleText::Personnel: return use(values.personnel, "测试人");
    case HoleText::TestDate: break;
    }
    return use(values.testDate, "测试日期");
}

} // namespace

CEditChanShuDialogModel::CEditChanShuDialogModel(SurveyData &survey, UndoSnapshot &undo, common::Messenger &messenger)
    : m_survey(survey), m_undo(undo), m_messenger(messenger)
{
}

QString CEditChanShuDialogModel::text(const HoleParameters &values, HoleText field)
{
    return withField(values, field, [](const auto &f, const char *) { return fieldText(f); });
}

bool CEditChanShuDialogModel::setText(HoleParameters &values, HoleText field, const QString &typed)
{
    if (typed == text(values, field))
        return true;
    return withField(values, field, [&](auto &f, const char *label) {
        const auto bytes = encodeFieldText(typed, f.size(), QString::fromUtf8(label), m_messenger);
        if (!bytes)
            return false;
        common::storeFixedText(f, *bytes);
        return true;
    });
}

bool CEditChanShuDialogModel::validate(const HoleParameters &values)
{
    if (!inRange(values.overburden, 0.0f, kMaxOverburden)) {
        m_messenger.show(rangeMessage(QStringLiteral("覆盖层厚度: "), 0.0f, kMaxOverburden),
                         common::MessageKind::Warning);
        return false;
    }
    if (!inRange(values.computationDepth, 0.0f, kMaxOverburden)) {
        m_messenger.show(rangeMessage(QStringLiteral("覆盖层计算厚度: "), 0.0f, kMaxOverburden),
                         common::MessageKind::Warning);
        return false;
    }
    // The dialog's list and check box cannot hold anything else; a caller
    // without them (talvex-cli) is told why.
    if (values.personnelLabel < 0 || values.personnelLabel > 2) {
        m_messenger.show(QStringLiteral("测试单位选项只能是 0、1 或 2。"), common::MessageKind::Warning);
        return false;
    }
    if (values.microtremorTest < 0 || values.microtremorTest > 1) {
        m_messenger.show(QStringLiteral("地脉动测试只能是 0 或 1。"), common::MessageKind::Warning);
        return false;
    }
    return true;
}

bool CEditChanShuDialogModel::apply(const HoleParameters &values)
{
    if (!validate(values))
        return false;
    m_undo.TakeUndoSnapshot(m_survey);
    static_cast<HoleParameters &>(m_survey.header) = values;
    m_survey.markModified(SurveyParts::Header);
    return true;
}

} // namespace talvex
