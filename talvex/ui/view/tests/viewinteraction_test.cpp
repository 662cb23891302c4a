// What clicks, drags and arrow keys do to the view state in each display
// mode, at the edges where the cursors are held.

#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"
#include "talvex/ui/view/viewinteraction.h"

#include <Qt>
#include <gtest/gtest.h>

using namespace talvex;

namespace {

constexpr int kX0 = kWaveformOriginX;
constexpr int kY0 = kWaveformOriginY;

DiChengOne layer(float top, float bottom)
{
    DiChengOne l;
    l.top = top;
    l.bottom = bottom;
    return l;
}

// A 20 m hole with `count` points one metre apart and three velocity layers
// 0-5, 5-12 and 12-20 m.
SurveyData survey(int count)
{
    SurveyData s;
    s.header.holeDepth = 20.0f;
    for (int i = 0; i < count; ++i) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(i + 1);
        p.interval = 25.0f;
        p.positive[100] = 1000;
        p.sArrival = 150;
        p.pointVelocity = 100.0f + 10.0f * float(i);
        s.points.push_back(p);
    }
    s.layers = {layer(0, 5), layer(5, 12), layer(12, 20)};
    return s;
}

struct Fixture {
    explicit Fixture(int count, DisplayMode mode = DisplayMode::MultiTrace) : data(survey(count)) { view.mode = mode; }
    void click(int x, int y)
    {
        input.pressLeft({x, y});
        input.releaseLeft({x, y});
    }
    void keys(int key, int times)
    {
        for (int i = 0; i < times; ++i)
            EXPECT_TRUE(input.pressKey(key));
    }
    SurveyData data;
    ViewState view;
    ViewInteraction input{data, view};
};

} // namespace

TEST(MultiTraceClicks, LowerHalfOfTheThirdRowSelectsPoint3NegativeAndMovesTheCursor)
{
    Fixture f(5);
    f.click(kX0 + 300, kY0 + 2 * 120 + 90);
    EXPECT_EQ(f.view.currentPoint, 3);
    EXPECT_EQ(f.view.selectedTrace, 1);
    EXPECT_EQ(f.view.cursorX, kX0 + 300);

    // The upper half of the same row: the positive trace of the same point.
    f.click(kX0 + 500, kY0 + 2 * 120 + 20);
    EXPECT_EQ(f.view.currentPoint, 3);
    EXPECT_EQ(f.view.selectedTrace, 0);
    EXPECT_EQ(f.view.cursorX, kX0 + 500); // moved by the release
}

TEST(MultiTraceClicks, BelowTheLastRowMovesTheCursorButKeepsThePoint)
{
    Fixture f(3);
    f.view.currentPoint = 2;
    f.click(kX0 + 450, kY0 + 5 * 120 + 30);
    EXPECT_EQ(f.view.currentPoint, 2);
    EXPECT_EQ(f.view.cursorX, kX0 + 450);
}

TEST(MultiTraceClicks, APressLeftOfTheTracesPutsTheCursorOnTheFirstSample)
{
    // The press moves the cursor to the click before the release does: it
    // never stands outside the trace, where no arrival can be set.
    Fixture f(5);
    f.input.pressLeft({30, kY0 + 120 + 10});
    EXPECT_EQ(f.view.currentPoint, 2);
    EXPECT_EQ(f.view.cursorSample(), 1);
}

TEST(TimeCursor, KeyStepsAreHeldBetweenSample1And1022)
{
    Fixture f(2);
    f.view.cursorX = kX0 + 1020;
    f.keys(Qt::Key_Down, 1); // 1030 is past the trace
    EXPECT_EQ(f.view.cursorSample(), 1022);
    f.keys(Qt::Key_Right, 1); // 1023 is a sample the cursor may stand on
    EXPECT_EQ(f.view.cursorSample(), 1023);
    f.keys(Qt::Key_Right, 1); // 1024 is not: back to 1022
    EXPECT_EQ(f.view.cursorSample(), 1022);

    f.view.cursorX = kX0 + 5;
    f.keys(Qt::Key_Up, 1);
    EXPECT_EQ(f.view.cursorSample(), 1);
    f.keys(Qt::Key_Left, 3);
    EXPECT_EQ(f.view.cursorSample(), 1);
    f.keys(Qt::Key_Right, 1);
    EXPECT_EQ(f.view.cursorSample(), 2);
    EXPECT_FALSE(f.input.pressKey(Qt::Key_A));
}

