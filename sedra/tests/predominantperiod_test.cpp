// Conditioning after an acquisition, spectra, readouts and the period text.

#include "sedra/core/predominantperiod.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// Raw 14-bit codes of a sinusoid as the card delivers them.
void fillCodes(sedra::RecordChannel &ch, double hz, double amplitude, int n, int intervalUs)
{
    for (int i = 0; i < n; ++i) {
        const int v = int(amplitude * std::sin(2.0 * std::numbers::pi * hz * i * intervalUs * 1e-6));
        ch[std::size_t(i)] = std::int16_t(v & 0x3FFF);
    }
}

TEST(ConditionAcquisition, TwoHertzGivesBinSixteen)
{
    sedra::RecordChannels r;
    r.channelCount = 4;
    r.sampleCount = 1024;
    r.sampleInterval = 8000;
    fillCodes(r.working[0], 2.0, 3000.0, 1024, 8000);
    fillCodes(r.working[2], 6.0, 3000.0, 1024, 8000);
    fillCodes(r.working[3], 2.0, 3000.0, 1024, 8000);
    // channel 2 stays all zeros
    sedra::SpectrumState s;
    sedra::ConditionAcquisition(r, s);
    EXPECT_NEAR(s.frequencyStep[0], 0.1220703f, 1e-6f);
    EXPECT_FLOAT_EQ(s.peakFrequency[0], 16 * s.frequencyStep[0]);
    EXPECT_EQ(QString::asprintf("%.2f", double(s.peakFrequency[0])), "1.95");
    EXPECT_EQ(sedra::periodText(s.peakFrequency[0]), "0.51");
    EXPECT_EQ(s.peakFrequency[1], 0.0f);
    EXPECT_EQ(sedra::periodText(s.peakFrequency[1]), "--");
    EXPECT_NEAR(s.peakFrequency[2], 6.0f, s.frequencyStep[2]);
    EXPECT_EQ(s.viewSampleCount, 1024);
    // Codes were converted (negative half present) and the unfiltered copy
    // equals the conditioned working data; channel 4 was conditioned too.
    EXPECT_LT(*std::min_element(r.working[0].begin(), r.working[0].begin() + 1024), -2000);
    EXPECT_LT(*std::min_element(r.working[3].begin(), r.working[3].begin() + 1024), -2000);
    EXPECT_EQ(r.unfiltered, r.working);
}

TEST(ComputeSpectra, OddLengthsUse1024AndKeepTheViewCount)
{
    sedra::RecordChannels r;
    r.channelCount = 1;
    r.sampleCount = 2048;
    r.sampleInterval = 4000;
    for (int i = 0; i < 2048; ++i)
        r.working[0][std::size_t(i)] = std::int16_t(1000 * std::sin(2 * std::numbers::pi * 5.0 * i * 0.004));
    sedra::SpectrumState s;
    sedra::ComputeSpectra(r, s);
    EXPECT_EQ(s.viewSampleCount, 2048);
    EXPECT_EQ(s.labelInterval, 4000);
    EXPECT_NEAR(s.peakFrequency[0], 5.0f, s.frequencyStep[0]);
    r.sampleCount = 500;
    sedra::ComputeSpectra(r, s);
    EXPECT_EQ(s.viewSampleCount, 2048);
    EXPECT_EQ(s.labelInterval, 0);
    // An empty document (no interval) gives no frequencies, not a division by zero.
    sedra::RecordChannels empty;
    sedra::ComputeSpectra(empty, s);
    EXPECT_EQ(s.peakFrequency[0], 0.0f);
    EXPECT_EQ(s.frequencyStep[0], 0.0f);
}

TEST(CursorReadout, TimeAmplitudeAndPeriod)
{
    sedra::RecordChannels r;
    r.working[0][256] = 4096;
    sedra::SpectrumState s;
    s.peakFrequency[0] = 2.0f;
    s.frequencyStep[0] = 0.125f;
    auto ro = sedra::cursorReadout(r, s, 0, 256.0, -1, 8000, 100);
    EXPECT_EQ(ro.timeText, "时间: 2.1480 s");
    EXPECT_EQ(ro.amplitudeText, "振幅电压: 2500 mv");
    EXPECT_EQ(ro.fmText, "Fm: 2.00Hz");
    EXPECT_EQ(ro.periodText, "卓越周期: 0.50s ");
    ro = sedra::cursorReadout(r, s, 0, 256.7, 4, 8000, 100);
    EXPECT_EQ(ro.fmText, "Fm: 0.50Hz");
    EXPECT_EQ(ro.periodText, "卓越周期: 2.00s ");
    ro = sedra::cursorReadout(r, s, 0, 256.0, 0, 8000, 100);
    EXPECT_EQ(ro.periodText, "卓越周期: --s ");
}

} // namespace
