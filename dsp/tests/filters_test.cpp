#include "dsp/filterkind.h"
#include "dsp/filters.h"

#include "reference.h"
#include "testsignals.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

using dsp::testing::impulse;
using dsp::testing::peakAbs;
using dsp::testing::randomTrace;
using dsp::testing::rms;
using dsp::testing::sine;

namespace {

std::vector<std::int16_t> lowPassed(std::vector<std::int16_t> s, float dt, float fc)
{
    dsp::LowPassFilter(s.data(), dt, static_cast<int>(s.size()), fc);
    return s;
}

std::vector<std::int16_t> highPassed(std::vector<std::int16_t> s, float dt, float fc)
{
    dsp::HighPassFilter(s.data(), dt, static_cast<int>(s.size()), fc);
    return s;
}

std::vector<std::int16_t> bandStopped(std::vector<std::int16_t> s, float dt, float f1, float f2)
{
    dsp::BandStopFilter(s.data(), dt, static_cast<int>(s.size()), f1, f2);
    return s;
}

// RMS of a sine of the given amplitude.
double sineRms(double amplitude)
{
    return amplitude / std::numbers::sqrt2;
}

// Gain of one notch section at f, from its transfer function
// (1 + q z^-1 + z^-2) / ((1 + K) + q z^-1 + (1 - K) z^-2) in double.
double notchGain(double f, double dt, double f1, double f2)
{
    const double t = dt / 1e6;
    const double h = std::numbers::pi * (f2 - f1) * t;
    const double m = std::numbers::pi * (f2 + f1) * t;
    const double k = std::tan(h);
    const double q = -2.0 * std::cos(m) / std::cos(h);
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f * t);
    return std::abs((1.0 + q * z1 + z1 * z1) / ((1.0 + k) + q * z1 + (1.0 - k) * z1 * z1));
}

} // namespace

TEST(LowPassFilter, ImpulseResponseIsZeroPhase)
{
    const auto out = lowPassed(impulse(1024, 512, 20000), 1000.0f, 50.0f);
    // The response peaks on the impulse and is symmetric about it, up to the
    // truncation to integers between the two passes.
    EXPECT_EQ(peakAbs(out, 0, 1024), out[512]);
    EXPECT_GT(out[512], 1000);
    EXPECT_GT(out[505], 100);
    for (int k = 1; k < 200; ++k) {
        EXPECT_NEAR(out[512 + k], out[512 - k], 2) << "offset " << k;
    }
}

TEST(LowPassFilter, PassesLowAndRejectsHighFrequencies)
{
    // dt 1000 us: Nyquist 500 Hz; cut-off 50 Hz.
    // At a tenth of the cut-off the prototype's gain is 1/|1 - 0.0195 +
    // 0.224i| = 0.9942, squared by the two passes.
    const auto low = lowPassed(sine(1024, 10000, 5, 1000), 1000.0f, 50.0f);
    const auto high = lowPassed(sine(1024, 10000, 200, 1000), 1000.0f, 50.0f);
    EXPECT_NEAR(rms(low, 200, 800), sineRms(10000) * 0.9885, 30);
    EXPECT_LT(rms(high, 200, 800), sineRms(10000) * 0.01);
}

TEST(HighPassFilter, ImpulseResponseIsCausal)
{
    const auto out = highPassed(impulse(1024, 300, 20000), 1000.0f, 20.0f);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(out[i], 0) << "index " << i;
    }
    EXPECT_GT(out[300], 15000); // K is small, so A0 is close to 1
    EXPECT_LT(out[301], 0); // the second difference swings back
    // Tail decays, and the response as a whole has no DC content.
    int sum = 0;
    for (int i = 300; i < 1024; ++i) {
        sum += out[i];
    }
    EXPECT_LT(std::abs(sum), 300);
    EXPECT_LT(peakAbs(out, 600, 1024), 20);
}

TEST(HighPassFilter, RemovesOffsetAndKeepsHighFrequencies)
{
    auto s = sine(1024, 8000, 100, 1000);
    for (auto &v : s) {
        v = static_cast<std::int16_t>(v + 5000);
    }
    const auto out = highPassed(s, 1000.0f, 5.0f);
    int sum = 0;
    for (int i = 512; i < 1024; ++i) {
        sum += out[i];
    }
    EXPECT_LT(std::abs(sum / 512), 50); // the offset is gone
    EXPECT_NEAR(rms(out, 512, 1024), sineRms(8000), 60);
}

