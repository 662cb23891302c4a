#include "dsp/frequencydomain.h"

#include "reference.h"
#include "testsignals.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using dsp::testing::randomTrace;
using dsp::testing::sine;

namespace {

dsp::SpectrumPeak spectrumOf(std::vector<std::int16_t> &s, float dt, int step = 1)
{
    dsp::SpectrumPeak peak;
    return dsp::AmplitudeSpectrum(peak, s.data(), dt, static_cast<int>(s.size()), step);
}

} // namespace

TEST(AmplitudeSpectrum, SineAtKnownBinGivesPeakAndStep)
{
    // 1024 samples at 8000 us: df = 1e6 / 1024 / 8000 = 0.1220703 Hz; bin 40.
    const double f = 40.0 * 1e6 / 1024.0 / 8000.0;
    auto s = sine(1024, 10000, f, 8000);
    dsp::SpectrumPeak filled;
    const dsp::SpectrumPeak returned = dsp::AmplitudeSpectrum(filled, s.data(), 8000.0f, 1024, 1);
    EXPECT_FLOAT_EQ(returned.frequencyStep, 0.1220703125f);
    EXPECT_NEAR(returned.peakFrequency, 4.883f, 0.0005f);
    EXPECT_EQ(filled.peakFrequency, returned.peakFrequency);
    EXPECT_EQ(filled.frequencyStep, returned.frequencyStep);
    // Display: the peak at the top, empty bins at the bottom, the upper half
    // repeating the last bin.
    EXPECT_GE(s[40], 16383);
    EXPECT_LE(s[40], 16384);
    EXPECT_LT(s[200], -16000);
    for (int i = 512; i < 1024; ++i) {
        ASSERT_EQ(s[i], s[511]);
    }
}

TEST(AmplitudeSpectrum, TwoHertzMicrotremorAtEightMilliseconds)
{
    auto s = sine(1024, 3000, 2.0, 8000);
    const auto peak = spectrumOf(s, 8000.0f);
    EXPECT_NEAR(peak.peakFrequency, 16 * 0.1220703f, 1e-4f);
}

TEST(AmplitudeSpectrum, AllZeroTrace)
{
    std::vector<std::int16_t> s(1024, 0);
    const auto peak = spectrumOf(s, 8000.0f);
    EXPECT_EQ(peak.peakFrequency, 0.0f);
    EXPECT_EQ(s, std::vector<std::int16_t>(1024, -16383));
}

TEST(AmplitudeSpectrum, SizeFollowsCount)
{
    struct Case {
        int count;
        int size;
    };
    for (const Case c : {Case{1024, 1024}, Case{2048, 2048}, Case{4096, 4096}, Case{100, 256}, Case{300, 256},
                         Case{1023, 1024}, Case{1900, 1024}, Case{1950, 2048}, Case{9000, 4096}}) {
        std::vector<std::int16_t> s(static_cast<std::size_t>(c.count), 0);
        const auto peak = spectrumOf(s, 1000.0f);
        EXPECT_FLOAT_EQ(peak.frequencyStep, 1e6f / static_cast<float>(c.size) / 1000.0f) << c.count;
    }
    // step widens the bin width's divisor as well.
    std::vector<std::int16_t> s(2048, 0);
    EXPECT_FLOAT_EQ(spectrumOf(s, 1000.0f, 2).frequencyStep, 1e6f / 2048.0f / 1000.0f / 2.0f);
}

TEST(AmplitudeSpectrum, LowestBinWinsATie)
{
    // An impulse has a flat spectrum: bins 1 .. N/2-1 are exactly equal.
    std::vector<std::int16_t> s(256, 0);
    s[0] = 1000;
    const auto peak = spectrumOf(s, 1000.0f);
    EXPECT_EQ(peak.peakFrequency, peak.frequencyStep);
}

TEST(AmplitudeSpectrum, PeakOnTheTopCodeHalvesTo16384)
{
    // A constant trace puts all energy in bin 0 with amplitude 2v. For some v
    // the display value A/u - 32767 rounds to 32768; it must show 16384 and
    // not wrap to a negative value.
    int found = 0;
    for (int v = 1; v < 2000 && found < 3; ++v) {
        const float a = 2.0f * static_cast<float>(v);
        const float u = a / 65535.0f;
        if (static_cast<int>(a / u - 32767.0f) != 32768) {
            continue;
        }
        ++found;
        std::vector<std::int16_t> s(1024, static_cast<std::int16_t>(v));
        spectrumOf(s, 1000.0f);
        EXPECT_EQ(s[0], 16384) << "value " << v;
        EXPECT_EQ(s[1], -16383);
    }
    EXPECT_GT(found, 0);
}

