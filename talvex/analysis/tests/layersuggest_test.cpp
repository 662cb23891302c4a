#include "analysistestutil.h"
#include "common/messenger.h"
#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/analysis/surveylogimport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace talvex;

namespace {

struct TrueLayer {
    float bottom;
    float velocity;
};

// A single-hole survey over a layered ground: one point per `spacing` m
// down to `depth`, picked at the sample nearest to the true slant travel
// time (so the times carry the quantisation of a real pick).
SurveyData layeredHole(const std::vector<TrueLayer> &ground, float depth, float spacing, float sourceDistance,
                       float intervalUs = 20.0f, float delayMs = 0.0f)
{
    SurveyData s;
    s.header.sourceDistance = sourceDistance;
    s.header.holeDepth = depth;
    for (float d = spacing; d <= depth + 1e-4f; d += spacing) {
        double vertical = 0.0; // ms
        double top = 0.0;
        for (const TrueLayer &l : ground) {
            vertical += (std::min<double>(d, l.bottom) - top) / l.velocity * 1000.0;
            top = l.bottom;
            if (l.bottom >= d)
                break;
        }
        const double slant = std::sqrt(double(sourceDistance) * sourceDistance + double(d) * d);
        const double travel = vertical * slant / d;
        TlvOne p = talvex::testing::point({d, 0, intervalUs, delayMs});
        p.sArrival = std::int16_t(std::lround((travel - delayMs) / (intervalUs / 1000.0)));
        s.points.push_back(p);
    }
    RecalculateAllVelocities(s);
    return s;
}

const std::vector<TrueLayer> kThreeLayers = {{8.0f, 150.0f}, {19.0f, 300.0f}, {1000.0f, 600.0f}};

} // namespace

TEST(LayerSuggestion, FindsTheThreeLayersOfALayeredHole)
{
    const SurveyData s = layeredHole(kThreeLayers, 30.0f, 1.0f, 2.0f);
    const LayerSuggestion suggestion = SuggestLayers(s);
    ASSERT_TRUE(suggestion.ok()) << suggestion.problem.toStdString();
    ASSERT_EQ(suggestion.layers.size(), 3u);
    const std::vector<float> b = suggestion.boundaries();
    EXPECT_NEAR(b[0], 8.0f, 1.0f);
    EXPECT_NEAR(b[1], 19.0f, 1.0f);
    EXPECT_FLOAT_EQ(suggestion.layers.front().top, 0.0f);
    EXPECT_FLOAT_EQ(suggestion.layers.back().bottom, 30.0f);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(suggestion.layers[i].velocity, kThreeLayers[i].velocity, 0.05f * kThreeLayers[i].velocity)
            << "layer " << i;
        if (i > 0) {
            EXPECT_EQ(suggestion.layers[i].top, suggestion.layers[i - 1].bottom);
        }
    }
    EXPECT_EQ(suggestion.usedPoints, 30);
    // The residuals are of the order of the pick's quantisation (0.02 ms).
    EXPECT_LT(suggestion.rmsResidual, 0.05f);
    EXPECT_GE(suggestion.maxResidual, suggestion.rmsResidual);

    // Fitted in depth order whatever the list order, to the same result.
    SurveyData shuffled = s;
    std::reverse(shuffled.points.begin(), shuffled.points.end());
    std::rotate(shuffled.points.begin(), shuffled.points.begin() + 11, shuffled.points.end());
    const LayerSuggestion again = SuggestLayers(shuffled);
    ASSERT_EQ(again.layers.size(), 3u);
    EXPECT_EQ(again.boundaries(), b);

    // Boundaries lie on the depth cursor's 0.02 m grid.
    for (const float depth : b)
        EXPECT_NEAR(depth * 50.0f, std::round(depth * 50.0f), 1e-3f);
}

