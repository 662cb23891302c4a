#include "talvex/charts/viewgeometry.h"

#include "talvex/analysis/layercommands.h"
#include "talvex/survey/surveydata.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace talvex::charts {

namespace {

// Margin kept below the last row or chart, as wide as the one above it, so
// that the bottom line of the drawing lies inside the scroll area.
constexpr int kBottomMargin = kWaveformOriginY;

// y of a depth read from a document, which may be damaged: a depth that is
// not a number or lies outside 0 ... 100000 m is taken as the nearest one
// that is, so that the conversion to whole units stays defined.
int safeDepthY(float depth)
{
    if (!std::isfinite(depth))
        depth = 0.0f;
    return chartDepthY(std::clamp(depth, -100000.0f, 100000.0f));
}

} // namespace

int chartHeight(float holeDepth)
{
    return 90 + safeDepthY(holeDepth) - kDepthAxisOrigin;
}

QSize sceneExtent(DisplayMode mode, int pointCount, float holeDepth)
{
    switch (mode) {
    case DisplayMode::MultiTrace:
        return {kSceneWidth, kWaveformOriginY + kRowHeight * std::max(pointCount, 0) + kBottomMargin};
    case DisplayMode::SingleTrace:
    case DisplayMode::RawRecord:
    case DisplayMode::Spectrum: return {kSceneWidth, kWaveformOriginY + kPanelHeight + kBottomMargin};
    case DisplayMode::VelocityHistogram:
    case DisplayMode::TimeDistance:
        return {kSceneWidth, kChartTop + std::max(chartHeight(holeDepth), 0) + kBottomMargin};
    }
    return {kSceneWidth, kPanelHeight};
}

TraceHit multiTraceHit(int y)
{
    // Integer division truncates toward zero, so the margin above the first
    // row still belongs to row 1 (its upper half).
    const int d = y - kWaveformOriginY;
    TraceHit hit;
    hit.row = d / kRowHeight + 1;
    hit.lower = d % kRowHeight >= kRowHeight / 2;
    return hit;
}

RowRange multiTraceRowsIn(int top, int bottom, int pointCount)
{
    RowRange range;
    if (pointCount <= 0 || bottom <= top)
        return range;
    const auto rowOf = [](int y) {
        const int d = y - kWaveformOriginY;
        return d < 0 ? -1 - (-d - 1) / kRowHeight : d / kRowHeight; // floor division
    };
    // A row draws a pixel or two beyond its own 120 units (antialiased lines,
    // the marker's rim), so take the neighbours as well.
    range.first = std::clamp(rowOf(top) - 1, 0, pointCount);
    range.last = std::clamp(rowOf(bottom - 1) + 2, 0, pointCount);
    return range;
}

bool singleTraceHitsNegative(int y)
{
    return y - kWaveformOriginY > kPanelHeight / 2;
}

int rawRecordChannelAt(int y)
{
    return std::clamp((y - kWaveformOriginY) / kChannelHeight + 1, 1, 4);
}

CursorSpan timeCursorSpan(const ViewState &view)
{
    switch (view.mode) {
    case DisplayMode::MultiTrace: return {multiTraceRowTop(view.currentPoint - 1) + 10, 100};
    case DisplayMode::SingleTrace:
    case DisplayMode::Spectrum: return {kWaveformOriginY + 10, 780};
    case DisplayMode::RawRecord: return {rawChannelTop(view.selectedChannel), kChannelHeight};
    case DisplayMode::VelocityHistogram:
    case DisplayMode::TimeDistance: break;
    }
    return {};
}

int clampTimeCursorX(int x)
{
    if (x <= kWaveformOriginX)
        return kFirstCursorSampleX;
    if (x >= kWaveformOriginX + kTraceSpan)
        return kLastCursorSampleX;
    return x;
}

QRect timeCursorStrip(const ViewState &view, int x)
{
    const CursorSpan span = timeCursorSpan(view);
    if (span.length <= 0)
        return {};
    return QRect(x - 2, span.top - 2, 5, span.length + 5);
}

int clampDepthCursorY(const SurveyData &survey, int y)
{
    const int bottom = safeDepthY(survey.header.holeDepth);
    if (y < kDepthAxisOrigin)
        return kDepthAxisOrigin + 1;
    if (y > bottom)
        return bottom - 1;
    return y;
}

int layerBoundaryAt(const SurveyData &survey, int x, int y)
{
    if (x < kBoundaryGrabLeft || x > kBoundaryGrabRight)
        return -1;
    int found = -1;
    for (std::size_t i = 0; i < survey.layers.size(); ++i) {
        const int line = safeDepthY(survey.layers[i].bottom);
        if (std::abs(line - y) < kBoundaryGrabDistance)
            found = int(i);
    }
    return found;
}

DragRange boundaryDragRange(const SurveyData &survey, int layer)
{
    DragRange range;
    if (const auto limits = talvex::boundaryDragRange(survey, layer)) {
        range.min = limits->lowest;
        range.max = limits->highest;
    }
    return range;
}

QRect depthCursorStrip(int y)
{
    return QRect(kDepthCursorLeft - 2, y - 2, kDepthCursorRight - kDepthCursorLeft + 5, 5);
}

QRect dragLineStrip(int y)
{
    return QRect(kBoundaryGrabLeft - 2, y - 2, 600 - kBoundaryGrabLeft + 4, 5);
}

QRect editedTargetRect(const ViewState &view, int pointCount, float holeDepth)
{
    switch (view.mode) {
    case DisplayMode::MultiTrace: return QRect(0, multiTraceRowTop(view.currentPoint - 1), kSceneWidth, kRowHeight + 1);
    case DisplayMode::SingleTrace: return QRect(0, kWaveformOriginY, kSceneWidth, kPanelHeight + 1);
    case DisplayMode::RawRecord: return QRect(0, rawChannelTop(view.selectedChannel), kSceneWidth, kChannelHeight + 1);
    case DisplayMode::VelocityHistogram:
    case DisplayMode::Spectrum:
    case DisplayMode::TimeDistance: break;
    }
    return QRect(QPoint(0, 0), sceneExtent(view.mode, pointCount, holeDepth));
}

} // namespace talvex::charts
