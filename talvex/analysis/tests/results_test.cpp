#include "analysistestutil.h"
#include "common/messenger.h"
#include "talvex/analysis/echengguodialogmodel.h"
#include "talvex/analysis/ewuxingzhibiaomodel.h"
#include "talvex/analysis/sitevelocity.h"

#include <gtest/gtest.h>

#include <limits>

using namespace talvex;
using talvex::testing::velocityProfile;

TEST(ResultsList, OneLinePerPointWithThePeriod)
{
    SurveyData s;
    EXPECT_TRUE(EChengGuoDialogModel::lines(s).isEmpty());
    s.points = {TlvOne::newPoint(1.5f), TlvOne::newPoint(1.5f)};
    s.points[0].depth = 30.0f;
    s.points[0].equivVelocity = 300.0f;
    s.points[1].depth = 31.0f;
    const QStringList lines = EChengGuoDialogModel::lines(s);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0],
              QStringLiteral("30.0(米)") + QString(16, u' ') + QStringLiteral("300.0(m/s)") + QString(22, u' ')
                  + QStringLiteral("0.4000(秒)"));
    // No equivalent velocity: no finite period.
    EXPECT_EQ(lines[1],
              QStringLiteral("31.0(米)") + QString(16, u' ') + QStringLiteral("0.0(m/s)") + QString(22, u' ')
                  + QStringLiteral("--(秒)"));
}

TEST(SoilIndices, FromVsVpAndDensity)
{
    common::RecordingMessenger messenger;
    const auto r = EWUXINGZHIBIAOModel::ComputeSoilIndices({200.0f, 400.0f, 1.9f}, messenger);
    ASSERT_TRUE(r.has_value());
    EXPECT_FLOAT_EQ(r->shearModulus, 1.9f * 200.0f * 200.0f);
    EXPECT_FLOAT_EQ(r->poissonRatio, 1.0f / 3.0f);
    EXPECT_EQ(EWUXINGZHIBIAOModel::format(r->poissonRatio), QStringLiteral("0.333333"));
    EXPECT_FLOAT_EQ(r->elasticModulus, 2.0f * 4.0f / 3.0f * 1.9f * 200.0f * 200.0f);
    EXPECT_FLOAT_EQ(r->etaS, (0.87f + 1.12f / 3.0f) / (4.0f / 3.0f));
    EXPECT_TRUE(messenger.messages.isEmpty());

    // Inputs no material has are refused with their reason, not computed
    // (Vp below Vs would give a Poisson's ratio of 1.17).
    const std::pair<SoilIndexInputs, const char *> impossible[]
        = {{{400.0f, 200.0f, 2.0f}, EWUXINGZHIBIAOModel::kSlowCompressionMessage},
           {{-200.0f, 400.0f, 2.0f}, EWUXINGZHIBIAOModel::kVelocityRangeMessage},
           {{200.0f, 400.0f, 0.0f}, EWUXINGZHIBIAOModel::kDensityRangeMessage},
           {{200.0f, std::numeric_limits<float>::quiet_NaN(), 2.0f}, EWUXINGZHIBIAOModel::kVelocityRangeMessage}};
    for (const auto &[inputs, message] : impossible) {
        EXPECT_FALSE(EWUXINGZHIBIAOModel::ComputeSoilIndices(inputs, messenger).has_value()) << message;
        EXPECT_EQ(messenger.last(), QString::fromUtf8(message));
    }

    // The start state, all 0: Vs equals Vp.
    EXPECT_FALSE(EWUXINGZHIBIAOModel::ComputeSoilIndices({}, messenger).has_value());
    EXPECT_EQ(messenger.last(), QString::fromUtf8(EWUXINGZHIBIAOModel::kEqualVelocitiesMessage));
}

TEST(SiteVelocity, OverTheComputationDepth)
{
    SurveyData s = velocityProfile({{5.0f, 100.0f}, {10.0f, 200.0f}, {15.0f, 300.0f}, {25.0f, 400.0f}});
    s.header.computationDepth = 20.0f;
    int announced = 0;
    s.changeListener = [&announced](SurveyParts parts) { announced += parts == SurveyParts::Header; };
    ASSERT_TRUE(UpdateSiteVelocity(s));
    EXPECT_NEAR(s.header.siteVelocity, 192.0f, 0.01f);
    EXPECT_FALSE(s.isModified());
    ASSERT_TRUE(UpdateSiteVelocity(s)); // the same value again is no change
    EXPECT_EQ(announced, 1);
    s.changeListener = nullptr;

    // A point exactly at the depth ends the walk there.
    s.header.computationDepth = 15.0f;
    EXPECT_FLOAT_EQ(ComputeSiteVelocity(s), 15.0f / (0.05f + 0.025f + 5.0f / 300.0f));

    // No point reaches it; no overburden: not recomputed.
    s.header.computationDepth = 30.0f;
    EXPECT_EQ(ComputeSiteVelocity(s), 0.0f);
    s.header.overburden = 0.0f;
    s.header.siteVelocity = 77.0f;
    EXPECT_FALSE(UpdateSiteVelocity(s));
    EXPECT_EQ(s.header.siteVelocity, 77.0f);

    // An interval without velocity, and a depth of 0: 0 rather than inf or NaN.
    s.header.computationDepth = 20.0f;
    s.points[1].pointVelocity = 0.0f;
    EXPECT_EQ(ComputeSiteVelocity(s), 0.0f);
    s.header.computationDepth = 0.0f;
    EXPECT_EQ(ComputeSiteVelocity(s), 0.0f);
    EXPECT_EQ(ComputeSiteVelocity(SurveyData()), 0.0f);
}
