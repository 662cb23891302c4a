// The zoom's stored percentage and bounds, the readouts of each mode, the
// mode commands and the scroll positions the modes keep.

#include "talvex/processing/frequencydisplay.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"
#include "talvex/ui/view/viewmodecommands.h"
#include "talvex/ui/view/viewreadout.h"
#include "talvex/ui/view/viewzoom.h"

#include <gtest/gtest.h>

using namespace talvex;

TEST(ViewZoom, ThreeStepsFrom75StoreNinetyAndFiftyNine)
{
    ViewZoom in(75);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(in.zoomIn());
    EXPECT_EQ(in.percent(), 90);

    // 0.75 - 3 x 0.05 lies just below 0.6 and the percentage is truncated.
    ViewZoom out(75);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(out.zoomOut());
    EXPECT_EQ(out.percent(), 59);
}

TEST(ViewZoom, NeverReachesZeroOrLessFromAStepOrTheSettings)
{
    ViewZoom zoom(75);
    for (int i = 0; i < 30; ++i)
        zoom.zoomOut();
    EXPECT_DOUBLE_EQ(zoom.scale(), ViewZoom::kLowest);
    EXPECT_EQ(zoom.percent(), 5);
    EXPECT_FALSE(zoom.zoomOut());
    EXPECT_TRUE(zoom.zoomIn());
    EXPECT_EQ(zoom.percent(), 10);

    EXPECT_DOUBLE_EQ(ViewZoom(0).scale(), ViewZoom::kLowest);
    EXPECT_DOUBLE_EQ(ViewZoom(-40).scale(), ViewZoom::kLowest);
    EXPECT_DOUBLE_EQ(ViewZoom(1000000).scale(), ViewZoom::kHighest);
    EXPECT_DOUBLE_EQ(ViewZoom(120).scale(), 1.2);
}

namespace {

SurveyData onePointSurvey()
{
    SurveyData survey;
    TlvOne p = TlvOne::newPoint(1.5f);
    p.depth = 3.5f;
    p.interval = 25.0f;
    p.delay = 2.0f;
    p.sArrival = 200;
    p.pointVelocity = 187.25f;
    p.equivVelocity = 150.5f;
    survey.points.push_back(p);
    return survey;
}

} // namespace

TEST(Readouts, LabelValueAndUnitOfEachMode)
{
    const SurveyData survey = onePointSurvey();
    FieldRecord record;
    record.channelInterval = {25.0f, 50.0f, 25.0f, 25.0f};
    record.delay = 1.0f;
    FrequencyDisplay spectrum;
    spectrum.frequencyStep = 9.5f;
    ViewState view;
    view.cursorX = kWaveformOriginX + 100;
    view.depthCursor = 350;
    view.selectedChannel = 2;

    const auto readout = [&](DisplayMode mode) {
        view.mode = mode;
        return cursorReadout(survey, view, record, spectrum);
    };
    EXPECT_EQ(readout(DisplayMode::MultiTrace), (CursorReadout{"当前时间:", "4.50", "ms"}));
    EXPECT_EQ(readout(DisplayMode::SingleTrace), (CursorReadout{"当前时间:", "4.50", "ms"}));
    EXPECT_EQ(readout(DisplayMode::RawRecord), (CursorReadout{"当前时间:", "6.00", "ms"}));
    EXPECT_EQ(readout(DisplayMode::Spectrum), (CursorReadout{"当前频率:", "950.00", "Hz"}));
    EXPECT_EQ(readout(DisplayMode::VelocityHistogram), (CursorReadout{"当前深度:", "5.0", "m"}));
    // The time-distance chart has no cursor, but the box is never blank.
    const CursorReadout timeDistance = readout(DisplayMode::TimeDistance);
    EXPECT_EQ(timeDistance.label, QString::fromUtf8("波初至时:"));
    EXPECT_EQ(timeDistance.unit, QStringLiteral("ms"));
    EXPECT_EQ(timeDistance.value, QString::number(double(survey.points[0].travelTime()), 'f', 2));

    // A current point past the list (after the last point was deleted).
    view.currentPoint = 2;
    EXPECT_EQ(readout(DisplayMode::MultiTrace).value, "0.00");
    EXPECT_EQ(readout(DisplayMode::TimeDistance), (CursorReadout{"波初至时:", "0.00", "ms"}));
}

