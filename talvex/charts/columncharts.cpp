#include "talvex/charts/columncharts.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/labelplacement.h"
#include "talvex/charts/soilpatterns.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/survey/surveydata.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <array>
#include <vector>

namespace talvex::charts {

namespace {

// Figures from a document are finite and small, but a damaged one may hold
// anything: keep every coordinate within a range the painter handles.
constexpr double kCoordinateLimit = 1.0e7;

double bounded(double v)
{
    if (!std::isfinite(v))
        return 0.0;
    return std::clamp(v, -kCoordinateLimit, kCoordinateLimit);
}

int depthYOf(const ColumnChartLayout &layout, float depth)
{
    return int(bounded(double(layout.headingLine) + double(float(layout.unitsPerMetre) * depth)));
}

// A screen offset (view units) scaled to the layout's text size.
int off(const ColumnChartLayout &layout, double screenUnits)
{
    return int(std::lround(screenUnits * layout.offsetScale));
}

QPen framePen(QPainter &p, const ColumnChartLayout &layout)
{
    return solidPen(p, Qt::black, layout.penWidth);
}

QPen curvePen(QPainter &p, const ColumnChartLayout &layout, const QColor &colour)
{
    return solidPen(p, colour, layout.curvePenWidth);
}

// The deepest point's depth (m); 0 when there are no points with a depth.
float deepestPoint(const SurveyData &survey)
{
    float deepest = 0.0f;
    for (const TlvOne &point : survey.points)
        if (std::isfinite(point.depth))
            deepest = std::max(deepest, point.depth);
    return deepest;
}

// The depth the depth axis runs down to: the hole depth on screen; in print
// and in the bitmap the depth that the chart is scaled to.
float axisDepth(const ColumnChartLayout &layout, const SurveyData &survey)
{
    const float hole = std::isfinite(survey.header.holeDepth) ? std::max(survey.header.holeDepth, 0.0f) : 0.0f;
    if (layout.depthSpan <= 0)
        return hole;
    const float deepest = deepestPoint(survey);
    return deepest > 0.0f ? deepest : hole;
}

} // namespace

ColumnChartLayout fittedColumnLayout(const ColumnChartLayout &layout, const SurveyData &survey)
{
    ColumnChartLayout result = layout;
    if (layout.depthSpan > 0) {
        const float depth = axisDepth(layout, survey);
        result.unitsPerMetre = depth > 0.0f ? double(layout.depthSpan) / double(depth) : double(layout.depthSpan);
    }
    return result;
}

namespace {

QString layerText(const DiChengOne &layer)
{
    return common::decodeGbk(common::readFixedText(layer.description));
}

// Where a layer's text starts: 10 units below the layer top, or, when that
// would overlap the text of the layer above, 15 units below that text's end.
int textStart(const ColumnChartLayout &layout, int wanted, int previousEnd)
{
    return wanted < previousEnd ? previousEnd + off(layout, 15) : wanted;
}

// The tops of one column's labels in the current font, moved apart where
// they would overlap and kept between the heading line and the frame's bottom.
std::vector<int> spreadColumnLabels(QPainter &p, const ColumnChartLayout &layout, const std::vector<int> &wanted)
{
    const int height = QFontMetrics(p.font()).height() + off(layout, 2);
    return spreadLabels(wanted, height, layout.headingLine + off(layout, 2),
                        layout.top + layout.height - height - off(layout, 2));
}

// Draws two lines of a column heading centred between `left` and `right`.
void heading(QPainter &p, const ColumnChartLayout &layout, int left, int right, const QString &first,
             const QString &second = QString())
{
    const QFontMetrics metrics(p.font());
    const auto centred = [&](int y, const QString &text) {
        drawTextAt(p, left + (right - left - metrics.horizontalAdvance(text)) / 2, y, text);
    };
    const int band = layout.headingLine - layout.top;
    if (second.isEmpty()) {
        centred(layout.top + (band - metrics.height()) / 2, first);
    } else {
        centred(layout.top + band / 2 - metrics.height(), first);
        centred(layout.top + band / 2, second);
    }
}

// The column table: frame, rules, headings, survey-log layers with their
// patterns and names, velocity layers with their velocities and descriptions.
void drawColumnTable(QPainter &p, const ColumnChartLayout &layout, const SurveyData &survey,
                     const ColumnChartOptions &options)
{
    SoilPatternSet &patterns = options.patterns ? *options.patterns : programSoilPatterns();
    const int bottom = layout.top + layout.height;
    p.setFont(layout.font);
    p.setPen(framePen(p, layout));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(layout.left, layout.top, layout.right - layout.left, layout.height));
    p.drawLine(layout.left, layout.headingLine, layout.right, layout.headingLine);
    for (int x : {layout.depthCol, layout.nameCol, layout.patternCol, layout.descriptionCol, layout.velocityCol})
        p.drawLine(x, layout.top, x, bottom);

