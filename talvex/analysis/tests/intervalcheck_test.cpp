// The interval check on holes written by a generator of this test, not the
// sample generator and not the picker's wave model: every point has its own
// S-wave period, decay and rise, a same-polarity P arrival a few ms earlier,
// white noise and a trigger delay of its own.

#include "talvex/analysis/intervalcheck.h"
#include "talvex/survey/surveydata.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

using namespace talvex;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Wave {
    double periodMs = 5.0;
    double decayMs = 5.0; // e-folding time of the envelope
    double riseMs = 0.3; // of the onset
    double amplitude = 8000.0;
};

// The wave at u ms after its onset (0 before it).
double waveAt(const Wave &w, double u)
{
    if (u <= 0.0)
        return 0.0;
    return w.amplitude * std::sin(2.0 * kPi * u / w.periodMs) * std::exp(-u / w.decayMs)
        * (1.0 - std::exp(-u / w.riseMs));
}

// A point with the S wave starting `onsetMs` after the trigger (so
// onsetMs - delay into the record), reversed on the negative blow, and the
// P wave (same sign on both blows) `pLeadMs` before it.
TlvOne makePoint(float depth, float intervalUs, float delayMs, double onsetMs, const Wave &s, double pLeadMs,
                 double noiseRms, std::mt19937 &random)
{
    TlvOne p = TlvOne::newPoint(1.5f);
    p.depth = depth;
    p.interval = intervalUs;
    p.delay = delayMs;
    Wave pWave{1.4, 1.5, 0.1, 0.4 * s.amplitude};
    std::normal_distribution<double> noise(0.0, noiseRms);
    for (int k = 0; k < kTraceLength; ++k) {
        const double t = double(delayMs) + k * double(intervalUs) / 1000.0;
        const double sv = waveAt(s, t - onsetMs);
        const double pv = waveAt(pWave, t - (onsetMs - pLeadMs));
        const auto sample = [](double v) { return std::int16_t(std::clamp(std::lround(v), -32768L, 32767L)); };
        p.positive[std::size_t(k)] = sample(pv + sv + noise(random));
        p.negative[std::size_t(k)] = sample(pv - sv + noise(random));
    }
    return p;
}

// A single-hole survey of `count` points 1 m apart, 50 µs sampling, the S
// velocity rising with depth; periods from 3 to 7 ms down the hole with a
// jitter of their own at each point. Each point is picked at its true onset.
SurveyData generatedHole(int count, double snr, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(-1.0, 1.0);
    SurveyData survey;
    survey.header.sourceDistance = 1.5f;
    const float interval = 50.0f;
    for (int i = 0; i < count; ++i) {
        const float depth = float(i + 1);
        const double vs = 140.0 + 6.0 * depth;
        const double slant = std::sqrt(1.5 * 1.5 + double(depth) * double(depth));
        const double onset = slant / vs * 1000.0;
        // Whole-ms trigger delays that differ from point to point.
        const float delay = float(std::max(0.0, std::floor(onset - 12.0 - 4.0 * (i % 3))));
        Wave s;
        s.periodMs = 3.0 + 4.0 * i / std::max(1, count - 1) + 0.1 * jitter(random);
        s.decayMs = s.periodMs * (0.9 + 0.2 * jitter(random));
        s.riseMs = 0.2 + 0.1 * jitter(random);
        s.amplitude = 6000.0 + 2000.0 * jitter(random);
        const double peak = 0.6 * s.amplitude; // about the largest value of the wave
        TlvOne p = makePoint(depth, interval, delay, onset, s, 4.5 + 2.5 * jitter(random), snr > 0.0 ? peak / snr : 0.0,
                             random);
        p.sArrival = std::int16_t(std::lround((onset - delay) * 1000.0 / interval));
        survey.points.push_back(p);
    }
    return survey;
}

} // namespace

TEST(IntervalCheck, CleanHoleHasNoFlagAndAPickMovedBy40SamplesIsFlagged)
{
    SurveyData survey = generatedHole(30, 20.0, 7);
    const IntervalCheck clean = CheckIntervals(survey);
    ASSERT_EQ(clean.pairs.size(), 29u);
    for (const IntervalPair &pair : clean.pairs) {
        EXPECT_TRUE(pair.compared) << pair.upper << " " << pair.note.toStdString();
        EXPECT_FALSE(pair.flagged) << "pair " << pair.upper << ": " << pair.differenceMs << " > " << pair.toleranceMs;
        EXPECT_GT(pair.coefficient, 0.8);
        EXPECT_TRUE(pair.correlatedVertical);
    }
    EXPECT_EQ(clean.flaggedCount(), 0);

    for (const int moved : {12, 0, 29}) {
        SurveyData wrong = survey;
        wrong.points[std::size_t(moved)].sArrival += 40;
        const IntervalCheck check = CheckIntervals(wrong);
        EXPECT_TRUE(check.flaggedPoints[std::size_t(moved)]) << moved;
        EXPECT_EQ(check.flaggedCount(), 1) << moved;
        for (const IntervalPair &pair : check.pairs) {
            const bool touches = pair.upper == moved || pair.lower == moved;
            EXPECT_EQ(pair.flagged, touches) << moved << " pair " << pair.upper;
            if (pair.flagged) { // the pick is 2 ms late, made vertical at the lower point
                const double depth = pair.lowerDepth;
                EXPECT_NEAR(std::fabs(pair.differenceMs), 2.0 * depth / std::hypot(1.5, depth), 0.3);
            }
        }
    }
}

