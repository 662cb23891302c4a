#include "talvex/analysis/autopick.h"

#include "dsp/filters.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/survey/surveydata.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/survey/viewstate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace talvex {
namespace {

constexpr int kCount = kTraceLength;
constexpr double kPi = 3.14159265358979323846;
// Reported when the noise before the arrival is exactly zero.
constexpr double kNoiselessSnr = 1.0e6;

bool isEmpty(const Trace &trace)
{
    return std::all_of(trace.begin(), trace.end(), [](std::int16_t v) { return v == 0; });
}

// Samples in `ms` milliseconds, 1...kCount.
int samplesOf(float ms, float intervalUs)
{
    const double n = std::round(double(ms) * 1000.0 / double(intervalUs));
    return int(std::clamp(std::isfinite(n) ? n : 1.0, 1.0, double(kCount)));
}

// The trace without the mean of its first `lead` samples (the quiet
// lead-in), so that a constant offset is not taken for signal.
Trace leveled(const Trace &trace, int lead)
{
    Trace x = trace;
    double sum = 0.0;
    for (int i = 0; i < lead; ++i)
        sum += x[std::size_t(i)];
    const double mean = sum / double(lead);
    for (auto &v : x)
        v = std::int16_t(std::clamp<long>(std::lround(double(v) - mean), -32768L, 32767L));
    return x;
}

std::vector<float> bandPassed(Trace x, float intervalUs, float lowHz, float highHz)
{
    dsp::BandPassFilter(x.data(), intervalUs, kCount, lowHz, highHz);
    return std::vector<float>(x.begin(), x.end());
}

// Half the difference of the two traces, through the zero-phase low-pass at
// `highHz` when that is > 0: the S-wave alone, with its crossings in place.
std::vector<float> halfDifference(const Trace &positive, const Trace &negative, float intervalUs, float highHz)
{
    Trace p = positive;
    Trace n = negative;
    if (highHz > 0.0f) {
        dsp::LowPassFilter(p.data(), intervalUs, kCount, highHz);
        dsp::LowPassFilter(n.data(), intervalUs, kCount, highHz);
    }
    std::vector<float> d(kCount);
    for (int i = 0; i < kCount; ++i)
        d[std::size_t(i)] = 0.5f * (float(p[std::size_t(i)]) - float(n[std::size_t(i)]));
    return d;
}

// Sample where the ratio of the mean energy of x over [i, i + sta) to that
// over [max(0, i - lta), i) peaks, and the peak ratio. The long window must
// hold at least `sta` samples. Only samples whose short-window energy is at
// least a twentieth of the largest count: the wave sought is the strongest
// event of x, and a quiet stretch after a quieter one is not an onset.
struct Onset {
    int sample = -1;
    double ratio = 0.0;
};

Onset staLtaPeak(const std::vector<float> &x, int sta, int lta)
{
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
    Onset best;
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

// The Akaike change point of x over [a, b): the k minimising
// (k - a) ln var(x[a, k)) + (b - k) ln var(x[k, b)).
int aicChangePoint(const std::vector<float> &x, int a, int b)
{
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

// The onset of a wave that starts from zero at t0 and rises as
// c1 (t - t0) (+ c2 (t - t0)^2 with `curved`), fitted by least squares to x
// over [from, to] (zero before t0) for every candidate t0 in [first, last];
// `polarity` is the sign the rise must have at `to`. The fit window is the
// same for every candidate, so their residuals compare.
struct OnsetFit {
    int t0 = -1; // the best candidate, -1 when none fits
    double exact = 0.0; // t0 between the candidates, from a parabola through the residuals around it
    double halfWidth = 0.0; // half the span of candidates within one noise variance of the best (samples)
};

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

// A two-term whitening filter for the noise, y[t] = x[t] - a1 x[t-1] -
// a2 x[t-2], from the Yule-Walker equations of an order-two autoregression
// fitted to the noise: band-limited noise comes out close to white, so that
// a least-squares fit weighs its samples as independent. Zero terms leave
// white noise as it is.
struct Whitening {
    double a1 = 0.0;
    double a2 = 0.0;
};

Whitening whiteningOf(const std::vector<float> &x, int from, int to)
{
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

enum class RiseModel {
    Straight, // c1 (t - t0)+ on a level and slope of the background
    Curved, // c1 (t - t0)+ + c2 (t - t0)+^2
    Lobe, // a half sine from t0 to `to`, its amplitude growing or fading linearly, on the background
};

OnsetFit fitOnset(const std::vector<float> &x, int from, int to, int first, int last, float polarity, RiseModel model,
                  const Whitening &white, double correlationGain)
{
    OnsetFit best;
    from = std::max(from, 2);
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
    const int n = curved ? 2 : model == RiseModel::Straight ? 3 : 4;
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
        // Columns of the design: the rise, then the rest.
        const std::vector<double> *columns[4] = {&g0, nullptr, nullptr, nullptr};
        if (curved) {
            columns[1] = &g1;
        } else {
            columns[1] = &level;
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
    const auto at = [&](int t0) {
        double &r = residual[std::size_t(t0 - first)];
        if (std::isnan(r))
            r = residualAt(t0);
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

// Lag-one autocorrelation of x over [from, to), turned into how many times
// the variance of a mean of its samples exceeds that of white noise:
// (1 + rho) / (1 - rho), 1...25.
double correlationGainOf(const std::vector<float> &x, int from, int to)
{
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

// A lobe of x: from the sample after its start crossing to its end crossing,
// and its peak (absolute value) and sign.
struct Lobe {
    int start = 0; // first sample of the lobe's sign
    int end = 0; // first sample past it
    float peak = 0.0f;
    float sign = 1.0f;
};

// The lobe holding sample `at`.
Lobe lobeAt(const std::vector<float> &x, int at)
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

double correlation(const std::vector<float> &a, const std::vector<float> &b, int from, int to)
{
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (int i = from; i < to; ++i) {
        ab += double(a[std::size_t(i)]) * b[std::size_t(i)];
        aa += double(a[std::size_t(i)]) * a[std::size_t(i)];
        bb += double(b[std::size_t(i)]) * b[std::size_t(i)];
    }
    const double norm = std::sqrt(aa * bb);
    return norm > 0.0 ? ab / norm : 0.0;
}

ArrivalSuggestion none(const QString &reason, double snr = 0.0, double correlation = 0.0)
{
    ArrivalSuggestion s;
    s.reason = reason;
    s.snr = snr;
    s.correlation = correlation;
    return s;
}

QString two(double v)
{
    return QString::number(v, 'f', 2);
}

QString notReversed(double r)
{
    return QStringLiteral("正反向波形没有反相（相关系数 %1）").arg(two(r));
}

// Upper edge of the low-pass through which the S-wave's lobes are found [Hz]:
// wide enough to keep a 3 ms wave's lobes in place, narrow enough to calm
// white noise.
constexpr float kLobeHz = 800.0f;
// Longest flank fitted past a quarter of the lobe's peak [ms]: a long
// lobe's flank bends too much further on to pass for a straight rise.
constexpr float kFlankMs = 1.0f;
// Pick uncertainty (± samples) at which the precision score is one half.
constexpr double kHalfQualityUncertainty = 16.0;
// First-lobe peak over the noise RMS at which the clarity score is 0.
constexpr double kLeastLobeSnr = 6.0;

ArrivalSuggestion suggest(const TlvOne &point, const AutoPickOptions &options)
{
    const bool positiveEmpty = isEmpty(point.positive);
    const bool negativeEmpty = isEmpty(point.negative);
    if (positiveEmpty && negativeEmpty)
        return none(QStringLiteral("没有波形（正反向数据全为零）"));
    if (positiveEmpty || negativeEmpty)
        return none(positiveEmpty ? QStringLiteral("缺少正向波形，无法比较反相")
                                  : QStringLiteral("缺少反向波形，无法比较反相"));
    const float dt = point.interval;
    if (!(dt > 0.0f) || !std::isfinite(dt))
        return none(QStringLiteral("采样间隔无效"));
    const float nyquist = 500000.0f / dt;
    const float high = std::min(options.highHz, 0.45f * nyquist);
    if (!(options.lowHz >= 0.0f) || !(high > options.lowHz))
        return none(QStringLiteral("采样间隔 %1 µs 太大，剪切波频带超出记录能表示的范围").arg(double(dt)));

    const int sta = std::min(samplesOf(options.staMs, dt), kCount / 8);
    const int lta = std::max(sta + 1, std::min(samplesOf(options.ltaMs, dt), kCount / 2));
    const int signal = std::min(samplesOf(options.signalMs, dt), kCount / 4);
    const int lead = std::min(lta, kCount / 4);

    const Trace positive = leveled(point.positive, lead);
    const Trace negative = leveled(point.negative, lead);
    const std::vector<float> pos = bandPassed(positive, dt, options.lowHz, high);
    const std::vector<float> neg = bandPassed(negative, dt, options.lowHz, high);
    std::vector<float> diff(kCount);
    std::vector<float> sum(kCount);
    for (int i = 0; i < kCount; ++i) {
        diff[std::size_t(i)] = 0.5f * (pos[std::size_t(i)] - neg[std::size_t(i)]);
        sum[std::size_t(i)] = 0.5f * (pos[std::size_t(i)] + neg[std::size_t(i)]);
    }

    const Onset onset = staLtaPeak(diff, sta, lta);
    if (onset.sample < 0 || onset.ratio < options.minOnsetRatio) {
        // Nothing parts the traces: when they still share a clear onset, the
        // blows were not reversed.
        const Onset common = staLtaPeak(sum, sta, lta);
        if (common.sample >= 0 && common.ratio >= options.minOnsetRatio) {
            const double r = correlation(pos, neg, common.sample, std::min(kCount, common.sample + signal));
            return none(notReversed(r), 0.0, r);
        }
        return none(QStringLiteral("找不到明显的初至（信噪比太低）"));
    }

    // The onset region: between the long window before the STA/LTA peak and
    // the short one after it, where the Akaike criterion puts the change.
    const int a = std::max(0, onset.sample - lta);
    const int b = std::min(kCount, onset.sample + 2 * sta);
    const int aic = aicChangePoint(diff, a, b);

    // The S-wave's lobes on the half difference through a zero-phase
    // low-pass, which keeps the crossings in place: the first lobe after the
    // noise that reaches a quarter of the wave's largest swing (and four
    // times the noise), then back over every earlier lobe that is still
    // clearly part of the wave (a third of that lobe's swing, at least
    // 0.4 times as wide; a P-wave leaking through unequal blows is narrower
    // and weaker, noise weaker still).
    const std::vector<float> smooth = halfDifference(positive, negative, dt, std::min(kLobeHz, 0.45f * nyquist));
    const std::vector<float> raw = halfDifference(positive, negative, dt, 0.0f);
    const int quietTo = std::max(8, aic - sta);
    double quiet = 0.0;
    for (int i = 0; i < quietTo; ++i)
        quiet += double(smooth[std::size_t(i)]) * smooth[std::size_t(i)];
    quiet = std::sqrt(quiet / quietTo);
    float swing = 0.0f;
    for (int i = std::max(0, aic - sta); i < kCount; ++i)
        swing = std::max(swing, std::abs(smooth[std::size_t(i)]));
    // The lobe the wave starts with, searched from the first sample that
    // reaches `share` of the swing.
    const auto firstLobe = [&](float share) {
        const float threshold = std::max(float(4.0 * quiet), share * swing);
        int rising = std::max(0, aic - sta);
        while (rising < kCount && std::abs(smooth[std::size_t(rising)]) < threshold)
            ++rising;
        if (rising >= kCount - 2)
            return Lobe{-1, -1, 0.0f, 1.0f};
        Lobe lobe = lobeAt(smooth, rising);
        for (int step = 0; step < 4 && lobe.start > 2; ++step) {
            const Lobe before = lobeAt(smooth, lobe.start - 1);
            if (before.peak < std::max(float(4.0 * quiet), lobe.peak / 3.0f)
                || before.end - before.start < 0.4 * (lobe.end - lobe.start))
                break;
            lobe = before;
        }
        return lobe;
    };
    const Lobe lobe = firstLobe(0.25f);
    if (lobe.start < 0)
        return none(QStringLiteral("找不到明显的初至（信噪比太低）"));
    // Searched from half the swing instead, the walk back should end on the
    // same lobe; when it does not, which lobe starts the wave is in doubt.
    const Lobe strict = firstLobe(0.5f);
    const double lobeDoubt = strict.start >= 0 ? 0.5 * std::abs(strict.start - lobe.start) : 0.0;
    // Where the lobe's flank first reaches a quarter and 0.6 of its peak.
    int quarter = lobe.start;
    while (quarter < lobe.end && std::abs(smooth[std::size_t(quarter)]) < 0.25f * lobe.peak)
        ++quarter;
    int upper = quarter;
    const int flankEnd = std::min(lobe.end, quarter + samplesOf(kFlankMs, dt));
    while (upper < flankEnd && std::abs(smooth[std::size_t(upper)]) < 0.75f * lobe.peak)
        ++upper;

    // The onset, on the unfiltered half difference (its onset not rounded
    // by a filter): a straight rise on a sloping background, fitted to the
    // flank up to 0.75 of the peak after a stretch of noise as long as the
    // rise, is the suggestion. Its uncertainty joins the spread of onsets
    // the data allow (within one noise variance of the best fit) with the
    // disagreement of a curved rise on the same flank: a wave whose start
    // is not straight, or noise that bends it, moves the two apart.
    const int rise = std::max(4, quarter - lobe.start);
    const int first = std::max(1, lobe.start - rise);
    const int last = std::max(first, quarter);
    const int from = std::max(0, first - std::max(8, rise));
    const int to = std::max(upper, last + 2);
    const int leadIn = std::max(8, first - rise);
    const Whitening white = whiteningOf(raw, 0, leadIn);
    // What the whitening leaves of the noise may still be correlated; the
    // uncertainty widens by as much.
    std::vector<float> residualNoise(std::size_t(leadIn), 0.0f);
    for (int t = 2; t < leadIn; ++t)
        residualNoise[std::size_t(t)]
            = float(raw[std::size_t(t)] - white.a1 * raw[std::size_t(t - 1)] - white.a2 * raw[std::size_t(t - 2)]);
    const double gain = correlationGainOf(residualNoise, 2, leadIn);
    const OnsetFit straight = fitOnset(raw, from, to, first, last, lobe.sign, RiseModel::Straight, white, gain);
    if (straight.t0 < 0)
        return none(QStringLiteral("找不到明显的初至（波形起跳不清楚）"));
    const int pick = int(std::lround(straight.exact));
    double uncertainty = straight.halfWidth;
    const OnsetFit curved = fitOnset(raw, from, to, first, last, lobe.sign, RiseModel::Curved, white, gain);
    if (curved.t0 >= 0) {
        const double width = std::max(straight.halfWidth, curved.halfWidth);
        const double spread = 0.5 * std::abs(straight.t0 - curved.t0);
        uncertainty = std::sqrt(width * width + spread * spread);
    }
    // A third estimate: the whole lobe as a half sine whose amplitude grows
    // or fades, on the same background. It uses more of the wave, so noise
    // moves it less, but its shape is only roughly the lobe's; where it
    // parts from the straight rise, either is in doubt.
    const OnsetFit whole
        = fitOnset(raw, from, std::min(kCount - 1, lobe.end), first, last, lobe.sign, RiseModel::Lobe, white, gain);
    const double lobeSpread
        = 0.5 * (whole.t0 >= 0 ? std::abs(whole.exact - straight.exact) : double(lobe.end - lobe.start));
    uncertainty = std::sqrt(uncertainty * uncertainty + lobeDoubt * lobeDoubt + lobeSpread * lobeSpread);

    // Signal-to-noise: the peak of the low-passed half difference after the
    // arrival over the RMS of the unfiltered one before it (a filter would
    // smear the onset into the noise window; the noise of every band counts).
    const int noiseTo = pick - 2;
    const int noiseFrom = std::max(0, noiseTo - lta);
    if (pick < kFirstCursorSample || pick > kLastCursorSample || noiseTo - noiseFrom < 8)
        return none(QStringLiteral("初至太靠近记录的开头或结尾"));
    double noise = 0.0;
    for (int i = noiseFrom; i < noiseTo; ++i)
        noise += double(raw[std::size_t(i)]) * raw[std::size_t(i)];
    noise = std::sqrt(noise / double(noiseTo - noiseFrom));
    const int signalTo = std::min(kCount, pick + signal);
    double peak = 0.0;
    for (int i = pick; i < signalTo; ++i)
        peak = std::max(peak, double(std::abs(smooth[std::size_t(i)])));
    const double snr = noise > 0.0 ? std::min(peak / noise, kNoiselessSnr) : kNoiselessSnr;
    const double r = correlation(pos, neg, pick, signalTo);
    if (snr < options.minSnr)
        return none(QStringLiteral("信噪比太低（%1，至少要 %2）").arg(two(snr), two(options.minSnr)), snr, r);
    if (r > -options.minReversal)
        return none(notReversed(r), snr, r);

    ArrivalSuggestion s;
    s.found = true;
    s.sample = pick;
    s.snr = snr;
    s.correlation = r;
    s.uncertainty = uncertainty;
    // The quality: how far the first lobe stands out of the noise (a lobe
    // of kLeastLobeSnr times the noise RMS scores 0: below that the lobe the
    // wave starts with is easily the wrong one), times the reversal
    // agreement, times a precision score that is one half at an uncertainty
    // of kHalfQualityUncertainty samples.
    const double lobeSnr = quiet > 0.0 ? double(lobe.peak) / quiet : kNoiselessSnr;
    const double clarity = std::max(0.0, 1.0 - kLeastLobeSnr / lobeSnr);
    const double reversal = std::sqrt(std::clamp(-r, 0.0, 1.0));
    const double precision = 1.0 / (1.0 + uncertainty / kHalfQualityUncertainty);
    s.quality = std::clamp(clarity * reversal * precision, 0.0, 1.0);
    return s;
}

} // namespace

ArrivalSuggestion SuggestArrival(const TlvOne &point, const AutoPickOptions &options)
{
    return suggest(point, options);
}

std::vector<ArrivalSuggestion> SuggestArrivals(const SurveyData &survey, const AutoPickOptions &options)
{
    std::vector<ArrivalSuggestion> all;
    all.reserve(survey.points.size());
    for (const TlvOne &point : survey.points)
        all.push_back(suggest(point, options));
    return all;
}

bool isAcceptable(const ArrivalSuggestion &suggestion, double minQuality)
{
    return suggestion.found && suggestion.quality >= minQuality && suggestion.sample >= kFirstCursorSample
        && suggestion.sample <= kLastCursorSample;
}

bool ApplyArrivalSuggestion(SurveyData &survey, int index, const ArrivalSuggestion &suggestion, double minQuality)
{
    if (index < 0 || std::size_t(index) >= survey.points.size() || !isAcceptable(suggestion, minQuality))
        return false;
    ViewState view;
    view.mode = DisplayMode::MultiTrace;
    view.currentPoint = index + 1;
    view.cursorX = kWaveformOriginX + suggestion.sample;
    return SetSArrival(survey, view);
}

AppliedSuggestions AcceptArrivalSuggestions(SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions,
                                            double minQuality, ExistingPicks existing, UndoSnapshot *undo)
{
    AppliedSuggestions result;
    if (suggestions.size() != survey.points.size())
        return result;
    result.ok = true;
    // What each point gets, decided on the picks as they were before any
    // change, so that the undo snapshot is taken once and only when needed.
    std::vector<bool> take(suggestions.size(), false);
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        if (!isAcceptable(suggestions[i], minQuality))
            continue;
        const int pick = survey.points[i].sArrival;
        if (pick == 0) {
            take[i] = true;
        } else if (pick != suggestions[i].sample) {
            if (existing == ExistingPicks::Replace)
                take[i] = true;
            else
                ++result.kept;
        }
    }
    if (undo && std::find(take.begin(), take.end(), true) != take.end())
        undo->TakeUndoSnapshot(survey);
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        if (!take[i])
            continue;
        const bool had = survey.points[i].sArrival != 0;
        if (ApplyArrivalSuggestion(survey, int(i), suggestions[i], minQuality))
            ++(had ? result.replaced : result.filled);
    }
    return result;
}

int ApplyArrivalSuggestions(SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions, double minQuality,
                            UndoSnapshot *undo)
{
    const AppliedSuggestions result
        = AcceptArrivalSuggestions(survey, suggestions, minQuality, ExistingPicks::Keep, undo);
    return result.ok ? result.filled : -1;
}

} // namespace talvex
