#include "sedra/core/pendingfilter.h"

#include "dsp/filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

using sedra::FilterSettings;
using sedra::RecordChannel;
using sedra::RecordChannels;

namespace {

// A 3-channel record of 1024 samples at 8000 us: 1 Hz, 5 Hz and 20 Hz
// components in every channel, with a channel-dependent weighting; channel 4
// holds its own data.
std::unique_ptr<RecordChannels> makeRecord()
{
    auto r = std::make_unique<RecordChannels>();
    r->channelCount = 4;
    r->sampleInterval = 8000;
    r->sampleCount = 1024;
    for (int ch = 0; ch < 4; ++ch) {
        for (int i = 0; i < 1024; ++i) {
            const double t = i * 0.008;
            const double v = 3000.0 * std::sin(2 * std::numbers::pi * 1.0 * t)
                + 2000.0 * (ch + 1) * std::sin(2 * std::numbers::pi * 5.0 * t)
                + 1500.0 * std::sin(2 * std::numbers::pi * 20.0 * t);
            r->unfiltered[ch][i] = static_cast<std::int16_t>(v);
        }
        r->working[ch] = r->unfiltered[ch];
    }
    return r;
}

FilterSettings pending(int storedKind, int mask, int lowPass, int highPass)
{
    FilterSettings s;
    s.storedKind = storedKind;
    s.channelMask = mask;
    s.lowPassCutoff = lowPass;
    s.highPassCutoff = highPass;
    s.pending = true;
    return s;
}

RecordChannel bandPassed(RecordChannel c, float fLow, float fHigh)
{
    dsp::BandPassFilter(c.data(), 8000.0f, 1024, fLow, fHigh);
    return c;
}

} // namespace

TEST(PendingFilter, BandPassFromTwoToTenHertzEitherWayRound)
{
    auto r = makeRecord();
    FilterSettings s = pending(3, 0b001, 10, 2);
    EXPECT_TRUE(sedra::ApplyPendingFilter(*r, s));
    EXPECT_FALSE(s.pending);
    EXPECT_EQ(r->working[0], bandPassed(r->unfiltered[0], 2.0f, 10.0f));
    EXPECT_EQ(r->working[1], r->unfiltered[1]);

    auto swapped = makeRecord();
    FilterSettings t = pending(3, 0b001, 2, 10);
    sedra::ApplyPendingFilter(*swapped, t);
    EXPECT_EQ(swapped->working[0], r->working[0]);
}

TEST(PendingFilter, SuccessiveFiltersStartFromUnfilteredData)
{
    auto r = makeRecord();
    FilterSettings first = pending(1, 0b111, 3, 2); // low-pass 3 Hz
    sedra::ApplyPendingFilter(*r, first);
    ASSERT_NE(r->working[1], r->unfiltered[1]);

    FilterSettings second = pending(2, 0b010, 3, 4); // high-pass 4 Hz on channel 2 only
    sedra::ApplyPendingFilter(*r, second);
    RecordChannel expected = r->unfiltered[1];
    dsp::HighPassFilter(expected.data(), 8000.0f, 1024, 4.0f);
    EXPECT_EQ(r->working[1], expected);
    // Channels no longer ticked are back to the unfiltered data.
    EXPECT_EQ(r->working[0], r->unfiltered[0]);
    EXPECT_EQ(r->working[2], r->unfiltered[2]);
}

TEST(PendingFilter, NoChannelTickedRestoresAndChannelFourIsLeftAlone)
{
    auto r = makeRecord();
    for (int ch = 0; ch < 4; ++ch) {
        r->working[ch].fill(7);
    }
    FilterSettings s = pending(4, 0, 10, 2);
    EXPECT_TRUE(sedra::ApplyPendingFilter(*r, s));
    for (int ch = 0; ch < 3; ++ch) {
        EXPECT_TRUE(std::equal(r->working[ch].begin(), r->working[ch].begin() + 1024, r->unfiltered[ch].begin())) << ch;
        EXPECT_EQ(r->working[ch][1024], 7) << "restores the record's samples only";
    }
    RecordChannel untouched;
    untouched.fill(7);
    EXPECT_EQ(r->working[3], untouched);
}

TEST(PendingFilter, NothingPendingChangesNothing)
{
    auto r = makeRecord();
    r->working[0].fill(5);
    FilterSettings s = pending(1, 0b111, 10, 2);
    s.pending = false;
    EXPECT_FALSE(sedra::ApplyPendingFilter(*r, s));
    EXPECT_EQ(r->working[0][100], 5);
}

TEST(PendingFilter, UnsetCutoffFiltersAtTheDefaultShown)
{
    // A low-pass cut-off of 0 (text that was not a number) would wipe the
    // trace; the dialog shows 10 Hz in its place and that is what is used.
    auto r = makeRecord();
    FilterSettings s = pending(1, 0b001, 0, 0);
    sedra::ApplyPendingFilter(*r, s);
    RecordChannel expected = r->unfiltered[0];
    dsp::LowPassFilter(expected.data(), 8000.0f, 1024, 10.0f);
    EXPECT_EQ(r->working[0], expected);
}

TEST(PendingFilter, OnlyTheRecordsSamplesAreRestoredAndFiltered)
{
    auto r = makeRecord();
    r->sampleCount = 9999; // beyond the channel size: limited to 4096
    FilterSettings s = pending(1, 0b001, 10, 2);
    EXPECT_TRUE(sedra::ApplyPendingFilter(*r, s));

    auto shorter = makeRecord();
    shorter->sampleCount = 512;
    shorter->working[0].fill(9);
    FilterSettings t = pending(1, 0b001, 10, 2);
    sedra::ApplyPendingFilter(*shorter, t);
    RecordChannel expected = shorter->unfiltered[0];
    dsp::LowPassFilter(expected.data(), 8000.0f, 512, 10.0f);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + 512, shorter->working[0].begin()));
    EXPECT_EQ(shorter->working[0][512], 9);
}
