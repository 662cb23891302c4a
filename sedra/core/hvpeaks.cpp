#include "sedra/core/hvpeaks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace sedra {

std::vector<std::size_t> localMaxima(std::span<const double> f, std::span<const double> curve, double lo, double hi)
{
    std::vector<std::size_t> out;
    const std::size_t n = std::min(f.size(), curve.size());
    for (std::size_t i = 1; i + 1 < n; ++i) {
        if (f[i] < lo || f[i] > hi)
            continue;
        if (curve[i] > curve[i - 1] && curve[i] >= curve[i + 1])
            out.push_back(i);
    }
    return out;
}

CurvePeak peakAt(std::span<const double> f, std::span<const double> curve, std::size_t i)
{
    CurvePeak p;
    p.index = i;
    p.frequency = f[i];
    p.amplitude = curve[i];
    p.valid = std::isfinite(curve[i]);
    if (i == 0 || i + 1 >= f.size())
        return p;
    const double x0 = std::log(f[i - 1]), x1 = std::log(f[i]), x2 = std::log(f[i + 1]);
    const double y0 = curve[i - 1], y1 = curve[i], y2 = curve[i + 1];
    // Parabola through the three points: its vertex, kept between the
    // neighbours.
    const double d0 = (y1 - y0) / (x1 - x0), d1 = (y2 - y1) / (x2 - x1);
    const double a = (d1 - d0) / (x2 - x0);
    if (!(a < 0))
        return p;
    const double xv = std::clamp(0.5 * (x0 + x1) - d0 / (2 * a), x0, x2);
    // Newton form y(x) = y0 + d0 (x - x0) + a (x - x0)(x - x1).
    const double y = y0 + d0 * (xv - x0) + a * (xv - x0) * (xv - x1);
    p.frequency = std::exp(xv);
    p.amplitude = std::max(y, y1);
    return p;
}

CurvePeak highestPeak(std::span<const double> f, std::span<const double> curve, double lo, double hi)
{
    CurvePeak best;
    for (std::size_t i : localMaxima(f, curve, lo, hi))
        if (std::isfinite(curve[i]) && (!best.valid || curve[i] > best.amplitude))
            best = {f[i], curve[i], i, true, false};
    if (best.valid)
        return peakAt(f, curve, best.index);
    const std::size_t n = std::min(f.size(), curve.size());
    for (std::size_t i = 0; i < n; ++i)
        if (f[i] >= lo && f[i] <= hi && std::isfinite(curve[i]) && (!best.valid || curve[i] > best.amplitude))
            best = {f[i], curve[i], i, true, true};
    return best;
}

double valueAt(std::span<const double> f, std::span<const double> curve, double x)
{
    const std::size_t n = std::min(f.size(), curve.size());
    if (n == 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (x <= f[0])
        return curve[0];
    if (x >= f[n - 1])
        return curve[n - 1];
    const auto it = std::upper_bound(f.begin(), f.begin() + std::ptrdiff_t(n), x);
    const std::size_t j = std::size_t(it - f.begin());
    const double t = std::log(x / f[j - 1]) / std::log(f[j] / f[j - 1]);
    return curve[j - 1] + t * (curve[j] - curve[j - 1]);
}

namespace {

// Frequency where `curve` falls to `level` walking from grid point i in
// direction step (+1 or -1), by linear interpolation in ln f; stops at a
// local minimum or the grid's end and returns that frequency.
double crossing(std::span<const double> f, std::span<const double> curve, std::size_t i, int step, double level)
{
    std::size_t j = i;
    while (true) {
        const std::ptrdiff_t next = std::ptrdiff_t(j) + step;
        if (next < 0 || std::size_t(next) >= curve.size())
            return f[j];
        const auto k = std::size_t(next);
        if (curve[k] <= level) {
            const double t = (curve[j] - level) / (curve[j] - curve[k]);
            return std::exp(std::log(f[j]) + t * (std::log(f[k]) - std::log(f[j])));
        }
        if (curve[k] > curve[j])
            return f[j]; // a rise again: the peak ends here
        j = k;
    }
}

// Lowest value of `curve` within a factor `reach` of f[i] on either side.
double baseAround(std::span<const double> f, std::span<const double> curve, std::size_t i, double reach)
{
    double base = curve[i];
    for (std::size_t k = 0; k < curve.size(); ++k)
        if (f[k] >= f[i] / reach && f[k] <= f[i] * reach)
            base = std::min(base, curve[k]);
    return base;
}

bool hasMaximumNear(std::span<const double> f, std::span<const double> curve, double fp, double factor)
{
    return !localMaxima(f, curve, fp / factor, fp * factor).empty();
}

} // namespace

std::vector<HvPeak> findHvPeaks(std::span<const double> f, std::span<const double> mean,
                                std::span<const double> meanVertical,
                                const std::vector<std::span<const double>> &windowCurves, double b, double lo,
                                double hi)
{
    std::vector<HvPeak> peaks;
    // The smoothing window's width at half height: (sin x / x)^4 = 1/2 at
    // x = 1.0015, i.e. log10 f +- 1.0015 / b.
    const double kernelHalf = 1.0015 / b;
    const double kernelWidth = 2.0 * kernelHalf * std::numbers::ln10;
    const double lobe = std::pow(10.0, 2.0 * std::numbers::pi / b); // where to look for the base
    const double near = std::pow(10.0, kernelHalf);
    const CurvePeak top = highestPeak(f, mean, lo, hi);
    for (std::size_t i : localMaxima(f, mean, lo, hi)) {
        if (!std::isfinite(mean[i]))
            continue;
        const CurvePeak p = peakAt(f, mean, i);
        HvPeak h;
        h.frequency = p.frequency;
        h.amplitude = p.amplitude;
        h.isF0 = top.valid && !top.atBandEdge && top.index == i;
        const double base = baseAround(f, mean, i, lobe);
        h.prominence = base > 0 ? mean[i] / base : 0.0;
        const double level = 0.5 * (mean[i] + base);
        const double left = crossing(f, mean, i, -1, level), right = crossing(f, mean, i, +1, level);
        h.relativeWidth = std::log(right / left) / kernelWidth;
        h.narrow = h.relativeWidth <= 1.3;
        if (meanVertical.size() == f.size()) {
            for (std::size_t k : localMaxima(f, meanVertical, p.frequency / near, p.frequency * near)) {
                const double vb = baseAround(f, meanVertical, k, lobe);
                if (vb > 0 && meanVertical[k] >= 1.05 * vb)
                    h.onVertical = true;
            }
        }
        h.inEveryWindow = !windowCurves.empty();
        for (const auto &c : windowCurves)
            if (!hasMaximumNear(f, c, p.frequency, near)) {
                h.inEveryWindow = false;
                break;
            }
        h.industrial = h.narrow && h.onVertical && h.inEveryWindow;
        peaks.push_back(h);
    }
    return peaks;
}

std::vector<HvPeak> listedPeaks(const std::vector<HvPeak> &peaks, std::size_t *leftOut)
{
    std::vector<HvPeak> listed;
    for (const HvPeak &p : peaks) {
        if (p.isF0 || p.industrial || p.amplitude >= kListedPeakAmplitude)
            listed.push_back(p);
    }
    if (leftOut)
        *leftOut = peaks.size() - listed.size();
    return listed;
}

} // namespace sedra
