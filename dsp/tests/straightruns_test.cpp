// Straight runs through scattered points: breaks found where the line
// bends, one wild point neither bending its run nor splitting it, and the
// line's error as least squares gives it.

#include "dsp/straightruns.h"

#include <cmath>
#include <random>
#include <vector>
#include <gtest/gtest.h>

namespace {

struct Points {
    std::vector<double> x, y, sigma;
};

// A travel-time-like curve: slope 5 down to x = 7.5, slope 3 below, with
// Gaussian scatter of `sd` (sigma given as sd).
Points brokenLine(double sd, unsigned seed)
{
    std::mt19937 engine(seed);
    std::normal_distribution<double> noise(0.0, sd);
    Points p;
    for (int k = 1; k <= 16; ++k) {
        const double x = k;
        const double y = x <= 7.5 ? 5.0 * x : 37.5 + 3.0 * (x - 7.5);
        p.x.push_back(x);
        p.y.push_back(y + noise(engine));
        p.sigma.push_back(sd);
    }
    return p;
}

} // namespace

TEST(StraightRuns, BreaksWhereTheLineBendsAndRarelyElsewhere)
{
    // The bend is found in every draw; chance alone splits a straight run
    // now and then (the penalty is that of an information criterion, not a
    // significance test), but seldom.
    int extra = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const Points p = brokenLine(0.05, seed);
        const std::vector<dsp::StraightRun> runs = dsp::FitStraightRuns(p.x, p.y, p.sigma);
        ASSERT_GE(runs.size(), 2u) << "seed " << seed;
        bool bend = false;
        for (const dsp::StraightRun &r : runs) {
            bend = bend || r.end == 7;
            EXPECT_TRUE(r.first >= 7 || r.end <= 7) << "seed " << seed << ": a run across the bend";
        }
        EXPECT_TRUE(bend) << "seed " << seed;
        extra += int(runs.size()) - 2;
        for (const dsp::StraightRun &r : runs) {
            if (r.fitted) {
                EXPECT_NEAR(r.slope, r.end <= 7 ? 5.0 : 3.0, 0.15) << "seed " << seed;
            }
        }
    }
    EXPECT_LE(extra, 3);
}

TEST(StraightRuns, OneWildPointNeitherBendsNorSplitsItsRun)
{
    Points p = brokenLine(0.05, 7);
    const double truth = 5.0 * 4.0;
    p.y[3] = truth + 3.0; // 60 sigmas off
    const std::vector<dsp::StraightRun> runs = dsp::FitStraightRuns(p.x, p.y, p.sigma);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].end, 7);
    // The line through the others tells where the wild point belongs.
    EXPECT_NEAR(runs[0].valueAt(4.0), truth, 0.1);
    EXPECT_NEAR(runs[0].slope, 5.0, 0.05);
    // It costs no more than a residual of 3 sigmas.
    EXPECT_LT(runs[0].chiSquare, 2.0 * 2.0 * 3.0 + 10.0);
}

TEST(StraightRuns, TheLinesErrorIsThatOfLeastSquares)
{
    // Equal sigmas on a straight line: at the middle x the error is
    // sigma / sqrt(n), and the slope's variance sigma² / Σ(x - x̄)².
    Points p;
    for (int k = 0; k < 9; ++k) {
        p.x.push_back(100.0 + k); // far from zero: the sums must stay conditioned
        p.y.push_back(2.0 * k + (k % 2 == 0 ? 0.01 : -0.01));
        p.sigma.push_back(0.3);
    }
    const dsp::StraightRun line = dsp::FitRobustLine(p.x, p.y, p.sigma, 0, 9, 2.0, 3.0);
    ASSERT_TRUE(line.fitted);
    EXPECT_NEAR(line.standardErrorAt(104.0), 0.3 / 3.0, 1e-9);
    EXPECT_NEAR(line.varSlope, 0.09 / 60.0, 1e-12);
    EXPECT_NEAR(line.valueAt(104.0), 8.0, 0.01);
    // A more precise point weighs more: the line passes nearer it.
    Points q = p;
    q.y[4] += 0.2;
    q.sigma[4] = 0.03;
    const dsp::StraightRun weighted = dsp::FitRobustLine(q.x, q.y, q.sigma, 0, 9, 100.0, 100.0);
    EXPECT_GT(weighted.valueAt(104.0) - line.valueAt(104.0), 0.15);
}

TEST(StraightRuns, ShortRunsAndBadInput)
{
    // Two points: one run, not fitted (a line through two says nothing).
    const std::vector<double> x{1.0, 2.0}, y{3.0, 4.0}, s{0.1, 0.1};
    const std::vector<dsp::StraightRun> two = dsp::FitStraightRuns(x, y, s);
    ASSERT_EQ(two.size(), 1u);
    EXPECT_FALSE(two[0].fitted);
    EXPECT_EQ(two[0].points(), 2);
    EXPECT_TRUE(dsp::FitStraightRuns({}, {}, {}).empty());
    const std::vector<double> shorter{1.0};
    EXPECT_TRUE(dsp::FitStraightRuns(x, shorter, s).empty());
    // Points at one x: a level, no division by zero.
    const std::vector<double> same{2.0, 2.0, 2.0}, ys{1.0, 1.2, 1.1}, ss{0.1, 0.1, 0.1};
    const dsp::StraightRun level = dsp::FitRobustLine(same, ys, ss, 0, 3, 2.0, 3.0);
    EXPECT_TRUE(level.fitted);
    EXPECT_NEAR(level.valueAt(2.0), 1.1, 1e-9);
    EXPECT_TRUE(std::isfinite(level.standardErrorAt(2.0)));
    // Runs are never longer than asked: every run ends within maxRun.
    const Points p = brokenLine(0.05, 3);
    dsp::StraightRunOptions options;
    options.maxRun = 4;
    int covered = 0;
    for (const dsp::StraightRun &r : dsp::FitStraightRuns(p.x, p.y, p.sigma, options)) {
        EXPECT_LE(r.points(), 4);
        EXPECT_EQ(r.first, covered);
        covered = r.end;
    }
    EXPECT_EQ(covered, 16);
}
