#include "talvex/analysis/ceditchendialogmodel.h"

#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/survey/surveydata.h"

#include <algorithm>

namespace talvex {

const char *const CEditChenDialogModel::kBottomRangeMessage = "分层结束深度不能小于分层开始深度，请重新输入！";
const char *const CEditChenDialogModel::kNextBottomMessage
    = "第 %1 层土层结束于 %2 米，本层结束深度 %3 米不能超过它，请重新输入！";

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
    // The start depth is read-only: the stored one counts.
    const float top = log[s].top;
    // No layer may end above its own start: neither this one nor the ones
    // below, whose start follows this end. Layers still empty (start equals
    // end, as "添加层" leaves them) move down with it; the first layer with
    // a thickness must still end at or below the new end.
    if (!(fields.bottom >= top)) {
        m_messenger.show(QString::fromUtf8(kBottomRangeMessage), common::MessageKind::Warning);
        return false;
    }
    std::size_t emptyEnd = s + 1; // layers s+1 ... emptyEnd-1 are empty and move along
    while (emptyEnd < log.size() && log[emptyEnd].top == log[emptyEnd].bottom && log[emptyEnd].bottom < fields.bottom)
        ++emptyEnd;
    if (emptyEnd < log.size() && log[emptyEnd].bottom < fields.bottom) {
        m_messenger.show(QString::fromUtf8(kNextBottomMessage)
                             .arg(emptyEnd + 1)
                             .arg(double(log[emptyEnd].bottom))
                             .arg(double(fields.bottom)),
                         common::MessageKind::Warning);
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
    for (std::size_t j = s + 1; j < emptyEnd; ++j) {
        DiChengOne empty = log[j];
        empty.top = empty.bottom = l.bottom;
        log[j] = empty;
    }
    if (emptyEnd < log.size()) {
        DiChengOne next = log[emptyEnd];
        next.top = l.bottom;
        log[emptyEnd] = next;
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
    RemoveLayerClosingGap(log, std::size_t(m_selected));
    m_selected = std::min(m_selected, int(log.size()) - 1);
    m_survey.markModified(SurveyParts::LogLayers);
    return true;
}

} // namespace talvex
