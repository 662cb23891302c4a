#include "analysistestutil.h"
#include "talvex/analysis/echengguodialogmodel.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/analysis/siteclass.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace talvex;

namespace {

void addRun(SurveyData &s, int from, int to, float velocity)
{
    talvex::testing::addPickedRun(s, from, to, velocity);
}

bool anyLineHas(const QStringList &lines, const char *text)
{
    return lines.join(QLatin1Char('\n')).contains(QString::fromUtf8(text));
}

} // namespace

TEST(SiteCategory, EveryBoundaryOfTheTable)
{
    struct Case {
        float v, d;
        SiteCategory expected;
    };
    const Case cases[] = {
        {800.1f, 0.0f, SiteCategory::I0},   {800.0f, 0.0f, SiteCategory::I1},    {500.1f, 0.0f, SiteCategory::I1},
        {500.0f, 4.9f, SiteCategory::I1},   {500.0f, 5.0f, SiteCategory::II},    {250.1f, 200.0f, SiteCategory::II},
        {250.0f, 2.9f, SiteCategory::I1},   {250.0f, 3.0f, SiteCategory::II},    {250.0f, 50.0f, SiteCategory::II},
        {250.0f, 50.1f, SiteCategory::III}, {150.1f, 200.0f, SiteCategory::III}, {150.0f, 2.9f, SiteCategory::I1},
        {150.0f, 3.0f, SiteCategory::II},   {150.0f, 15.0f, SiteCategory::II},   {150.0f, 15.1f, SiteCategory::III},
        {150.0f, 80.0f, SiteCategory::III}, {150.0f, 80.1f, SiteCategory::IV},
    };
    for (const Case &c : cases)
        EXPECT_EQ(siteCategory(c.v, c.d), c.expected) << "v " << c.v << " d " << c.d;
}

TEST(SiteCategory, NehrpAndEc8Edges)
{
    const std::pair<float, NehrpClass> nehrp[]
        = {{1500.1f, NehrpClass::A}, {1500.0f, NehrpClass::B}, {760.1f, NehrpClass::B}, {760.0f, NehrpClass::C},
           {360.1f, NehrpClass::C},  {360.0f, NehrpClass::D},  {180.0f, NehrpClass::D}, {179.9f, NehrpClass::E}};
    for (const auto &[v, expected] : nehrp)
        EXPECT_EQ(nehrpClass(v), expected) << v;
    const std::pair<float, Ec8Ground> ec8[] = {{800.1f, Ec8Ground::A}, {800.0f, Ec8Ground::B}, {360.1f, Ec8Ground::B},
                                               {360.0f, Ec8Ground::C}, {180.0f, Ec8Ground::C}, {179.9f, Ec8Ground::D}};
    for (const auto &[v, expected] : ec8)
        EXPECT_EQ(ec8GroundFromVs30(v), expected) << v;
}

TEST(SiteClass, Vs30WithAndWithoutExtrapolation)
{
    // 0-10 m at 200 m/s, 10-30 m at 400 m/s: 30 / (0.05 + 0.05) s.
    SurveyData deep = talvex::testing::pickedProfile({{10.0f, 200.0f}, {30.0f, 400.0f}, {35.0f, 100.0f}});
    SiteClassification site = ClassifySite(deep);
    ASSERT_TRUE(site.ok());
    EXPECT_NEAR(site.vs30, 300.0f, 0.01f);
    EXPECT_FALSE(site.vs30Extrapolated);
    EXPECT_EQ(site.nehrp, NehrpClass::D);
    EXPECT_EQ(site.ec8, Ec8Ground::C);
    EXPECT_FALSE(anyLineHas(siteClassLines(site), "外推"));

    // Down to 20 m only: the last 10 m at the deepest velocity, and said so.
    SurveyData shallow = talvex::testing::pickedProfile({{20.0f, 400.0f}, {10.0f, 200.0f}});
    site = ClassifySite(shallow);
    EXPECT_NEAR(site.vs30, 300.0f, 0.01f);
    EXPECT_TRUE(site.vs30Extrapolated);
    EXPECT_FLOAT_EQ(site.deepest, 20.0f);
    const QStringList lines = siteClassLines(site);
    EXPECT_TRUE(anyLineHas(lines, "Vs30 = 300.0 m/s（外推：测孔只测到 20.0 米")) << lines.join('\n').toStdString();
}

