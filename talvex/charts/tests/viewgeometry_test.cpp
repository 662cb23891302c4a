// Hit testing and the clamps of the view's cursors, as the view's mouse and
// key handling use them.

#include "talvex/charts/viewgeometry.h"
#include "talvex/survey/surveydata.h"

#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::charts;

TEST(ViewGeometry, MultiTraceClickFindsRowAndHalf)
{
    // Row 3 spans y 260 ... 379; its lower half starts at 320.
    EXPECT_EQ(multiTraceHit(330).row, 3);
    EXPECT_TRUE(multiTraceHit(330).lower);
    EXPECT_FALSE(multiTraceHit(319).lower);
    EXPECT_TRUE(multiTraceHit(320).lower);
    EXPECT_EQ(multiTraceHit(379).row, 3);
    EXPECT_EQ(multiTraceHit(380).row, 4);
    // The margin above the first row belongs to point 1's upper half.
    EXPECT_EQ(multiTraceHit(5).row, 1);
    EXPECT_FALSE(multiTraceHit(5).lower);
    // Below the last of 5 rows: a row past the count, which the caller ignores.
    EXPECT_GT(multiTraceHit(20 + 5 * 120 + 10).row, 5);
}

TEST(ViewGeometry, RowsOfABandCoverWhatIsVisibleAndStayInTheList)
{
    const RowRange rows = multiTraceRowsIn(1000, 2080, 10000);
    EXPECT_LE(rows.first, (1000 - 20) / 120);
    EXPECT_GE(rows.last, (2080 - 20) / 120 + 1);
    EXPECT_LT(rows.last - rows.first, 14); // a screenful, not the survey
    const RowRange tail = multiTraceRowsIn(0, 1 << 24, 7);
    EXPECT_EQ(tail.first, 0);
    EXPECT_EQ(tail.last, 7);
    EXPECT_EQ(multiTraceRowsIn(0, 500, 0).last, 0);
}

TEST(ViewGeometry, ChannelAndTraceHitsStayInRange)
{
    EXPECT_EQ(rawRecordChannelAt(20), 1);
    EXPECT_EQ(rawRecordChannelAt(219), 1);
    EXPECT_EQ(rawRecordChannelAt(220), 2);
    EXPECT_EQ(rawRecordChannelAt(900), 4); // below the fourth channel
    EXPECT_EQ(rawRecordChannelAt(-300), 1);
    EXPECT_FALSE(singleTraceHitsNegative(420));
    EXPECT_TRUE(singleTraceHitsNegative(421));
}

TEST(ViewGeometry, TimeCursorClampsToSamplesOneAndThousandTwentyTwo)
{
    EXPECT_EQ(clampTimeCursorX(100), 101);
    EXPECT_EQ(clampTimeCursorX(-50), 101);
    EXPECT_EQ(clampTimeCursorX(101), 101);
    EXPECT_EQ(clampTimeCursorX(1123), 1123);
    EXPECT_EQ(clampTimeCursorX(1124), 1122); // sample 1024 lands on 1022, not 1023
    EXPECT_EQ(clampTimeCursorX(5000), 1122);

    ViewState view;
    view.currentPoint = 3;
    const CursorSpan span = timeCursorSpan(view);
    EXPECT_EQ(span.top, 20 + 240 + 10);
    EXPECT_EQ(span.length, 100);
    const QRect strip = timeCursorStrip(view, 400);
    EXPECT_TRUE(strip.contains(400, span.top));
    EXPECT_TRUE(strip.contains(400, span.top + span.length));
    EXPECT_LT(strip.width(), 10);
    view.mode = DisplayMode::RawRecord;
    view.selectedChannel = 4;
    EXPECT_EQ(timeCursorSpan(view).top, 620);
    EXPECT_EQ(timeCursorSpan(view).length, 200);
    view.mode = DisplayMode::VelocityHistogram;
    EXPECT_TRUE(timeCursorStrip(view, 400).isEmpty());
}

TEST(ViewGeometry, DepthCursorClampsAtSurfaceAndHoleDepth)
{
    SurveyData survey;
    survey.header.holeDepth = 20.0f; // line at y 1100
    EXPECT_EQ(clampDepthCursorY(survey, 99), 101);
    EXPECT_EQ(clampDepthCursorY(survey, 100), 100);
    EXPECT_EQ(clampDepthCursorY(survey, 1100), 1100);
    EXPECT_EQ(clampDepthCursorY(survey, 1101), 1099);
}

TEST(ViewGeometry, BoundaryGrabAndDragLimits)
{
    SurveyData survey;
    survey.header.holeDepth = 20.0f;
    DiChengOne a, b, c;
    a.top = 0.0f, a.bottom = 2.0f; // y 200
    b.top = 2.0f, b.bottom = 2.125f; // y 206
    c.top = 2.125f, c.bottom = 10.0f; // y 600
    survey.layers = {a, b, c};
    EXPECT_EQ(layerBoundaryAt(survey, 500, 203), 1); // both lie within 5: the later one wins
    EXPECT_EQ(layerBoundaryAt(survey, 500, 196), 0);
    EXPECT_EQ(layerBoundaryAt(survey, 500, 195), -1); // 5 units away is not near
    EXPECT_EQ(layerBoundaryAt(survey, 300, 200), -1); // left of the grab band
    EXPECT_EQ(layerBoundaryAt(survey, 700, 200), -1); // in the curve area
    EXPECT_EQ(layerBoundaryAt(survey, 699, 600), 2);

    const DragRange last = boundaryDragRange(survey, 2);
    EXPECT_EQ(last.min, 206 + 10);
    EXPECT_EQ(last.max, 1100);
    EXPECT_EQ(last.clamp(150), 216); // dragged up, it stops 10 units below the layer top
    EXPECT_EQ(boundaryDragRange(survey, 0).max, 206 - 10);
    EXPECT_GT(boundaryDragRange(survey, 7).min, boundaryDragRange(survey, 7).max);
}

TEST(ViewGeometry, ScrollAreaHoldsTheWholeDrawing)
{
    EXPECT_EQ(sceneExtent(DisplayMode::MultiTrace, 3, 20.0f), QSize(1400, 20 + 360 + 20));
    EXPECT_EQ(sceneExtent(DisplayMode::RawRecord, 3, 20.0f).height(), 840);
    EXPECT_EQ(sceneExtent(DisplayMode::VelocityHistogram, 3, 20.0f).height(), 20 + 1090 + 20);
    // A damaged hole depth gives a usable extent.
    EXPECT_GT(sceneExtent(DisplayMode::TimeDistance, 0, -5.0f).height(), 0);

    ViewState view;
    view.currentPoint = 2;
    EXPECT_EQ(editedTargetRect(view, 3, 20.0f).top(), 140);
    EXPECT_EQ(editedTargetRect(view, 3, 20.0f).height(), 121);
}
