// The sample-level edits on one 1024-sample target (a point's
// trace or the first 1024 samples of a raw-record channel). Pure functions,
// no survey, no view: WaveformEditor chooses the target and does the
// bookkeeping (undo snapshot, store, markModified, repaint).
#pragma once

#include "talvex/survey/surveydata.h"

#include <cstdint>
#include <span>

namespace talvex {

// One target: samples 0...1023.
using TraceSpan = std::span<std::int16_t, kTraceLength>;

// The cursor sample clamped to 0...1024, the range the zeroing operations
// accept: 0 zeroes nothing before / everything after, 1024 everything before
// / nothing after. The view keeps its cursor in 1...1023; the clamp keeps any
// other caller inside the trace.
int clampCursorSample(int k);

// x[0 ... k-1] := 0, with k clamped as above.
void zeroBefore(TraceSpan x, int k);
// x[k ... 1023] := 0, with k clamped as above.
void zeroAfter(TraceSpan x, int k);
// One sample earlier: x[j] := x[j+1] for j = 0...1022 ascending; x[1023]
// keeps its value (0, 1, ..., 1023 gives 1, 2, ..., 1023, 1023).
void shiftEarlier(TraceSpan x);
// One sample later: x[j] := x[j-1] for j = 1023...1 descending; x[0] keeps
// its value (0, 1, ..., 1023 gives 0, 0, 1, ..., 1022).
void shiftLater(TraceSpan x);
// x[j] := -x[j] in 16-bit arithmetic: -32768 stays -32768, so inverting twice
// always gives the trace back.
void invert(TraceSpan x);

} // namespace talvex
