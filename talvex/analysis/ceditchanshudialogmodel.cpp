#include "talvex/analysis/ceditchanshudialogmodel.h"

#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/survey/undosnapshot.h"

#include <cmath>

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

bool positiveFinite(float v)
{
    return v > 0.0f && std::isfinite(v);
}

bool notNegativeFinite(float v)
{
    return v >= 0.0f && std::isfinite(v);
}

QString positiveMessage(const QString &label)
{
    return QStringLiteral("%1请输入一个大于 0 的数。").arg(label);
}

QString notNegativeMessage(const QString &label)
{
    return QStringLiteral("%1请输入一个不小于 0 的数。").arg(label);
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

std::optional<CEditChanShuDialogModel::Refusal> CEditChanShuDialogModel::check(const HoleParameters &values,
                                                                               bool newSurvey) const
{
    const HoleParameters &stored = m_survey.header;
    // A value the survey already holds is no edit (NaN never equals).
    const auto edited = [newSurvey](float value, float before) { return newSurvey || value != before; };
    const auto refuse = [](std::optional<HoleNumber> field, const QString &message) {
        return std::optional<Refusal>(Refusal{field, message});
    };
    // A hole and a spacing of 0 or less would make a survey without points
    // (or divide by zero); a negative distance has no meaning.
    if (edited(values.holeDepth, stored.holeDepth) && !positiveFinite(values.holeDepth))
        return refuse(HoleNumber::HoleDepth, positiveMessage(QStringLiteral("测孔深度: ")));
    if (edited(values.pointSpacing, stored.pointSpacing) && !positiveFinite(values.pointSpacing))
        return refuse(HoleNumber::PointSpacing, positiveMessage(QStringLiteral("测点间隔: ")));
    if (edited(values.plankLength, stored.plankLength) && !notNegativeFinite(values.plankLength))
        return refuse(HoleNumber::PlankLength, notNegativeMessage(QStringLiteral("激振板长: ")));
    if (edited(values.sourceDistance, stored.sourceDistance) && !notNegativeFinite(values.sourceDistance))
        return refuse(HoleNumber::SourceDistance, notNegativeMessage(QStringLiteral("激振距离: ")));
    if (!inRange(values.overburden, 0.0f, kMaxOverburden))
        return refuse(HoleNumber::Overburden, rangeMessage(QStringLiteral("覆盖层厚度: "), 0.0f, kMaxOverburden));
    if (!inRange(values.computationDepth, 0.0f, kMaxOverburden))
        return refuse(HoleNumber::ComputationDepth,
                      rangeMessage(QStringLiteral("覆盖层计算厚度: "), 0.0f, kMaxOverburden));
    if (newSurvey && !(values.holeDepth >= values.pointSpacing))
        return refuse(HoleNumber::HoleDepth,
                      QStringLiteral("测孔深度 %1 米小于测点间隔 %2 米，新测试将没有测点。")
                          .arg(double(values.holeDepth))
                          .arg(double(values.pointSpacing)));
    // The dialog's list and check box cannot hold anything else; a caller
    // without them (talvex-cli) is told why.
    if (values.personnelLabel < 0 || values.personnelLabel > 2)
        return refuse(std::nullopt, QStringLiteral("测试单位选项只能是 0、1 或 2。"));
    if (values.microtremorTest < 0 || values.microtremorTest > 1)
        return refuse(std::nullopt, QStringLiteral("地脉动测试只能是 0 或 1。"));
    return std::nullopt;
}

bool CEditChanShuDialogModel::validate(const HoleParameters &values, bool newSurvey)
{
    const std::optional<Refusal> refusal = check(values, newSurvey);
    m_refused = refusal ? refusal->field : std::nullopt;
    if (refusal)
        m_messenger.show(refusal->message, common::MessageKind::Warning);
    return !refusal;
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
