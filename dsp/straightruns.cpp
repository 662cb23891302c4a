#include "dsp/straightruns.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace dsp {
namespace {

// Reweighting rounds of the robust fit, with Huber's weights and then with
// rejection; the weights settle in a few.
constexpr int kHuberRounds = 8;
constexpr int kRejectRounds = 4;

// The cost of a normalised residual r: r² up to `huber`, then linear, and
// beyond `reject` no more than there.
double robustCost(double r, double huber, double reject)
{
    const double a = std::min(std::abs(r), reject);
    return a <= huber ? a * a : 2.0 * huber * a - huber * huber;
}

// The weight of a residual in the next round of the fit: 1 up to `huber`,
// falling as huber / |r| beyond, 0 beyond `reject`.
double robustWeight(double r, double huber, double reject)
{
    const double a = std::abs(r);
    return a <= huber ? 1.0 : a <= reject ? huber / a : 0.0;
}

} // namespace

double StraightRun::standardErrorAt(double x) const
{
    const double v = varIntercept + 2.0 * x * covariance + x * x * varSlope;
    return v > 0.0 ? std::sqrt(v) : 0.0;
}

StraightRun FitRobustLine(std::span<const double> x, std::span<const double> y, std::span<const double> sigma,
                          int first, int end, double huber, double reject)
{
    StraightRun run;
    run.first = first;
    run.end = end;
    const int n = end - first;
    if (n < 3)
        return run;
    // The robust weight of each point in the last round.
    std::vector<double> w(std::size_t(n), 1.0);
    // Centred on the first x, so that the sums stay well conditioned.
    const double x0 = x[std::size_t(first)];
    double a = 0.0, b = 0.0, sw = 0.0, sx = 0.0, sxx = 0.0;
    const auto solve = [&] {
        double sy = 0.0, sxy = 0.0;
        sw = sx = sxx = 0.0;
        for (int k = 0; k < n; ++k) {
            const std::size_t i = std::size_t(first + k);
            const double s = sigma[i];
            const double wi = w[std::size_t(k)] / (s * s);
            const double xi = x[i] - x0;
            sw += wi;
            sx += wi * xi;
            sy += wi * y[i];
            sxx += wi * xi * xi;
            sxy += wi * xi * y[i];
        }
        const double det = sw * sxx - sx * sx;
        if (det > 1.0e-12 * sw * sxx && det > 0.0) {
            b = (sw * sxy - sx * sy) / det;
            a = (sy - b * sx) / sw;
        } else { // every point at one x: a level
            b = 0.0;
            a = sw > 0.0 ? sy / sw : 0.0;
        }
    };
    // Reweights from the current line; false when no weight changed. Fewer
    // than three points keeping weight leave the weights as they were.
    const auto reweight = [&](double limit) {
        std::vector<double> next(static_cast<std::size_t>(n));
        int kept = 0;
        for (int k = 0; k < n; ++k) {
            const std::size_t i = std::size_t(first + k);
            const double r = (y[i] - a - b * (x[i] - x0)) / sigma[i];
            next[std::size_t(k)] = robustWeight(r, huber, limit);
            kept += next[std::size_t(k)] > 0.0 ? 1 : 0;
        }
        if (kept < 3)
            return false;
        bool changed = false;
        for (int k = 0; k < n; ++k)
            changed = changed || std::abs(next[std::size_t(k)] - w[std::size_t(k)]) > 1.0e-6;
        w = std::move(next);
        return changed;
    };
    // Huber's weights first, from the least-squares line: their fit cannot
    // be captured by a wild point. Then the rejection of points beyond
    // `reject` from that fit.
    solve();
    for (int round = 0; round < kHuberRounds && reweight(std::numeric_limits<double>::infinity()); ++round)
        solve();
    for (int round = 0; round < kRejectRounds && reweight(reject); ++round)
        solve();
    solve();
    double chi = 0.0;
    for (int k = 0; k < n; ++k) {
        const std::size_t i = std::size_t(first + k);
        chi += robustCost((y[i] - a - b * (x[i] - x0)) / sigma[i], huber, reject);
    }
    run.fitted = true;
    run.chiSquare = chi;
    run.slope = b;
    run.intercept = a - b * x0;
    // Covariance of (a, b) about x0 from the last sums, moved to x = 0.
    const double det = sw * sxx - sx * sx;
    if (det > 0.0) {
        const double va = sxx / det, vb = sw / det, cab = -sx / det;
        run.varSlope = vb;
        run.covariance = cab - x0 * vb;
        run.varIntercept = va - 2.0 * x0 * cab + x0 * x0 * vb;
    } else {
        run.varIntercept = sw > 0.0 ? 1.0 / sw : 0.0;
    }
    return run;
}

std::vector<StraightRun> FitStraightRuns(std::span<const double> x, std::span<const double> y,
                                         std::span<const double> sigma, const StraightRunOptions &options)
{
    const int n = int(x.size());
    if (n == 0 || y.size() != x.size() || sigma.size() != x.size())
        return {};
    const int maxRun = std::max(3, options.maxRun);
    // best[e]: least cost of runs covering points [0, e); from[e]: where the
    // last of those runs starts.
    std::vector<double> best(std::size_t(n) + 1, std::numeric_limits<double>::infinity());
    std::vector<int> from(std::size_t(n) + 1, 0);
    best[0] = 0.0;
    for (int e = 1; e <= n; ++e) {
        for (int f = std::max(0, e - maxRun); f < e; ++f) {
            const double fit
                = e - f >= 3 ? FitRobustLine(x, y, sigma, f, e, options.huber, options.reject).chiSquare : 0.0;
            const double cost = best[std::size_t(f)] + fit + options.penalty;
            if (cost < best[std::size_t(e)]) {
                best[std::size_t(e)] = cost;
                from[std::size_t(e)] = f;
            }
        }
    }
    std::vector<StraightRun> runs;
    for (int e = n; e > 0; e = from[std::size_t(e)])
        runs.push_back(FitRobustLine(x, y, sigma, from[std::size_t(e)], e, options.huber, options.reject));
    return {runs.rbegin(), runs.rend()};
}

} // namespace dsp