TEST(BandStopFilter, NotchRemoves50HzAndKeepsTheRest)
{
    // dt 8000 us: 125 samples/s. Stop band 45..55 Hz.
    // Two sections in series: the gain of one section squared, i.e. twice
    // its attenuation in dB.
    const double notch = notchGain(50, 8000, 45, 55);
    ASSERT_LT(notch, 0.2);
    const auto notched = bandStopped(sine(1024, 20000, 50, 8000), 8000.0f, 45.0f, 55.0f);
    EXPECT_NEAR(rms(notched, 400, 1024), sineRms(20000) * notch * notch, 10);

    const auto passed = bandStopped(sine(1024, 20000, 10, 8000), 8000.0f, 45.0f, 55.0f);
    EXPECT_NEAR(rms(passed, 400, 1024), sineRms(20000), 150);

    // At a band edge one section gives -3 dB; the two passes give -6 dB.
    const auto edge = bandStopped(sine(1024, 20000, 45, 8000), 8000.0f, 45.0f, 55.0f);
    EXPECT_NEAR(rms(edge, 400, 1024), sineRms(20000) * 0.5, 100);
}

TEST(BandPassFilter, IsLowPassThenHighPass)
{
    const auto in = randomTrace(1024, 11);
    auto out = in;
    dsp::BandPassFilter(out.data(), 1000.0f, 1024, 10.0f, 100.0f);
    EXPECT_EQ(out, highPassed(lowPassed(in, 1000.0f, 100.0f), 1000.0f, 10.0f));
}

TEST(ApplyFilter, DispatchesEachKindWithItsEdges)
{
    const auto in = randomTrace(512, 5);
    auto run = [&](dsp::FilterKind kind) {
        auto s = in;
        dsp::ApplyFilter(kind, s.data(), 2000.0f, 512, 20.0f, 80.0f);
        return s;
    };
    EXPECT_EQ(run(dsp::FilterKind::LowPass), lowPassed(in, 2000.0f, 80.0f));
    EXPECT_EQ(run(dsp::FilterKind::HighPass), highPassed(in, 2000.0f, 20.0f));
    EXPECT_EQ(run(dsp::FilterKind::BandPass), highPassed(lowPassed(in, 2000.0f, 80.0f), 2000.0f, 20.0f));
    EXPECT_EQ(run(dsp::FilterKind::BandStop), bandStopped(in, 2000.0f, 20.0f, 80.0f));
    EXPECT_EQ(dsp::filterKindFromIndex(3), dsp::FilterKind::BandStop);
    EXPECT_FALSE(dsp::filterKindFromIndex(4).has_value());
    EXPECT_FALSE(dsp::filterKindFromIndex(-1).has_value());
}

TEST(Filters, OverflowSaturatesInsteadOfWrapping)
{
    // A full-scale step through a high-pass jumps by about 65535: far beyond
    // the 16-bit range. Wrapping would turn the rising edge negative.
    std::vector<std::int16_t> up(512, -32768);
    std::fill(up.begin() + 256, up.end(), std::int16_t{32767});
    const auto rising = highPassed(up, 1000.0f, 2.0f);
    EXPECT_EQ(rising[256], 32767);
    EXPECT_EQ(rising[257], 32767);
    EXPECT_GT(rising[300], 0);

    std::vector<std::int16_t> down(512, 32767);
    std::fill(down.begin() + 256, down.end(), std::int16_t{-32768});
    const auto falling = highPassed(down, 1000.0f, 2.0f);
    EXPECT_EQ(falling[256], -32768);
    EXPECT_LT(falling[300], 0);

    // The low-pass rings over a full-scale square edge.
    std::vector<std::int16_t> square(512, -32768);
    std::fill(square.begin() + 200, square.begin() + 300, std::int16_t{32767});
    const auto smoothed = lowPassed(square, 1000.0f, 30.0f);
    for (int i = 0; i < 512; ++i) {
        // No sign flip anywhere near the plateau.
        if (i >= 215 && i < 285) {
            ASSERT_GT(smoothed[i], 20000) << "index " << i;
        }
    }
}

