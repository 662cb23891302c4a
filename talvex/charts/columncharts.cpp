#include "talvex/charts/columncharts.h"

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/soilpatterns.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/survey/surveydata.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <limits>
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

QString layerText(const DiChengOne &layer)
{
    return common::decodeGbk(common::readFixedText(layer.description));
}

// Where a layer's text starts: 10 units below the layer top, or, when that
// would overlap the text of the layer above, 15 units below that text's end.
int textStart(int wanted, int previousEnd)
{
    return wanted < previousEnd ? previousEnd + 15 : wanted;
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
    p.setPen(cosmeticPen(Qt::black));
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
    // past its layer's bottom is joined to the boundary by a leader.
    int previousEnd = std::numeric_limits<int>::min() / 2;
    for (const DiChengOne &layer : survey.logLayers) {
        const int yTop = depthYOf(layout, layer.top);
        const int yBottom = depthYOf(layout, layer.bottom);
        FillPattern(p, layout.patternOutput, layout.nameCol, yTop, yBottom, patterns.pattern(layer.pattern));
        p.setPen(cosmeticPen(Qt::black));
        drawTextAt(p, layout.left + 20, yBottom - 30, QString::asprintf("%.1f", double(layer.bottom)));
        const QString name = layerText(layer);
        const int start = textStart(yTop + 10, previousEnd);
        const int end = drawWrappedText(p, layout.depthCol + 12, layout.nameCol - 5, start, name);
        if (!name.isEmpty())
            previousEnd = end;
        if (!name.isEmpty() && end > yBottom) {
            const QPolygon leader{QPoint(layout.left, yBottom), QPoint(layout.depthCol, yBottom),
                                  QPoint(layout.depthCol + 10, end + 5), QPoint(layout.nameCol - 10, end + 5),
                                  QPoint(layout.nameCol, yBottom)};
            p.drawPolyline(leader);
        } else {
            p.drawLine(layout.left, yBottom, layout.nameCol, yBottom);
        }
    }

    // Velocity layers: velocity, description, boundary.
    previousEnd = std::numeric_limits<int>::min() / 2;
    for (const DiChengOne &layer : survey.layers) {
        const int yTop = depthYOf(layout, layer.top);
        const int yBottom = depthYOf(layout, layer.bottom);
        drawTextAt(p, layout.descriptionCol + 20, yTop + 10, QString::asprintf("%.1f", double(layer.velocity)));
        const QString description = layerText(layer);
        const int start = textStart(yTop + 10, previousEnd);
        const int end = drawWrappedText(p, layout.patternCol + 15, layout.descriptionCol - 10, start, description);
        if (!description.isEmpty())
            previousEnd = end;
        if (!description.isEmpty() && end > yBottom) {
            const QPolygon leader{QPoint(layout.patternCol, yBottom), QPoint(layout.patternCol + 10, end + 5),
                                  QPoint(layout.descriptionCol - 15, end + 5), QPoint(layout.descriptionCol, yBottom),
                                  QPoint(layout.velocityCol, yBottom)};
            p.drawPolyline(leader);
        } else {
            p.drawLine(layout.patternCol, yBottom, layout.velocityCol, yBottom);
        }
    }
}

// The horizontal axis of the curve area along the heading line: ten ticks
// 50 units apart (every fifth longer) and the labels of half and full scale.
void drawValueAxis(QPainter &p, const ColumnChartLayout &layout, double maximum)
{
    const int x0 = layout.velocityCol;
    const int y = layout.headingLine;
    p.setPen(cosmeticPen(Qt::black));
    for (int k = 1; k <= 10; ++k) {
        const int length = k % 5 == 0 ? 9 : 5;
        p.drawLine(x0 + 50 * k, y, x0 + 50 * k, y + length);
    }
    drawTextAt(p, x0 + 230, y - 30, QString::asprintf("%.0f", maximum / 2));
    drawTextAt(p, x0 + 475, y - 30, QString::asprintf("%.0f", maximum));
}

// The depth axis along the left edge of the curve area: twenty ticks down
// to the hole depth, every fifth longer and labelled with its depth. The
// ticks sit at the depths they name.
void drawDepthAxis(QPainter &p, const ColumnChartLayout &layout, float holeDepth)
{
    const int x = layout.velocityCol;
    p.setPen(cosmeticPen(Qt::black));
    for (int k = 1; k <= 20; ++k) {
        const float depth = holeDepth / 20.0f * float(k);
        const int y = depthYOf(layout, depth);
        const bool labelled = k % 5 == 0;
        p.drawLine(x, y, x + (labelled ? 12 : 7), y);
        if (labelled)
            drawTextAt(p, x + 3, y - 26, QString::asprintf("%.1f", double(depth)));
    }
}