    heading(p, layout, layout.left, layout.depthCol, QStringLiteral("底层深"), QStringLiteral("(m)"));
    heading(p, layout, layout.depthCol, layout.nameCol, QStringLiteral("土层名称"));
    heading(p, layout, layout.nameCol, layout.patternCol, QStringLiteral("柱状图"));
    heading(p, layout, layout.patternCol, layout.descriptionCol, QStringLiteral("土层描述"));
    heading(p, layout, layout.descriptionCol, layout.velocityCol, QStringLiteral("层波速"), QStringLiteral("(m/s)"));

    // Survey-log layers: pattern cell, bottom depth, soil name. A name that
    // would overlap the one above starts 15 units below it; a name that runs
    // past its layer's bottom is joined to the boundary by a leader. Bottom
    // depths of thin layers are moved apart (and below the heading line).
    std::vector<int> depthTops;
    for (const DiChengOne &layer : survey.logLayers)
        depthTops.push_back(depthYOf(layout, layer.bottom) - off(layout, 30));
    depthTops = spreadColumnLabels(p, layout, depthTops);
    int previousEnd = std::numeric_limits<int>::min() / 2;
    for (std::size_t i = 0; i < survey.logLayers.size(); ++i) {
        const DiChengOne &layer = survey.logLayers[i];
        const int yTop = depthYOf(layout, layer.top);
        const int yBottom = depthYOf(layout, layer.bottom);
        FillPattern(p, layout.patternOutput, layout.nameCol, yTop, yBottom, patterns.pattern(layer.pattern));
        p.setPen(framePen(p, layout));
        drawTextAt(p, layout.left + off(layout, 20), depthTops[i], QString::asprintf("%.1f", double(layer.bottom)));
        const QString name = layerText(layer);
        const int start = textStart(layout, yTop + off(layout, 10), previousEnd);
        const int end
            = drawWrappedText(p, layout.depthCol + off(layout, 12), layout.nameCol - off(layout, 5), start, name);
        if (!name.isEmpty())
            previousEnd = end;
        if (!name.isEmpty() && end > yBottom) {
            const int leaderY = end + off(layout, 5);
            const QPolygon leader{QPoint(layout.left, yBottom), QPoint(layout.depthCol, yBottom),
                                  QPoint(layout.depthCol + off(layout, 10), leaderY),
                                  QPoint(layout.nameCol - off(layout, 10), leaderY), QPoint(layout.nameCol, yBottom)};
            p.drawPolyline(leader);
        } else {
            p.drawLine(layout.left, yBottom, layout.nameCol, yBottom);
        }
    }

