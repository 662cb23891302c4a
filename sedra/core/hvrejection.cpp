#include "sedra/core/hvrejection.h"

#include <cmath>

namespace sedra {

FdwraOutcome frequencyDomainRejection(std::span<const double> peakFrequencies, const std::vector<bool> &eligible,
                                      const std::vector<bool> &protectedKeep, double n, int maxIterations)
{
    const std::size_t count = peakFrequencies.size();
    FdwraOutcome out;
    out.rejected.assign(count, false);
    auto takesPart = [&](std::size_t i) {
        return i < eligible.size() && eligible[i] && !out.rejected[i] && peakFrequencies[i] > 0
            && std::isfinite(peakFrequencies[i]);
    };
    for (int pass = 0; pass < maxIterations; ++pass) {
        double sum = 0, sumSq = 0;
        std::size_t m = 0;
        for (std::size_t i = 0; i < count; ++i)
            if (takesPart(i)) {
                const double l = std::log(peakFrequencies[i]);
                sum += l;
                ++m;
            }
        if (m < 2) {
            out.iterations = pass + 1;
            out.converged = true;
            return out;
        }
        const double mean = sum / double(m);
        for (std::size_t i = 0; i < count; ++i)
            if (takesPart(i)) {
                const double d = std::log(peakFrequencies[i]) - mean;
                sumSq += d * d;
            }
        const double sigma = std::sqrt(sumSq / double(m - 1));
        // A hair of tolerance so that windows on the band's edge through
        // rounding alone are not dropped.
        const double half = n * sigma + 1e-12;
        out.lower = std::exp(mean - half);
        out.upper = std::exp(mean + half);
        bool changed = false;
        for (std::size_t i = 0; i < count; ++i) {
            if (!takesPart(i) || (i < protectedKeep.size() && protectedKeep[i]))
                continue;
            if (std::abs(std::log(peakFrequencies[i]) - mean) > half) {
                out.rejected[i] = true;
                changed = true;
            }
        }
        out.iterations = pass + 1;
        if (!changed) {
            out.converged = true;
            return out;
        }
    }
    return out;
}

} // namespace sedra
