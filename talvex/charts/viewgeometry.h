#pragma once
// The logical layout of the main view in each display mode: where rows,
// traces, charts and cursor lines lie, and which point, trace, channel or
// layer boundary a logical position hits. The painter and the view's mouse
// handling both read it, so a click always lands on what is drawn there.
//
// Logical units: 100 per inch at scale 1; one trace sample is one unit
// horizontally. x grows to the right, y downward. The waveform area starts
// at (x0, y0) = (kWaveformOriginX, kWaveformOriginY) = (100, 20).

#include "talvex/settings/viewstate.h"

#include <QRect>
#include <QSize>

namespace talvex {
class SurveyData;
}

namespace talvex::charts {

// Waveform modes (0, 1, 2, 4).
inline constexpr int kTraceSpan = 1024; // samples across the waveform area
inline constexpr int kSceneWidth = 1400; // scroll width of every mode: the frames and the figures right of them
inline constexpr int kRowHeight = 120; // one point's row in the multi-trace view
inline constexpr int kPanelHeight = 800; // single-trace, raw-record and spectrum area
inline constexpr int kChannelHeight = 200; // one channel's row in the raw-record view
inline constexpr int kTextColumnX = kWaveformOriginX + 1030; // the point's figures right of the traces

// Time cursor: the samples it may stand on (cursor x - x0).
inline constexpr int kFirstCursorSampleX = kWaveformOriginX + 1;
inline constexpr int kLastCursorSampleX = kWaveformOriginX + 1022;

// Column charts (modes 3 and 5).
inline constexpr int kChartTop = kWaveformOriginY; // top of the frame
inline constexpr int kChartLeft = 50;
inline constexpr int kChartRight = 1250;
inline constexpr int kCurveAreaLeft = 700;
inline constexpr int kDepthCursorLeft = 720; // depth cursor line, x 720 ... 1230
inline constexpr int kDepthCursorRight = 1230;
inline constexpr int kBoundaryGrabLeft = 301; // a boundary is grabbed at x 301 ... 699
inline constexpr int kBoundaryGrabRight = 699;
inline constexpr int kBoundaryGrabDistance = 5; // |y - boundary| < 5 grabs it

// Logical size of the scroll area in `mode` for a survey of `pointCount`
// points and a hole of `holeDepth` m. Multi-trace: 1400 wide, every row plus
// the margins above and below; single-trace, raw-record and spectrum: 1400
// by 800 plus the margins; charts: 1400 by the chart frame plus the margins.
QSize sceneExtent(DisplayMode mode, int pointCount, float holeDepth);

// Height E = 90 + 50 x holeDepth of a column chart (truncated); its frame
// runs from y kChartTop to kChartTop + E.
int chartHeight(float holeDepth);

// --- Multi-trace (mode 0) ------------------------------------------------

// Top y of the row of list element `index` (0-based): y0 + 120 index.
inline int multiTraceRowTop(int index)
{
    return kWaveformOriginY + kRowHeight * index;
}

// Row under a click at logical y: the 1-based point number
// (y - y0) / 120 + 1, and whether it is the lower half of the row (the
// negative trace). The number may exceed the point count (a click below the
// last row); a click in the margin above the first row gives row 1. The
// caller keeps the current point when the row is past the last point.
struct TraceHit {
    int row = 1;
    bool lower = false;
};
TraceHit multiTraceHit(int y);

// Logical index range of the rows that intersect the band [top, bottom)
// (first inclusive, last exclusive), clamped to 0 ... pointCount.
struct RowRange {
    int first = 0;
    int last = 0;
};
RowRange multiTraceRowsIn(int top, int bottom, int pointCount);

// --- Single-trace (mode 1) -----------------------------------------------

// Whether a click at logical y selects the negative trace: y - y0 > 400.
bool singleTraceHitsNegative(int y);

// --- Raw record (mode 2) -------------------------------------------------

// Channel 1 ... 4 under a click at logical y: (y - y0) / 200 + 1, at most 4
// and at least 1.
int rawRecordChannelAt(int y);

// Top y of channel `channel` (1 ... 4): y0 + 200 (channel - 1).
inline int rawChannelTop(int channel)
{
    return kWaveformOriginY + kChannelHeight * (channel - 1);
}

// --- Time cursor ---------------------------------------------------------

// Top and length of the time cursor line in the view's mode: mode 0 from
// the current point's row top + 10, 100 long; modes 1 and 4 from y0 + 10,
// 780 long; mode 2 from the selected channel's row top, 200 long. An empty
// span (length 0) in the chart modes.
struct CursorSpan {
    int top = 0;
    int length = 0;
};
CursorSpan timeCursorSpan(const ViewState &view);

// The cursor x a requested x becomes: x <= x0 gives x0 + 1, x >= x0 + 1024
// gives x0 + 1022.
int clampTimeCursorX(int x);

// The logical rectangle a time cursor at `x` covers (with a unit of margin
// on each side for antialiasing and rounding at any scale): what the view
// invalidates when the cursor leaves or reaches x.
QRect timeCursorStrip(const ViewState &view, int x);

// --- Charts (modes 3 and 5) ----------------------------------------------

// y of a depth in m: 100 + trunc(50 x depth).
inline int chartDepthY(float depth)
{
    return depthToCursorY(depth);
}

// Depth cursor y a requested y becomes: above 100 gives 101, below the
// hole-depth line gives one unit above it; 100 and the line itself stay.
int clampDepthCursorY(const SurveyData &survey, int y);

// The velocity layer (0-based) whose bottom line a press at (x, y) grabs:
// 301 <= x <= 699 and |y - y(bottom)| < 5, the last such layer in the list
// winning; -1 for none.
int layerBoundaryAt(const SurveyData &survey, int x, int y);

// Where the bottom of velocity layer `layer` may be dragged
// (talvex::boundaryDragRange of the layer commands): from y(top) + 10 down to
// y(next layer's bottom) - 10, or to y(holeDepth) for the last layer. An
// empty range (min > max) when the layer does not exist.
struct DragRange {
    int min = 0;
    int max = -1;
    int clamp(int y) const { return y < min ? min : (y > max ? max : y); }
};
DragRange boundaryDragRange(const SurveyData &survey, int layer);

// Strips the view invalidates when the depth cursor or the drag line moves
// to or from y (one unit of margin above and below).
QRect depthCursorStrip(int y);
QRect dragLineStrip(int y);

// --- Partial repaints ----------------------------------------------------

// The region an edit of the current target repaints: the current point's row
// (the full width, 120 high) in mode 0, the single-trace area in mode 1,
// the selected channel's row in mode 2, the whole scene otherwise.
QRect editedTargetRect(const ViewState &view, int pointCount, float holeDepth);

} // namespace talvex::charts
