// The independent hole generator: the same seed gives the same hole, the
// truth it reports is where the waves in the records start, and the points
// differ from one another as promised.

#include "tools/holegen/holegen.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

holegen::HoleOptions options(double snr, std::uint32_t seed = 11)
{
    holegen::HoleOptions o;
    o.seed = seed;
    o.points = 12;
    o.signalToNoise = snr;
    return o;
}

} // namespace

TEST(HoleGen, TheSameSeedGivesTheSameHoleAndAnotherADifferentOne)
{
    const holegen::Hole a = holegen::makeHole(options(5.0));
    const holegen::Hole b = holegen::makeHole(options(5.0));
    const holegen::Hole c = holegen::makeHole(options(5.0, 12));
    ASSERT_EQ(a.survey.points.size(), 12u);
    ASSERT_EQ(a.truth.size(), 12u);
    ASSERT_EQ(a.records.size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(a.survey.points[i].positive, b.survey.points[i].positive);
        EXPECT_EQ(a.survey.points[i].negative, b.survey.points[i].negative);
        EXPECT_EQ(a.truth[i].onsetSample, b.truth[i].onsetSample);
    }
    int same = 0;
    for (std::size_t i = 0; i < 12; ++i)
        same += a.survey.points[i].positive == c.survey.points[i].positive ? 1 : 0;
    EXPECT_EQ(same, 0);
}

TEST(HoleGen, TheWavesStartWhereTheTruthSays)
{
    const holegen::Hole hole = holegen::makeHole(options(0.0));
    std::set<holegen::OnsetShape> shapes;
    std::set<int> strongest;
    double shortest = 1e9, longest = 0.0;
    for (std::size_t i = 0; i < hole.truth.size(); ++i) {
        const holegen::PointTruth &t = hole.truth[i];
        const talvex::TlvOne &p = hole.survey.points[i];
        shapes.insert(t.shape);
        strongest.insert(t.strongestChannel);
        shortest = std::min(shortest, t.periodMs);
        longest = std::max(longest, t.periodMs);
        EXPECT_GE(t.periodMs, 3.0);
        EXPECT_LE(t.periodMs, 7.0);
        EXPECT_GE(t.pLeadMs, 2.0);
        EXPECT_LE(t.pLeadMs, 7.0);
        // Without noise nothing moves before the P-wave, and the P-wave has
        // the same sign on both blows (their sum carries it, the S-wave
        // cancels there but for the blows' unequal strength).
        const double samplesPerMs = 1000.0 / double(p.interval);
        const int pOnset = int(std::floor(t.onsetExact - t.pLeadMs * samplesPerMs));
        ASSERT_GT(pOnset, 2) << i;
        for (int s = 0; s < pOnset; ++s) {
            ASSERT_EQ(p.positive[std::size_t(s)], 0) << i << " " << s;
            ASSERT_EQ(p.negative[std::size_t(s)], 0) << i << " " << s;
        }
        // Before the S onset the half difference holds only the P-wave's
        // leak, after it the reversed S-wave, many times stronger.
        double before = 0.0, after = 0.0;
        const int onset = t.onsetSample;
        for (int s = pOnset; s < onset - 1; ++s)
            before = std::max(before, 0.5 * std::abs(p.positive[std::size_t(s)] - p.negative[std::size_t(s)]));
        for (int s = onset; s < std::min(talvex::kTraceLength, onset + int(t.periodMs * samplesPerMs)); ++s)
            after = std::max(after, 0.5 * std::abs(p.positive[std::size_t(s)] - p.negative[std::size_t(s)]));
        EXPECT_GT(after, 2.0 * before) << i;
        // The channel said to be strongest carries the largest reversed wave.
        const auto &records = hole.records[i];
        double best = -1.0;
        int bestChannel = -1;
        for (std::size_t c = 0; c < records[0].channels.size(); ++c) {
            double peak = 0.0;
            for (std::size_t s = std::size_t(onset); s < records[0].channels[c].size(); ++s)
                peak = std::max(peak, 0.5 * std::abs(records[0].channels[c][s] - records[1].channels[c][s]));
            if (peak > best) {
                best = peak;
                bestChannel = int(c);
            }
        }
        EXPECT_EQ(bestChannel, t.strongestChannel) << i;
    }
    // The points are not one wave repeated.
    EXPECT_GE(shapes.size(), 3u);
    EXPECT_GE(strongest.size(), 2u);
    EXPECT_GT(longest - shortest, 1.5);
}

TEST(HoleGen, TheNoiseHasTheAskedRatioToTheSWave)
{
    // The noise draws do not depend on the level, so the difference of a
    // noisy and a clean hole is the noise itself.
    const holegen::Hole clean = holegen::makeHole(options(0.0));
    const holegen::Hole noisy = holegen::makeHole(options(4.0));
    for (std::size_t i = 0; i < clean.truth.size(); ++i) {
        const talvex::TlvOne &c = clean.survey.points[i];
        const talvex::TlvOne &n = noisy.survey.points[i];
        double power = 0.0;
        for (int s = 0; s < talvex::kTraceLength; ++s) {
            const double d = double(n.positive[std::size_t(s)]) - c.positive[std::size_t(s)];
            power += d * d;
        }
        const double rms = std::sqrt(power / talvex::kTraceLength);
        // The S-wave's peak: its half difference reaches it (the blows
        // differ by at most 10 %, the P-wave's leak is far smaller).
        double peak = 0.0;
        for (int s = clean.truth[i].onsetSample; s < talvex::kTraceLength; ++s)
            peak = std::max(peak, 0.5 * std::abs(c.positive[std::size_t(s)] - c.negative[std::size_t(s)]));
        EXPECT_NEAR(peak / rms, 4.0, 4.0 * 0.25) << i;
    }
}