TEST(AmplitudeSpectrum, NeverWritesPastTraceOrFftLength)
{
    constexpr std::int16_t kGuard = 0x5A5A;
    constexpr int kGuardLength = 4200;
    for (int count : {1, 255, 301, 777, 1023, 1025, 3901, 4095, 5001}) {
        auto trace = randomTrace(count, static_cast<unsigned>(count));
        const auto expected = dsp::reference::spectrum(trace, 2000.0f, 1);
        std::vector<std::int16_t> buffer(trace);
        buffer.resize(static_cast<std::size_t>(count + kGuardLength), kGuard);

        dsp::SpectrumPeak peak;
        dsp::AmplitudeSpectrum(peak, buffer.data(), 2000.0f, count, 1);

        // Same result as the reference, which only sees the count samples:
        // nothing beyond them was read.
        EXPECT_EQ(peak.peakFrequency, expected.peakFrequency) << count;
        const std::size_t written = expected.display.size();
        EXPECT_TRUE(std::equal(expected.display.begin(), expected.display.end(), buffer.begin())) << count;
        // Samples from N up to count keep the trace; the guard is untouched.
        for (std::size_t i = written; i < static_cast<std::size_t>(count); ++i) {
            ASSERT_EQ(buffer[i], trace[i]) << count << " index " << i;
        }
        for (std::size_t i = static_cast<std::size_t>(count); i < buffer.size(); ++i) {
            ASSERT_EQ(buffer[i], kGuard) << count << " index " << i;
        }
    }
}

TEST(AmplitudeSpectrum, MatchesReferenceArithmeticBitForBit)
{
    struct Case {
        int count;
        float dt;
        int step;
    };
    for (const Case c : {Case{1024, 8000.0f, 1}, Case{2048, 250.0f, 1}, Case{4096, 25.0f, 1}, Case{1000, 1000.0f, 1},
                         Case{4096, 500.0f, 2}, Case{2048, 100.0f, 3}}) {
        const auto trace = randomTrace(c.count, 77u + static_cast<unsigned>(c.count), 32767);
        const auto expected = dsp::reference::spectrum(trace, c.dt, c.step);
        auto s = trace;
        dsp::SpectrumPeak peak;
        dsp::AmplitudeSpectrum(peak, s.data(), c.dt, c.count, c.step);
        SCOPED_TRACE(c.count);
        EXPECT_EQ(peak.peakFrequency, expected.peakFrequency);
        EXPECT_EQ(peak.frequencyStep, expected.frequencyStep);
        EXPECT_TRUE(std::equal(expected.display.begin(), expected.display.end(), s.begin()));
    }
}

TEST(AmplitudeSpectrum, GoldenValues)
{
    // Three impulses: a smooth spectrum peaking near the Nyquist frequency,
    // where |1000 + 600 + 250| is reached. Worked through the reference
    // arithmetic; bin 0 lacks the sqrt(2) of the middle bins, and the peak
    // lands on the top display code 16384.
    std::vector<std::int16_t> s(1024, 0);
    s[0] = 1000;
    s[3] = -600;
    s[10] = 250;
    const auto peak = spectrumOf(s, 8000.0f);
    EXPECT_EQ(peak.peakFrequency, 511.0f * 0.1220703125f);
    EXPECT_EQ((std::vector<int>{s[0], s[1], s[100], s[170], s[341], s[511], s[700]}),
              (std::vector<int>{-8240, -4874, 10824, 9878, -10052, 16384, 16384}));
}

TEST(AmplitudeSpectrum, ZeroStepOrEmptyTraceIsSafe)
{
    std::vector<std::int16_t> s(512, 100);
    dsp::SpectrumPeak peak;
    dsp::AmplitudeSpectrum(peak, s.data(), 1000.0f, 512, 0); // counts as step 1
    EXPECT_EQ(peak.peakFrequency, 0.0f);
    EXPECT_GE(s[0], 16383);
    EXPECT_EQ(s[1], -16383);

    std::vector<std::int16_t> few = {1, 2, 3};
    dsp::AmplitudeSpectrum(peak, few.data(), 1000.0f, 3, 10); // no whole sample at step 10
    EXPECT_EQ(few, (std::vector<std::int16_t>{-16383, -16383, -16383}));
    dsp::AmplitudeSpectrum(peak, few.data(), 1000.0f, 0, 1);
    EXPECT_EQ(few[0], -16383);
}
