#include "talvex/survey/undosnapshot.h"

namespace talvex {

void UndoSnapshot::TakeUndoSnapshot(const SurveyData &survey)
{
    m_hole = survey.header;
    m_logLayers = survey.logLayers;
    m_layers = survey.layers;
    m_points = survey.points;
    m_available = true;
}

bool UndoSnapshot::Undo(SurveyData &survey)
{
    if (!m_available)
        return false;
    // The site results and the program's settings are not part of the
    // snapshot: keep the current ones.
    SurveyHeader &h = survey.header;
    HoleParameters hole = m_hole;
    hole.overburden = h.overburden;
    hole.computationDepth = h.computationDepth;
    hole.microtremorTest = h.microtremorTest;
    hole.personnelLabel = h.personnelLabel;
    static_cast<HoleParameters &>(h) = hole;
    survey.logLayers = std::move(m_logLayers);
    survey.layers = std::move(m_layers);
    survey.points = std::move(m_points);
    m_logLayers.clear();
    m_layers.clear();
    m_points.clear();
    m_available = false;
    survey.notifyChanged(SurveyParts::All);
    return true;
}

} // namespace talvex