TEST(Filters, MatchReferenceArithmeticBitForBit)
{
    struct Case {
        int count;
        float dt;
        unsigned seed;
    };
    for (const Case c : {Case{1024, 8000.0f, 1}, Case{1000, 125.0f, 2}, Case{4096, 25.0f, 3}, Case{7, 1000.0f, 4},
                         Case{1, 500.0f, 5}}) {
        const auto in = randomTrace(c.count, c.seed, 32767);
        const float nyquist = 500000.0f / c.dt;
        const float fc = static_cast<float>(static_cast<int>(nyquist / 5.0f));
        SCOPED_TRACE(c.count);
        EXPECT_EQ(lowPassed(in, c.dt, fc), dsp::reference::lowPass(in, c.dt, fc));
        EXPECT_EQ(highPassed(in, c.dt, fc), dsp::reference::highPass(in, c.dt, fc));
        EXPECT_EQ(bandStopped(in, c.dt, fc, 2.0f * fc), dsp::reference::bandStop(in, c.dt, fc, 2.0f * fc));
    }
}

TEST(Filters, GoldenImpulseResponses)
{
    // Worked out with the reference arithmetic; they pin the operation order.
    const auto low = lowPassed(impulse(64, 32, 10000), 1000.0f, 100.0f);
    const auto high = highPassed(impulse(64, 32, 10000), 1000.0f, 100.0f);
    const auto stop = bandStopped(impulse(64, 32, 10000), 8000.0f, 45.0f, 55.0f);
    EXPECT_EQ((std::vector<int>{low[29], low[30], low[31], low[32], low[33], low[34], low[35]}),
              (std::vector<int>{790, 1230, 1589, 1728, 1589, 1230, 789}));
    EXPECT_EQ((std::vector<int>{high[32], high[33], high[34], high[35], high[36]}),
              (std::vector<int>{6389, -5475, -2506, -604, 343}));
    EXPECT_EQ((std::vector<int>{stop[32], stop[33], stop[34], stop[35], stop[36]}),
              (std::vector<int>{6330, 4320, 167, -1991, 2125}));
}

TEST(Filters, EmptyOrNullTraceIsLeftAlone)
{
    std::int16_t s[2] = {123, -45};
    dsp::LowPassFilter(s, 1000.0f, 0, 10.0f);
    dsp::HighPassFilter(s, 1000.0f, -5, 10.0f);
    dsp::BandStopFilter(s, 1000.0f, 0, 10.0f, 20.0f);
    dsp::LowPassFilter(nullptr, 1000.0f, 100, 10.0f);
    EXPECT_EQ(s[0], 123);
    EXPECT_EQ(s[1], -45);
}

// Address space for the test's own work, above what the process has mapped.
#if defined(__SANITIZE_ADDRESS__)
#define DSP_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DSP_TEST_UNDER_ASAN 1
#endif
#endif

TEST(Filters, OutOfMemoryThrowsAndLeavesTheTrace)
{
#ifdef DSP_TEST_UNDER_ASAN
    GTEST_SKIP() << "the sanitizer's shadow memory needs the address space this test limits";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // In a child process: a trace of 16 Mi samples, then an address-space
    // limit too small for the filter's two work buffers (128 MiB). The
    // filter must throw, not end the process, and leave the trace as it was.
    const auto child = [] {
        std::vector<std::int16_t> s = randomTrace(1 << 24, 7);
        const std::vector<std::int16_t> before = s;
        std::FILE *statm = std::fopen("/proc/self/statm", "r");
        unsigned long pages = 0;
        if (statm == nullptr || std::fscanf(statm, "%lu", &pages) != 1)
            std::_Exit(3);
        std::fclose(statm);
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(64) << 20);
        const rlimit r{limit, limit};
        if (setrlimit(RLIMIT_AS, &r) != 0)
            std::_Exit(4);
        try {
            dsp::LowPassFilter(s.data(), 25.0f, static_cast<int>(s.size()), 500.0f);
        } catch (const std::bad_alloc &) {
            std::_Exit(s == before ? 0 : 5);
        }
        std::_Exit(6); // the limit did not bite
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
#endif
}

TEST(RemoveDC, ConstantTraceBecomesZero)
{
    std::vector<std::int16_t> s(1024, -1234);
    dsp::RemoveDC(s.data(), 0, 1024);
    EXPECT_EQ(s, std::vector<std::int16_t>(1024, 0));
}

