#include "talvex/processing/traceops.h"

#include <algorithm>

namespace talvex {

int clampCursorSample(int k)
{
    return std::clamp(k, 0, kTraceLength);
}

void zeroBefore(TraceSpan x, int k)
{
    std::fill_n(x.begin(), clampCursorSample(k), std::int16_t(0));
}

void zeroAfter(TraceSpan x, int k)
{
    std::fill(x.begin() + clampCursorSample(k), x.end(), std::int16_t(0));
}

void shiftEarlier(TraceSpan x)
{
    for (int j = 0; j < kTraceLength - 1; ++j)
        x[std::size_t(j)] = x[std::size_t(j + 1)];
}

void shiftLater(TraceSpan x)
{
    for (int j = kTraceLength - 1; j >= 1; --j)
        x[std::size_t(j)] = x[std::size_t(j - 1)];
}

void invert(TraceSpan x)
{
    // The negation is formed in int and stored back in 16 bits: -32768 has
    // no positive counterpart and stays -32768 (the conversion wraps, which
    // C++20 defines), so inverting twice always gives the trace back.
    for (std::int16_t &v : x)
        v = std::int16_t(-int(v));
}

} // namespace talvex
