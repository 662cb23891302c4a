// Filter settings of the shear-wave view and the filter call they select.
#pragma once

#include "dsp/filterkind.h"

#include <cstdint>
#include <span>

namespace talvex {

using dsp::FilterKind;

// The filter choice the main view keeps while the program runs (not
// persisted). Frequencies in Hz.
struct FilterSettings {
    int lower = 0; // lower edge: high-pass cut-off, band-pass/band-stop lower edge
    int upper = 800; // upper edge: low-pass cut-off, band-pass/band-stop upper edge
    FilterKind kind = FilterKind::LowPass;

    bool operator==(const FilterSettings &) const = default;
};

// Nyquist frequency [Hz] of a trace sampled every `interval` us (> 0).
float nyquistFrequency(float interval);

// Whether `hz` can be an edge frequency for a trace sampled every
// `interval` us: a positive whole number of Hz below the Nyquist frequency.
// A filter with an edge at or above it, or at 0 or below, changes the trace
// into something that is no filtered version of it. An interval of 0 or
// less (not known) asks only for a positive number.
bool usableCutOff(int hz, float interval);

// Filters the samples in place with the chosen kind. Filters accumulate:
// every call works on the data as it stands.
//   low-pass  : cut-off = upper
//   high-pass : cut-off = lower
//   band-pass : lower to upper
//   band-stop : lower to upper
//
//  settings : kind and edges [Hz]
//  samples  : trace, in/out (a point trace has 1024 samples)
//  interval : sample interval [us] of the trace
void ApplyFilterSettings(const FilterSettings &settings, std::span<std::int16_t> samples, float interval);

} // namespace talvex
