// The print and bitmap variants of the result charts, the combined figure,
// the heading table with the site velocity and the time-depth table, checked
// on the pixels they draw.

#include "talvex/analysis/sitevelocity.h"
#include "talvex/charts/columncharts.h"
#include "talvex/charts/resulttables.h"
#include "talvex/charts/tests/chartsurvey.h"
#include "talvex/survey/surveydata.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::charts;

namespace {

constexpr int kA = 10; // left of the chart rectangle in the picture
const QRect kChart(kA, 20, 646, 600);

bool isBlack(const QImage &image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 100;
}

bool isWhite(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

// Pixels of `colour` (the curves are drawn in pure magenta and blue) in `area`.
int colourPixels(const QImage &image, QRgb colour, QRect area = {})
{
    if (area.isNull())
        area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// Pixels darker than `threshold` (small antialiased text stays light).
int inkPixels(const QImage &image, const QRect &area, int threshold = 160)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += qGray(image.pixel(x, y)) < threshold;
    return n;
}

using chartsurvey::kBlue;
using chartsurvey::kMagenta;

TlvOne point(float depth, float velocity, std::int16_t arrival = 0)
{
    TlvOne p;
    p.depth = depth;
    p.pointVelocity = velocity;
    p.sArrival = arrival;
    p.interval = 50.0f;
    return p;
}

// Picks the points (in list order, by depth) so that each interval from the
// point above is crossed at the point's velocity: the source at the hole,
// sArrival 1 at 1 ms a sample and the rest of the time in the delay.
void pickAlongVelocities(SurveyData &s)
{
    s.header.sourceDistance = 0.0f;
    double time = 0.0;
    double previous = 0.0;
    for (TlvOne &p : s.points) {
        time += (double(p.depth) - previous) / double(p.pointVelocity) * 1000.0;
        previous = p.depth;
        p.sArrival = 1;
        p.interval = 1000.0f;
        p.delay = float(time - 1.0);
    }
}

SurveyData twoPointSurvey()
{
    SurveyData survey;
    survey.header.holeDepth = 10.0f;
    survey.points = {point(5.0f, 100.0f, 100), point(10.0f, 200.0f, 150)};
    DiChengOne layer;
    layer.bottom = 10.0f;
    layer.velocity = 150.0f;
    survey.layers = {layer};
    return survey;
}

QImage blank(QSize size = {670, 640})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(BitmapColumnChart, RulesStaircaseAndNothingOutsideTheRectangle)
{
    SurveyData survey = twoPointSurvey();
    QImage image = blank();
    {
        QPainter p(&image);
        DrawVelocityHistogram(p, bitmapColumnLayout(kChart, true), survey, {});
    }
    // Near the bottom, below every text: the five rules and white between them.
    const int y = kChart.bottom() - 6;
    for (int boundary : {47, 138, 200, 313, 372}) {
        EXPECT_TRUE(isBlack(image, kA + boundary, y)) << boundary;
        EXPECT_TRUE(isWhite(image, kA + boundary - 3, y)) << boundary;
        EXPECT_TRUE(isWhite(image, kA + boundary + 3, y)) << boundary;
    }
    EXPECT_TRUE(isBlack(image, kA, y));
    EXPECT_TRUE(isBlack(image, kA + 32, kChart.top() + 32)) << "heading line 32 below the top";

    // The point staircase steps at 5 m from 100 to 200 m/s: full scale lies
    // ten of eleven intervals across the curve area, the deepest point
    // (10 m) 47 pixels above the bottom.
    const double spacing = (646 - 372) / 11.0;
    const int x100 = kA + 372 + int(5 * spacing);
    const int x200 = kA + 372 + int(10 * spacing);
    const int y5 = kChart.top() + 32 + (kChart.height() - 47) / 2;
    EXPECT_GT(colourPixels(image, kMagenta, QRect(x100 + 5, y5 - 2, x200 - x100 - 10, 5)), x200 - x100 - 10);
    EXPECT_EQ(colourPixels(image, kMagenta, QRect(x100 + 5, y5 + 4, x200 - x100 - 10, 20)), 0);
    EXPECT_GT(colourPixels(image, kBlue), 0);

    // The picture outside the rectangle stays white.
    EXPECT_EQ(inkPixels(image, QRect(0, kChart.bottom() + 2, image.width(), image.height() - kChart.bottom() - 2)), 0);
    EXPECT_EQ(inkPixels(image, QRect(0, 0, image.width(), kChart.top() - 1)), 0);

    // Without printTwoCurves only the layer curve is drawn.
    QImage single = blank();
    {
        QPainter p(&single);
        DrawVelocityHistogram(p, bitmapColumnLayout(kChart, false), survey, {});
    }
    EXPECT_EQ(colourPixels(single, kMagenta), 0);
    EXPECT_GT(colourPixels(single, kBlue), 0);
}

TEST(BitmapColumnChart, PatternTilesFillTheCell)
{
    SurveyData survey = twoPointSurvey();
    DiChengOne log;
    log.bottom = 10.0f;
    log.pattern = 1;
    survey.logLayers = {log};
    QImage image = blank();
    {
        QPainter p(&image);
        DrawTimeDistanceChart(p, bitmapColumnLayout(kChart, true), survey, {});
    }
    // Tiles of 58 x 40 from x a + 139: the picture inside, white right of it.
    const int tilesTop = kChart.top() + 33;
    const QRect firstTile(kA + 139, tilesTop, 58, 40);
    EXPECT_GT(inkPixels(image, firstTile), 40);
    EXPECT_EQ(inkPixels(image, QRect(kA + 198, tilesTop, 1, 40 * 10)), 0);
}

TEST(ColumnCharts, SurveyWithoutPointsDrawsFramesAndAxesButNoCurve)
{
    SurveyData survey;
    survey.header.holeDepth = 20.0f;
    DiChengOne layer;
    layer.bottom = 20.0f;
    layer.velocity = 180.0f;
    survey.layers = {layer};
    for (int chart = 0; chart < 3; ++chart) {
        QImage image = blank();
        {
            QPainter p(&image);
            if (chart == 0)
                DrawVelocityHistogram(p, bitmapColumnLayout(kChart, true), survey, {});
            else if (chart == 1)
                DrawTimeDistanceChart(p, bitmapColumnLayout(kChart, true), survey, {});
            else
                DrawTimeDistanceAndHistogram(p, kChart, survey);
        }
        EXPECT_EQ(colourPixels(image, kMagenta), 0) << chart;
        EXPECT_EQ(colourPixels(image, kBlue), 0) << chart;
        const int axisX = chart < 2 ? kA + 372 : kA + 30;
        EXPECT_TRUE(isBlack(image, axisX, kChart.bottom() - 4)) << chart;
    }
}

TEST(ColumnCharts, PrintVariantDrawsInHundredthsOfAMillimetreInsideItsRectangle)
{
    SurveyData survey = twoPointSurvey();
    const QRect area(1600, 3200, 18600, 24000);
    QImage image = blank({840, 1188}); // A4 at 4 pixels per mm
    {
        QPainter p(&image);
        p.scale(0.04, 0.04);
        DrawVelocityHistogram(p, printColumnLayout(area, true), survey, {});
    }
    const int y = int((area.bottom() - 200) * 0.04);
    for (int boundary : {1200, 3500, 5010, 7900, 9400})
        EXPECT_TRUE(isBlack(image, int((area.left() + boundary) * 0.04), y)) << boundary;
    EXPECT_GT(colourPixels(image, kMagenta), 0);
    EXPECT_EQ(inkPixels(image, QRect(0, int(area.bottom() * 0.04) + 2, 840, 40)), 0);
}

TEST(CombinedFigure, LayerStaircaseAndTravelTimesAgainstTheDepthScale)
{
    SurveyData survey = twoPointSurvey();
    QImage image = blank();
    {
        QPainter p(&image);
        DrawTimeDistanceAndHistogram(p, kChart, survey);
    }
    // The axes, pen 2: depth axes at x0 + 30 and x0 + 372, value axis at y0 + 32.
    EXPECT_TRUE(isBlack(image, kA + 30, kChart.top() + 200));
    EXPECT_TRUE(isBlack(image, kA + 372, kChart.top() + 200));
    EXPECT_TRUE(isBlack(image, kA + 200, kChart.top() + 32));
    // The layer at 150 m/s of a 200 m/s scale: 7.5 ticks of 24 pixels.
    const int layerX = kA + 30 + 180;
    EXPECT_GT(colourPixels(image, kBlue, QRect(layerX - 2, kChart.top() + 60, 5, 300)), 200);
    // The deepest travel time (full scale) at 10 m: (h - 48) below y0 + 32.
    const int deepY = kChart.top() + 32 + (kChart.height() - 48);
    const int fullX = kA + 372 + (646 - 30 - 372);
    EXPECT_GT(colourPixels(image, kMagenta, QRect(fullX - 3, deepY - 3, 7, 7)), 4);
    EXPECT_EQ(colourPixels(image, kMagenta, QRect(0, deepY + 5, image.width(), 20)), 0);
}

TEST(HeadingTable, SiteVelocityRowShowsTheStoredEquivalentVelocity)
{
    SurveyData survey;
    survey.header.computationDepth = 20.0f;
    survey.header.overburden = 12.5f;
    survey.points = {point(5, 100), point(10, 200), point(15, 300), point(25, 400)};
    pickAlongVelocities(survey);
    // The caller stores the site velocity before it draws; the row shows it.
    ASSERT_TRUE(UpdateSiteVelocity(survey));
    EXPECT_NEAR(survey.header.siteVelocity, 192.0f, 0.01f);
    auto rows = headingTableRows(survey, {0, true});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1].label, QStringLiteral("测试人员"));
    EXPECT_EQ(rows[2][0].value, QStringLiteral("12.5 m"));
    EXPECT_EQ(rows[2][1].value, QStringLiteral("192.00m/s"));