    // Velocity layers: velocity, description, boundary. Velocities of thin
    // layers are moved apart.
    std::vector<int> velocityTops;
    for (const DiChengOne &layer : survey.layers)
        velocityTops.push_back(depthYOf(layout, layer.top) + off(layout, 10));
    velocityTops = spreadColumnLabels(p, layout, velocityTops);
    previousEnd = std::numeric_limits<int>::min() / 2;
    for (std::size_t i = 0; i < survey.layers.size(); ++i) {
        const DiChengOne &layer = survey.layers[i];
        const int yTop = depthYOf(layout, layer.top);
        const int yBottom = depthYOf(layout, layer.bottom);
        drawTextAt(p, layout.descriptionCol + off(layout, 20), velocityTops[i],
                   QString::asprintf("%.1f", double(layer.velocity)));
        const QString description = layerText(layer);
        const int start = textStart(layout, yTop + off(layout, 10), previousEnd);
        const int end = drawWrappedText(p, layout.patternCol + off(layout, 15), layout.descriptionCol - off(layout, 10),
                                        start, description);
        if (!description.isEmpty())
            previousEnd = end;
        if (!description.isEmpty() && end > yBottom) {
            const int leaderY = end + off(layout, 5);
            const QPolygon leader{QPoint(layout.patternCol, yBottom),
                                  QPoint(layout.patternCol + off(layout, 10), leaderY),
                                  QPoint(layout.descriptionCol - off(layout, 15), leaderY),
                                  QPoint(layout.descriptionCol, yBottom), QPoint(layout.velocityCol, yBottom)};
            p.drawPolyline(leader);
        } else {
            p.drawLine(layout.patternCol, yBottom, layout.velocityCol, yBottom);
        }
    }
}

// Width of one of the eleven tick intervals across the curve area; the
// axis's full scale lies at the tenth.
double tickSpacing(const ColumnChartLayout &layout)
{
    return double(layout.right - layout.velocityCol) / 11.0;
}

// The horizontal axis of the curve area along the heading line: ten ticks
// (every fifth longer) and the labels of half and full scale.
void drawValueAxis(QPainter &p, const ColumnChartLayout &layout, double maximum)
{
    const int x0 = layout.velocityCol;
    const int y = layout.headingLine;
    const double spacing = tickSpacing(layout);
    p.setPen(framePen(p, layout));
    for (int k = 1; k <= 10; ++k) {
        const int length = off(layout, k % 5 == 0 ? 9 : 5);
        const int x = x0 + int(std::lround(spacing * k));
        p.drawLine(x, y, x, y + length);
    }
    const QFontMetrics metrics(p.font());
    const QString half = QString::asprintf("%.0f", maximum / 2);
    const QString full = QString::asprintf("%.0f", maximum);
    drawTextAt(p, x0 + int(std::lround(spacing * 5)) - off(layout, 20), y - off(layout, 30), half);
    // The full-scale label ends inside the frame however long it is.
    const int fullX = x0 + int(std::lround(spacing * 10)) - off(layout, 25);
    drawTextAt(p, std::min(fullX, layout.right - off(layout, 4) - metrics.horizontalAdvance(full)), y - off(layout, 30),
               full);
}

// The depth axis along the left edge of the curve area: twenty ticks down
// to `depth`, every fifth longer and labelled with its depth. The ticks sit
// at the depths they name.
void drawDepthAxis(QPainter &p, const ColumnChartLayout &layout, float depth)
{
    const int x = layout.velocityCol;
    p.setPen(framePen(p, layout));
    for (int k = 1; k <= 20; ++k) {
        const float at = depth / 20.0f * float(k);
        const int y = depthYOf(layout, at);
        const bool labelled = k % 5 == 0;
        p.drawLine(x, y, x + off(layout, labelled ? 12 : 7), y);
        if (labelled)
            drawTextAt(p, x + off(layout, 3), y - off(layout, 26), QString::asprintf("%.1f", double(at)));
    }
}

void drawTitle(QPainter &p, const ColumnChartLayout &layout, const QString &title)
{
    const QFontMetrics metrics(p.font());
    drawTextAt(p, layout.velocityCol + (layout.right - layout.velocityCol - metrics.horizontalAdvance(title)) / 2,
               layout.top + off(layout, 8), title);
}

// x of a value on the axis whose full scale `maximum` lies ten tick
// intervals right of the curve area's left edge.
double valueX(const ColumnChartLayout &layout, double value, double maximum)
{
    return bounded(layout.velocityCol + value / (maximum / (10.0 * tickSpacing(layout))));
}

// A staircase: from (x(v0), depth 0) down to each depth at its own value,
// then across to the next value. Each value holds from the previous depth
// down to its own. Returns the end point (null when nothing is drawn).
std::optional<QPointF> drawStaircase(QPainter &p, const ColumnChartLayout &layout,
                                     const std::vector<std::pair<float, float>> &steps, double maximum,
                                     const QColor &colour)
{
    if (steps.empty() || !(maximum > 0.0))
        return std::nullopt;
    QPolygonF line;
    line << QPointF(valueX(layout, steps.front().first, maximum), layout.headingLine);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const double y = depthYOf(layout, steps[i].second);
        line << QPointF(valueX(layout, steps[i].first, maximum), y);
        if (i + 1 < steps.size())
            line << QPointF(valueX(layout, steps[i + 1].first, maximum), y);
    }
    p.setPen(curvePen(p, layout, colour));
    p.drawPolyline(line);
    return line.back();
}

