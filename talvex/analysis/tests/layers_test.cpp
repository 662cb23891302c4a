#include "analysistestutil.h"
#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/settings/viewstate.h"

#include <gtest/gtest.h>

using namespace talvex;
using talvex::testing::layer;
using talvex::testing::velocityProfile;

namespace {

ViewState cursorAt(int y)
{
    ViewState v;
    v.mode = DisplayMode::VelocityHistogram;
    v.depthCursor = y;
    return v;
}

// The layers are in depth order, start at 0 and touch each other.
void expectContiguous(const SurveyData &s)
{
    ASSERT_FALSE(s.layers.empty());
    EXPECT_EQ(s.layers.front().top, 0.0f);
    for (std::size_t i = 1; i < s.layers.size(); ++i)
        EXPECT_EQ(s.layers[i].top, s.layers[i - 1].bottom) << i;
}

} // namespace

TEST(LayerVelocity, IntegratesThePointIntervals)
{
    SurveyData s = velocityProfile({{1.0f, 100.0f}, {2.0f, 200.0f}, {3.0f, 300.0f}, {6.0f, 400.0f}});
    s.layers = {layer(0.0f, 3.0f), layer(3.3f, 3.8f), layer(2.0f, 6.0f), layer(1.5f, 8.0f)};
    // 3 m in 0.01 + 0.005 + 0.00333 s.
    EXPECT_NEAR(ComputeLayerVelocity(s, 0), 163.6f, 0.05f);
    EXPECT_FLOAT_EQ(ComputeLayerVelocity(s, 0), 3.0f / (0.01f + 0.005f + 1.0f / 300.0f));
    // Wholly inside the interval 3...6 m: that point's velocity.
    EXPECT_EQ(ComputeLayerVelocity(s, 1), 400.0f);
    // Top on a point: no time above it, the integration starts below.
    EXPECT_FLOAT_EQ(ComputeLayerVelocity(s, 2), 4.0f / (1.0f / 300.0f + 3.0f / 400.0f));
    // Bottom below the deepest point: the time covers the layer down to it.
    EXPECT_FLOAT_EQ(ComputeLayerVelocity(s, 3), 6.5f / (0.5f / 200.0f + 1.0f / 300.0f + 3.0f / 400.0f));
    EXPECT_EQ(ComputeLayerVelocity(s, 4), 0.0f);
}

TEST(LayerVelocity, NoTimeOrInfiniteTimeGivesZero)
{
    SurveyData s = velocityProfile({{1.0f, 100.0f}, {2.0f, 0.0f}, {3.0f, 300.0f}});
    s.layers = {layer(0.0f, 3.0f), layer(4.0f, 6.0f), layer(2.0f, 3.0f)};
    EXPECT_EQ(ComputeLayerVelocity(s, 0), 0.0f); // interval 1...2 m at velocity 0
    EXPECT_EQ(ComputeLayerVelocity(s, 1), 0.0f); // below every point
    // A top on the unpicked point's depth takes no time above it (not NaN).
    EXPECT_FLOAT_EQ(ComputeLayerVelocity(s, 2), 300.0f);

    s.layers[0].velocity = 55.0f;
    RefreshLayerVelocities(s);
    EXPECT_EQ(s.layers[0].velocity, 0.0f);
    EXPECT_FLOAT_EQ(s.layers[2].velocity, 300.0f);
    EXPECT_FALSE(s.isModified());
}

