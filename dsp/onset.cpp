#include "dsp/onset.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace dsp {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Solves the n x n system a x = b (n <= 4) by Gaussian elimination with
// partial pivoting; false when it is singular.
bool solveSmall(int n, double a[4][4], double b[4], double x[4])
{
    for (int k = 0; k < n; ++k) {
        int pivot = k;
        for (int i = k + 1; i < n; ++i)
            if (std::abs(a[i][k]) > std::abs(a[pivot][k]))
                pivot = i;
        if (!(std::abs(a[pivot][k]) > 1.0e-12 * (1.0 + std::abs(a[0][0]))))
            return false;
        std::swap(a[k], a[pivot]);
        std::swap(b[k], b[pivot]);
        for (int i = k + 1; i < n; ++i) {
            const double f = a[i][k] / a[k][k];
            for (int j = k; j < n; ++j)
                a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    for (int i = n - 1; i >= 0; --i) {
        double v = b[i];
        for (int j = i + 1; j < n; ++j)
            v -= a[i][j] * x[j];
        x[i] = v / a[i][i];
    }
    return true;
}

} // namespace

StaLtaOnset StaLtaPeak(std::span<const float> x, int sta, int lta)
{
    sta = std::max(1, sta);
    lta = std::max(sta + 1, lta);
    std::vector<double> prefix(x.size() + 1, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i)
        prefix[i + 1] = prefix[i] + double(x[i]) * double(x[i]);
    const int n = int(x.size());
    const auto shortMean = [&](int i) { return (prefix[std::size_t(i + sta)] - prefix[std::size_t(i)]) / double(sta); };
    double loudest = 0.0;
    for (int i = sta; i + sta <= n; ++i)
        loudest = std::max(loudest, shortMean(i));
    // A floor under the long-term mean, so that a silent lead-in does not
    // make every flicker an onset.
    const double floor = 1.0e-6 * prefix[std::size_t(n)] / double(n) + 1.0e-12;
    StaLtaOnset best;
    for (int i = sta; i + sta <= n; ++i) {
        const double now = shortMean(i);
        if (now < loudest / 20.0)
            continue;
        const int from = std::max(0, i - lta);
        const double longMean = (prefix[std::size_t(i)] - prefix[std::size_t(from)]) / double(i - from);
        const double ratio = now / (longMean + floor);
        if (ratio > best.ratio) {
            best.ratio = ratio;
            best.sample = i;
        }
    }
    return best;
}

int AicChangePoint(std::span<const float> x, int a, int b)
{
    a = std::max(0, a);
    b = std::min(int(x.size()), b);
    if (b - a < 5)
        return a + std::max(0, b - a) / 2;
    std::vector<double> s1(std::size_t(b - a + 1), 0.0);
    std::vector<double> s2(s1.size(), 0.0);
    for (int i = a; i < b; ++i) {
        s1[std::size_t(i - a + 1)] = s1[std::size_t(i - a)] + x[std::size_t(i)];
        s2[std::size_t(i - a + 1)] = s2[std::size_t(i - a)] + double(x[std::size_t(i)]) * x[std::size_t(i)];
    }
    const auto variance = [](double sum, double squares, int m) {
        const double v = (squares - sum * sum / m) / m;
        return std::max(v, 1.0e-9);
    };
    const int n = b - a;
    int best = a + n / 2;
    double bestAic = std::numeric_limits<double>::infinity();
    for (int k = 2; k <= n - 2; ++k) {
        const double left = variance(s1[std::size_t(k)], s2[std::size_t(k)], k);
        const double right
            = variance(s1[std::size_t(n)] - s1[std::size_t(k)], s2[std::size_t(n)] - s2[std::size_t(k)], n - k);
        const double aic = k * std::log(left) + (n - k) * std::log(right);
        if (aic < bestAic) {
            bestAic = aic;
            best = a + k;
        }
    }
    return best;
}

Whitening FitWhitening(std::span<const float> x, int from, int to)
{
    from = std::max(0, from);
    to = std::min(int(x.size()), to);
    Whitening w;
    if (to - from < 32)
        return w;
    double mean = 0.0;
    for (int i = from; i < to; ++i)
        mean += x[std::size_t(i)];
    mean /= double(to - from);
    double r[3] = {};
    for (int i = from; i < to; ++i) {
        const double a = x[std::size_t(i)] - mean;
        for (int lag = 0; lag < 3; ++lag)
            if (i + lag < to)
                r[lag] += a * (x[std::size_t(i + lag)] - mean);
    }
    const double det = r[0] * r[0] - r[1] * r[1];
    if (!(r[0] > 0.0) || !(det > 1.0e-9 * r[0] * r[0]))
        return w;
    w.a1 = r[1] * (r[0] - r[2]) / det;
    w.a2 = (r[0] * r[2] - r[1] * r[1]) / det;
    // Keep the filter's inverse stable (poles inside the unit circle).
    if (!(std::abs(w.a2) < 0.98 && std::abs(w.a1) < 1.0 - w.a2))
        return Whitening{};
    return w;
}

OnsetFit FitOnset(std::span<const float> x, int from, int to, int first, int last, float polarity, RiseModel model,
                  const Whitening &white, double correlationGain, Background background)
{
    OnsetFit best;
    from = std::max(from, 2);
    to = std::min(to, int(x.size()) - 1);
    first = std::max(first, from);
    last = std::min(last, to - 3);
    if (last < first || to - from < 6)
        return best;
    const int count = to - from + 1;
    // The data and every basis function pass the same whitening filter.
    const auto whiten = [&](const std::vector<double> &f, std::vector<double> &out) {
        // f holds the values at from - 2 ... to.
        out.resize(std::size_t(count));
        for (int k = 0; k < count; ++k)
            out[std::size_t(k)]
                = f[std::size_t(k + 2)] - white.a1 * f[std::size_t(k + 1)] - white.a2 * f[std::size_t(k)];
    };
    std::vector<double> raw(std::size_t(count + 2));
    for (int k = 0; k < count + 2; ++k)
        raw[std::size_t(k)] = x[std::size_t(from - 2 + k)];
    std::vector<double> y;
    whiten(raw, y);
    double total = 0.0;
    for (const double v : y)
        total += v * v;

    // Basis: the rise (t - t0)+ (or the lobe's half sine and its skew),
    // then either its curvature (t - t0)+^2 or a level and slope of the
    // background (slow noise the rise sits on). The background does not
    // depend on t0 and is whitened once.
    const bool curved = model == RiseModel::Curved;
    if (model != RiseModel::Straight)
        background = curved ? Background::None : Background::LevelAndSlope;
    const int backgroundTerms = curved ? 0 : int(background);
    const int n = curved ? 2 : (model == RiseModel::Straight ? 1 : 2) + backgroundTerms;
    const double centre = 0.5 * (from + to);
    const double scale = std::max(1.0, 0.5 * (to - from));
    std::vector<double> level, slope;
    if (!curved) {
        std::vector<double> f(std::size_t(count + 2));
        for (auto &v : f)
            v = 1.0;
        whiten(f, level);
        for (int k = 0; k < count + 2; ++k)
            f[std::size_t(k)] = (from - 2 + k - centre) / scale;
        whiten(f, slope);
    }
    std::vector<double> f0(std::size_t(count + 2)), f1(std::size_t(count + 2)), g0, g1;
    // The slope just after t0 of the last rise fitted.
    double riseSlope = 0.0;
    const auto residualAt = [&](int t0) {
        const double length = std::max(1, to - t0);
        for (int k = 0; k < count + 2; ++k) {
            const int t = from - 2 + k;
            if (model == RiseModel::Lobe) {
                const double h = t < t0 ? 0.0 : std::sin(kPi * (t - t0) / length);
                f0[std::size_t(k)] = h;
                f1[std::size_t(k)] = h * (t - t0) / length;
            } else {
                const double u = std::max(0.0, double(t - t0)) / scale;
                f0[std::size_t(k)] = u;
                f1[std::size_t(k)] = u * u;
            }
        }
        whiten(f0, g0);
        if (model != RiseModel::Straight)
            whiten(f1, g1);
        // Columns of the design: the rise, then the rest (the lobe's skew
        // last, as c[3]).
        const std::vector<double> *columns[4] = {&g0, nullptr, nullptr, nullptr};
        if (curved) {
            columns[1] = &g1;
        } else {
            if (backgroundTerms >= 1)
                columns[1] = &level;
            if (backgroundTerms >= 2)
                columns[2] = &slope;
            if (model == RiseModel::Lobe)
                columns[3] = &g1;
        }
        double m[4][4] = {};
        double rhs[4] = {};
        for (int i = 0; i < n; ++i) {
            const std::vector<double> &ci = *columns[i];
            for (int k = 0; k < count; ++k)
                rhs[i] += y[std::size_t(k)] * ci[std::size_t(k)];
            for (int j = i; j < n; ++j) {
                const std::vector<double> &cj = *columns[j];
                double sum = 0.0;
                for (int k = 0; k < count; ++k)
                    sum += ci[std::size_t(k)] * cj[std::size_t(k)];
                m[i][j] = m[j][i] = sum;
            }
        }
        double c[4] = {};
        double bb[4];
        for (int i = 0; i < n; ++i)
            bb[i] = rhs[i];
        if (!solveSmall(n, m, bb, c))
            return std::numeric_limits<double>::infinity();
        const double span = (to - t0) / scale;
        riseSlope = model == RiseModel::Lobe ? c[0] * kPi / length : c[0] / scale;
        if (model == RiseModel::Lobe) {
            if (!(polarity * (c[0] + 0.5 * c[3]) > 0.0))
                return std::numeric_limits<double>::infinity();
        } else {
            const double end = curved ? c[0] * span + c[1] * span * span : c[0] * span;
            if (!(polarity * end > 0.0))
                return std::numeric_limits<double>::infinity();
            // A rise that turns back before `to` is not the lobe's flank.
            if (curved && polarity * (c[0] + 2.0 * c[1] * span) < 0.0 && polarity * c[0] < 0.0)
                return std::numeric_limits<double>::infinity();
        }
        double explained = 0.0;
        for (int i = 0; i < n; ++i)
            explained += c[i] * rhs[i];
        return total - explained;
    };

    // Coarse to fine: every step-th candidate, then each one around the
    // best of those; the residual changes smoothly with t0.
    std::vector<double> residual(std::size_t(last - first + 1), std::numeric_limits<double>::quiet_NaN());
    std::vector<double> slopes(residual.size(), 0.0);
    const auto at = [&](int t0) {
        double &r = residual[std::size_t(t0 - first)];
        if (std::isnan(r)) {
            r = residualAt(t0);
            slopes[std::size_t(t0 - first)] = riseSlope;
        }
        return r;
    };
    const int step = std::max(1, (last - first) / 16);
    for (int t0 = first; t0 <= last; t0 += step)
        at(t0);
    at(last);
    const auto bestSoFar = [&]() {
        int b = -1;
        for (int t0 = first; t0 <= last; ++t0) {
            const double r = residual[std::size_t(t0 - first)];
            if (!std::isnan(r) && std::isfinite(r) && (b < 0 || r < residual[std::size_t(b - first)]))
                b = t0;
        }
        return b;
    };
    int b0 = bestSoFar();
    if (b0 < 0)
        return best;
    for (int t0 = std::max(first, b0 - step); t0 <= std::min(last, b0 + step); ++t0)
        at(t0);
    best.t0 = bestSoFar();
    const double bestResidual = residual[std::size_t(best.t0 - first)];
    // Candidates whose residual exceeds the best by less than the noise
    // variance (times the noise's correlation gain: neighbouring samples of
    // band-limited noise are not independent) are as likely.
    const double variance = bestResidual / std::max(1, count - n);
    const double limit = bestResidual + variance * correlationGain;
    int lo = best.t0;
    int hi = best.t0;
    while (lo > first && at(lo - 1) <= limit)
        --lo;
    while (hi < last && at(hi + 1) <= limit)
        ++hi;
    best.halfWidth = 0.5 * double(hi - lo) + 0.5;
    best.residual = bestResidual;
    best.variance = variance;
    best.coefficients = n;
    best.samples = count;
    best.slope = slopes[std::size_t(best.t0 - first)];
    best.exact = best.t0;
    if (best.t0 > first && best.t0 < last) {
        const double left = at(best.t0 - 1);
        const double right = at(best.t0 + 1);
        const double curvature = left - 2.0 * bestResidual + right;
        if (std::isfinite(left) && std::isfinite(right) && curvature > 0.0)
            best.exact = best.t0 + std::clamp(0.5 * (left - right) / curvature, -0.5, 0.5);
    }
    return best;
}

double CorrelationGain(std::span<const float> x, int from, int to)
{
    from = std::max(0, from);
    to = std::min(int(x.size()), to);
    double c0 = 0.0, c1 = 0.0, mean = 0.0;
    for (int i = from; i < to; ++i)
        mean += x[std::size_t(i)];
    mean /= std::max(1, to - from);
    for (int i = from; i < to; ++i) {
        const double a = x[std::size_t(i)] - mean;
        c0 += a * a;
        if (i + 1 < to)
            c1 += a * (x[std::size_t(i + 1)] - mean);
    }
    const double rho = c0 > 0.0 ? std::clamp(c1 / c0, 0.0, 0.92) : 0.0;
    return (1.0 + rho) / (1.0 - rho);
}

double NoiseTimingError(std::span<const float> x, int from, int to, int length, double slope)
{
    if (!(std::abs(slope) > 0.0) || !std::isfinite(slope))
        return std::numeric_limits<double>::infinity();
    from = std::max(0, from);
    to = std::min(int(x.size()), to);
    length = std::max(1, length);
    if (to - from <= length)
        return 0.0;
    double mean = 0.0;
    for (int i = from; i < to; ++i)
        mean += x[std::size_t(i)];
    mean /= double(to - from);
    // Running sum over the last `length` samples.
    double window = 0.0;
    for (int i = from; i < from + length; ++i)
        window += x[std::size_t(i)] - mean;
    double squares = window * window;
    int windows = 1;
    for (int i = from + length; i < to; ++i) {
        window += double(x[std::size_t(i)]) - x[std::size_t(i - length)];
        squares += window * window;
        ++windows;
    }
    return std::sqrt(squares / windows) / double(length) / std::abs(slope);
}

Lobe LobeAt(std::span<const float> x, int at)
{
    Lobe l;
    l.sign = x[std::size_t(at)] >= 0.0f ? 1.0f : -1.0f;
    l.start = at;
    while (l.start > 0 && l.sign * x[std::size_t(l.start - 1)] > 0.0f)
        --l.start;
    l.end = at;
    while (l.end < int(x.size()) && l.sign * x[std::size_t(l.end)] > 0.0f) {
        l.peak = std::max(l.peak, std::abs(x[std::size_t(l.end)]));
        ++l.end;
    }
    for (int i = l.start; i < at; ++i)
        l.peak = std::max(l.peak, std::abs(x[std::size_t(i)]));
    return l;
}

double Correlation(std::span<const float> a, std::span<const float> b, int from, int to)
{
    from = std::max(0, from);
    to = std::min({to, int(a.size()), int(b.size())});
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (int i = from; i < to; ++i) {
        ab += double(a[std::size_t(i)]) * b[std::size_t(i)];
        aa += double(a[std::size_t(i)]) * a[std::size_t(i)];
        bb += double(b[std::size_t(i)]) * b[std::size_t(i)];
    }
    const double norm = std::sqrt(aa * bb);
    return norm > 0.0 ? ab / norm : 0.0;
}

} // namespace dsp