// A curve's name beside its deepest end, kept inside the curve area.
void curveLabel(QPainter &p, const ColumnChartLayout &layout, const QPointF &end, const QString &text)
{
    const QFontMetrics metrics(p.font());
    p.setPen(framePen(p, layout));
    const int x
        = std::clamp(int(end.x()) - off(layout, 90), layout.velocityCol + off(layout, 60),
                     std::max(layout.velocityCol, layout.right - off(layout, 4) - metrics.horizontalAdvance(text)));
    drawTextAt(p, x, int(end.y()) - off(layout, 30), text);
}

// Print and bitmap charts keep what they draw inside their frame: a survey
// log or a layer that reaches below the deepest point would run off it.
void clipToFrame(QPainter &p, const ColumnChartLayout &layout)
{
    if (layout.patternOutput == PatternOutput::Screen)
        return;
    const int pen = std::max(layout.penWidth, 1);
    p.setClipRect(
        QRect(layout.left - pen, layout.top - pen, layout.right - layout.left + 2 * pen, layout.height + 2 * pen),
        Qt::IntersectClip);
}

double largestVelocity(const SurveyData &survey)
{
    double vmax = 0.0;
    for (const TlvOne &point : survey.points)
        if (std::isfinite(point.pointVelocity))
            vmax = std::max(vmax, double(point.pointVelocity));
    return vmax;
}

double largestTravelTime(const SurveyData &survey)
{
    double tmax = 0.0;
    for (const TlvOne &point : survey.points)
        if (std::isfinite(point.travelTime()))
            tmax = std::max(tmax, double(point.travelTime()));
    return tmax;
}

QFont chartFont(int pixelSize)
{
    QFont font = viewFont(pixelSize);
    return font;
}

} // namespace

ColumnChartLayout screenColumnLayout(float holeDepth)
{
    ColumnChartLayout layout;
    layout.top = kChartTop;
    layout.height = chartHeight(std::isfinite(holeDepth) ? std::clamp(holeDepth, 0.0f, 100000.0f) : 0.0f);
    layout.left = kChartLeft;
    layout.right = kChartRight;
    layout.headingLine = kChartTop + 80;
    layout.depthCol = 140;
    layout.nameCol = 300;
    layout.patternCol = 400;
    layout.descriptionCol = 600;
    layout.velocityCol = kCurveAreaLeft;
    layout.unitsPerMetre = kDepthAxisScale;
    layout.font = viewFont(24);
    layout.penWidth = 0;
    layout.curvePenWidth = 0;
    return layout;
}