TEST(RemoveDC, FractionalMeanTruncatesTowardZeroPerSample)
{
    // Mean 1.5: -0.5 and 0.5 both become 0; 7 - 1.5 = 5.5 becomes 5.
    std::vector<std::int16_t> s = {1, 2, 0, 3, 7, -4};
    dsp::RemoveDC(s.data(), 0, 6); // mean 9/6 = 1.5
    EXPECT_EQ(s, (std::vector<std::int16_t>{0, 0, -1, 1, 5, -5}));
}

TEST(RemoveDC, WorksOnTheRangeOnly)
{
    std::vector<std::int16_t> s = {100, 10, 20, 30, 100};
    dsp::RemoveDC(s.data(), 1, 4);
    EXPECT_EQ(s, (std::vector<std::int16_t>{100, -10, 0, 10, 100}));

    auto same = s;
    dsp::RemoveDC(s.data(), 3, 3);
    dsp::RemoveDC(s.data(), 4, 2);
    EXPECT_EQ(s, same);

    // A negative start counts from the first sample.
    std::vector<std::int16_t> t = {4, 6};
    dsp::RemoveDC(t.data(), -3, 2);
    EXPECT_EQ(t, (std::vector<std::int16_t>{-1, 1}));
}

TEST(RemoveDC, ClampsToSixteenBits)
{
    // Mean -16384.25: 32767 + 16384.25 is beyond the range.
    std::vector<std::int16_t> s = {32767, -32768, -32768, -32768};
    dsp::RemoveDC(s.data(), 0, 4);
    EXPECT_EQ(s, (std::vector<std::int16_t>{32767, -16383, -16383, -16383}));
}

TEST(SmoothWave, EdgesStayUnchanged)
{
    const auto in = randomTrace(1024, 21);
    auto five = in;
    dsp::SmoothWave(five.data(), 1024, 5);
    EXPECT_EQ(five[0], in[0]);
    EXPECT_EQ(five[1], in[1]);
    EXPECT_NE(five[2], in[2]);
    EXPECT_EQ(five[1022], in[1022]);
    EXPECT_EQ(five[1023], in[1023]);
    EXPECT_NE(five[1021], in[1021]);

    auto four = in;
    dsp::SmoothWave(four.data(), 1024, 4);
    EXPECT_EQ(four[0], in[0]);
    EXPECT_NE(four[1], in[1]);
    EXPECT_EQ(four[1022], in[1022]);
    EXPECT_EQ(four[1023], in[1023]);
}

TEST(SmoothWave, ReadsValuesAlreadySmoothed)
{
    // Window 3, left to right in place: 9 at index 2 gives (0+0+9)/3 = 3 at
    // index 1, then (3+9+0)/3 = 4 at index 2, then (4+0+0)/3 = 1 at index 3.
    std::vector<std::int16_t> s = {0, 0, 9, 0, 0, 0};
    dsp::SmoothWave(s.data(), 6, 3);
    EXPECT_EQ(s, (std::vector<std::int16_t>{0, 3, 4, 1, 0, 0}));

    std::vector<std::int16_t> negative = {-5, 0, 0};
    dsp::SmoothWave(negative.data(), 3, 3);
    EXPECT_EQ(negative[1], -1); // -5/3 toward zero
}

TEST(SmoothWave, MatchesWindowByWindowReference)
{
    for (int w : {1, 2, 3, 4, 5, 8, 11, 64}) {
        auto s = randomTrace(300, 40 + static_cast<unsigned>(w), 32767);
        auto expected = s;
        dsp::reference::smooth(expected, w);
        dsp::SmoothWave(s.data(), 300, w);
        EXPECT_EQ(s, expected) << "window " << w;
    }
}

TEST(SmoothWave, WindowThatDoesNotFitDoesNothing)
{
    const std::vector<std::int16_t> in = {5, -7, 9, 11};
    for (int w : {0, -3, 5, 6, 100}) {
        auto s = in;
        dsp::SmoothWave(s.data(), 4, w);
        EXPECT_EQ(s, in) << "window " << w;
    }
    auto s = in;
    dsp::SmoothWave(s.data(), 4, 4); // exactly fits: only index 1 changes
    EXPECT_EQ(s, (std::vector<std::int16_t>{5, 4, 9, 11}));
}
