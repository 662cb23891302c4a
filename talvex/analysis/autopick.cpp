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
// Points on either side whose wave shapes a point shares.
constexpr std::size_t kShapeNeighbours = 3;
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

// The first lobe of the S-wave in the half difference d: the traces part
// at the arrival t0 and cross again at `next`, half a cycle later. For each
// candidate t0 in [first, last], d over [from, next] is fitted by least
// squares with zero before t0 and c sin(pi u / L) (1 + b u / L) after it
// (u = t - t0, L = next - t0: half a cycle from one crossing to the next,
// its amplitude growing or fading as b says); the t0 whose fit explains most
// of the energy wins, or -1 when no candidate fits.
int lobeStart(const std::vector<float> &d, int first, int last, int from, int next)
{
    int best = -1;
    double bestExplained = -1.0;
    for (int t0 = std::max(first, from + 1); t0 <= last && t0 < next - 2; ++t0) {
        const double length = next - t0;
        double m11 = 0, m12 = 0, m22 = 0, b1 = 0, b2 = 0;
        // sin(pi u / L) stepped by a rotation, one multiplication per sample.
        const double stepC = std::cos(kPi / length);
        const double stepS = std::sin(kPi / length);
        double c = 1.0;
        double sn = 0.0;
        for (int t = t0; t <= next; ++t) {
            const double u = t - t0;
            const double g1 = sn;
            const double g2 = g1 * u / length;
            const double nc = c * stepC - sn * stepS;
            sn = sn * stepC + c * stepS;
            c = nc;
            const double v = d[std::size_t(t)];
            m11 += g1 * g1;
            m12 += g1 * g2;
            m22 += g2 * g2;
            b1 += v * g1;
            b2 += v * g2;
        }
        const double det = m11 * m22 - m12 * m12;
        if (!(det > 0.0))
            continue;
        // b' M^-1 b: the energy the fit explains.
        const double explained = (m22 * b1 * b1 - 2.0 * m12 * b1 * b2 + m11 * b2 * b2) / det;
        if (explained > bestExplained) {
            bestExplained = explained;
            best = t0;
        }
    }
    return best;
}

// A damped wave starting at t0: A sin(w u) exp(-a u) for u = t - t0 >= 0,
// zero before.
struct DampedWave {
    double t0 = 0.0; // samples
    double amplitude = 0.0;
    double omega = 0.0; // radians per sample
    double decay = 0.0; // per sample
};

// Sum of squared residuals of `wave` against d over [from, end], with the
// Jacobian's normal equations (JtJ, Jt r) when `jtj` is given. The model's
// sine and decay are carried from sample to sample by one complex
// multiplication, so the fit costs a few operations per sample.
double waveResiduals(const std::vector<float> &d, const DampedWave &w, int from, int end, double (*jtj)[4] = nullptr,
                     double *jtr = nullptr)
{
    if (jtj) {
        for (int i = 0; i < 4; ++i) {
            jtr[i] = 0.0;
            for (int j = 0; j < 4; ++j)
                jtj[i][j] = 0.0;
        }
    }
    double sse = 0.0;
    const int start = std::max(from, int(std::ceil(w.t0)));
    for (int t = from; t < std::min(start, end + 1); ++t)
        sse += double(d[std::size_t(t)]) * d[std::size_t(t)];
    // e^(-a u) (cos w u, sin w u) at the first sample, then stepped.
    double u = double(start) - w.t0;
    double envelope = std::exp(-w.decay * u);
    double c = envelope * std::cos(w.omega * u);
    double sn = envelope * std::sin(w.omega * u);
    const double stepEnvelope = std::exp(-w.decay);
    const double stepC = stepEnvelope * std::cos(w.omega);
    const double stepS = stepEnvelope * std::sin(w.omega);
    for (int t = start; t <= end; ++t) {
        const double r = double(d[std::size_t(t)]) - w.amplitude * sn;
        sse += r * r;
        if (jtj) {
            // Derivatives of the model by amplitude, t0, omega and decay.
            const double g[4]
                = {sn, w.amplitude * (w.decay * sn - w.omega * c), w.amplitude * u * c, -w.amplitude * u * sn};
            for (int i = 0; i < 4; ++i) {
                jtr[i] += g[i] * r;
                for (int j = i; j < 4; ++j)
                    jtj[i][j] += g[i] * g[j];
            }
        }
        const double nc = c * stepC - sn * stepS;
        sn = sn * stepC + c * stepS;
        c = nc;
        u += 1.0;
    }
    if (jtj) {
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < i; ++j)
                jtj[i][j] = jtj[j][i];
    }
    return sse;
}