namespace {

// The print and bitmap layouts differ in their numbers only.
struct VariantNumbers {
    PatternOutput output;
    std::array<int, 5> columns; // from the left edge
    int headingBand; // heading line below the top
    int bottomMargin; // below the deepest point, besides the heading band
    int fontHeight;
    int penWidth;
    int curvePenWidth;
    int circleRadius;
};

ColumnChartLayout variantLayout(const QRect &rect, bool printTwoCurves, const VariantNumbers &n)
{
    ColumnChartLayout layout;
    layout.patternOutput = n.output;
    layout.top = rect.top();
    // The frame's rules lie on the rectangle's outermost pixels.
    layout.height = rect.height() - 1;
    layout.left = rect.left();
    layout.right = rect.left() + rect.width() - 1;
    layout.headingLine = rect.top() + n.headingBand;
    layout.depthCol = rect.left() + n.columns[0];
    layout.nameCol = rect.left() + n.columns[1];
    layout.patternCol = rect.left() + n.columns[2];
    layout.descriptionCol = rect.left() + n.columns[3];
    layout.velocityCol = rect.left() + n.columns[4];
    layout.depthSpan = std::max(1, rect.height() - n.headingBand - n.bottomMargin);
    layout.unitsPerMetre = layout.depthSpan;
    layout.offsetScale = double(n.fontHeight) / 24.0;
    layout.font = chartFont(n.fontHeight);
    layout.penWidth = n.penWidth;
    layout.curvePenWidth = n.curvePenWidth;
    layout.circleRadius = n.circleRadius;
    layout.pointCurve = printTwoCurves;
    return layout;
}

} // namespace

ColumnChartLayout printColumnLayout(const QRect &rect, bool printTwoCurves)
{
    // 0.01 mm: heading band 8 mm, 4 mm left below the deepest point, text
    // 2.8 mm high, rules 0.1 mm and curves 0.15 mm.
    return variantLayout(rect, printTwoCurves,
                         {PatternOutput::Print, {1200, 3500, 5010, 7900, 9400}, 800, 400, 280, 10, 15, 0});
}

ColumnChartLayout bitmapColumnLayout(const QRect &rect, bool printTwoCurves)
{
    // Pixels: heading band 32, 15 left below the deepest point (height - 47
    // for the depths), text 12 high, rules 1 and curves 2 wide.
    return variantLayout(rect, printTwoCurves, {PatternOutput::Bitmap, {47, 138, 200, 313, 372}, 32, 15, 12, 1, 2, 2});
}

void DrawVelocityHistogram(QPainter &p, const ColumnChartLayout &given, const SurveyData &survey,
                           const ColumnChartOptions &options)
{
    const ColumnChartLayout layout = fittedColumnLayout(given, survey);
    const bool bitmap = layout.patternOutput == PatternOutput::Bitmap;
    p.save();
    clipToFrame(p, layout);
    drawColumnTable(p, layout, survey, options);
    p.setPen(framePen(p, layout));
    QString title;
    if (bitmap)
        title = options.curveName == 1 ? QStringLiteral("压缩波波速曲线Vp(m/s)")
                                       : QStringLiteral("剪切波波速曲线Vs(m/s)");
    else
        title = options.curveName == 1 ? QStringLiteral("压缩波速曲线Vp(m/s)") : QStringLiteral("剪切波速曲线Vs(m/s)");
    drawTitle(p, layout, title);
    if (bitmap)
        drawTextAt(p, layout.velocityCol + off(layout, 8), layout.headingLine - off(layout, 30),
                   QStringLiteral("V(m/s)"));

    const double vmax = largestVelocity(survey);
    drawValueAxis(p, layout, vmax);
    drawDepthAxis(p, layout, axisDepth(layout, survey));

    std::optional<QPointF> pointEnd;
    if (layout.pointCurve) {
        std::vector<std::pair<float, float>> steps;
        for (const TlvOne &point : survey.points)
            steps.emplace_back(point.pointVelocity, point.depth);
        pointEnd = drawStaircase(p, layout, steps, vmax, kPositiveColour);
    }
    std::vector<std::pair<float, float>> layerSteps;
    for (const DiChengOne &layer : survey.layers)
        layerSteps.emplace_back(layer.velocity, layer.bottom);
    const std::optional<QPointF> layerEnd = drawStaircase(p, layout, layerSteps, vmax, kNegativeColour);
    if (bitmap && (layerEnd || pointEnd))
        curveLabel(p, layout, layerEnd ? *layerEnd : *pointEnd, QStringLiteral("VS"));
    p.restore();
}

