#pragma once
// The result charts with the borehole column: the velocity histogram
// (velocity against depth) and the time-distance chart (travel time against
// depth). One routine per chart; where it draws (view units on screen, or
// later a page or a figure) comes in as a ColumnChartLayout, never as a copy
// of the routine.
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

// Where a column chart goes and how it is drawn.
struct ColumnChartLayout {
    PatternOutput patternOutput = PatternOutput::Screen;
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
    QFont font;
    int penWidth = 1;
    int circleRadius = 3; // travel-time points
    bool pointCurve = true; // draw the point velocity staircase

    // y of a depth in m on this layout (truncated to whole units).
    int depthY(float depth) const { return headingLine + int(float(unitsPerMetre) * depth); }
};

// The screen layout of the view (modes 3 and 5) for a hole of `holeDepth` m:
// frame x 50 ... 1250, y 20 ... 20 + 90 + 50 H; heading line y 100; rules at x
// 140, 300, 400, 600, 700; font "宋体" height 24 weight 500.
ColumnChartLayout screenColumnLayout(float holeDepth);

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

} // namespace talvex::charts
