// The simulated card's site model and long recordings joined from the
// card's blocks.

#include "sedra/card/longacquisition.h"
#include "sedra/card/simulatedcard.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>

using namespace sedra;

namespace {

// Mean power at `f` Hz over 60-second Hann-windowed segments (a Welch
// estimate at one frequency, by direct summation).
double powerAt(const std::vector<std::int16_t> &x, double dt, double f)
{
    const std::size_t n = std::size_t(std::lround(60.0 / dt));
    double sum = 0.0;
    int segments = 0;
    for (std::size_t start = 0; start + n <= x.size(); start += n) {
        double re = 0.0, im = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(n));
            const double phase = 2.0 * std::numbers::pi * f * double(i) * dt;
            re += w * x[start + i] * std::cos(phase);
            im += w * x[start + i] * std::sin(phase);
        }
        sum += re * re + im * im;
        ++segments;
    }
    return sum / segments;
}

// The mean of five neighbouring independent bins around `f`, to steady the
// estimate.
double bandPower(const std::vector<std::int16_t> &x, double dt, double f)
{
    double sum = 0.0;
    for (int k = -2; k <= 2; ++k)
        sum += powerAt(x, dt, f + k / 60.0);
    return sum / 5.0;
}

struct Recorded {
    LongAcquisitionResult result;
    std::array<std::vector<std::int16_t>, 3> samples;
    std::vector<LongAcquisitionBlock> blocks; // without their samples
};

Recorded record(PortIo &card, std::int64_t total, std::uint16_t interval, std::uint16_t delay = 0)
{
    LongAcquisitionPlan plan;
    plan.card.interval = interval;
    plan.card.delay = delay;
    plan.totalSamples = total;
    Recorded r;
    r.result = AcquireLong(card, plan, nullptr, [&](LongAcquisitionBlock &&b) {
        EXPECT_EQ(b.firstSample, std::int64_t(r.samples[0].size()));
        for (std::size_t k = 0; k < 3; ++k) {
            r.samples[k].insert(r.samples[k].end(), b.samples[k].begin(), b.samples[k].end());
            b.samples[k].clear();
        }
        r.blocks.push_back(std::move(b));
    });
    return r;
}

SimulatedCardOptions model(const char *text)
{
    QString error;
    const auto options = SimulatedCardOptions::parse(QString::fromLatin1(text), &error);
    EXPECT_TRUE(options) << error.toStdString();
    return options.value_or(SimulatedCardOptions{});
}

} // namespace

TEST(SiteModel, OptionsParseAndRefuse)
{
    const SimulatedCardOptions o = model("hv:f0=2.5,a0=3,damping=0.2,transients=4,seed=9,fast");
    ASSERT_TRUE(o.hv);
    EXPECT_FLOAT_EQ(o.hv->f0, 2.5f);
    EXPECT_FLOAT_EQ(o.hv->a0, 3.0f);
    EXPECT_FLOAT_EQ(o.hv->damping, 0.2f);
    EXPECT_EQ(o.hv->transients, 4);
    EXPECT_EQ(o.seed, 9u);
    EXPECT_TRUE(o.fast);
    EXPECT_FALSE(o.realtime);
    // Without `fast` the model keeps the card's pace.
    EXPECT_TRUE(model("hv:f0=2").realtime);
    EXPECT_EQ(model("hv:bursts-at=10/300").hv->burstsAt, (std::vector<float>{10.0f, 300.0f}));
    // The tone model's switches are unchanged and the model's are its own.
    EXPECT_FALSE(model("freq=3,seed=2").hv);
    QString error;
    for (const char *bad : {"f0=2", "fast", "hv:f0=0", "hv:a0=0.5", "hv:damping=2", "hv:transients=-1",
                            "hv:bursts-at=x", "hv:fast,realtime", "hv:f0", "hv:freq=2", "hv:noise=0.1"})
        EXPECT_FALSE(SimulatedCardOptions::parse(QString::fromLatin1(bad), &error)) << bad;
}