    // No overburden: the stored value is shown as it is, not recomputed.
    survey.header.overburden = 0.0f;
    survey.header.siteVelocity = 123.0f;
    rows = headingTableRows(survey, {1, true});
    EXPECT_EQ(survey.header.siteVelocity, 123.0f);
    EXPECT_EQ(rows[2][1].value, QStringLiteral("123.00m/s"));

    // The table frames the whole rectangle and returns the y below its rows.
    QImage image = blank();
    QPainter p(&image);
    EXPECT_EQ(DrawHeadingTable(p, PatternOutput::Bitmap, kChart, survey, {1, true}), kChart.top() + 72);
    EXPECT_EQ(DrawHeadingTable(p, PatternOutput::Bitmap, QRect(kA, 20, 646, 0), survey, {1, false}), 20 + 48);
    p.end();
    EXPECT_TRUE(isBlack(image, kA, kChart.bottom() - 2));
    EXPECT_TRUE(isBlack(image, kA + 645, kChart.bottom() - 2));
}

TEST(HeadingTable, SiteClassRowFromThePoints)
{
    // The hole ends at 25 m in soft ground: d = 25 m is a lower bound, vse
    // over 20 m is 192 m/s (II), and a thicker overburden would give III;
    // Vs30 crosses the last 5 m at the deepest velocity: 30 / 0.129167 s.
    SurveyData soft;
    soft.header.overburden = 12.5f;
    soft.points = {point(5, 100), point(10, 200), point(15, 300), point(25, 400)};
    pickAlongVelocities(soft);
    auto rows = headingTableRows(soft, {1, true, true});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2][0].label, QStringLiteral("覆盖层厚度"));
    EXPECT_EQ(rows[3][0].label, QStringLiteral("场地类别"));
    EXPECT_EQ(rows[3][0].value, QStringLiteral("II类（覆盖层更厚时可能为III类）"));
    EXPECT_EQ(rows[3][1].label, QStringLiteral("Vs30"));
    // Vs30 with its bounds (hand picks, ±2 samples) around it.
    const QRegularExpressionMatch m
        = QRegularExpression(QStringLiteral("^232\\.3m/s\\(([0-9.]+)~([0-9.]+)\\)\\(外推\\) NEHRP D EC8 C$"))
              .match(rows[3][1].value);
    ASSERT_TRUE(m.hasMatch()) << rows[3][1].value.toStdString();
    EXPECT_LT(m.captured(1).toDouble(), 232.3);
    EXPECT_GT(m.captured(1).toDouble(), 215.0);
    EXPECT_GT(m.captured(2).toDouble(), 232.3);
    EXPECT_LT(m.captured(2).toDouble(), 250.0);

    // Rock (faster than 500 m/s) from 20 m, measured down to 30 m: no note,
    // nothing extrapolated. Without the overburden row the site row is third.
    SurveyData site;
    for (int d = 5; d <= 20; d += 5)
        site.points.push_back(point(float(d), 200));
    site.points.push_back(point(25, 600));
    site.points.push_back(point(30, 700));
    pickAlongVelocities(site);
    rows = headingTableRows(site, {1, false, true});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[2][0].value, QStringLiteral("II类"));
    EXPECT_TRUE(rows[2][1].value.startsWith(QStringLiteral("259.8m/s(")));
    EXPECT_TRUE(rows[2][1].value.endsWith(QStringLiteral(") NEHRP D EC8 C")));

    // Nothing to classify from: no points, or no point with a velocity.
    SurveyData empty;
    const std::array<HeadingPair, 2> none = siteClassRow(empty);
    EXPECT_EQ(none[0].value, QStringLiteral("—"));
    EXPECT_EQ(none[1].value, QStringLiteral("—"));
    empty.points = {point(5, 0), point(10, 0)};
    EXPECT_EQ(siteClassRow(empty)[1].value, QStringLiteral("—"));
    EXPECT_TRUE(siteClassRow(empty)[0].value.contains(QStringLiteral("测点都未拾取初至")));
}

