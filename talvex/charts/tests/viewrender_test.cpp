// The view painted through renderView, checked where the view's logical
// coordinates put things (scale 1 at 100 dpi: one unit is one pixel).

#include "chartsurvey.h"
#include "common/messenger.h"
#include "talvex/charts/soilpatterns.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/charts/viewpainter.h"
#include "talvex/charts/viewrender.h"
#include "talvex/processing/frequencydisplay.h"
#include "talvex/processing/rawrecorddisplay.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <limits>

using namespace talvex;
using namespace talvex::charts;

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
using chartsurvey::kBlue;
using chartsurvey::kMagenta;

class ViewRender : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_sample = new chartsurvey::Sample(chartsurvey::generatedSample()); }
    static void TearDownTestSuite() { delete s_sample; }

    QImage render(RenderOptions options)
    {
        options.patterns = &m_patterns;
        QString error;
        const std::optional<QImage> image = renderView(s_sample->survey, s_sample->record, options, &error);
        EXPECT_TRUE(image) << error.toStdString();
        return image ? *image : QImage();
    }
    static QRgb at(const QImage &image, int x, int y) { return (image.pixel(x, y) & 0xffffff) | 0xff000000; }
    // Pixels of `colour` in the rectangle.
    static int count(const QImage &image, const QRect &r, QRgb colour)
    {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += at(image, x, y) == colour;
        return n;
    }
    // Pixels that are not white in the rectangle.
    static int ink(const QImage &image, const QRect &r) { return r.width() * r.height() - count(image, r, kWhite); }
    const TlvOne &point(int k) const { return s_sample->survey.points[std::size_t(k - 1)]; }

    static chartsurvey::Sample *s_sample;
    QTemporaryDir m_folder; // no user patterns here
    SoilPatternSet m_patterns{m_folder.path()};
};

chartsurvey::Sample *ViewRender::s_sample = nullptr;

} // namespace

TEST_F(ViewRender, MultiTraceRowsCarryArrivalMarkerAndCursor)
{
    RenderOptions options;
    options.point = 3;
    options.trace = 1;
    options.cursorX = 600;
    const QImage image = render(options);
    ASSERT_EQ(image.size(), sceneExtent(DisplayMode::MultiTrace, 20, 20.0f));
    EXPECT_EQ(at(image, 5, 5), kWhite);

    for (int k : {1, 3, 20}) {
        const int top = multiTraceRowTop(k - 1);
        ASSERT_GT(point(k).sArrival, 0);
        const int x = kWaveformOriginX + point(k).sArrival;
        EXPECT_EQ(at(image, x, top + 21), kBlack) << "arrival line of point " << k;
        EXPECT_EQ(at(image, x, top + 99), kBlack) << "arrival line of point " << k;
        EXPECT_NE(at(image, x, top + 15), kBlack) << "arrival line ends at top + 20";
        EXPECT_EQ(at(image, kWaveformOriginX + 500, top + 120), kBlack) << "row separator";
        // The current point's marker, blue for the selected negative trace.
        EXPECT_EQ(at(image, kWaveformOriginX - 12, top + 17), k == 3 ? kBlue : kWhite);
    }
    // Both traces are drawn in their colours.
    const QRect row3(kWaveformOriginX + 1, multiTraceRowTop(2), 1024, 120);
    EXPECT_GT(count(image, row3, kMagenta), 200);
    EXPECT_GT(count(image, row3, kBlue), 200);
    // The time cursor: only in the current row, from top + 10 to top + 110.
    EXPECT_EQ(at(image, 600, multiTraceRowTop(2) + 12), kBlack);
    EXPECT_EQ(at(image, 600, multiTraceRowTop(2) + 108), kBlack);
    EXPECT_EQ(at(image, 600, multiTraceRowTop(2) + 5), kWhite);
    EXPECT_NE(at(image, 600, multiTraceRowTop(0) + 12), kBlack);
}

