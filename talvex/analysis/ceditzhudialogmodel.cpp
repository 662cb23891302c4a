#include "talvex/analysis/ceditzhudialogmodel.h"

#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/ceditchendialogmodel.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/survey/surveydata.h"

#include <algorithm>

namespace talvex {

CEditZhuDialogModel::CEditZhuDialogModel(SurveyData &survey, common::Messenger &messenger)
    : m_survey(survey), m_messenger(messenger)
{
    select(0);
}

QStringList CEditZhuDialogModel::entries() const
{
    return layerEntries(int(m_survey.layers.size()));
}

void CEditZhuDialogModel::showSelected()
{
    m_fields = {};
    if (m_selected < 0)
        return;
    const DiChengOne &l = m_survey.layers[std::size_t(m_selected)];
    m_fields.top = l.top;
    m_fields.bottom = l.bottom;
    m_fields.velocity = l.velocity;
    m_fields.description = fieldText(l.description);
}

void CEditZhuDialogModel::select(int index)
{
    if (index < 0 || std::size_t(index) >= m_survey.layers.size()) {
        if (m_survey.layers.empty()) {
            m_selected = -1;
            showSelected();
        }
        return;
    }
    m_selected = index;
    const DiChengOne &l = m_survey.layers[std::size_t(index)];
    if (l.velocity == 0.0f || l.description[0] == '\0')
        FillLayerFromPoints(m_survey, std::size_t(index));
    showSelected();
}

bool CEditZhuDialogModel::checkBottom(const LayerFields &fields)
{
    const std::size_t s = std::size_t(m_selected);
    // The start depth is read-only: the stored one counts. A layer may not end
    // above its start; the next layer is not a limit (it may still be empty).
    if (fields.bottom < m_survey.layers[s].top) {
        m_messenger.show(QString::fromUtf8(CEditChenDialogModel::kBottomRangeMessage), common::MessageKind::Warning);
        return false;
    }
    return true;
}

bool CEditZhuDialogModel::leaveBottom(const LayerFields &fields)
{
    if (m_selected < 0 || !checkBottom(fields))
        return false;
    const auto text = encodeFieldText(fields.description, kDescriptionBytes, QStringLiteral("土层描述"), m_messenger);
    if (!text)
        return false;
    const std::size_t s = std::size_t(m_selected);
    DiChengOne l = m_survey.layers[s];
    l.bottom = fields.bottom;
    l.velocity = fields.velocity;
    l.reserved = {};
    common::storeFixedText(l.description, *text);
    m_survey.layers[s] = l;
    FillLayerFromPoints(m_survey, s);
    showSelected();
    return true;
}

bool CEditZhuDialogModel::leaveVelocity(const LayerFields &fields)
{
    if (m_selected < 0 || !checkBottom(fields))
        return false;
    const std::size_t s = std::size_t(m_selected);
    DiChengOne l = m_survey.layers[s];
    l.bottom = fields.bottom;
    l.velocity = fields.velocity;
    l.reserved = {};
    nameLayerBySoilType(l);
    m_survey.layers[s] = l;
    m_survey.markModified(SurveyParts::Layers);
    showSelected();
    return true;
}

bool CEditZhuDialogModel::leaveDescription(const LayerFields &fields)
{
    if (m_selected < 0)
        return false;
    const auto text = encodeFieldText(fields.description, kDescriptionBytes, QStringLiteral("土层描述"), m_messenger);
    if (!text)
        return false;
    const std::size_t s = std::size_t(m_selected);
    DiChengOne l = m_survey.layers[s];
    common::storeFixedText(l.description, *text);
    m_survey.layers[s] = l;
    m_survey.markModified(SurveyParts::Layers);
    showSelected();
    return true;
}

bool CEditZhuDialogModel::addLayer()
{
    auto &layers = m_survey.layers;
    if (!SurveyData::canAdd(layers))
        return false;
    DiChengOne l;
    l.top = l.bottom = layers.empty() ? 0.0f : layers.back().bottom;
    layers.push_back(l);
    m_survey.markModified(SurveyParts::Layers);
    select(int(layers.size()) - 1);
    return true;
}

bool CEditZhuDialogModel::deleteLayer()
{
    if (m_selected < 0)
        return false;
    auto &layers = m_survey.layers;
    const std::size_t s = std::size_t(m_selected);
    if (RemoveLayerClosingGap(layers, s)) {
        DiChengOne next = layers[s];
        next.velocity = ComputeLayerVelocity(m_survey, int(s));
        layers[s] = next;
    }
    m_survey.markModified(SurveyParts::Layers);
    m_selected = -1;
    select(std::min(int(s), int(layers.size()) - 1));
    return true;
}

bool CEditZhuDialogModel::importSurveyLog()
{
    if (!LayersFromSurveyLog(m_survey, m_messenger))
        return false;
    m_selected = -1;
    select(0);
    return true;
}

} // namespace talvex
