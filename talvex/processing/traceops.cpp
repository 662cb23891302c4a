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
    // The negation is formed in int; converting 32768 back to 16 bits wraps
    // to -32768 (defined since C++20), as the original 16-bit arithmetic did.
    for (std::int16_t &v : x)
        v = std::int16_t(-int(v));
}

} // namespace talvex