TEST(LayerSuggestion, UniformGroundAndPointsTooFewOrUnpicked)
{
    // One velocity all the way down, finely sampled: one layer, not more.
    const SurveyData uniform = layeredHole({{1000.0f, 250.0f}}, 40.0f, 0.5f, 1.5f);
    const LayerSuggestion one = SuggestLayers(uniform);
    ASSERT_TRUE(one.ok());
    ASSERT_EQ(one.layers.size(), 1u);
    EXPECT_NEAR(one.layers[0].velocity, 250.0f, 5.0f);

    // Unpicked points are not on the curve; two picked points are too few.
    SurveyData few = layeredHole(kThreeLayers, 10.0f, 1.0f, 2.0f);
    for (std::size_t i = 2; i < few.points.size(); ++i)
        few.points[i].sArrival = 0;
    EXPECT_EQ(verticalTimeCurve(few).size(), 2u);
    const LayerSuggestion none = SuggestLayers(few);
    EXPECT_FALSE(none.ok());
    EXPECT_TRUE(none.layers.empty());
    EXPECT_FALSE(SuggestLayers(SurveyData()).ok());
}

TEST(LayerSuggestion, CrossHoleUsesTheVelocitiesSummedDownTheHole)
{
    SurveyData s = talvex::testing::velocityProfile({});
    s.header.method = 1;
    for (int d = 1; d <= 25; ++d) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(d);
        p.pointVelocity = d <= 12 ? 200.0f : 450.0f;
        p.interval = 1000.0f;
        p.sArrival = 1;
        p.delay = p.crossDistance / p.pointVelocity * 1000.0f - 1.0f;
        s.points.push_back(p);
    }
    // Not picked: its velocity (from the delay alone) is no measurement.
    s.points.back().sArrival = 0;
    s.points.back().pointVelocity = 40.0f;
    const std::vector<CurvePoint> curve = verticalTimeCurve(s);
    ASSERT_EQ(curve.size(), 24u);
    EXPECT_NEAR(curve[11].time, 60.0f, 1e-3f); // 12 m at 200 m/s
    const LayerSuggestion suggestion = SuggestLayers(s);
    ASSERT_EQ(suggestion.layers.size(), 2u);
    EXPECT_EQ(suggestion.unpickedPoints, 1);
    EXPECT_NEAR(suggestion.layers[0].bottom, 12.0f, 1.0f);
    EXPECT_NEAR(suggestion.layers[0].velocity, 200.0f, 2.0f);
    EXPECT_NEAR(suggestion.layers[1].velocity, 450.0f, 5.0f);
}

TEST(LayerSuggestion, AcceptingInsertsTheLayersAndAsksBeforeReplacing)
{
    SurveyData s = layeredHole(kThreeLayers, 30.0f, 1.0f, 2.0f);
    const LayerSuggestion suggestion = SuggestLayers(s);
    ASSERT_EQ(suggestion.layers.size(), 3u);

    s.layers = {talvex::testing::layer(0.0f, 30.0f)};
    common::RecordingMessenger no;
    no.answers = {false};
    EXPECT_FALSE(AcceptLayerSuggestion(s, suggestion, no));
    EXPECT_EQ(no.questions, QStringList{QString::fromUtf8(kOverwriteLayersQuestion)});
    ASSERT_EQ(s.layers.size(), 1u);
    EXPECT_FALSE(s.isModified());

    common::RecordingMessenger yes;
    ASSERT_TRUE(AcceptLayerSuggestion(s, suggestion, yes));
    EXPECT_TRUE(s.isModified());
    ASSERT_EQ(s.layers.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.layers[i].top, suggestion.layers[i].top);
        EXPECT_EQ(s.layers[i].bottom, suggestion.layers[i].bottom);
        // Velocities come from the point velocities, as the layer commands give them.
        EXPECT_NEAR(s.layers[i].velocity, kThreeLayers[i].velocity, 0.1f * kThreeLayers[i].velocity);
    }
    EXPECT_TRUE(yes.messages.isEmpty());

    // A suggestion that does not hold changes nothing.
    SurveyData untouched = s;
    LayerSuggestion refused;
    refused.problem = QStringLiteral("x");
    EXPECT_FALSE(AcceptLayerSuggestion(untouched, refused, yes));
    EXPECT_EQ(untouched.layers.size(), 3u);
}