// Twenty minutes at 100 Hz, fast: the horizontals peak at f0 with about a0
// over the vertical, the vertical is flat, and the recording has no gap.
TEST(SiteModel, TwentyFastMinutesShowTheResonanceOverAFlatVertical)
{
    SimulatedCard card(model("hv:f0=2.0,a0=4,damping=0.15,seed=1,fast"));
    const std::int64_t total = samplesForMinutes(20.0, 10000);
    ASSERT_EQ(total, 120000);
    const Recorded r = record(card, total, 10000);
    ASSERT_EQ(r.result.outcome, AcquisitionOutcome::Done);
    EXPECT_EQ(r.result.samplesRead, total);
    EXPECT_EQ(r.samples[2].size(), std::size_t(total));
    EXPECT_EQ(r.result.blocks, 30); // 29 full blocks of 4096 and the rest
    EXPECT_TRUE(r.result.gaps.empty());

    const std::vector<double> grid{0.5, 1.0, 1.5, 1.8, 2.0, 2.2, 2.5, 3.0, 4.0, 6.0, 10.0, 20.0};
    std::vector<double> ratio, vertical;
    for (const double f : grid) {
        const double v = bandPower(r.samples[2], 0.01, f);
        const double h = 0.5 * (bandPower(r.samples[0], 0.01, f) + bandPower(r.samples[1], 0.01, f));
        ratio.push_back(std::sqrt(h / v));
        vertical.push_back(v);
    }
    const std::size_t peak = std::size_t(std::max_element(ratio.begin(), ratio.end()) - ratio.begin());
    EXPECT_DOUBLE_EQ(grid[peak], 2.0);
    EXPECT_NEAR(ratio[peak], 4.0, 0.6);
    EXPECT_NEAR(ratio.front(), 1.0, 0.35);
    EXPECT_NEAR(ratio.back(), 1.0, 0.35);
    const auto [low, high] = std::minmax_element(vertical.begin(), vertical.end());
    EXPECT_LT(*high / *low, 1.6); // flat within the scatter of the estimate
}

TEST(SiteModel, BurstsSoundWhereTheyAreSet)
{
    SimulatedCard card(model("hv:bursts-at=100/250,seed=3,fast"));
    const Recorded r = record(card, samplesForMinutes(5.0, 10000), 10000);
    ASSERT_EQ(card.burstTimes(), (std::vector<double>{100.0, 250.0}));
    const auto rms = [&](double from, double to) {
        double sum = 0.0;
        const std::size_t a = std::size_t(from * 100), b = std::size_t(to * 100);
        for (std::size_t i = a; i < b; ++i)
            sum += double(r.samples[2][i]) * r.samples[2][i];
        return std::sqrt(sum / double(b - a));
    };
    const double quiet = rms(10.0, 90.0);
    EXPECT_GT(rms(101.0, 103.0), 4.0 * quiet);
    EXPECT_GT(rms(251.0, 253.0), 4.0 * quiet);
    EXPECT_LT(rms(150.0, 240.0), 1.3 * quiet);

    // Drawn from the seed: as many as asked, within the span, the same each time.
    SimulatedCard drawn(model("hv:transients=4,span=600,seed=1,fast"));
    SimulatedCard again(model("hv:transients=4,span=600,seed=1,fast"));
    ASSERT_EQ(drawn.burstTimes().size(), 4u);
    EXPECT_EQ(drawn.burstTimes(), again.burstTimes());
    for (const double t : drawn.burstTimes())
        EXPECT_TRUE(t >= 0.0 && t <= 600.0) << t;
}

// The model's stream goes on across the card's restarts: a recording made
// of blocks is the same as the stream read without a restart.
TEST(LongAcquisition, BlocksJoinIntoTheContinuousStream)
{
    SimulatedCard blocks(model("hv:seed=5,fast"));
    const Recorded joined = record(blocks, 10000, 8000);
    ASSERT_EQ(joined.result.samplesRead, 10000);
    ASSERT_EQ(joined.blocks.size(), 3u);
    EXPECT_EQ(joined.blocks[2].firstSample, 8192);
    EXPECT_EQ(blocks.streamSamples(), 10000);

    // The same stream straight from the protocol, one start.
    SimulatedCard straight(model("hv:seed=5,fast"));
    AcquisitionParameters p;
    p.interval = 8000;
    p.samples = 4096;
    std::array<RecordChannel, kRecordChannels> raw{};
    ASSERT_EQ(AcquireRecord(straight, p, raw, nullptr, readyLimitFor(p)).outcome, AcquisitionOutcome::Done);
    for (std::size_t i = 0; i < 4096; ++i)
        ASSERT_EQ(joined.samples[2][i], convertRawCode(raw[2][i])) << i;
    ASSERT_EQ(AcquireRecord(straight, p, raw, nullptr, readyLimitFor(p)).outcome, AcquisitionOutcome::Done);
    for (std::size_t i = 0; i < 4096; ++i)
        ASSERT_EQ(joined.samples[0][4096 + i], convertRawCode(raw[0][i])) << i;
}

