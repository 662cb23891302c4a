#include "analysistestutil.h"
#include "talvex/analysis/pointvelocity.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace talvex;
using talvex::testing::survey;

TEST(SingleHoleVelocity, WithoutOffsetTheVelocitiesAreDepthOverTime)
{
    // Source at the hole mouth: corrected time = travel time.
    SurveyData s = survey(0.0f, {{2.0f, 10}, {4.0f, 18}, {6.0f, 24}});
    RecalculateAllVelocities(s);
    // The first point has no previous point: both velocities are D / T.
    EXPECT_FLOAT_EQ(s.points[0].pointVelocity, 200.0f);
    EXPECT_FLOAT_EQ(s.points[0].equivVelocity, 200.0f);
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, 2.0f / 8.0f * 1000.0f);
    EXPECT_FLOAT_EQ(s.points[1].equivVelocity, 4.0f / 18.0f * 1000.0f);
    EXPECT_FLOAT_EQ(s.points[2].pointVelocity, 2.0f / 6.0f * 1000.0f);
}

TEST(SingleHoleVelocity, SlantPathIsCorrectedToTheVertical)
{
    // 3 m offset, 4 m deep: a 5 m ray in 10 ms, 8 ms vertical.
    SurveyData s = survey(3.0f, {{4.0f, 5, 1000.0f, 5.0f}});
    ASSERT_TRUE(ComputePointVelocity(s, 0));
    EXPECT_FLOAT_EQ(s.points[0].equivVelocity, 500.0f);
    EXPECT_FLOAT_EQ(s.points[0].pointVelocity, 500.0f);
    EXPECT_FLOAT_EQ(correctedTravelTime(s, 0), 8.0f);
    // The sample product is rounded before the delay is added.
    TlvOne p = s.points[0];
    p.sArrival = 301;
    p.interval = 50.0f;
    p.delay = 0.1f;
    EXPECT_EQ(p.travelTime(), float(301.0f * 50.0f / 1000.0f) + 0.1f);
}

TEST(SingleHoleVelocity, PreviousPointIsTheListNeighbourNotTheShallowerOne)
{
    SurveyData s = survey(0.0f, {{10.0f, 50}, {5.0f, 30}, {8.0f, 40}});
    RecalculateAllVelocities(s);
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, (5.0f - 10.0f) / (30.0f - 50.0f) * 1000.0f);
    EXPECT_FLOAT_EQ(s.points[2].pointVelocity, (8.0f - 5.0f) / (40.0f - 30.0f) * 1000.0f);
}

TEST(SingleHoleVelocity, GuardedCasesGiveZero)
{
    // A previous point at depth 0 contributes no corrected time despite its pick.
    SurveyData s = survey(1.5f, {{0.0f, 40}, {3.0f, 20}});
    RecalculateAllVelocities(s);
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, 3.0f / correctedTravelTime(s, 1) * 1000.0f);
    // Depth 0 at the hole mouth with no offset: no slant, no velocity, no NaN.
    s = survey(0.0f, {{0.0f, 0}, {0.0f, 10}});
    RecalculateAllVelocities(s);
    for (const TlvOne &p : s.points) {
        EXPECT_EQ(p.pointVelocity, 0.0f);
        EXPECT_FALSE(std::isnan(p.equivVelocity));
    }
    // Same corrected time twice: 0, not infinity. No pick and no delay: equivalent 0.
    s = survey(0.0f, {{2.0f, 10}, {3.0f, 10}, {4.0f, 0}});
    RecalculateAllVelocities(s);
    EXPECT_EQ(s.points[1].pointVelocity, 0.0f);
    EXPECT_EQ(s.points[2].equivVelocity, 0.0f);
    EXPECT_FALSE(ComputePointVelocity(s, 3));
    EXPECT_FALSE(ComputePointVelocity(s, -1));
}

TEST(CrossHoleVelocity, PointVelocityOverTheCrossDistanceAndVerticalTimeSum)
{
    SurveyData s = survey(0.0f, {{2.0f, 10}, {4.0f, 8}, {7.0f, 10}});
    s.header.method = 1;
    for (TlvOne &p : s.points)
        p.crossDistance = 2.0f;
    RecalculateAllVelocities(s);
    EXPECT_FLOAT_EQ(s.points[0].pointVelocity, 200.0f);
    EXPECT_FLOAT_EQ(s.points[0].equivVelocity, 200.0f);
    EXPECT_FLOAT_EQ(s.points[1].pointVelocity, 250.0f);
    EXPECT_FLOAT_EQ(s.points[2].pointVelocity, 200.0f);
    const float t = 2.0f / 200.0f + 2.0f / 250.0f + 3.0f / 200.0f;
    EXPECT_FLOAT_EQ(s.points[2].equivVelocity, 7.0f / t);
}

TEST(CrossHoleVelocity, ZeroTimeStopsTheSumBelowIt)
{
    // Point 2 has no pick: velocity 0, and its interval takes forever.
    SurveyData s = survey(0.0f, {{2.0f, 10}, {4.0f, 0}, {6.0f, 10}});
    s.header.method = 1;
    for (TlvOne &p : s.points)
        p.crossDistance = 2.0f;
    RecalculateAllVelocities(s);
    EXPECT_EQ(s.points[1].pointVelocity, 0.0f);
    EXPECT_EQ(s.points[1].equivVelocity, 0.0f);
    EXPECT_EQ(s.points[2].equivVelocity, 0.0f);
    EXPECT_FLOAT_EQ(s.points[2].pointVelocity, 200.0f);

    // A negative time (delay before the trigger) is no velocity either.
    s.points[1].sArrival = 1;
    s.points[1].delay = -5.0f;
    RecalculateAllVelocities(s);
    EXPECT_EQ(s.points[1].pointVelocity, 0.0f);

    // An unpicked point at the depth of the one before adds no time: the
    // points below still get a velocity (not NaN).
    s = survey(0.0f, {{2.0f, 10}, {2.0f, 0}, {4.0f, 10}});
    s.header.method = 1;
    for (TlvOne &p : s.points)
        p.crossDistance = 2.0f;
    RecalculateAllVelocities(s);
    EXPECT_FLOAT_EQ(s.points[2].equivVelocity, 4.0f / (2.0f / 200.0f + 2.0f / 200.0f));
}