TEST(HeadingTable, UnpickedPointsAreLeftOutAndAZeroSiteVelocitySaysWhy)
{
    // 0-10 m at 200 m/s; the point at 4 m is not picked (its stored
    // velocity is what a delay alone gives).
    SurveyData s;
    s.header.overburden = 12.0f;
    s.header.computationDepth = 20.0f;
    for (int d = 1; d <= 10; ++d)
        s.points.push_back(point(float(d), 200));
    pickAlongVelocities(s);
    s.points[3].sArrival = 0;
    s.points[3].pointVelocity = -35.0f;
    auto rows = headingTableRows(s, {1, true, true});
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_TRUE(rows[3][0].value.startsWith(QStringLiteral("II类"))) << rows[3][0].value.toStdString();
    EXPECT_TRUE(rows[3][0].value.contains(QStringLiteral("1个测点未拾取初至，未计入")));
    EXPECT_TRUE(rows[3][1].value.startsWith(QStringLiteral("200.0m/s("))) << rows[3][1].value.toStdString();
    // The stored site velocity is 0 (the points end above 20 m) and says why.
    EXPECT_EQ(rows[2][1].value, QStringLiteral("0.00m/s（测点只到10.0m，未到计算深度20.0m）"));

    // Through the unpicked point, no figure is shown at all.
    s.header.computationDepth = 8.0f;
    rows = headingTableRows(s, {1, true, true});
    EXPECT_EQ(rows[2][1].value, QStringLiteral("—（计算深度8.0m内1个测点未拾取）"));
}