// Solves the 4 x 4 system a x = b by Gaussian elimination with partial
// pivoting; false when it is singular.
bool solve4(double a[4][4], double b[4], double x[4])
{
    for (int k = 0; k < 4; ++k) {
        int pivot = k;
        for (int i = k + 1; i < 4; ++i)
            if (std::abs(a[i][k]) > std::abs(a[pivot][k]))
                pivot = i;
        if (!(std::abs(a[pivot][k]) > 0.0))
            return false;
        std::swap(a[k], a[pivot]);
        std::swap(b[k], b[pivot]);
        for (int i = k + 1; i < 4; ++i) {
            const double f = a[i][k] / a[k][k];
            for (int j = k; j < 4; ++j)
                a[i][j] -= f * a[k][j];
            b[i] -= f * b[k];
        }
    }
    for (int i = 3; i >= 0; --i) {
        double v = b[i];
        for (int j = i + 1; j < 4; ++j)
            v -= a[i][j] * x[j];
        x[i] = v / a[i][i];
    }
    return true;
}

// Levenberg-Marquardt fit of a damped wave to d over [from, end], from `w`.
// The whole wave, not only its first lobe, then times its start: the later
// crossings fix the period that the onset is extrapolated with. With
// `fixedShape` only the amplitude and t0 are fitted.
DampedWave fitDampedWave(const std::vector<float> &d, DampedWave w, int from, int end, bool fixedShape)
{
    double lambda = 1.0e-3;
    double sse = waveResiduals(d, w, from, end);
    for (int iteration = 0; iteration < 30; ++iteration) {
        double jtj[4][4];
        double jtr[4];
        waveResiduals(d, w, from, end, jtj, jtr);
        if (fixedShape) {
            for (int i = 2; i < 4; ++i) {
                for (int j = 0; j < 4; ++j)
                    jtj[i][j] = jtj[j][i] = 0.0;
                jtj[i][i] = 1.0;
                jtr[i] = 0.0;
            }
        }
        bool improved = false;
        for (int attempt = 0; attempt < 8 && !improved; ++attempt) {
            double a[4][4];
            double b[4];
            for (int i = 0; i < 4; ++i) {
                for (int j = 0; j < 4; ++j)
                    a[i][j] = jtj[i][j];
                a[i][i] += lambda * jtj[i][i];
                b[i] = jtr[i];
            }
            double step[4];
            if (!solve4(a, b, step)) {
                lambda *= 10.0;
                continue;
            }
            DampedWave next = w;
            next.amplitude += step[0];
            next.t0 += step[1];
            next.omega += step[2];
            next.decay = std::max(0.0, w.decay + step[3]);
            if (next.t0 < from || next.t0 > end || !(next.omega > 0.0)) {
                lambda *= 10.0;
                continue;
            }
            const double nextSse = waveResiduals(d, next, from, end);
            if (nextSse < sse) {
                const bool small = std::abs(step[1]) < 1.0e-3;
                w = next;
                sse = nextSse;
                lambda = std::max(1.0e-7, lambda * 0.3);
                improved = true;
                if (small)
                    return w;
            } else {
                lambda *= 10.0;
            }
        }
        if (!improved)
            break;
    }
    return w;
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

// Period and decay of a point's S-wave, per ms (independent of the interval).
struct WaveShape {
    double omega = 0.0; // radians per ms
    double decay = 0.0; // per ms
};

// The suggestion for one point. With `shape` the wave's period and decay are
// taken as given; `fittedShape`, when given and the wave was fitted, receives
// them.
ArrivalSuggestion suggest(const TlvOne &point, const AutoPickOptions &options, const WaveShape *shape,
                          WaveShape *fittedShape)
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

    // The onset lies between the long window before the peak and the short
    // one after it.
    const int a = std::max(0, onset.sample - lta);
    const int b = std::min(kCount, onset.sample + 2 * sta);
    const int aic = aicChangePoint(diff, a, b);

    // The first lobe after the AIC sample, on the zero-phase low-passed half
    // difference (the band-pass's high-pass would move the crossings): where
    // it first reaches half the largest swing, and the next crossing.
    const std::vector<float> smooth = halfDifference(positive, negative, dt, high);
    const int lookTo = std::min(kCount, aic + signal);
    float swing = 0.0f;
    for (int i = aic; i < lookTo; ++i)
        swing = std::max(swing, std::abs(smooth[std::size_t(i)]));
    int rising = aic;
    while (rising < lookTo && std::abs(smooth[std::size_t(rising)]) < 0.5f * swing)
        ++rising;
    const float polarity = smooth[std::size_t(std::min(rising, kCount - 1))] >= 0.0f ? 1.0f : -1.0f;
    int next = rising;
    while (next < kCount && polarity * smooth[std::size_t(next)] > 0.0f)
        ++next;
    // The unfiltered half difference: its noise is white and its onset not
    // rounded by a filter.
    const std::vector<float> raw = halfDifference(positive, negative, dt, 0.0f);
    int pick = aic;
    if (next < kCount) {
        const int first = std::max(1, aic - 2 * sta);
        const int found = lobeStart(raw, first, rising - 1, std::max(0, first - sta), next);
        if (found > 0) {
            pick = found;
            // The whole wave, over three cycles from the lobe's start, times
            // the start more closely than its first lobe alone.
            DampedWave w;
            w.t0 = found;
            w.omega = kPi / double(next - found);
            w.decay = 0.5 / double(next - found);
            if (shape) {
                w.omega = shape->omega * double(dt) / 1000.0;
                w.decay = shape->decay * double(dt) / 1000.0;
            }
            w.amplitude = polarity * swing;
            const int from = std::max(0, found - sta);
            const int to = std::min(kCount - 1, found + 6 * (next - found));
            const DampedWave fitted = fitDampedWave(raw, w, from, to, shape != nullptr);
            const int refined = int(std::lround(fitted.t0));
            if (std::abs(refined - found) <= sta && fitted.amplitude * polarity > 0.0) {
                pick = refined;
                if (fittedShape)
                    *fittedShape = {fitted.omega * 1000.0 / double(dt), fitted.decay * 1000.0 / double(dt)};
            }
        }
    }

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
    // Half at twice the least signal-to-noise ratio, 0.9 at ten times.
    const double snrScore = 1.0 - options.minSnr / snr;
    const double reversal = std::clamp(-r, 0.0, 1.0);
    s.quality = std::clamp(snrScore * reversal, 0.0, 1.0);
    return s;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

} // namespace

