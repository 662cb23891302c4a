#include "talvex/analysis/ceditchendialogmodel.h"

#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/survey/surveydata.h"

#include <algorithm>

namespace talvex {

const char *const CEditChenDialogModel::kBottomRangeMessage = "分层结束深度不能小于分层开始深度，请重新输入！";

QStringList layerEntries(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i)
        list.append(QStringLiteral("土层 %1").arg(i));
    return list;
}

CEditChenDialogModel::CEditChenDialogModel(SurveyData &survey, common::Messenger &messenger)
    : m_survey(survey), m_messenger(messenger), m_selected(survey.logLayers.empty() ? -1 : 0)
{
}

QStringList CEditChenDialogModel::entries() const
{
    return layerEntries(int(m_survey.logLayers.size()));
}

SurveyLogFields CEditChenDialogModel::shown() const
{
    SurveyLogFields f;
    if (m_selected < 0)
        return f;
    const DiChengOne &l = m_survey.logLayers[std::size_t(m_selected)];
    f.top = l.top;
    f.bottom = l.bottom;
    f.soilName = fieldText(l.description);
    f.patternEntry = patternEntryForCode(l.pattern);
    return f;
}

void CEditChenDialogModel::select(int index)
{
    if (index >= 0 && std::size_t(index) < m_survey.logLayers.size())
        m_selected = index;
}

bool CEditChenDialogModel::leaveField(const SurveyLogFields &fields)
{
    if (m_selected < 0)
        return false;
    auto &log = m_survey.logLayers;
    const std::size_t s = std::size_t(m_selected);
    const bool hasNext = s + 1 < log.size();
    // The start depth is read-only: the stored one counts.
    const float top = log[s].top;
    // A layer may not end above its own start. The next layer is not a limit:
    // after "添加层" it is often still empty and is edited next.
    if (fields.bottom < top) {
        m_messenger.show(QString::fromUtf8(kBottomRangeMessage), common::MessageKind::Warning);
        return false;
    }
    const auto name = encodeFieldText(fields.soilName, kDescriptionBytes, QStringLiteral("土层名称"), m_messenger);
    if (!name)
        return false;

    DiChengOne l = log[s];
    l.bottom = fields.bottom;
    l.velocity = 0.0f;
    l.pattern = patternCodeForEntry(fields.patternEntry);
    l.reserved = {};
    common::storeFixedText(l.description, *name);
    log[s] = l;
    if (hasNext) {
        DiChengOne next = log[s + 1];
        next.top = l.bottom;
        log[s + 1] = next;
    }
    m_survey.markModified(SurveyParts::LogLayers);
    return true;
}

bool CEditChenDialogModel::changePattern(int patternEntry)
{
    if (m_selected < 0 || patternEntry < 0 || patternEntry >= kPatternEntryCount)
        return false;
    DiChengOne l = m_survey.logLayers[std::size_t(m_selected)];
    l.pattern = patternCodeForEntry(patternEntry);
    m_survey.logLayers[std::size_t(m_selected)] = l;
    m_survey.markModified(SurveyParts::LogLayers);
    return true;
}

bool CEditChenDialogModel::addLayer()
{
    auto &log = m_survey.logLayers;
    if (!SurveyData::canAdd(log))
        return false;
    DiChengOne l;
    l.top = l.bottom = log.empty() ? 0.0f : log.back().bottom;
    log.push_back(l);
    m_selected = int(log.size()) - 1;
    m_survey.notifyChanged(SurveyParts::LogLayers);
    return true;
}

bool CEditChenDialogModel::deleteLayer()
{
    if (m_selected < 0)
        return false;
    auto &log = m_survey.logLayers;
    const std::size_t s = std::size_t(m_selected);
    const float top = log[s].top;
    log.erase(log.begin() + std::ptrdiff_t(s));
    if (s < log.size()) {
        DiChengOne next = log[s];
        next.top = top;
        log[s] = next;
    }
    m_selected = std::min(m_selected, int(log.size()) - 1);
    m_survey.markModified(SurveyParts::LogLayers);
    return true;
}

} // namespace talvex
