#pragma once
// The result charts with the borehole column: the velocity histogram
// (velocity against depth) and the time-distance chart (travel time against
// depth). One routine per chart; where it draws (view units on screen, or
// a printed page or a bitmap figure) comes in as a ColumnChartLayout, never
// as a copy of the routine.
//
// The column table at the left: bottom depth, soil name, pattern cell
// (柱状图), layer description and layer velocity; the curve area at the
// right. Depth maps to y = 100 + trunc(50 x depth) on screen.

#include "talvex/charts/soilpatterns.h"

#include <QFont>
#include <QRect>

class QPainter;

namespace talvex {
class SurveyData;
}

namespace talvex::charts {

// The kind of output a chart or table is drawn for: view units on screen,
// 0.01 mm on a printed page (y down inside the rectangle the page gives), or
// pixels of a bitmap figure.
using ChartOutput = PatternOutput;

// Where a column chart goes and how it is drawn.
struct ColumnChartLayout {
    PatternOutput patternOutput = PatternOutput::Screen; // also the output kind of the whole chart
    int top = 0; // top of the frame
    int height = 0; // frame height E
    int left = 0; // frame left
    int right = 0; // frame right
    int headingLine = 0; // y of the heading line, which is also depth 0 and the horizontal axis
    int depthCol = 0; // right edge of "底层深" (m)
    int nameCol = 0; // right edge of "土层名称"
    int patternCol = 0; // right edge of "柱状图"
    int descriptionCol = 0; // right edge of "土层描述"
    int velocityCol = 0; // right edge of "层波速"; the curve area starts here
    double unitsPerMetre = 50.0; // depth scale below the heading line
    // When > 0, unitsPerMetre is replaced at drawing time so that the deepest
    // point (or, without points, the hole depth) lies this many units below
    // the heading line.
    int depthSpan = 0;
    // Text offsets and tick lengths in units of the screen's (1 on screen,
    // the font height / 24 elsewhere).
    double offsetScale = 1.0;
    QFont font;
    int penWidth = 1; // frames and rules; 0 = one device pixel (the view)
    int curvePenWidth = 1; // curves; 0 = one device pixel
    int circleRadius = 3; // travel-time points; 0 = none
    bool pointCurve = true; // draw the point velocity staircase

    // y of a depth in m on this layout (truncated to whole units).
    int depthY(float depth) const { return headingLine + int(float(unitsPerMetre) * depth); }
};

// The screen layout of the view (modes 3 and 5) for a hole of `holeDepth` m:
// frame x 50 ... 1250, y 20 ... 20 + 90 + 50 H; heading line y 100; rules at x
// 140, 300, 400, 600, 700; font "宋体" height 24 weight 500.
ColumnChartLayout screenColumnLayout(float holeDepth);

// Layouts of the column charts in a rectangle given by the page (0.01 mm,
// y down) or the figure (pixels). Column boundaries from the rectangle's
// left a: a + 1200, 3500, 5010, 7900, 9400 in print, a + 47, 138, 200, 313,
// 372 in the bitmap; heading line 8 mm or 32 pixels below the top. The
// charts scale depths so that the deepest point lies 4 mm or 15 pixels
// above the frame's bottom (depthSpan; height - 47 pixels below the top in
// the bitmap). The point curve is drawn only when
// `printTwoCurves` is set; travel-time circles of radius 2 in the bitmap,
// none in print.
ColumnChartLayout printColumnLayout(const QRect &rect, bool printTwoCurves);
ColumnChartLayout bitmapColumnLayout(const QRect &rect, bool printTwoCurves);

// The layout with the depth scale the charts use for `survey`: unchanged on
// screen; with unitsPerMetre = depthSpan / deepest point (or hole depth) in
// print and bitmap. For callers that place things at depths on a chart.
ColumnChartLayout fittedColumnLayout(const ColumnChartLayout &layout, const SurveyData &survey);

struct ColumnChartOptions {
    int curveName = 0; // 0 "剪切波速曲线Vs(m/s)", 1 "压缩波速曲线Vp(m/s)"
    SoilPatternSet *patterns = nullptr; // null: programSoilPatterns()
};

// The velocity histogram: column table, velocity axis with Vmax, depth axis,
// the point velocities (magenta) and the layer velocities (blue) as
// staircases. Reads the layer velocities as stored (the view refreshes them
// with RefreshLayerVelocities when it switches to the histogram).
void DrawVelocityHistogram(QPainter &painter, const ColumnChartLayout &layout, const SurveyData &survey,
                           const ColumnChartOptions &options);

// The time-distance chart: column table, time axis with Tmax, depth axis,
// the travel times as a magenta polyline with a circle around every point.
void DrawTimeDistanceChart(QPainter &painter, const ColumnChartLayout &layout, const SurveyData &survey,
                           const ColumnChartOptions &options);

// The combined figure (bitmap only, pen 2): the layer velocities as a
// staircase on the left and the travel-time polyline with circles of radius
// 2 on the right, both against depth, in `rect` (pixels, y down).
void DrawTimeDistanceAndHistogram(QPainter &painter, const QRect &rect, const SurveyData &survey);

} // namespace talvex::charts
