#include "talvex/survey/undosnapshot.h"

#include <gtest/gtest.h>

using namespace talvex;

TEST(UndoSnapshot, RestoresPointsLayersAndHoleButNotSiteResults)
{
    SurveyData s;
    for (int i = 0; i < 3; ++i) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(i + 1);
        p.positive[7] = std::int16_t(i + 10);
        p.pointVelocity = 100.0f + float(i);
        s.points.push_back(p);
    }
    s.layers.push_back(DiChengOne{0.0f, 3.0f, 150.0f});
    UndoSnapshot undo;
    EXPECT_FALSE(undo.available());
    EXPECT_FALSE(undo.Undo(s));

    undo.TakeUndoSnapshot(s);
    EXPECT_TRUE(undo.available());
    // Delete the middle point, change the hole and the site results.
    s.points.erase(s.points.begin() + 1);
    s.layers.clear();
    s.header.sourceDistance = 9.0f;
    s.header.holeDepth = 99.0f;
    s.header.overburden = 33.0f;
    s.header.computationDepth = 11.0f;
    s.header.siteVelocity = 222.0f;
    s.setModified(true);

    ASSERT_TRUE(undo.Undo(s));
    ASSERT_EQ(s.points.size(), 3u);
    EXPECT_EQ(s.points[1].depth, 2.0f);
    EXPECT_EQ(s.points[1].positive[7], 11);
    EXPECT_EQ(s.points[1].pointVelocity, 101.0f);
    EXPECT_EQ(s.layers.size(), 1u);
    EXPECT_EQ(s.header.sourceDistance, 1.5f);
    EXPECT_EQ(s.header.holeDepth, 50.0f);
    EXPECT_EQ(s.header.overburden, 33.0f);
    EXPECT_EQ(s.header.computationDepth, 11.0f);
    EXPECT_EQ(s.header.siteVelocity, 222.0f);
    EXPECT_TRUE(s.isModified());
    // One level: a second Undo has nothing to restore.
    EXPECT_FALSE(undo.available());
    s.points.clear();
    EXPECT_FALSE(undo.Undo(s));
    EXPECT_TRUE(s.points.empty());
}
