// Frequency-domain window rejection (Cox et al., 2020): a window whose H/V
// peak lies outside exp(mean ln f0 +- n sigma_ln f0) of the windows still
// kept is dropped, and the statistics are worked out again on what is left
// until no further window drops.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace sedra {

struct FdwraOutcome {
    std::vector<bool> rejected; // one per window; only eligible windows can be rejected
    int iterations = 0; // passes that rejected something, plus the final one that did not
    bool converged = false;
    double lower = 0, upper = 0; // final band, Hz (0 when fewer than two windows took part)
};

// `peakFrequencies` of every window; `eligible` says which take part
// (windows already rejected for another reason do not); windows in
// `protectedKeep` (kept by hand) take part in the statistics but are never
// rejected. Stops after `maxIterations` passes without converging.
FdwraOutcome frequencyDomainRejection(std::span<const double> peakFrequencies, const std::vector<bool> &eligible,
                                      const std::vector<bool> &protectedKeep, double n, int maxIterations = 100);

} // namespace sedra