void drawTitle(QPainter &p, const ColumnChartLayout &layout, const QString &title)
{
    const QFontMetrics metrics(p.font());
    drawTextAt(p, layout.velocityCol + (layout.right - layout.velocityCol - metrics.horizontalAdvance(title)) / 2,
               layout.top + 8, title);
}

// x of a value on the axis whose full scale `maximum` lies 500 units right
// of the curve area's left edge.
double valueX(const ColumnChartLayout &layout, double value, double maximum)
{
    return bounded(layout.velocityCol + value / (maximum / 500.0));
}

// A staircase: from (x(v0), depth 0) down to each depth at its own value,
// then across to the next value. Each value holds from the previous depth
// down to its own.
void drawStaircase(QPainter &p, const ColumnChartLayout &layout, const std::vector<std::pair<float, float>> &steps,
                   double maximum, const QColor &colour)
{
    if (steps.empty() || !(maximum > 0.0))
        return;
    QPolygonF line;
    line << QPointF(valueX(layout, steps.front().first, maximum), layout.headingLine);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const double y = depthYOf(layout, steps[i].second);
        line << QPointF(valueX(layout, steps[i].first, maximum), y);
        if (i + 1 < steps.size())
            line << QPointF(valueX(layout, steps[i + 1].first, maximum), y);
    }
    p.setPen(cosmeticPen(colour));
    p.drawPolyline(line);
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
    return layout;
}

void DrawVelocityHistogram(QPainter &p, const ColumnChartLayout &layout, const SurveyData &survey,
                           const ColumnChartOptions &options)
{
    p.save();
    drawColumnTable(p, layout, survey, options);
    p.setPen(Qt::black);
    drawTitle(p, layout,
              options.curveName == 1 ? QStringLiteral("压缩波速曲线Vp(m/s)") : QStringLiteral("剪切波速曲线Vs(m/s)"));

    double vmax = 0.0;
    for (const TlvOne &point : survey.points)
        if (std::isfinite(point.pointVelocity))
            vmax = std::max(vmax, double(point.pointVelocity));
    drawValueAxis(p, layout, vmax);
    drawDepthAxis(p, layout, survey.header.holeDepth);

    if (layout.pointCurve) {
        std::vector<std::pair<float, float>> steps;
        for (const TlvOne &point : survey.points)
            steps.emplace_back(point.pointVelocity, point.depth);
        drawStaircase(p, layout, steps, vmax, kPositiveColour);
    }
    std::vector<std::pair<float, float>> layerSteps;
    for (const DiChengOne &layer : survey.layers)
        layerSteps.emplace_back(layer.velocity, layer.bottom);
    drawStaircase(p, layout, layerSteps, vmax, kNegativeColour);
    p.restore();
}

void DrawTimeDistanceChart(QPainter &p, const ColumnChartLayout &layout, const SurveyData &survey,
                           const ColumnChartOptions &options)
{
    p.save();
    drawColumnTable(p, layout, survey, options);
    p.setPen(Qt::black);
    drawTitle(p, layout, QStringLiteral("时距曲线图"));
    drawTextAt(p, layout.velocityCol + 8, layout.headingLine - 30, QStringLiteral("T(ms)"));

    double tmax = 0.0;
    for (const TlvOne &point : survey.points)
        if (std::isfinite(point.travelTime()))
            tmax = std::max(tmax, double(point.travelTime()));
    drawValueAxis(p, layout, tmax);
    drawDepthAxis(p, layout, survey.header.holeDepth);

    if (tmax > 0.0 && !survey.points.empty()) {
        QPolygonF curve;
        for (const TlvOne &point : survey.points)
            curve << QPointF(valueX(layout, point.travelTime(), tmax), depthYOf(layout, point.depth));
        p.setPen(cosmeticPen(kPositiveColour));
        p.drawPolyline(curve);
        if (layout.circleRadius > 0)
            for (const QPointF &at : curve)
                p.drawEllipse(at, layout.circleRadius, layout.circleRadius);
        // The curve's name beside its deepest end.
        p.setPen(Qt::black);
        const QPointF last = curve.back();
        drawTextAt(p, int(std::max(last.x() - 90, double(layout.velocityCol + 60))), int(last.y()) - 30,
                   QStringLiteral("TH(vs)"));
    }
    p.restore();
}

} // namespace talvex::charts
