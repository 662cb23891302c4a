#include "talvex/ui/view/viewinteraction.h"

#include "talvex/analysis/layercommands.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <Qt>
#include <algorithm>

namespace talvex {

namespace {

bool inBoundaryColumn(QPoint p)
{
    return p.x() >= charts::kBoundaryGrabLeft && p.x() <= charts::kBoundaryGrabRight;
}

bool inCurveArea(QPoint p)
{
    return p.x() > charts::kCurveAreaLeft;
}

} // namespace

ViewInteraction::ViewInteraction(SurveyData &survey, ViewState &view) : m_survey(survey), m_view(view) {}

bool ViewInteraction::MoveTimeCursor(int x)
{
    if (m_survey.points.empty())
        return false;
    m_view.cursorX = charts::clampTimeCursorX(x);
    return true;
}

bool ViewInteraction::MoveDepthCursor(int y)
{
    if (m_survey.points.empty())
        return false;
    m_view.depthCursor = charts::clampDepthCursorY(m_survey, y);
    return true;
}

void ViewInteraction::pressLeft(QPoint p)
{
    m_buttonDown = true;
    m_draggedLayer = -1;
    switch (m_view.mode) {
    case DisplayMode::MultiTrace: {
        const charts::TraceHit hit = charts::multiTraceHit(p.y());
        const int trace = hit.lower ? 1 : 0;
        if (hit.row != m_view.currentPoint) {
            // The cursor goes where the click is, held on the trace like
            // every other cursor move.
            m_view.cursorX = charts::clampTimeCursorX(p.x());
            if (hit.row <= int(m_survey.points.size()))
                m_view.currentPoint = hit.row;
        }
        m_view.selectedTrace = trace;
        break;
    }
    case DisplayMode::SingleTrace: m_view.selectedTrace = charts::singleTraceHitsNegative(p.y()) ? 1 : 0; break;
    case DisplayMode::RawRecord: m_view.selectedChannel = charts::rawRecordChannelAt(p.y()); break;
    case DisplayMode::VelocityHistogram:
        if (inBoundaryColumn(p)) {
            m_draggedLayer = charts::layerBoundaryAt(m_survey, p.x(), p.y());
            if (m_draggedLayer >= 0)
                m_dragY = depthToCursorY(m_survey.layers[std::size_t(m_draggedLayer)].bottom);
        }
        break;
    case DisplayMode::Spectrum:
    case DisplayMode::TimeDistance: break;
    }
}

void ViewInteraction::moveMouse(QPoint p)
{
    if (!m_buttonDown)
        return;
    switch (m_view.mode) {
    case DisplayMode::MultiTrace:
    case DisplayMode::SingleTrace:
    case DisplayMode::Spectrum: MoveTimeCursor(p.x()); break;
    case DisplayMode::VelocityHistogram:
        if (inCurveArea(p))
            MoveDepthCursor(p.y());
        if (m_draggedLayer >= 0 && inBoundaryColumn(p)) {
            if (const auto range = boundaryDragRange(m_survey, m_draggedLayer))
                m_dragY = std::clamp(p.y(), range->lowest, range->highest);
        }
        break;
    case DisplayMode::RawRecord:
    case DisplayMode::TimeDistance: break;
    }
}

bool ViewInteraction::releaseLeft(QPoint p)
{
    if (!m_buttonDown)
        return false;
    m_buttonDown = false;
    bool moved = false;
    switch (m_view.mode) {
    case DisplayMode::MultiTrace:
    case DisplayMode::SingleTrace:
    case DisplayMode::RawRecord: MoveTimeCursor(p.x()); break;
    case DisplayMode::VelocityHistogram:
        if (inCurveArea(p))
            MoveDepthCursor(p.y());
        if (m_draggedLayer >= 0 && inBoundaryColumn(p))
            moved = DragLayerBoundary(m_survey, m_draggedLayer, p.y());
        break;
    case DisplayMode::Spectrum:
    case DisplayMode::TimeDistance: break;
    }
    cancelDrag();
    return moved;
}

bool ViewInteraction::pressKey(int key)
{
    int step = 0;
    switch (key) {
    case Qt::Key_Left: step = -1; break;
    case Qt::Key_Right: step = 1; break;
    case Qt::Key_Up: step = -10; break;
    case Qt::Key_Down: step = 10; break;
    default: return false;
    }
    switch (m_view.mode) {
    case DisplayMode::VelocityHistogram: MoveDepthCursor(m_view.depthCursor + step); return true;
    case DisplayMode::TimeDistance: return false;
    default: MoveTimeCursor(m_view.cursorX + step); return true;
    }
}

std::optional<ContextMenuId> ViewInteraction::releaseRight() const
{
    if (m_survey.points.empty())
        return std::nullopt;
    switch (m_view.mode) {
    case DisplayMode::MultiTrace:
    case DisplayMode::SingleTrace: return ContextMenuId::Waveforms;
    case DisplayMode::RawRecord: return ContextMenuId::RawRecord;
    case DisplayMode::VelocityHistogram: return ContextMenuId::Histogram;
    case DisplayMode::Spectrum:
    case DisplayMode::TimeDistance: break;
    }
    return std::nullopt;
}

bool ViewInteraction::overBoundary(QPoint p) const
{
    return m_view.mode == DisplayMode::VelocityHistogram && inBoundaryColumn(p)
        && charts::layerBoundaryAt(m_survey, p.x(), p.y()) >= 0;
}

void ViewInteraction::cancelDrag()
{
    m_draggedLayer = -1;
    m_dragY = -1;
}

} // namespace talvex