TEST(Readouts, StatusPanesOfTheCurrentPointOrZero)
{
    const SurveyData survey = onePointSurvey();
    ViewState view;
    EXPECT_EQ(statusPaneTexts(survey, view),
              (QStringList{"测点深度:3.50m", "波初至时:7.00ms", "测点波速:187.25m/s", "等效波速:150.50m/s",
                           "采样延时:2ms", "采样间隔:25us"}));
    view.currentPoint = 0;
    EXPECT_EQ(statusPaneTexts(survey, view),
              (QStringList{"测点深度:0.00m", "波初至时:0.00ms", "测点波速:0.00m/s", "等效波速:0.00m/s", "采样延时:0ms",
                           "采样间隔:0us"}));
}

TEST(Readouts, VelocitiesFromAnUnpickedPointAreMarked)
{
    SurveyData survey = onePointSurvey();
    TlvOne unpicked = survey.points[0];
    unpicked.depth = 4.5f;
    unpicked.sArrival = 0;
    unpicked.pointVelocity = -812.0f; // what a delay alone gives
    survey.points.push_back(unpicked);
    TlvOne below = survey.points[0];
    below.depth = 5.5f;
    survey.points.push_back(below);
    ViewState view;
    view.currentPoint = 2;
    QStringList texts = statusPaneTexts(survey, view);
    EXPECT_EQ(texts[2], QStringLiteral("测点波速:未拾取"));
    EXPECT_EQ(texts[3], QStringLiteral("等效波速:未拾取"));
    // Picked, but measured against the unpicked point above it.
    view.currentPoint = 3;
    texts = statusPaneTexts(survey, view);
    EXPECT_EQ(texts[2], QStringLiteral("测点波速:未拾取(上点)"));
    EXPECT_EQ(texts[3], QStringLiteral("等效波速:150.50m/s"));
}

TEST(ModeCommands, HistogramNeedsPointsAndRecomputesTheLayers)
{
    SurveyData survey;
    ViewState view;
    EXPECT_FALSE(ShowVelocityHistogram(survey, view));
    EXPECT_EQ(view.mode, DisplayMode::MultiTrace);

    survey = onePointSurvey();
    DiChengOne l;
    l.bottom = 10.0f;
    l.velocity = 999.0f; // stale
    survey.layers.push_back(l);
    view.depthCursor = 700;
    EXPECT_TRUE(ShowVelocityHistogram(survey, view));
    EXPECT_EQ(view.mode, DisplayMode::VelocityHistogram);
    EXPECT_EQ(view.depthCursor, 102);
    EXPECT_NE(survey.layers[0].velocity, 999.0f);
}

TEST(ScrollMemory, WaveformsAndChartsEachReturnWhereTheyWere)
{
    ScrollMemory memory;
    EXPECT_EQ(memory.switchMode(DisplayMode::MultiTrace, DisplayMode::VelocityHistogram, {0, 5000}), QPoint(0, 0));
    EXPECT_EQ(memory.switchMode(DisplayMode::VelocityHistogram, DisplayMode::MultiTrace, {10, 300}), QPoint(0, 5000));
    EXPECT_EQ(memory.switchMode(DisplayMode::MultiTrace, DisplayMode::SingleTrace, {0, 4000}), std::nullopt);
    EXPECT_EQ(memory.switchMode(DisplayMode::SingleTrace, DisplayMode::TimeDistance, {0, 0}), QPoint(10, 300));
    EXPECT_EQ(memory.switchMode(DisplayMode::TimeDistance, DisplayMode::VelocityHistogram, {10, 200}), std::nullopt);
    EXPECT_EQ(memory.switchMode(DisplayMode::VelocityHistogram, DisplayMode::RawRecord, {10, 250}), std::nullopt);
    EXPECT_EQ(memory.switchMode(DisplayMode::RawRecord, DisplayMode::MultiTrace, {0, 0}), QPoint(0, 4000));
    EXPECT_EQ(memory.switchMode(DisplayMode::MultiTrace, DisplayMode::VelocityHistogram, {0, 0}), QPoint(10, 250));
}