TEST(SiteClass, OverburdenFromTheVelocitiesOrTheHoleParameters)
{
    // Soft soil over ground at 600 m/s from 12 m: d = 12, vse over 12 m.
    SurveyData s;
    addRun(s, 1, 12, 180.0f);
    addRun(s, 13, 20, 600.0f);
    SiteClassification site = ClassifySite(s);
    EXPECT_EQ(site.overburdenSource, OverburdenSource::Velocities);
    EXPECT_FLOAT_EQ(site.overburden, 12.0f);
    EXPECT_FLOAT_EQ(site.d0, 12.0f);
    EXPECT_NEAR(site.vse, 180.0f, 0.01f);
    EXPECT_FALSE(site.vseExtrapolated);
    EXPECT_EQ(site.category, SiteCategory::II);
    EXPECT_FALSE(site.categoryIfThicker.has_value());

    // A hard lens over softer ground is still overburden; the hole ends in
    // soil, so the deeper hole parameter is taken, and vse is extrapolated
    // below the hole to d0 = 20 m.
    SurveyData lens;
    addRun(lens, 1, 5, 140.0f);
    addRun(lens, 6, 6, 700.0f);
    addRun(lens, 7, 10, 140.0f);
    lens.header.overburden = 30.0f;
    site = ClassifySite(lens);
    EXPECT_EQ(site.overburdenSource, OverburdenSource::HoleParameters);
    EXPECT_FLOAT_EQ(site.overburden, 30.0f);
    EXPECT_FLOAT_EQ(site.d0, 20.0f);
    EXPECT_TRUE(site.vseExtrapolated);
    EXPECT_NEAR(site.vse, 20.0f / (19.0f / 140.0f + 1.0f / 700.0f), 0.01f);
    EXPECT_EQ(site.category, SiteCategory::III);

    // A hole parameter shallower than the hole: the hole's depth, a lower
    // bound, and the category a thicker overburden would give.
    lens.header.overburden = 5.0f;
    site = ClassifySite(lens);
    EXPECT_EQ(site.overburdenSource, OverburdenSource::HoleBottom);
    EXPECT_FLOAT_EQ(site.overburden, 10.0f);
    EXPECT_NEAR(site.vse, 10.0f / (9.0f / 140.0f + 1.0f / 700.0f), 0.01f); // just over 150
    EXPECT_EQ(site.category, SiteCategory::II);
    ASSERT_TRUE(site.categoryIfThicker.has_value());
    EXPECT_EQ(*site.categoryIfThicker, SiteCategory::III);

    // Rock from the surface: the category follows the rock's velocity.
    SurveyData rock;
    addRun(rock, 1, 25, 900.0f);
    site = ClassifySite(rock);
    EXPECT_FLOAT_EQ(site.overburden, 0.0f);
    EXPECT_NEAR(site.rockVelocity, 900.0f, 0.01f);
    EXPECT_EQ(site.category, SiteCategory::I0);
    EXPECT_EQ(site.nehrp, NehrpClass::B);
    EXPECT_EQ(site.ec8, Ec8Ground::A);
}

TEST(SiteClass, Ec8GroundTypeE)
{
    // 10 m at 200 m/s over ground at 900 m/s.
    SurveyData s;
    addRun(s, 1, 10, 200.0f);
    addRun(s, 11, 30, 900.0f);
    SiteClassification site = ClassifySite(s);
    EXPECT_EQ(site.ec8, Ec8Ground::E);
    EXPECT_FLOAT_EQ(site.ec8SurfaceLayer, 10.0f);
    EXPECT_EQ(site.nehrp, NehrpClass::C); // 30 / (0.05 + 0.0222) s
    EXPECT_TRUE(anyLineHas(siteClassLines(site), "EC8 场地类型：E"));

    // Too thick a soft layer, too fast a soft layer, or nothing stiff enough
    // below: the type follows Vs30.
    SurveyData thick;
    addRun(thick, 1, 22, 200.0f);
    addRun(thick, 23, 30, 900.0f);
    EXPECT_NE(ClassifySite(thick).ec8, Ec8Ground::E);
    SurveyData fast;
    addRun(fast, 1, 10, 380.0f);
    addRun(fast, 11, 30, 900.0f);
    EXPECT_NE(ClassifySite(fast).ec8, Ec8Ground::E);
    SurveyData soft;
    addRun(soft, 1, 10, 200.0f);
    addRun(soft, 11, 30, 790.0f);
    EXPECT_NE(ClassifySite(soft).ec8, Ec8Ground::E);
}