// A card paced by the clock: the delay is waited once, before the first
// block only.
TEST(LongAcquisition, PacedCardDelaysOnce)
{
    SimulatedCard card(model("hv:seed=2"));
    const auto started = std::chrono::steady_clock::now();
    const Recorded r = record(card, 4096 + 200, 500, 300);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_EQ(r.result.outcome, AcquisitionOutcome::Done);
    EXPECT_EQ(r.result.samplesRead, 4296);
    EXPECT_LT(seconds, 0.3 + 4296 * 500e-6 + 0.25); // one delay, not two
}

// A card with a clock of its own, restarted at once after each block: no
// gap. (The simulation delivers its sets at once but says it samples in real
// time; at the slowest interval half a slot is 32 ms, far above any wait of
// the restart itself, so the test does not hang on the machine's load.)
TEST(LongAcquisition, PromptRestartIsNoGap)
{
    class ClockedCard : public PortIo {
    public:
        explicit ClockedCard(SimulatedCard &card) : m_card(card) {}
        std::uint16_t read16(std::uint16_t port) override { return m_card.read16(port); }
        void write16(std::uint16_t port, std::uint16_t value) override { m_card.write16(port, value); }
        bool sampledInRealTime() const override { return true; }

    private:
        SimulatedCard &m_card;
    };
    SimulatedCard fast(model("hv:seed=2,fast"));
    ClockedCard card(fast);
    const Recorded r = record(card, 3 * 4096, 65000);
    ASSERT_EQ(r.result.outcome, AcquisitionOutcome::Done);
    EXPECT_EQ(r.blocks.size(), 3u);
    for (const AcquisitionGap &g : r.result.gaps)
        ADD_FAILURE() << "gap at " << g.atSample << ": " << g.seconds << " s";
}

// A restart later than half an interval after the block's last set loses
// sets: the join is recorded with its place and the time missing.
TEST(LongAcquisition, LateRestartIsRecordedAsAGap)
{
    SimulatedCard card(model("hv:seed=2"));
    LongAcquisitionPlan plan;
    plan.card.interval = 100;
    plan.totalSamples = 3 * 4096;
    int calls = 0;
    const LongAcquisitionResult r = AcquireLong(card, plan, nullptr, [&](LongAcquisitionBlock &&b) {
        if (++calls == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (b.index == 1) {
            EXPECT_TRUE(b.gapBefore.has_value());
        }
    });
    ASSERT_EQ(r.outcome, AcquisitionOutcome::Done);
    ASSERT_GE(r.gaps.size(), 1u);
    const auto gap
        = std::find_if(r.gaps.begin(), r.gaps.end(), [](const AcquisitionGap &g) { return g.atSample == 4096; });
    ASSERT_NE(gap, r.gaps.end());
    EXPECT_GE(gap->seconds, 0.02);

    // A fast simulation has no clock: the same pause loses nothing.
    SimulatedCard fast(model("hv:seed=2,fast"));
    calls = 0;
    const LongAcquisitionResult quick = AcquireLong(fast, plan, nullptr, [&](LongAcquisitionBlock &&) {
        if (++calls == 1)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    EXPECT_TRUE(quick.gaps.empty());
}

// Stopped on request: the recording ends with what was read.
TEST(LongAcquisition, CancelEndsTheRecording)
{
    SimulatedCard card(model("hv:seed=2,fast"));
    LongAcquisitionPlan plan;
    plan.card.interval = 1000;
    plan.totalSamples = 10 * 4096;
    std::atomic<bool> cancel{false};
    std::int64_t handed = 0;
    const LongAcquisitionResult r = AcquireLong(card, plan, &cancel, [&](LongAcquisitionBlock &&b) {
        handed += std::int64_t(b.samples[0].size());
        if (b.index == 1)
            cancel.store(true);
    });
    EXPECT_EQ(r.outcome, AcquisitionOutcome::Cancelled);
    EXPECT_EQ(r.samplesRead, 2 * 4096);
    EXPECT_EQ(handed, 2 * 4096);
    EXPECT_FALSE(card.running());
}
