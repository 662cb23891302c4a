// STA/LTA anti-trigger: windows holding a transient (a step, a passing
// vehicle) are found by the ratio of the short-term to the long-term level
// of each component. The level is the standard deviation about the local
// mean over the trailing STA or LTA seconds, so an offset or a slow drift
// does not count. Near the start of the record the LTA spans what has been
// recorded so far (at least the STA), so a record is judged the same
// whether it is analysed at once or window by window while it is recorded.
#pragma once

#include "sedra/core/hvoptions.h"

#include <cstddef>
#include <span>

namespace sedra {

// Extremes of the ratio over the samples of one window.
struct StaLtaRange {
    double min = 1.0;
    double max = 1.0;
};

// The ratio band a window's extremes must stay within.
struct StaLtaBand {
    double min = 0.0;
    double max = 0.0;
};

// Extremes of STA/LTA over samples [begin, end) (indices into the whole
// record). `x` holds the record's samples from index `xStart` on and must
// reach back to begin - ltaSamples + 1 (or the record's start) and up to
// end. Samples before the first full STA are not judged; a window with none
// judged reports {1, 1}.
StaLtaRange staLtaRange(std::span<const double> x, std::size_t xStart, std::size_t begin, std::size_t end,
                        std::size_t staSamples, std::size_t ltaSamples);

// The band for one component. Fixed: [ratioMin, ratioMax]. Adaptive: that
// band widened, never narrowed, to the record's usual spread: the median of
// the log of the windows' maxima (minima) plus (minus) three robust standard
// deviations (1.4826 x median absolute deviation). The robust statistics
// keep a minority of windows with transients from widening it.
StaLtaBand staLtaBand(AntiTriggerMode mode, double ratioMin, double ratioMax, std::span<const StaLtaRange> windows);

inline bool outsideBand(const StaLtaRange &r, const StaLtaBand &b)
{
    return r.min < b.min || r.max > b.max;
}

} // namespace sedra