TEST(SiteClass, UnpickedPointsNeverCount)
{
    SurveyData s;
    EXPECT_EQ(ClassifySite(s).problem, QString::fromUtf8(kNoPointsForSiteClass));
    // Unpicked points still get a travel time (the delay) and a velocity
    // from it; none of that may make a site class.
    addRun(s, 1, 5, 0.0f);
    for (TlvOne &p : s.points) {
        p.delay = 4.0f * p.depth;
        p.pointVelocity = 241.6f;
    }
    SiteClassification site = ClassifySite(s);
    EXPECT_TRUE(site.problem.contains(QString::fromUtf8(kNoPicksForSiteClass))) << site.problem.toStdString();
    EXPECT_TRUE(site.problem.contains(QStringLiteral("5 个测点")));
    const QStringList lines = EChengGuoDialogModel::siteLines(s);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("无法确定")));

    // Picked below them: left out and counted, the site from the picks.
    addRun(s, 6, 10, 300.0f);
    site = ClassifySite(s);
    ASSERT_TRUE(site.ok());
    EXPECT_NEAR(site.vse, 300.0f, 0.05f);
    EXPECT_EQ(site.usedPoints, 5);
    EXPECT_EQ(site.unpickedPoints, 5);
    EXPECT_EQ(site.skippedPoints, 5);
    EXPECT_TRUE(anyLineHas(siteClassLines(site), "5 个测点未拾取初至，未计入"));

    // Nothing picked within d0: no vse rather than a guess.
    SurveyData deepOnly;
    addRun(deepOnly, 1, 20, 0.0f);
    addRun(deepOnly, 21, 30, 300.0f);
    site = ClassifySite(deepOnly);
    EXPECT_TRUE(site.problem.contains(QStringLiteral("d0 = 20.0 米以内没有拾取初至的测点")))
        << site.problem.toStdString();
}

TEST(SiteClass, APickedPointBelowAnUnpickedOneIsTimedFromThePickAbove)
{
    // 200 m/s all the way; point 5 is not picked, so the stored velocities
    // of points 5 and 6 (against their list neighbours) are meaningless.
    SurveyData s;
    addRun(s, 1, 4, 200.0f);
    addRun(s, 5, 5, 0.0f);
    addRun(s, 6, 10, 200.0f);
    RecalculateAllVelocities(s);
    ASSERT_GT(std::abs(s.points[5].pointVelocity - 200.0f), 50.0f);
    const SiteClassification site = ClassifySite(s);
    ASSERT_TRUE(site.ok());
    EXPECT_NEAR(site.vse, 200.0f, 0.05f);
    EXPECT_NEAR(site.vs30, 200.0f, 0.05f);
    EXPECT_EQ(site.unpickedPoints, 1);
}

TEST(SiteClass, CrossHoleTakesEachPickedPointsOwnVelocity)
{
    // L = 3 m crossed in 15 ms: 200 m/s at every picked depth; the point at
    // 3 m is not picked and its delay alone would give 3 / 0.5 ms.
    SurveyData s;
    s.header.method = 1;
    for (int d = 1; d <= 6; ++d) {
        TlvOne p = TlvOne::newPoint(3.0f);
        p.depth = float(d);
        p.interval = 1000.0f;
        p.sArrival = d == 3 ? 0 : 15;
        p.delay = d == 3 ? 0.5f : 0.0f;
        s.points.push_back(p);
    }
    RecalculateAllVelocities(s);
    const SiteClassification site = ClassifySite(s);
    ASSERT_TRUE(site.ok());
    EXPECT_NEAR(site.vse, 200.0f, 0.01f);
    EXPECT_EQ(site.unpickedPoints, 1);
    EXPECT_EQ(site.usedPoints, 5);
}