TEST(TimeCursor, FollowsTheMouseOnlyWhileTheButtonIsDownAndOnlyWithPoints)
{
    Fixture f(2, DisplayMode::SingleTrace);
    f.input.moveMouse({kX0 + 600, kY0 + 100});
    EXPECT_EQ(f.view.cursorX, 200);
    f.input.pressLeft({kX0 + 10, kY0 + 100});
    f.input.moveMouse({kX0 + 2000, kY0 + 100});
    EXPECT_EQ(f.view.cursorSample(), 1022);
    f.input.releaseLeft({kX0 + 700, kY0 + 100});
    EXPECT_EQ(f.view.cursorSample(), 700);

    Fixture empty(0);
    EXPECT_FALSE(empty.input.MoveTimeCursor(kX0 + 300));
    empty.keys(Qt::Key_Right, 1);
    EXPECT_EQ(empty.view.cursorX, 200);
}

TEST(SelectionClicks, SingleTraceHalvesAndRawRecordChannels)
{
    Fixture single(2, DisplayMode::SingleTrace);
    single.click(kX0 + 10, kY0 + 401);
    EXPECT_EQ(single.view.selectedTrace, 1);
    single.click(kX0 + 10, kY0 + 400);
    EXPECT_EQ(single.view.selectedTrace, 0);

    Fixture raw(2, DisplayMode::RawRecord);
    raw.click(kX0 + 10, kY0 + 650);
    EXPECT_EQ(raw.view.selectedChannel, 4);
    raw.click(kX0 + 10, kY0 + 2000); // below the fourth row
    EXPECT_EQ(raw.view.selectedChannel, 4);
    raw.click(kX0 + 10, kY0 + 250);
    EXPECT_EQ(raw.view.selectedChannel, 2);
    EXPECT_EQ(raw.view.currentPoint, 1);
}

TEST(DepthCursor, HeldBetweenDepthZeroAndTheHoleDepthLine)
{
    Fixture f(3, DisplayMode::VelocityHistogram);
    const int holeLine = depthToCursorY(20.0f); // 1100
    f.input.MoveDepthCursor(99);
    EXPECT_EQ(f.view.depthCursor, 101);
    f.input.MoveDepthCursor(100);
    EXPECT_EQ(f.view.depthCursor, 100);
    f.input.MoveDepthCursor(holeLine);
    EXPECT_EQ(f.view.depthCursor, holeLine);
    f.input.MoveDepthCursor(holeLine + 1);
    EXPECT_EQ(f.view.depthCursor, holeLine - 1);

    f.view.depthCursor = 105;
    f.keys(Qt::Key_Up, 1);
    EXPECT_EQ(f.view.depthCursor, 101);
    f.keys(Qt::Key_Down, 2);
    EXPECT_EQ(f.view.depthCursor, 121);
    EXPECT_EQ(f.view.cursorX, 200); // the time cursor stays

    // The mouse moves it right of the column table only.
    f.input.pressLeft({800, 500});
    f.input.moveMouse({800, 600});
    EXPECT_EQ(f.view.depthCursor, 600);
    f.input.moveMouse({650, 700});
    EXPECT_EQ(f.view.depthCursor, 600);
    f.input.releaseLeft({900, 640});
    EXPECT_EQ(f.view.depthCursor, 640);
}

