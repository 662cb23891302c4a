#include "talvex/processing/traceops.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace talvex;

namespace {

Trace ramp()
{
    Trace t{};
    std::iota(t.begin(), t.end(), std::int16_t(0));
    return t;
}

Trace filled(std::int16_t v)
{
    Trace t{};
    t.fill(v);
    return t;
}

int zeros(const Trace &t)
{
    return int(std::count(t.begin(), t.end(), std::int16_t(0)));
}

} // namespace

TEST(TraceOps, ShiftEarlierKeepsTheLastSample)
{
    Trace t = ramp();
    shiftEarlier(t);
    for (int j = 0; j < 1023; ++j)
        ASSERT_EQ(t[std::size_t(j)], j + 1) << j;
    EXPECT_EQ(t[1023], 1023);
}

TEST(TraceOps, ShiftLaterKeepsTheFirstSample)
{
    Trace t = ramp();
    shiftLater(t);
    EXPECT_EQ(t[0], 0);
    for (int j = 1; j < 1024; ++j)
        ASSERT_EQ(t[std::size_t(j)], j - 1) << j;
}

TEST(TraceOps, ShiftsCarryTheExtremeValuesUnchanged)
{
    Trace t{};
    t[0] = -32768;
    t[1] = 32767;
    t[1022] = -32768;
    t[1023] = 32767;
    Trace earlier = t;
    shiftEarlier(earlier);
    EXPECT_EQ(earlier[0], 32767);
    EXPECT_EQ(earlier[1021], -32768);
    EXPECT_EQ(earlier[1022], 32767);
    EXPECT_EQ(earlier[1023], 32767);
    Trace later = t;
    shiftLater(later);
    EXPECT_EQ(later[0], -32768);
    EXPECT_EQ(later[1], -32768);
    EXPECT_EQ(later[2], 32767);
    EXPECT_EQ(later[1023], -32768);
}

TEST(TraceOps, InvertKeepsMinus32768AndTwiceRestores)
{
    Trace t = ramp();
    t[0] = -32768;
    t[1] = 32767;
    t[2] = -32767;
    t[3] = -1;
    const Trace original = t;
    invert(t);
    EXPECT_EQ(t[0], -32768);
    EXPECT_EQ(t[1], -32767);
    EXPECT_EQ(t[2], 32767);
    EXPECT_EQ(t[3], 1);
    EXPECT_EQ(t[500], -500);
    invert(t);
    EXPECT_EQ(t, original);
}

TEST(TraceOps, ZeroBeforeCursorOneClearsOnlySampleZero)
{
    Trace t = filled(7);
    zeroBefore(t, 1);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 7);
    EXPECT_EQ(zeros(t), 1);
}

TEST(TraceOps, ZeroAfterCursor1023ClearsOnlyTheLastSample)
{
    Trace t = filled(7);
    zeroAfter(t, 1023);
    EXPECT_EQ(t[1023], 0);
    EXPECT_EQ(t[1022], 7);
    EXPECT_EQ(zeros(t), 1);
}

TEST(TraceOps, ZeroingAtTheOtherEnds)
{
    Trace t = filled(7);
    zeroBefore(t, 1023);
    EXPECT_EQ(zeros(t), 1023);
    EXPECT_EQ(t[1023], 7);
    t = filled(7);
    zeroAfter(t, 1);
    EXPECT_EQ(zeros(t), 1023);
    EXPECT_EQ(t[0], 7);
}

TEST(TraceOps, CursorOutsideTheTraceIsClamped)
{
    EXPECT_EQ(clampCursorSample(-100), 0);
    EXPECT_EQ(clampCursorSample(0), 0);
    EXPECT_EQ(clampCursorSample(1024), 1024);
    EXPECT_EQ(clampCursorSample(5000), 1024);
    EXPECT_EQ(clampCursorSample(512), 512);

    // Each in its own array inside a larger one, so that a write outside the
    // 1024 samples would show in the guards (and under the sanitizers).
    struct Guarded {
        std::int16_t before = 99;
        Trace t = filled(7);
        std::int16_t after = 99;
    };
    Guarded g;
    zeroBefore(g.t, -5);
    EXPECT_EQ(zeros(g.t), 0);
    zeroAfter(g.t, 1 << 20);
    EXPECT_EQ(zeros(g.t), 0);
    zeroBefore(g.t, 1 << 20);
    EXPECT_EQ(zeros(g.t), 1024);
    g.t = filled(7);
    zeroAfter(g.t, -5);
    EXPECT_EQ(zeros(g.t), 1024);
    EXPECT_EQ(g.before, 99);
    EXPECT_EQ(g.after, 99);
}
