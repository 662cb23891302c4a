// The view's spectrum: what ShowSpectrum leaves for the spectrum mode
// (display mode 4) to draw.
#pragma once

#include "talvex/survey/surveydata.h"

#include <array>
#include <cstdint>

namespace talvex {

struct FrequencyDisplay {
    // The display-scaled amplitude spectrum of AmplitudeSpectrum,
    // negated so that large amplitudes draw upwards: amplitude 0 is stored
    // as 16383, the peak as -16383 or -16384. Bins 512...1023 repeat bin 511.
    std::array<std::int16_t, kTraceLength> buffer{};
    float peakFrequency = 0.0f; // Hz
    float frequencyStep = 0.0f; // Hz, bin width 1000000 / 1024 / interval
};

} // namespace talvex