TEST(BoundaryDrag, StopsTenUnitsBelowTheTopOfItsLayer)
{
    Fixture f(3, DisplayMode::VelocityHistogram);
    const int line = depthToCursorY(5.0f); // 350
    EXPECT_TRUE(f.input.overBoundary({350, line + 4}));
    EXPECT_FALSE(f.input.overBoundary({350, line + 5}));
    EXPECT_FALSE(f.input.overBoundary({750, line}));

    f.input.pressLeft({350, line + 3});
    ASSERT_EQ(f.input.draggedLayer(), 0);
    EXPECT_EQ(f.input.dragLineY(), line);
    f.input.moveMouse({350, 20});
    EXPECT_EQ(f.input.dragLineY(), depthToCursorY(0.0f) + 10);
    EXPECT_TRUE(f.input.releaseLeft({350, 20}));
    EXPECT_FLOAT_EQ(f.data.layers[0].bottom, 0.2f);
    EXPECT_FLOAT_EQ(f.data.layers[1].top, 0.2f);
    EXPECT_EQ(f.input.dragLineY(), -1);
    EXPECT_TRUE(f.data.isModified());
}

TEST(BoundaryDrag, HeldAboveTheNextBoundaryAndTheHoleDepth)
{
    Fixture f(3, DisplayMode::VelocityHistogram);
    f.input.pressLeft({600, depthToCursorY(12.0f)});
    ASSERT_EQ(f.input.draggedLayer(), 1);
    f.input.moveMouse({600, 2000});
    EXPECT_EQ(f.input.dragLineY(), depthToCursorY(20.0f) - 10);
    f.input.releaseLeft({600, 2000});
    EXPECT_FLOAT_EQ(f.data.layers[1].bottom, 19.8f);

    // The last layer's bottom goes down to the hole depth.
    f.input.pressLeft({400, depthToCursorY(20.0f)});
    ASSERT_EQ(f.input.draggedLayer(), 2);
    f.input.releaseLeft({400, 5000});
    EXPECT_FLOAT_EQ(f.data.layers[2].bottom, 20.0f);
}

TEST(BoundaryDrag, ReleasedOutsideTheColumnMovesNothing)
{
    Fixture f(3, DisplayMode::VelocityHistogram);
    const std::vector<DiChengOne> before = f.data.layers;
    f.input.pressLeft({350, depthToCursorY(5.0f)});
    f.input.moveMouse({350, 300});
    EXPECT_EQ(f.input.dragLineY(), 300);
    EXPECT_FALSE(f.input.releaseLeft({750, 300}));
    EXPECT_EQ(f.input.dragLineY(), -1);
    EXPECT_FLOAT_EQ(f.data.layers[0].bottom, before[0].bottom);
    EXPECT_FALSE(f.data.isModified());
    // A click that grabs no boundary drags nothing.
    f.click(350, 600);
    EXPECT_FALSE(f.data.isModified());
}

TEST(ContextMenus, ChosenByModeAndOnlyWithPoints)
{
    Fixture f(2);
    const std::pair<DisplayMode, std::optional<ContextMenuId>> cases[] = {
        {DisplayMode::MultiTrace, ContextMenuId::Waveforms},
        {DisplayMode::SingleTrace, ContextMenuId::Waveforms},
        {DisplayMode::RawRecord, ContextMenuId::RawRecord},
        {DisplayMode::VelocityHistogram, ContextMenuId::Histogram},
        {DisplayMode::Spectrum, std::nullopt},
        {DisplayMode::TimeDistance, std::nullopt},
    };
    for (const auto &[mode, menu] : cases) {
        f.view.mode = mode;
        EXPECT_EQ(f.input.releaseRight(), menu) << int(mode);
    }
    Fixture empty(0);
    EXPECT_EQ(empty.input.releaseRight(), std::nullopt);
}

TEST(Keys, SpectrumMovesTheTimeCursorAndTheTimeDistanceChartTakesNoKey)
{
    Fixture f(2, DisplayMode::Spectrum);
    f.keys(Qt::Key_Right, 2);
    EXPECT_EQ(f.view.cursorSample(), 102);
    f.view.mode = DisplayMode::TimeDistance;
    EXPECT_FALSE(f.input.pressKey(Qt::Key_Right));
    EXPECT_EQ(f.view.cursorSample(), 102);
}