TEST(IntervalCheck, UnpickedPairsAreNotComparedButStillCorrelated)
{
    SurveyData survey = generatedHole(8, 20.0, 11);
    survey.points[3].sArrival = 0;
    survey.points[3].positive[0] = 5; // makes no difference to the window
    const IntervalCheck check = CheckIntervals(survey);
    for (const IntervalPair &pair : check.pairs) {
        const bool unpicked = pair.upper == 3 || pair.lower == 3;
        EXPECT_EQ(pair.picked, !unpicked);
        EXPECT_EQ(pair.compared, !unpicked);
        EXPECT_FALSE(pair.flagged);
        EXPECT_TRUE(pair.correlated);
        if (unpicked) {
            EXPECT_TRUE(pair.note.contains(QStringLiteral("未拾取"))) << pair.note.toStdString();
            EXPECT_TRUE(pair.note.contains(QStringLiteral("4")));
            // Made vertical with the other point's pick, the time still
            // matches the true interval (the picks are the true onsets).
            const auto vertical = [](double depth) { return depth / (140.0 + 6.0 * depth) * 1000.0; };
            const double truth = vertical(pair.lowerDepth) - vertical(pair.upperDepth);
            EXPECT_NEAR(pair.correlatedMs, truth, 0.5);
        }
    }
    EXPECT_EQ(check.flaggedCount(), 0);
}

TEST(IntervalCheck, FractionalDelayAcrossDifferentTriggerDelays)
{
    // One wave, the lower point 3.37 samples (of 100 µs) later after the
    // trigger and recorded with a trigger delay 2 ms longer; neither picked.
    SurveyData survey;
    survey.header.method = 1; // cross hole: no vertical correction
    std::mt19937 random(1);
    const Wave s{4.0, 4.0, 0.2, 8000.0};
    survey.points.push_back(makePoint(2.0f, 100.0f, 10.0f, 25.0, s, 3.0, 0.0, random));
    survey.points.push_back(makePoint(3.0f, 100.0f, 12.0f, 25.337, s, 3.0, 0.0, random));
    const IntervalCheck check = CheckIntervals(survey);
    ASSERT_EQ(check.pairs.size(), 1u);
    const IntervalPair &pair = check.pairs[0];
    ASSERT_TRUE(pair.correlated) << pair.problem.toStdString();
    EXPECT_NEAR(pair.correlatedMs, 0.337, 0.01); // a tenth of a sample
    EXPECT_GT(pair.coefficient, 0.99);
    EXPECT_FALSE(pair.picked);
    EXPECT_FALSE(pair.flagged);

    // Different sample intervals are refused with the reason; so is a point
    // without traces.
    survey.points[1].interval = 50.0f;
    EXPECT_FALSE(CheckIntervals(survey).pairs[0].correlated);
    EXPECT_TRUE(CheckIntervals(survey).pairs[0].problem.contains(QStringLiteral("采样间隔不同")));
    survey.points[1] = TlvOne::newPoint(1.5f);
    survey.points[1].interval = 100.0f;
    EXPECT_TRUE(CheckIntervals(survey).pairs[0].problem.contains(QStringLiteral("测点 2 没有波形")));
}

TEST(IntervalCheck, AlignmentsFollowChangesOfTracesAndDelaysOnly)
{
    SurveyData survey = generatedHole(12, 20.0, 3);
    NeighbourAlignments kept;
    kept.update(survey);
    EXPECT_EQ(kept.lastAligned(), 11);
    // A pick changes nothing the alignment depends on.
    survey.points[4].sArrival += 40;
    kept.update(survey);
    EXPECT_EQ(kept.lastAligned(), 0);
    // A trace edit and a delay change align the pairs of those points again,
    // to the same result as aligning all.
    for (auto &v : survey.points[6].negative)
        v = std::int16_t(-v);
    survey.points[11].delay += 1.0f;
    const std::vector<PairAlignment> &updated = kept.update(survey);
    EXPECT_EQ(kept.lastAligned(), 3); // 6-7, 7-8 and 11-12
    const std::vector<PairAlignment> all = AlignNeighbours(survey);
    ASSERT_EQ(updated.size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(updated[i].ok, all[i].ok) << i;
        EXPECT_DOUBLE_EQ(updated[i].rawMs, all[i].rawMs) << i;
        EXPECT_DOUBLE_EQ(updated[i].coefficient, all[i].coefficient) << i;
    }
}
