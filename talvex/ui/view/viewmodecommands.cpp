#include "talvex/ui/view/viewmodecommands.h"

#include "talvex/analysis/layervelocity.h"
#include "talvex/survey/surveydata.h"

namespace talvex {

namespace {

bool isChart(DisplayMode mode)
{
    return mode == DisplayMode::VelocityHistogram || mode == DisplayMode::TimeDistance;
}

} // namespace

void ShowMultiTrace(ViewState &view)
{
    view.mode = DisplayMode::MultiTrace;
}

bool ToggleSingleTrace(const SurveyData &survey, ViewState &view)
{
    if (!view.canToggleSingleTrace(survey.points.size()))
        return false;
    view.mode = view.mode == DisplayMode::SingleTrace ? DisplayMode::MultiTrace : DisplayMode::SingleTrace;
    return true;
}

void ShowRawRecord(ViewState &view)
{
    view.mode = DisplayMode::RawRecord;
}

bool ShowVelocityHistogram(SurveyData &survey, ViewState &view)
{
    if (survey.points.empty())
        return false;
    view.depthCursor = 102;
    view.mode = DisplayMode::VelocityHistogram;
    RefreshLayerVelocities(survey);
    // Recomputed, not edited: shown again, not marked modified.
    survey.notifyChanged(SurveyParts::Layers);
    return true;
}

void ShowTimeDistance(ViewState &view)
{
    view.mode = DisplayMode::TimeDistance;
}

std::optional<QPoint> ScrollMemory::switchMode(DisplayMode from, DisplayMode to, QPoint current)
{
    if (from == to)
        return std::nullopt;
    if (from == DisplayMode::MultiTrace)
        m_waveform = current;
    else if (isChart(from) && !isChart(to))
        m_chart = current;
    // Between the two charts the scroll area changes its content, not its
    // place: the histogram and the time-distance chart share the column.
    if (isChart(from) && isChart(to))
        return std::nullopt;
    if (to == DisplayMode::MultiTrace)
        return m_waveform;
    if (isChart(to))
        return m_chart;
    return std::nullopt;
}

void ScrollMemory::reset()
{
    m_waveform = {};
    m_chart = {};
}

} // namespace talvex