TEST(TimeDepthTable, PointsFillOneGroupAfterAnother)
{
    SurveyData survey;
    for (int i = 1; i <= 5; ++i)
        survey.points.push_back(point(float(i), 100.0f * float(i), std::int16_t(10 * i)));
    const QRect rect(0, 0, 648, 400);
    QImage image = blank({650, 420});
    {
        QPainter p(&image);
        DrawTimeDepthTable(p, PatternOutput::Bitmap, rect, survey);
    }
    // Two data rows below two heading rows of 24; columns of 54 pixels.
    const auto cellInk = [&](int group, int row) {
        int ink = 0;
        for (int column = 0; column < 3; ++column)
            ink += inkPixels(image, QRect(group * 162 + column * 54 + 3, 48 + row * 24 + 3, 48, 18));
        return ink;
    };
    EXPECT_GT(cellInk(0, 0), 0);
    EXPECT_GT(cellInk(0, 1), 0);
    EXPECT_GT(cellInk(1, 1), 0);
    EXPECT_GT(cellInk(2, 0), 0);
    EXPECT_EQ(cellInk(2, 1), 0);
    EXPECT_EQ(cellInk(3, 0), 0);
    EXPECT_EQ(inkPixels(image, QRect(2, 48 + 2 * 24 + 2, 640, 400 - 48 - 48 - 4)), 0) << "no third data row";

    // More points than the rectangle holds at 24 pixels a row: all are drawn inside it.
    survey.points.clear();
    for (int i = 1; i <= 201; ++i)
        survey.points.push_back(point(0.5f * float(i), 150.0f));
    QImage crowded = blank({650, 420});
    {
        QPainter p(&crowded);
        DrawTimeDepthTable(p, PatternOutput::Bitmap, rect, survey);
    }
    EXPECT_EQ(inkPixels(crowded, QRect(0, 402, 650, 18), 255), 0);
    // 51 rows a group: point 201 is the last group's 48th row.
    const int rowHeight = 400 / (51 + 2);
    EXPECT_GT(inkPixels(crowded, QRect(3 * 162 + 3, (2 + 47) * rowHeight + 1, 48, rowHeight - 2), 230), 0);
    EXPECT_EQ(inkPixels(crowded, QRect(3 * 162 + 3, (2 + 48) * rowHeight + 1, 48, rowHeight - 2), 255), 0);
}
