#include "sedra/core/antitrigger.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace sedra {

StaLtaRange staLtaRange(std::span<const double> x, std::size_t xStart, std::size_t begin, std::size_t end,
                        std::size_t staSamples, std::size_t ltaSamples)
{
    StaLtaRange r;
    staSamples = std::max<std::size_t>(staSamples, 2);
    ltaSamples = std::max(ltaSamples, staSamples);
    const std::size_t first = std::max(begin, staSamples - 1);
    if (first >= end)
        return r;
    const std::size_t from = first + 1 >= ltaSamples ? first + 1 - ltaSamples : 0;
    if (from < xStart || end > xStart + x.size())
        return r;
    // Prefix sums of the samples less the first one (keeps the variance
    // differences accurate when the samples sit on a large offset).
    const std::size_t n = end - from;
    const double c = x[from - xStart];
    std::vector<double> s1(n + 1), s2(n + 1);
    for (std::size_t j = 0; j < n; ++j) {
        const double v = x[from - xStart + j] - c;
        s1[j + 1] = s1[j] + v;
        s2[j + 1] = s2[j] + v * v;
    }
    auto variance = [&](std::size_t a, std::size_t b) { // samples [a, b) of the local span
        const double m = double(b - a);
        const double mean = (s1[b] - s1[a]) / m;
        return std::max(0.0, (s2[b] - s2[a]) / m - mean * mean);
    };
    bool any = false;
    for (std::size_t i = first; i < end; ++i) {
        const std::size_t j = i - from + 1; // end of [.., i] in the local span
        const std::size_t ltaStart = i + 1 >= ltaSamples ? i + 1 - ltaSamples : 0;
        const double vl = variance(ltaStart - from, j);
        if (vl <= 0)
            continue; // nothing moves at all: no transient either
        const double ratio = std::sqrt(variance(j - staSamples, j) / vl);
        if (!any) {
            r.min = r.max = ratio;
            any = true;
        } else {
            r.min = std::min(r.min, ratio);
            r.max = std::max(r.max, ratio);
        }
    }
    return r;
}

namespace {

// Median and robust standard deviation of `v` (reordered).
std::pair<double, double> robustCentreSpread(std::vector<double> &v)
{
    auto median = [](std::vector<double> &a) {
        const std::size_t m = a.size() / 2;
        std::nth_element(a.begin(), a.begin() + std::ptrdiff_t(m), a.end());
        double med = a[m];
        if (a.size() % 2 == 0)
            med = 0.5 * (med + *std::max_element(a.begin(), a.begin() + std::ptrdiff_t(m)));
        return med;
    };
    const double centre = median(v);
    for (double &x : v)
        x = std::abs(x - centre);
    return {centre, 1.4826 * median(v)};
}

} // namespace

StaLtaBand staLtaBand(AntiTriggerMode mode, double ratioMin, double ratioMax, std::span<const StaLtaRange> windows)
{
    StaLtaBand band{ratioMin, ratioMax};
    if (mode == AntiTriggerMode::Off)
        return {0.0, std::numeric_limits<double>::infinity()};
    if (mode == AntiTriggerMode::Fixed || windows.empty())
        return band;
    constexpr double k = 3.0;
    std::vector<double> lnMax, lnMin;
    lnMax.reserve(windows.size());
    lnMin.reserve(windows.size());
    for (const auto &w : windows) {
        if (w.max > 0 && std::isfinite(w.max))
            lnMax.push_back(std::log(w.max));
        if (w.min > 0 && std::isfinite(w.min))
            lnMin.push_back(std::log(w.min));
    }
    if (!lnMax.empty()) {
        const auto [c, s] = robustCentreSpread(lnMax);
        band.max = std::max(band.max, std::exp(c + k * s));
    }
    if (!lnMin.empty()) {
        const auto [c, s] = robustCentreSpread(lnMin);
        band.min = std::min(band.min, std::exp(c - k * s));
    }
    return band;
}

} // namespace sedra