void DrawTimeDistanceChart(QPainter &p, const ColumnChartLayout &given, const SurveyData &survey,
                           const ColumnChartOptions &options)
{
    const ColumnChartLayout layout = fittedColumnLayout(given, survey);
    p.save();
    clipToFrame(p, layout);
    drawColumnTable(p, layout, survey, options);
    p.setPen(framePen(p, layout));
    drawTitle(p, layout, QStringLiteral("时距曲线图"));
    drawTextAt(p, layout.velocityCol + off(layout, 8), layout.headingLine - off(layout, 30), QStringLiteral("T(ms)"));

    const double tmax = largestTravelTime(survey);
    drawValueAxis(p, layout, tmax);
    drawDepthAxis(p, layout, axisDepth(layout, survey));

    if (tmax > 0.0 && !survey.points.empty()) {
        QPolygonF curve;
        for (const TlvOne &point : survey.points)
            curve << QPointF(valueX(layout, point.travelTime(), tmax), depthYOf(layout, point.depth));
        p.setPen(curvePen(p, layout, kPositiveColour));
        p.drawPolyline(curve);
        if (layout.circleRadius > 0)
            for (const QPointF &at : curve)
                p.drawEllipse(at, layout.circleRadius, layout.circleRadius);
        curveLabel(p, layout, curve.back(), QStringLiteral("TH(vs)"));
    }
    p.restore();
}

namespace {

// One chart of the combined figure: its axes, ticks, labels and depth scale.
struct FigureChart {
    int axisX; // vertical (depth) axis
    int axisRight; // end of the horizontal axis
    double tickSpacing; // of the ten value ticks
    double maximum; // full scale at the tenth tick
    double valueX(double value) const { return bounded(axisX + value / (maximum / (10.0 * tickSpacing))); }
};

} // namespace

