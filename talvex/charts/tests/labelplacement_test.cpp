// Labels of one column: kept where they ask to be unless they collide, then
// moved apart as little as clears them, inside their band.

#include "talvex/charts/labelplacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using talvex::charts::spreadLabels;

TEST(LabelPlacement, LabelsThatDoNotCollideStayAndCollidingOnesMoveApartTheLeast)
{
    // Three apart, then two of thin layers asking 10 units apart with
    // labels 30 high: they part symmetrically around where they asked.
    EXPECT_EQ(spreadLabels({100, 200, 300}, 30, 0, 1000), (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(spreadLabels({500, 510}, 30, 0, 1000), (std::vector<int>{490, 520}));
    // Order given is kept per label (the result is not sorted).
    EXPECT_EQ(spreadLabels({510, 500}, 30, 0, 1000), (std::vector<int>{520, 490}));
    // A chain: the third joins the group the first two made.
    EXPECT_EQ(spreadLabels({500, 510, 520}, 30, 0, 1000), (std::vector<int>{480, 510, 540}));
    // Touching is not colliding.
    EXPECT_EQ(spreadLabels({500, 530}, 30, 0, 1000), (std::vector<int>{500, 530}));
}

TEST(LabelPlacement, TheBandKeepsLabelsOffTheHeadingAndTheFrame)
{
    // The first bottom depth of a thin top layer would print over the
    // heading line at 100: it goes below it, pushing its neighbour.
    EXPECT_EQ(spreadLabels({80, 115}, 30, 100, 1000), (std::vector<int>{100, 130}));
    // At the bottom the group is pushed up.
    EXPECT_EQ(spreadLabels({985, 990}, 30, 0, 970), (std::vector<int>{940, 970}));
    // No room for all: they start at the band's top, one height apart.
    EXPECT_EQ(spreadLabels({0, 0, 0}, 30, 10, 50), (std::vector<int>{10, 40, 70}));
    EXPECT_TRUE(spreadLabels({}, 30, 0, 100).empty());
}

TEST(LabelPlacement, RandomColumnsNeverOverlapAndKeepTheirOrder)
{
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::uniform_int_distribution<int> count(1, 40);
        std::uniform_int_distribution<int> at(0, 3000);
        std::vector<int> wanted(std::size_t(count(random)));
        for (int &w : wanted)
            w = at(random);
        const int height = 28;
        const std::vector<int> tops = spreadLabels(wanted, height, 0, 4000);
        std::vector<std::size_t> order(wanted.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return wanted[a] < wanted[b]; });
        for (std::size_t k = 0; k < order.size(); ++k) {
            EXPECT_GE(tops[order[k]], 0);
            EXPECT_LE(tops[order[k]], 4000);
            if (k > 0) {
                EXPECT_GE(tops[order[k]] - tops[order[k - 1]], height);
            }
        }
        // Nothing moves when nothing collides.
        bool apart = true;
        for (std::size_t k = 1; k < order.size(); ++k)
            apart = apart && wanted[order[k]] - wanted[order[k - 1]] >= height;
        if (apart) {
            EXPECT_EQ(tops, wanted);
        }
    }
}