TEST(InsertLayer, SplitsTheLayerUnderTheCursor)
{
    SurveyData s = velocityProfile({{2.0f, 100.0f}, {6.0f, 200.0f}, {10.0f, 400.0f}});
    DiChengOne whole = layer(0.0f, 10.0f);
    whole.pattern = 12;
    whole.reserved = {1, 2, 3, 4, 5, 6, 7};
    common::storeFixedText(whole.description, "clay");
    s.layers = {whole};
    common::RecordingMessenger messenger;
    ASSERT_TRUE(InsertLayer(s, cursorAt(depthToCursorY(4.0f)), messenger));
    ASSERT_EQ(s.layers.size(), 2u);
    const DiChengOne &upper = s.layers[0];
    const DiChengOne &lower = s.layers[1];
    EXPECT_EQ(upper.bottom, 4.0f);
    EXPECT_EQ(upper.pattern, 12);
    EXPECT_EQ(upper.reserved, whole.reserved);
    EXPECT_EQ(common::readFixedText(upper.description), "");
    EXPECT_EQ(lower.top, 4.0f);
    EXPECT_EQ(lower.bottom, 10.0f);
    EXPECT_EQ(common::readFixedText(lower.description), "clay");
    EXPECT_FLOAT_EQ(upper.velocity, 4.0f / (2.0f / 100.0f + 2.0f / 200.0f));
    EXPECT_FLOAT_EQ(lower.velocity, 6.0f / (2.0f / 200.0f + 4.0f / 400.0f));
    EXPECT_TRUE(s.isModified());
    expectContiguous(s);
}

TEST(InsertLayer, RefusesNearABoundaryAndExtendsBelowTheLast)
{
    SurveyData s = velocityProfile({{5.0f, 200.0f}, {10.0f, 300.0f}});
    common::RecordingMessenger messenger;
    EXPECT_TRUE(layerCommandsEnabled(s, cursorAt(200)));
    EXPECT_FALSE(layerCommandsEnabled(SurveyData(), cursorAt(200)));
    // At or above the surface no layer can start, whether or not layers
    // exist; that is not a matter of two boundaries being close.
    for (const int y : {100, 90}) {
        EXPECT_FALSE(InsertLayer(s, cursorAt(y), messenger)) << y;
        EXPECT_EQ(messenger.last(), QString::fromUtf8(kLayerAtSurfaceMessage));
    }
    // Empty list: a layer from 0 down to the cursor, however shallow.
    ASSERT_TRUE(InsertLayer(s, cursorAt(101), messenger));
    EXPECT_EQ(s.layers[0].bottom, 0.02f);
    s.layers.clear();
    ASSERT_TRUE(InsertLayer(s, cursorAt(depthToCursorY(3.0f)), messenger));
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.layers[0].bottom, 3.0f);
    EXPECT_FLOAT_EQ(s.layers[0].velocity, 200.0f);

    s.setModified(false);
    const int bottomY = depthToCursorY(3.0f);
    for (const int y : {bottomY + 24, bottomY - 24, bottomY, 124}) {
        EXPECT_FALSE(InsertLayer(s, cursorAt(y), messenger)) << y;
        EXPECT_EQ(messenger.last(), QString::fromUtf8(kLayersTooCloseMessage));
    }
    EXPECT_FALSE(InsertLayer(s, cursorAt(100), messenger));
    EXPECT_EQ(s.layers.size(), 1u);
    EXPECT_FALSE(s.isModified());

    // 25 units is far enough; below the last layer the list grows downward.
    ASSERT_TRUE(InsertLayer(s, cursorAt(bottomY + 25), messenger));
    ASSERT_TRUE(InsertLayer(s, cursorAt(depthToCursorY(8.0f)), messenger));
    ASSERT_EQ(s.layers.size(), 3u);
    EXPECT_EQ(s.layers[1].bottom, 3.5f);
    EXPECT_EQ(s.layers[2].bottom, 8.0f);
    expectContiguous(s);
}

TEST(InsertLayer, FillsAGapOfAnImportedList)
{
    SurveyData s = velocityProfile({{10.0f, 300.0f}});
    s.layers = {layer(0.0f, 2.0f), layer(6.0f, 9.0f)};
    common::RecordingMessenger messenger;
    ASSERT_TRUE(InsertLayer(s, cursorAt(depthToCursorY(4.0f)), messenger));
    ASSERT_EQ(s.layers.size(), 3u);
    EXPECT_EQ(s.layers[1].top, 2.0f);
    EXPECT_EQ(s.layers[1].bottom, 4.0f);
    EXPECT_EQ(s.layers[2].top, 6.0f);
}

