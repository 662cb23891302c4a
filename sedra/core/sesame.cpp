#include "sedra/core/sesame.h"

#include "sedra/core/hvpeaks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace sedra {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Index of the f0 range: <0.2, 0.2-0.5, 0.5-1, 1-2, >=2 Hz.
int f0Range(double f0)
{
    if (f0 < 0.2)
        return 0;
    if (f0 < 0.5)
        return 1;
    if (f0 < 1.0)
        return 2;
    if (f0 < 2.0)
        return 3;
    return 4;
}

SesameCheck below(double value, double threshold)
{
    return {value, threshold, std::isfinite(value) && value < threshold};
}

SesameCheck above(double value, double threshold)
{
    return {value, threshold, std::isfinite(value) && value > threshold};
}

// Extreme of `curve` (max if `largest`) over grid points with lo <= f <= hi;
// NaN when there are none.
double extremeOver(std::span<const double> f, std::span<const double> curve, double lo, double hi, bool largest)
{
    double v = kNaN;
    for (std::size_t i = 0; i < f.size() && i < curve.size(); ++i) {
        if (f[i] < lo || f[i] > hi || !std::isfinite(curve[i]))
            continue;
        if (!std::isfinite(v) || (largest ? curve[i] > v : curve[i] < v))
            v = curve[i];
    }
    return v;
}

} // namespace

double sesameEpsilon(double f0)
{
    static constexpr double k[] = {0.25, 0.20, 0.15, 0.10, 0.05};
    return k[f0Range(f0)] * f0;
}

double sesameTheta(double f0)
{
    static constexpr double t[] = {3.0, 2.5, 2.0, 1.78, 1.58};
    return t[f0Range(f0)];
}

SesameResult sesameCriteria(const SesameInput &in)
{
    SesameResult r;
    const double f0 = in.f0, a0 = in.a0;
    const bool haveF0 = f0 > 0 && std::isfinite(f0) && std::isfinite(a0);
    const auto f = in.frequencies;
    std::vector<double> sigmaA(in.sigmaLn.size());
    for (std::size_t i = 0; i < sigmaA.size(); ++i)
        sigmaA[i] = std::exp(in.sigmaLn[i]);

    const double lw = in.windowSeconds;
    r.reliable[0] = above(haveF0 ? f0 : kNaN, lw > 0 ? 10.0 / lw : kNaN);
    r.reliable[1] = above(haveF0 ? lw * double(in.windowsUsed) * f0 : kNaN, 200.0);
    r.reliable[2] = below(haveF0 ? extremeOver(f, sigmaA, 0.5 * f0, 2.0 * f0, true) : kNaN, f0 > 0.5 ? 2.0 : 3.0);

    const double half = haveF0 ? 0.5 * a0 : kNaN;
    r.clear[0] = below(haveF0 ? extremeOver(f, in.mean, 0.25 * f0, f0, false) : kNaN, half);
    r.clear[1] = below(haveF0 ? extremeOver(f, in.mean, f0, 4.0 * f0, false) : kNaN, half);
    r.clear[2] = above(haveF0 ? a0 : kNaN, 2.0);
    double shift = kNaN;
    if (haveF0 && in.mean.size() == f.size() && sigmaA.size() == f.size()) {
        std::vector<double> upper(f.size()), lower(f.size());
        for (std::size_t i = 0; i < f.size(); ++i) {
            upper[i] = in.mean[i] * sigmaA[i];
            lower[i] = in.mean[i] / sigmaA[i];
        }
        const CurvePeak pu = highestPeak(f, upper, in.bandLow, in.bandHigh);
        const CurvePeak pl = highestPeak(f, lower, in.bandLow, in.bandHigh);
        if (pu.valid && pl.valid)
            shift = std::max(std::abs(pu.frequency - f0), std::abs(pl.frequency - f0)) / f0;
    }
    r.clear[3] = below(shift, 0.05);
    r.clear[4] = below(haveF0 && in.windowsUsed > 1 ? in.sigmaF : kNaN, haveF0 ? sesameEpsilon(f0) : kNaN);
    r.clear[5]
        = below(haveF0 && sigmaA.size() == f.size() ? valueAt(f, sigmaA, f0) : kNaN, haveF0 ? sesameTheta(f0) : kNaN);

    r.isReliable = std::all_of(r.reliable.begin(), r.reliable.end(), [](const SesameCheck &c) { return c.pass; });
    r.clearPassed = int(std::count_if(r.clear.begin(), r.clear.end(), [](const SesameCheck &c) { return c.pass; }));
    r.isClear = r.clearPassed >= 5;
    return r;
}

} // namespace sedra
