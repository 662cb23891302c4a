#include "talvex/processing/undosnapshot.h"

namespace talvex {

void UndoSnapshot::TakeUndoSnapshot(const SurveyData &survey)
{
    const SurveyHeader &h = survey.header;
    m_header = {h.method, h.testDate, h.projectName, h.holeNumber, h.personnel,
                h.holeDepth, h.pointSpacing, h.sourceDistance, h.plankLength};
    m_logLayers = survey.logLayers;
    m_layers = survey.layers;
    m_points = survey.points;
    m_available = true;
}

bool UndoSnapshot::Undo(SurveyData &survey)
{
    if (!m_available)
        return false;
    SurveyHeader &h = survey.header;
    h.method = m_header.method;
    h.testDate = m_header.testDate;
    h.projectName = m_header.projectName;
    h.holeNumber = m_header.holeNumber;
    h.personnel = m_header.personnel;
    h.holeDepth = m_header.holeDepth;
    h.pointSpacing = m_header.pointSpacing;
    h.sourceDistance = m_header.sourceDistance;
    h.plankLength = m_header.plankLength;
    survey.logLayers = std::move(m_logLayers);
    survey.layers = std::move(m_layers);
    survey.points = std::move(m_points);
    m_logLayers.clear();
    m_layers.clear();
    m_points.clear();
    m_available = false;
    return true;
}

} // namespace talvex
