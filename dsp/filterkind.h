// The four filter kinds offered to the user, with the numbering shared by
// both analysis programs, and the dispatch from a kind to its routine.
#pragma once

#include <cstdint>
#include <optional>

namespace dsp {

enum class FilterKind : int {
    LowPass = 0,
    HighPass = 1,
    BandPass = 2,
    BandStop = 3,
};

// The kind with the given number 0..3, or nothing for any other number.
std::optional<FilterKind> filterKindFromIndex(int index);

// Runs the filter of `kind` over the trace in place:
//   LowPass  : LowPassFilter at fHigh
//   HighPass : HighPassFilter at fLow
//   BandPass : BandPassFilter from fLow to fHigh
//   BandStop : BandStopFilter from fLow to fHigh
//
//  samples : trace, count values, in/out
//  dt      : sample interval [us], > 0
//  count   : number of samples; <= 0 does nothing
//  fLow    : lower edge [Hz]
//  fHigh   : upper edge [Hz]
// See filters.h for the valid ranges of each routine.
void ApplyFilter(FilterKind kind, std::int16_t *samples, float dt, int count, float fLow, float fHigh);

} // namespace dsp
