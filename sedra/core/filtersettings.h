// Filter choice of the microtremor program, kept while the program runs (not
// persisted).
#pragma once

#include "dsp/filterkind.h"

#include <optional>

namespace sedra {

using dsp::FilterKind;

// Cut-offs shown by the dialog while none has been set.
inline constexpr int kDefaultLowPassCutoff = 10; // Hz
inline constexpr int kDefaultHighPassCutoff = 2; // Hz

// Band edges handed to the filter routines.
struct FilterBand {
    float low = 0.0f; // Hz: high-pass cut-off, lower edge of band-pass and band-stop
    float high = 0.0f; // Hz: low-pass cut-off, upper edge of band-pass and band-stop
};

struct FilterSettings {
    int lowPassCutoff = 0; // Hz; 0 or less: not set, the default 10 Hz applies
    int highPassCutoff = 0; // Hz; 0 or less: not set, the default 2 Hz applies
    int storedKind = 1; // filter kind + 1, 1 (low-pass) to 4 (band-stop)
    int channel1 = 0; // 1 when channel 1 is ticked
    int channel2 = 0;
    int channel3 = 0;
    int channelMask = 0; // formed on OK: channel1 + 2 channel2 + 4 channel3
    bool pending = false; // a filter waits to be applied at the next drawing

    bool operator==(const FilterSettings &) const = default;

    // The kind of stored number storedKind - 1; nothing when out of range.
    std::optional<FilterKind> kind() const;

    // Cut-offs in effect: a value of 0 or less (text that was not a number,
    // or never set) means the default the dialog shows in its place, so what
    // is filtered always matches what the dialog displays.
    int effectiveLowPassCutoff() const;
    int effectiveHighPassCutoff() const;

    // Edges for the filter routines: the low-pass cut-off is the upper edge
    // and the high-pass cut-off the lower one; band-pass and band-stop take
    // the smaller of the two as lower and the larger as upper edge, so the
    // two cut-offs may be given either way round.
    FilterBand band() const;
};

} // namespace sedra