void DrawTimeDistanceAndHistogram(QPainter &p, const QRect &rect, const SurveyData &survey)
{
    const int x0 = rect.left();
    const int y0 = rect.top();
    const int w = rect.width();
    const int h = rect.height();
    const int axisY = y0 + 32;
    const int bottom = y0 + h;
    const double vmax = largestVelocity(survey);
    const double tmax = largestTravelTime(survey);
    const float deepest = deepestPoint(survey);
    const float hole = std::isfinite(survey.header.holeDepth) ? std::max(survey.header.holeDepth, 0.0f) : 0.0f;
    const float depth = deepest > 0.0f ? deepest : hole;
    const double perMetre = depth > 0.0f ? double(h - 48) / double(depth) : 0.0;
    const auto depthY = [&](float d) { return bounded(axisY + perMetre * double(d)); };

    const FigureChart velocity{x0 + 30, x0 + 300, 24.0, vmax};
    const FigureChart time{x0 + 372, x0 + w, double(w - 30 - 372) / 10.0, tmax};

    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    const QPen pen = solidPen(p, Qt::black, 2);
    const QFont headingFont = viewFont(12);
    const QFont labelFont = viewFont(10);

    const auto drawAxes
        = [&](const FigureChart &chart, const QString &title, const QString &unit, const QString &curveName) {
              p.setPen(pen);
              p.drawLine(chart.axisX, y0 + 35, chart.axisX, bottom);
              p.drawLine(chart.axisX, axisY, chart.axisRight, axisY);
              for (int k = 1; k <= 10; ++k) {
                  const int x = chart.axisX + int(std::lround(chart.tickSpacing * k));
                  p.drawLine(x, axisY, x, axisY + (k % 5 == 0 ? 8 : 4));
              }
              p.setFont(headingFont);
              const QFontMetrics heading(headingFont);
              const int areaWidth = chart.axisRight - chart.axisX;
              drawTextAt(p, chart.axisX + (areaWidth - heading.horizontalAdvance(title)) / 2, y0 + 2, title);
              p.setFont(labelFont);
              const QFontMetrics labels(labelFont);
              drawTextAt(p, chart.axisX + int(std::lround(chart.tickSpacing * 5)) - 8, y0 + 18,
                         QString::asprintf("%.0f", chart.maximum / 2));
              const QString full = QString::asprintf("%.0f", chart.maximum);
              drawTextAt(p,
                         std::min(chart.axisX + int(std::lround(chart.tickSpacing * 10)) - 8,
                                  chart.axisRight - 2 - labels.horizontalAdvance(full)),
                         y0 + 18, full);
              // Unit of the value axis at its left end, unit of depth left of the
              // depth axis, the curve's name at the axis's right end.
              drawTextAt(p, chart.axisX + 4, y0 + 18, unit);
              drawTextAt(p, chart.axisX - 4 - labels.horizontalAdvance(QStringLiteral("H(m)")), y0 + 36,
                         QStringLiteral("H(m)"));
              drawTextAt(p, chart.axisX + areaWidth - 2 - labels.horizontalAdvance(curveName), y0 + 42, curveName);
              // Twenty depth ticks at the depths they name, every fifth labelled.
              for (int k = 1; k <= 20 && perMetre > 0.0; ++k) {
                  const float at = depth / 20.0f * float(k);
                  const int y = int(depthY(at));
                  const bool labelled = k % 5 == 0;
                  p.setPen(pen);
                  p.drawLine(chart.axisX, y, chart.axisX + (labelled ? 8 : 5), y);
                  if (labelled) {
                      const QString text = QString::asprintf("%.1f", double(at));
                      drawTextAt(p, chart.axisX - 4 - labels.horizontalAdvance(text), y - labels.height() / 2, text);
                  }
              }
          };

    drawAxes(velocity, QStringLiteral("波速直方图"), QStringLiteral("V(m/s)"), QStringLiteral("Vs"));
    drawAxes(time, QStringLiteral("时距曲线图"), QStringLiteral("T(ms)"), QStringLiteral("TH(vs)"));

    // The layer velocities as a staircase, each holding from the layer above's
    // bottom down to its own.
    if (vmax > 0.0 && perMetre > 0.0 && !survey.layers.empty()) {
        QPolygonF stairs;
        stairs << QPointF(velocity.valueX(survey.layers.front().velocity), axisY);
        for (std::size_t i = 0; i < survey.layers.size(); ++i) {
            const double y = depthY(survey.layers[i].bottom);
            stairs << QPointF(velocity.valueX(survey.layers[i].velocity), y);
            if (i + 1 < survey.layers.size())
                stairs << QPointF(velocity.valueX(survey.layers[i + 1].velocity), y);
        }
        p.setPen(solidPen(p, kNegativeColour, 2));
        p.drawPolyline(stairs);
    }
    // The travel times as a polyline with a circle around every point.
    if (tmax > 0.0 && perMetre > 0.0 && !survey.points.empty()) {
        QPolygonF curve;
        for (const TlvOne &point : survey.points)
            curve << QPointF(time.valueX(point.travelTime()), depthY(point.depth));
        p.setPen(solidPen(p, kPositiveColour, 2));
        p.drawPolyline(curve);
        for (const QPointF &at : curve)
            p.drawEllipse(at, 2, 2);
    }
    p.restore();
}

} // namespace talvex::charts