ArrivalSuggestion SuggestArrival(const TlvOne &point, const AutoPickOptions &options)
{
    return suggest(point, options, nullptr, nullptr);
}

std::vector<ArrivalSuggestion> SuggestArrivals(const SurveyData &survey, const AutoPickOptions &options)
{
    const std::size_t n = survey.points.size();
    std::vector<ArrivalSuggestion> all(n);
    std::vector<WaveShape> shapes(n);
    for (std::size_t i = 0; i < n; ++i)
        all[i] = suggest(survey.points[i], options, nullptr, &shapes[i]);
    // Neighbouring points see the same blows through similar ground, so
    // their waves share period and decay: a point is timed again with the
    // median shape of the fitted points among its neighbours.
    std::vector<ArrivalSuggestion> shared = all;
    for (std::size_t i = 0; i < n; ++i) {
        if (!all[i].found)
            continue;
        std::vector<double> omegas;
        std::vector<double> decays;
        const std::size_t first = i >= kShapeNeighbours ? i - kShapeNeighbours : 0;
        for (std::size_t j = first; j < std::min(n, i + kShapeNeighbours + 1); ++j) {
            if (all[j].found && shapes[j].omega > 0.0) {
                omegas.push_back(shapes[j].omega);
                decays.push_back(shapes[j].decay);
            }
        }
        if (omegas.size() < 3)
            continue;
        const WaveShape common{median(omegas), median(decays)};
        const ArrivalSuggestion again = suggest(survey.points[i], options, &common, nullptr);
        if (again.found)
            shared[i] = again;
    }
    return shared;
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

int ApplyArrivalSuggestions(SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions, double minQuality,
                            UndoSnapshot *undo)
{
    if (suggestions.size() != survey.points.size())
        return -1;
    const bool any = std::any_of(suggestions.begin(), suggestions.end(),
                                 [&](const ArrivalSuggestion &s) { return isAcceptable(s, minQuality); });
    if (undo && any)
        undo->TakeUndoSnapshot(survey);
    int applied = 0;
    for (std::size_t i = 0; i < suggestions.size(); ++i) {
        if (ApplyArrivalSuggestion(survey, int(i), suggestions[i], minQuality))
            ++applied;
    }
    return applied;
}

} // namespace talvex