TEST_F(ViewRender, ClicksHitThePaintedRows)
{
    const QImage image = render(RenderOptions{});
    // Row separators are solid black lines across the waveform area; a click
    // just above one hits its row, just below it the next.
    int separators = 0;
    for (int y = 21; y < image.height(); ++y) {
        if (count(image, QRect(kWaveformOriginX + 1, y, 1024, 1), kBlack) < 1000)
            continue;
        ++separators;
        const int row = (y - kWaveformOriginY) / kRowHeight;
        EXPECT_EQ(multiTraceHit(y - 1).row, row) << y;
        EXPECT_EQ(multiTraceHit(y + 1).row, row + 1) << y;
        // The centre line halfway up the row splits the two traces.
        EXPECT_FALSE(multiTraceHit(y - 61).lower);
        EXPECT_TRUE(multiTraceHit(y - 59).lower);
    }
    EXPECT_EQ(separators, 20);
}

TEST_F(ViewRender, SingleTraceAndPointlessSurvey)
{
    RenderOptions options;
    options.mode = DisplayMode::SingleTrace;
    options.point = 10;
    const QImage image = render(options);
    const int x = kWaveformOriginX + point(10).sArrival;
    EXPECT_EQ(at(image, x, kWaveformOriginY + 101), kBlack);
    EXPECT_EQ(at(image, x, kWaveformOriginY + 699), kBlack);
    EXPECT_EQ(at(image, kWaveformOriginX - 12, kWaveformOriginY + 17), kMagenta);
    EXPECT_GT(count(image, QRect(101, 20, 1024, 800), kBlue), 500);

    // Without points and record every mode but the spectrum shows its frame
    // and nothing else.
    const SurveyData empty;
    const FieldRecord noRecord;
    for (DisplayMode mode : {DisplayMode::MultiTrace, DisplayMode::SingleTrace, DisplayMode::RawRecord,
                             DisplayMode::VelocityHistogram, DisplayMode::TimeDistance}) {
        options.mode = mode;
        options.patterns = &m_patterns;
        QString error;
        const auto shown = renderView(empty, noRecord, options, &error);
        ASSERT_TRUE(shown) << int(mode) << error.toStdString();
        const QRect curves(kWaveformOriginX + 1, 0, shown->width() - kWaveformOriginX - 1, shown->height());
        EXPECT_EQ(count(*shown, curves, kMagenta), 0) << int(mode);
    }
    options.mode = DisplayMode::Spectrum;
    QString error;
    EXPECT_FALSE(renderView(empty, s_sample->record, options, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(ViewRender, RawRecordMarksTheSelectedChannel)
{
    RenderOptions options;
    options.mode = DisplayMode::RawRecord;
    options.channel = 2;
    const QImage image = render(options);
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(at(image, kWaveformOriginX - 20, rawChannelTop(c) + 100), c == 2 ? kMagenta : kWhite) << c;
    // The record's channels hold samples: each drawn row has magenta in it.
    for (int c = 1; c <= s_sample->record.header.channelCount; ++c)
        EXPECT_GT(count(image, QRect(101, rawChannelTop(c) + 1, 1024, 198), kMagenta), 300) << c;
    EXPECT_EQ(at(image, 200, rawChannelTop(2) + 5), kBlack) << "cursor from the channel's top";
    EXPECT_EQ(at(image, 200, rawChannelTop(1) + 5), kWhite);
}

TEST_F(ViewRender, SpectrumIsDrawnAndAFlatBufferDoesNotDivideByZero)
{
    RenderOptions options;
    options.mode = DisplayMode::Spectrum;
    options.point = 5;
    const QImage image = render(options);
    EXPECT_GT(count(image, QRect(101, 20, 1024, 800), kMagenta), 500);

    SurveyData flat;
    flat.points.resize(1); // a point with empty traces and no interval
    QString error;
    options.point = 1;
    options.patterns = &m_patterns;
    EXPECT_TRUE(renderView(flat, s_sample->record, options, &error)) << error.toStdString();
}

TEST_F(ViewRender, HistogramStepsPatternsAndDepthCursor)
{
    RenderOptions options;
    options.mode = DisplayMode::VelocityHistogram;
    options.depthCursor = 5000; // clamped one unit above the hole-depth line
    const QImage image = render(options);
    const SurveyData &survey = s_sample->survey;
    ASSERT_GE(survey.layers.size(), 2u);
    float vmax = 0.0f;
    for (const TlvOne &p : survey.points)
        vmax = std::max(vmax, p.pointVelocity);
    // The layer staircase: the first layer's velocity holds from 0 down to
    // its bottom, in blue.
    const int x = 700 + int(survey.layers[0].velocity / (vmax / 500.0f));
    const int yBottom = 100 + int(50.0f * survey.layers[0].bottom);
    EXPECT_GT(count(image, QRect(x - 1, 110, 3, yBottom - 120), kBlue), yBottom - 130);
    // The point staircase reaches Vmax in magenta at x 1200.
    EXPECT_GT(count(image, QRect(1199, 100, 3, 1000), kMagenta), 10);
    // Pattern cells: fill (1) and gravel (32) have black in them, the cells stay within 300 ... 400.
    EXPECT_GT(ink(image, QRect(302, 102, 97, 96)), 500);
    EXPECT_GT(ink(image, QRect(302, 660, 97, 400)), 1000);
    EXPECT_EQ(count(image, QRect(401, 300, 150, 100), kMagenta), 0);
    // The depth cursor at y 1099 from x 720 to 1230.
    EXPECT_EQ(at(image, 725, 1099), kBlack);
    EXPECT_EQ(at(image, 1228, 1099), kBlack);
    EXPECT_EQ(at(image, 1240, 1099), kWhite);
    EXPECT_EQ(at(image, 5, 5), kWhite);
}

TEST_F(ViewRender, TimeDistanceCirclesEveryPoint)
{
    RenderOptions options;
    options.mode = DisplayMode::TimeDistance;
    const QImage image = render(options);
    float tmax = 0.0f;
    for (const TlvOne &p : s_sample->survey.points)
        tmax = std::max(tmax, p.travelTime());
    for (const TlvOne &p : s_sample->survey.points) {
        const int x = 700 + int(p.travelTime() / (tmax / 500.0f));
        const int y = 100 + int(50.0f * p.depth);
        // The circle of radius 3 has magenta on its rim on both sides.
        EXPECT_GT(count(image, QRect(x - 5, y - 1, 4, 3), kMagenta), 0) << p.depth;
        EXPECT_GT(count(image, QRect(x + 2, y - 1, 4, 3), kMagenta), 0) << p.depth;
    }
}

TEST_F(ViewRender, EmptyAndUnknownPatternCellsStayWhite)
{
    chartsurvey::Sample sample = chartsurvey::generatedSample();
    sample.survey.logLayers[0].pattern = 83; // no such code
    sample.survey.logLayers[3].pattern = 243; // a user pattern that is missing
    RenderOptions options;
    options.mode = DisplayMode::VelocityHistogram;
    options.patterns = &m_patterns;
    QString error;
    const auto image = renderView(sample.survey, sample.record, options, &error);
    ASSERT_TRUE(image);
    EXPECT_EQ(ink(*image, QRect(302, 102, 97, 96)), 0);
    EXPECT_EQ(ink(*image, QRect(302, 660, 97, 400)), 0);
}

TEST_F(ViewRender, ScaleAndResolutionSizeThePicture)
{
    RenderOptions options;
    options.mode = DisplayMode::RawRecord;
    options.scale = 0.75;
    options.dpi = 96;
    const QImage image = render(options);
    EXPECT_EQ(image.width(), 1008); // 1400 x 0.75 x 0.96
    EXPECT_EQ(image.height(), 605);
    EXPECT_EQ(image.dotsPerMeterX(), 3780);
}

TEST_F(ViewRender, OptionsTheViewCannotShowAreRefused)
{
    const auto refused = [&](RenderOptions options) {
        QString error;
        const bool shown = renderView(s_sample->survey, s_sample->record, options, &error).has_value();
        return !shown && !error.isEmpty();
    };
    RenderOptions o;
    o.point = 0;
    EXPECT_TRUE(refused(o));
    o = {};
    o.point = 21;
    EXPECT_TRUE(refused(o));
    o = {};
    o.trace = 2;
    EXPECT_TRUE(refused(o));
    o = {};
    o.channel = 5;
    EXPECT_TRUE(refused(o));
    o = {};
    o.scale = 0.0;
    EXPECT_TRUE(refused(o));
    o = {};
    o.dpi = 0;
    EXPECT_TRUE(refused(o));
    o = {};
    o.scale = 10.0;
    o.dpi = 1200; // 156000 pixels wide
    EXPECT_TRUE(refused(o));
}

TEST(RawRecordPainting, CompressedDisplaySpreadsItsSamplesOverTheRow)
{
    // A 4096-sample record, silent for its first half and then at 1000: the
    // first 1024 samples the plain display shows are silent, while the
    // display compressed once shows every second sample, with the step at
    // display sample 1024 of 2048, half-way across the row.
    FieldRecord record;
    record.header.channelCount = 1;
    record.header.sampleCount = 4096;
    for (int i = 2048; i < 4096; ++i)
        record.channels[0][std::size_t(i)] = 1000;
    RawRecordDisplay raw;
    raw.RestoreDisplay(record);
    common::RecordingMessenger messenger;
    ASSERT_TRUE(raw.CompressDisplay(record, messenger));
    ASSERT_EQ(raw.length(), 2048);

    const SurveyData survey;
    ViewState view;
    view.mode = DisplayMode::RawRecord;
    const FrequencyDisplay spectrum;
    QImage image(1400, 840, QImage::Format_RGB32);
    const auto paint = [&](const RawRecordDisplay &display) {
        image.fill(Qt::white);
        QPainter p(&image);
        paintScene(p, ViewScene{survey, view, record, display, spectrum}, image.rect());
    };
    const int top = rawChannelTop(1);
    const auto magenta = [&](int x, int y) { return (image.pixel(x, y) & 0xffffff) == 0xff00ff; };
    paint(raw);
    EXPECT_TRUE(magenta(kWaveformOriginX + 300, top + 100));
    EXPECT_TRUE(magenta(kWaveformOriginX + 800, top + 195));
    EXPECT_FALSE(magenta(kWaveformOriginX + 800, top + 100));
    EXPECT_TRUE(magenta(kWaveformOriginX + 1020, top + 195)) << "the display reaches the row's end";

    paint(RawRecordDisplay{}); // not compressed: the record's first 1024 samples, all silent
    EXPECT_FALSE(magenta(kWaveformOriginX + 300, top + 100));
    EXPECT_FALSE(magenta(kWaveformOriginX + 800, top + 195));
}

TEST_F(ViewRender, LongSoilNameIsLedBelowItsLayer)
{
    RenderOptions options;
    options.mode = DisplayMode::TimeDistance;
    const QImage image = render(options);
    // The fill layer's short name: a straight boundary at its bottom (2 m, y 200).
    EXPECT_EQ(count(image, QRect(60, 200, 231, 1), kBlack), 231);
    // The clay layer (2 ... 3 m, y 200 ... 250) has a name of several lines:
    // its boundary runs under the name, from x 150 to 290 below y 255.
    int leaderY = -1;
    for (int y = 256; y < 450 && leaderY < 0; ++y)
        if (count(image, QRect(152, y, 137, 1), kBlack) == 137)
            leaderY = y;
    EXPECT_GT(leaderY, 0);
    EXPECT_LT(count(image, QRect(152, 250, 137, 1), kBlack), 100) << "no straight boundary through the name";
    // ... and the next name (中砂, layer 3 ... 11 m) starts below it instead of
    // at its own top, 10 units below y 250, where the long name is.
    int dark = 0;
    for (int y = leaderY + 1; y < leaderY + 45; ++y)
        for (int x = 152; x < 292; ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    EXPECT_GT(dark, 30);
}

TEST_F(ViewRender, DamagedFiguresDrawInEveryMode)
{
    // What a damaged document may hold: figures that are not numbers, or far
    // out of range. Every mode still draws (or refuses with a message).
    SurveyData survey = s_sample->survey;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    survey.header.holeDepth = nan;
    survey.points[0].depth = inf;
    survey.points[1].pointVelocity = inf;
    survey.points[2].pointVelocity = nan;
    survey.points[3].delay = -inf;
    survey.points[4].interval = 3.0e38f;
    survey.points[5].sArrival = -5;
    survey.points[6].sArrival = 32767;
    survey.layers[0].bottom = nan;
    survey.layers[1].velocity = -1.0e30f;
    survey.logLayers[0].bottom = 1.0e30f;
    survey.logLayers[1].pattern = 255;
    for (int mode = 0; mode <= 5; ++mode) {
        RenderOptions options;
        options.mode = DisplayMode(mode);
        options.patterns = &m_patterns;
        QString error;
        const auto image = renderView(survey, s_sample->record, options, &error);
        EXPECT_TRUE(image || !error.isEmpty()) << mode;
    }
}
