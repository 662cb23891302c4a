#include "talvex/processing/filtersettings.h"

#include "dsp/filters.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

using talvex::ApplyFilterSettings;
using talvex::FilterKind;
using talvex::FilterSettings;
using talvex::FilterTarget;

namespace {

using Trace = std::array<std::int16_t, 1024>;

// A point trace: a 30 Hz and a 300 Hz component at 250 us.
Trace pointTrace()
{
    Trace t{};
    for (std::size_t i = 0; i < t.size(); ++i) {
        const double s = static_cast<double>(i) * 250e-6;
        t[i] = static_cast<std::int16_t>(6000.0 * std::sin(2.0 * std::numbers::pi * 30.0 * s)
                                         + 4000.0 * std::sin(2.0 * std::numbers::pi * 300.0 * s));
    }
    return t;
}

}  // namespace

TEST(FilterSettings, InitialValues)
{
    const FilterSettings s;
    EXPECT_EQ(s.lower, 0);
    EXPECT_EQ(s.upper, 800);
    EXPECT_EQ(s.kind, FilterKind::LowPass);
}

TEST(FilterSettings, EachKindCallsItsFilterWithItsEdges)
{
    const Trace in = pointTrace();
    const float dt = 250.0f;

    Trace expected = in;
    dsp::LowPassFilter(expected.data(), dt, 1024, 100.0f);
    Trace got = in;
    ApplyFilterSettings({20, 100, FilterKind::LowPass}, got, dt);
    EXPECT_EQ(got, expected);

    expected = in;
    dsp::HighPassFilter(expected.data(), dt, 1024, 20.0f);
    got = in;
    ApplyFilterSettings({20, 100, FilterKind::HighPass}, got, dt);
    EXPECT_EQ(got, expected);

    expected = in;
    dsp::BandPassFilter(expected.data(), dt, 1024, 20.0f, 100.0f);
    got = in;
    ApplyFilterSettings({20, 100, FilterKind::BandPass}, got, dt);
    EXPECT_EQ(got, expected);

    expected = in;
    dsp::BandStopFilter(expected.data(), dt, 1024, 20.0f, 100.0f);
    got = in;
    ApplyFilterSettings({20, 100, FilterKind::BandStop}, got, dt);
    EXPECT_EQ(got, expected);
}

TEST(FilterSettings, SameFilterTwiceAccumulates)
{
    const FilterSettings lowPass{0, 100, FilterKind::LowPass};
    Trace once = pointTrace();
    ApplyFilterSettings(lowPass, once, 250.0f);
    Trace twice = once;
    ApplyFilterSettings(lowPass, twice, 250.0f);
    EXPECT_NE(twice, once);

    Trace expected = once;
    dsp::LowPassFilter(expected.data(), 250.0f, 1024, 100.0f);
    EXPECT_EQ(twice, expected);
}

TEST(FilterSettings, TargetFollowsDisplayMode)
{
    EXPECT_EQ(talvex::filterTargetForDisplayMode(0), FilterTarget::SelectedTrace);
    EXPECT_EQ(talvex::filterTargetForDisplayMode(1), FilterTarget::SelectedTrace);
    EXPECT_EQ(talvex::filterTargetForDisplayMode(2), FilterTarget::RawRecordChannel);
    for (int mode : {3, 4, 5, -1}) {
        EXPECT_EQ(talvex::filterTargetForDisplayMode(mode), FilterTarget::None) << mode;
    }
}
