#include "talvex/analysis/ceditchanshudialogmodel.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/processing/undosnapshot.h"
#include "talvex/survey/surveydata.h"

#include <optional>
#include <string>

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

} // namespace

CEditChanShuDialogModel::CEditChanShuDialogModel(SurveyData &survey, UndoSnapshot &undo,
                                                 common::Messenger &messenger)
    : m_survey(survey), m_undo(undo), m_messenger(messenger)
{
}

HoleDialogValues CEditChanShuDialogModel::load(const HoleParameters &p)
{
    HoleDialogValues v;
    v.projectName = common::decodeGbk(p.projectName);
    v.holeNumber = common::decodeGbk(p.holeNumber);
    v.personnel = common::decodeGbk(p.personnel);
    v.testDate = common::decodeGbk(p.testDate);
    v.personnelLabel = p.personnelLabel;
    v.holeDepth = p.holeDepth;
    v.pointSpacing = p.pointSpacing;
    v.plankLength = p.plankLength;
    v.sourceDistance = p.sourceDistance;
    v.overburden = p.overburden;
    v.computationDepth = p.computationDepth;
    v.method = p.method;
    v.microtremorTest = p.microtremorTest;
    return v;
}

std::optional<HoleParameters> CEditChanShuDialogModel::newSurveyParameters(const HoleDialogValues &values)
{
    if (!validate(values))
        return std::nullopt;
    const SurveyHeader fields;
    HoleParameters p;
    p.testDate = cutGbk(common::encodeGbk(values.testDate).value_or(QByteArray()).toStdString(), fields.testDate.size());
    p.projectName =
        cutGbk(common::encodeGbk(values.projectName).value_or(QByteArray()).toStdString(), fields.projectName.size());
    p.holeNumber =
        cutGbk(common::encodeGbk(values.holeNumber).value_or(QByteArray()).toStdString(), fields.holeNumber.size());
    p.personnel =
        cutGbk(common::encodeGbk(values.personnel).value_or(QByteArray()).toStdString(), fields.personnel.size());
    p.holeDepth = values.holeDepth;
    p.pointSpacing = values.pointSpacing;
    p.sourceDistance = values.sourceDistance;
    p.plankLength = values.plankLength;
    p.method = values.method;
    p.overburden = values.overburden;
    p.computationDepth = values.computationDepth;
    p.microtremorTest = values.microtremorTest;
    p.personnelLabel = values.personnelLabel;
    return p;
}

HoleDialogValues CEditChanShuDialogModel::load(const SurveyData &survey)
{
    const SurveyHeader &h = survey.header;
    HoleDialogValues v;
    v.projectName = fieldText(h.projectName);
    v.holeNumber = fieldText(h.holeNumber);
    v.personnel = fieldText(h.personnel);
    v.testDate = fieldText(h.testDate);
    v.personnelLabel = survey.personnelLabel;
    v.holeDepth = h.holeDepth;
    v.pointSpacing = h.pointSpacing;
    v.plankLength = h.plankLength;
    v.sourceDistance = h.sourceDistance;
    v.overburden = h.overburden;
    v.computationDepth = h.computationDepth;
    v.method = h.method;
    v.microtremorTest = survey.microtremorTest;
    return v;
}

bool CEditChanShuDialogModel::validate(const HoleDialogValues &values)
{
    if (values.projectName.size() > kProjectNameMaxChars) {
        m_messenger.show(QStringLiteral("工程名最多%1个字符，请重新输入！").arg(kProjectNameMaxChars),
                         common::MessageKind::Warning);
        return false;
    }
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
    if (values.personnelLabel < 0 || values.personnelLabel > 2 || values.method > 1 || values.microtremorTest < 0 ||
        values.microtremorTest > 1)
        return false; // list selections and a check box cannot hold anything else
    const std::pair<const QString *, const char *> texts[] = {{&values.projectName, "工程名"},
                                                              {&values.holeNumber, "孔编号"},
                                                              {&values.personnel, "测试人"},
                                                              {&values.testDate, "测试日期"}};
    for (const auto &[text, label] : texts) {
        if (!encodeFieldText(*text, 1, QString::fromUtf8(label), m_messenger))
            return false;
    }
    return true;
}

bool CEditChanShuDialogModel::apply(const HoleDialogValues &values)
{
    if (!validate(values))
        return false;
    m_undo.TakeUndoSnapshot(m_survey);
    SurveyHeader &h = m_survey.header;
    const auto store = [this](auto &field, const QString &text) {
        const auto bytes = encodeFieldText(text, field.size(), QString(), m_messenger); // checked by validate
        common::storeFixedText(field, bytes.value_or(std::string()));
    };
    store(h.testDate, values.testDate);
    store(h.projectName, values.projectName);
    store(h.holeNumber, values.holeNumber);
    store(h.personnel, values.personnel);
    h.plankLength = values.plankLength;
    h.pointSpacing = values.pointSpacing;
    h.method = values.method;
    h.sourceDistance = values.sourceDistance;
    h.holeDepth = values.holeDepth;
    m_survey.personnelLabel = values.personnelLabel;
    m_survey.microtremorTest = values.microtremorTest;
    h.overburden = values.overburden;
    h.computationDepth = values.computationDepth;
    m_survey.markModified();
    return true;
}

} // namespace talvex