TEST(DeleteLayer, TheNextLayerTakesTheRemovedTop)
{
    SurveyData s = velocityProfile({{3.0f, 100.0f}, {9.0f, 300.0f}});
    s.layers = {layer(0.0f, 2.0f), layer(2.0f, 5.0f), layer(5.0f, 9.0f)};
    common::RecordingMessenger messenger;
    ASSERT_TRUE(DeleteLayer(s, cursorAt(depthToCursorY(1.0f)), messenger));
    ASSERT_EQ(s.layers.size(), 2u);
    EXPECT_EQ(s.layers[0].top, 0.0f);
    EXPECT_EQ(s.layers[0].bottom, 5.0f);
    EXPECT_FLOAT_EQ(s.layers[0].velocity, 5.0f / (3.0f / 100.0f + 2.0f / 300.0f));
    expectContiguous(s);

    // On a boundary no layer is selected.
    s.setModified(false);
    EXPECT_FALSE(DeleteLayer(s, cursorAt(depthToCursorY(5.0f)), messenger));
    EXPECT_EQ(messenger.last(), QString::fromUtf8(kNoLayerSelectedMessage));
    EXPECT_FALSE(s.isModified());
    // The last layer goes without touching the ones above.
    ASSERT_TRUE(DeleteLayer(s, cursorAt(depthToCursorY(7.0f)), messenger));
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.layers[0].bottom, 5.0f);
}

TEST(DeleteLayer, OneRuleForVelocityAndSurveyLogLayers)
{
    // The layer that moves up takes the removed top and keeps everything
    // else; what depends on its new thickness is the caller's to recompute.
    std::vector<DiChengOne> log = {layer(0.0f, 2.0f), layer(2.0f, 5.0f), layer(5.0f, 9.0f)};
    log[2].velocity = 321.0f;
    log[2].pattern = 7;
    common::storeFixedText(log[2].description, "silty clay");
    ASSERT_TRUE(RemoveLayerClosingGap(log, 1));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].top, 2.0f);
    EXPECT_EQ(log[1].bottom, 9.0f);
    EXPECT_EQ(log[1].velocity, 321.0f);
    EXPECT_EQ(log[1].pattern, 7);
    EXPECT_EQ(common::readFixedText(log[1].description), "silty clay");
    // The last layer leaves nothing to move up.
    EXPECT_FALSE(RemoveLayerClosingGap(log, 1));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].bottom, 2.0f);
}

TEST(MoveLayerBoundary, DragStopsShortOfTheNeighboursAndReachesTheHoleDepth)
{
    SurveyData s = velocityProfile({{4.0f, 100.0f}, {8.0f, 200.0f}, {12.0f, 400.0f}});
    s.header.holeDepth = 12.0f;
    s.layers = {layer(0.0f, 4.0f), layer(4.0f, 8.0f), layer(8.0f, 10.0f)};
    ASSERT_TRUE(DragLayerBoundary(s, 0, depthToCursorY(9.0f)));
    EXPECT_EQ(s.layers[0].bottom, 7.8f);
    EXPECT_EQ(s.layers[1].top, 7.8f);
    EXPECT_FLOAT_EQ(s.layers[1].velocity, 200.0f);
    ASSERT_TRUE(DragLayerBoundary(s, 0, 0));
    EXPECT_EQ(s.layers[0].bottom, 0.2f);
    ASSERT_TRUE(DragLayerBoundary(s, 2, depthToCursorY(30.0f)));
    EXPECT_EQ(s.layers[2].bottom, 12.0f);
    EXPECT_FLOAT_EQ(s.layers[2].velocity, 400.0f);
    expectContiguous(s);
    EXPECT_TRUE(s.isModified());

    // No room between the top and the next bottom: nothing moves.
    s.layers = {layer(0.0f, 0.1f), layer(0.1f, 0.3f)};
    EXPECT_FALSE(DragLayerBoundary(s, 0, 200));
    EXPECT_EQ(s.layers[0].bottom, 0.1f);
    EXPECT_FALSE(DragLayerBoundary(s, 5, 200));
}
