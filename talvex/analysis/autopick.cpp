#include "talvex/analysis/autopick.h"

#include "dsp/filters.h"
#include "dsp/onset.h"
#include "dsp/straightruns.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/survey/surveydata.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/settings/viewstate.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

namespace talvex {
namespace {

constexpr int kCount = kTraceLength;
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
// Longest flank fitted past a quarter of the lobe's peak [ms]: the flank of
// a long or fast-decaying lobe bends soon, and a straight rise fitted to a
// bent flank lands early.
constexpr float kFlankMs = 0.5f;
// Half width (± samples) of the onsets the straight rise allows beyond which
// its flank is too noisy to time the wave alone; the whole lobe's fit, which
// uses more of the wave, gives the suggestion instead.
constexpr double kSharpFlank = 2.0;
// Pick uncertainty (± samples) at which the precision score is one half.
// The uncertainty holds the error of noise in the wave's band, which is
// never quite zero, so a clear onset in white noise states a little more
// than its estimates' spread alone.
constexpr double kHalfQualityUncertainty = 20.0;
// First-lobe peak over the noise RMS at which the clarity score is 0.
constexpr double kLeastLobeSnr = 4.0;

// The precision part of the quality: one half at an uncertainty of
// kHalfQualityUncertainty samples.
double precisionScore(double uncertainty)
{
    return 1.0 / (1.0 + uncertainty / kHalfQualityUncertainty);
}

// The straight rise of the onset on the background that the data ask for:
// every background term (a level, a slope) fitted beside the rise lets the
// onset wander further in noise, so a term is kept only where it lowers the
// residual by more than it costs. Of the fits on no background, a level, and
// a level and slope, the one with the least Bayesian information criterion,
// residual / noise variance + ln(samples) x coefficients, the noise variance
// being that the richest fit leaves.
struct StraightRise {
    dsp::OnsetFit fit;
    // [samples] the larger half width of the chosen and the richest fit,
    // joined with half the distance between their onsets.
    double halfWidth = 0.0;
};
StraightRise straightRise(std::span<const float> raw, int from, int to, int first, int last, float sign,
                          const dsp::Whitening &white, double gain)
{
    const dsp::OnsetFit full = dsp::FitOnset(raw, from, to, first, last, sign, dsp::RiseModel::Straight, white, gain);
    if (full.t0 < 0 || !(full.variance > 0.0))
        return {full, full.halfWidth};
    dsp::OnsetFit best = full;
    const double variance = full.variance;
    const auto criterion = [&](const dsp::OnsetFit &fit) {
        return fit.residual / variance + std::log(double(fit.samples)) * fit.coefficients;
    };
    double least = criterion(best);
    for (const dsp::Background background : {dsp::Background::Level, dsp::Background::None}) {
        const dsp::OnsetFit fit
            = dsp::FitOnset(raw, from, to, first, last, sign, dsp::RiseModel::Straight, white, gain, background);
        if (fit.t0 < 0)
            continue;
        const double c = criterion(fit);
        if (c < least) {
            least = c;
            best = fit;
        }
    }
    // The onset is no surer than the richer background allows, nor than
    // the two fits agree.
    const double apart = 0.5 * std::abs(best.exact - full.exact);
    const double width = std::max(best.halfWidth, full.halfWidth);
    return {best, std::sqrt(width * width + apart * apart)};
}

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

    const dsp::StaLtaOnset onset = dsp::StaLtaPeak(diff, sta, lta);
    if (onset.sample < 0 || onset.ratio < options.minOnsetRatio) {
        // Nothing parts the traces: when they still share a clear onset, the
        // blows were not reversed.
        const dsp::StaLtaOnset common = dsp::StaLtaPeak(sum, sta, lta);
        if (common.sample >= 0 && common.ratio >= options.minOnsetRatio) {
            const double r = dsp::Correlation(pos, neg, common.sample, std::min(kCount, common.sample + signal));
            return none(notReversed(r), 0.0, r);
        }
        return none(QStringLiteral("找不到明显的初至（信噪比太低）"));
    }

    // The onset region: between the long window before the STA/LTA peak and
    // the short one after it, where the Akaike criterion puts the change.
    const int a = std::max(0, onset.sample - lta);
    const int b = std::min(kCount, onset.sample + 2 * sta);
    const int aic = dsp::AicChangePoint(diff, a, b);

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
            return dsp::Lobe{-1, -1, 0.0f, 1.0f};
        dsp::Lobe lobe = dsp::LobeAt(smooth, rising);
        for (int step = 0; step < 4 && lobe.start > 2; ++step) {
            const dsp::Lobe before = dsp::LobeAt(smooth, lobe.start - 1);
            if (before.peak < std::max(float(4.0 * quiet), lobe.peak / 3.0f)
                || before.end - before.start < 0.4 * (lobe.end - lobe.start))
                break;
            lobe = before;
        }
        return lobe;
    };
    const dsp::Lobe lobe = firstLobe(0.25f);
    if (lobe.start < 0)
        return none(QStringLiteral("找不到明显的初至（信噪比太低）"));
    // Searched from half the swing instead, the walk back should end on the
    // same lobe; when it does not, which lobe starts the wave is in doubt.
    const dsp::Lobe strict = firstLobe(0.5f);
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
    const dsp::Whitening white = dsp::FitWhitening(raw, 0, leadIn);
    // What the whitening leaves of the noise may still be correlated; the
    // uncertainty widens by as much.
    std::vector<float> residualNoise(std::size_t(leadIn), 0.0f);
    for (int t = 2; t < leadIn; ++t)
        residualNoise[std::size_t(t)]
            = float(raw[std::size_t(t)] - white.a1 * raw[std::size_t(t - 1)] - white.a2 * raw[std::size_t(t - 2)]);
    const double gain = dsp::CorrelationGain(residualNoise, 2, leadIn);
    const StraightRise flank = straightRise(raw, from, to, first, last, lobe.sign, white, gain);
    const dsp::OnsetFit &straight = flank.fit;
    if (straight.t0 < 0)
        return none(QStringLiteral("找不到明显的初至（波形起跳不清楚）"));
    double uncertainty = flank.halfWidth;
    const dsp::OnsetFit curved
        = dsp::FitOnset(raw, from, to, first, last, lobe.sign, dsp::RiseModel::Curved, white, gain);
    if (curved.t0 >= 0) {
        const double width = std::max(flank.halfWidth, curved.halfWidth);
        const double spread = 0.5 * std::abs(straight.t0 - curved.t0);
        uncertainty = std::sqrt(width * width + spread * spread);
    }
    // A third estimate: the whole lobe as a half sine whose amplitude grows
    // or fades, on the same background. It uses more of the wave, so noise
    // moves it less, but its shape is only roughly the lobe's; where it
    // parts from the straight rise, either is in doubt.
    const dsp::OnsetFit whole = dsp::FitOnset(raw, from, std::min(kCount - 1, lobe.end), first, last, lobe.sign,
                                              dsp::RiseModel::Lobe, white, gain);
    const double lobeSpread
        = 0.5 * (whole.t0 >= 0 ? std::abs(whole.exact - straight.exact) : double(lobe.end - lobe.start));
    uncertainty = std::sqrt(uncertainty * uncertainty + lobeDoubt * lobeDoubt + lobeSpread * lobeSpread);
    // Every estimate above sees the same noise, so their spread misses the
    // error they share: noise in the wave's own band holds an offset over
    // the start of the flank and moves every fitted onset alike. The onset
    // is timed where the rise emerges from the noise, from t0 until it
    // reaches a quarter of the lobe's peak; the noise before the wave,
    // averaged over that many samples, over the fitted flank's slope is the
    // spread it causes (white noise averages out, noise in the band does
    // not).
    const int emerging = std::max(1, quarter - straight.t0);
    const double inBand = std::min(double(kCount), dsp::NoiseTimingError(raw, 0, leadIn, emerging, straight.slope));
    uncertainty = std::sqrt(uncertainty * uncertainty + inBand * inBand);
    // The straight rise times a clear onset best; where the noise lets its
    // onset wander over more than ±kSharpFlank samples, the whole lobe's fit
    // is steadier.
    const bool sharp = straight.halfWidth <= kSharpFlank || whole.t0 < 0;
    const int pick = int(std::lround(sharp ? straight.exact : whole.exact));

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
    const double r = dsp::Correlation(pos, neg, pick, signalTo);
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
    s.ownSample = pick;
    // The quality: how far the first lobe stands out of the noise (a lobe
    // of kLeastLobeSnr times the noise RMS scores 0: below that the lobe the
    // wave starts with is easily the wrong one), times the reversal
    // agreement, times a precision score that is one half at an uncertainty
    // of kHalfQualityUncertainty samples.
    const double lobeSnr = quiet > 0.0 ? double(lobe.peak) / quiet : kNoiselessSnr;
    const double clarity = std::max(0.0, 1.0 - kLeastLobeSnr / lobeSnr);
    const double reversal = std::sqrt(std::clamp(-r, 0.0, 1.0));
    s.quality = std::clamp(clarity * reversal * precisionScore(uncertainty), 0.0, 1.0);
    return s;
}

// The along-hole step. Arrival times of neighbouring points lie on the
// travel-time curve, straight within a layer; a point's own onset estimate
// scatters about it with the noise of its traces. The suggestions found
// within kNeighbourReach points on either side (as the list stands), their
// times made vertical as the point velocities make them, are split into
// straight runs (dsp::FitStraightRuns, each time weighted by its
// uncertainty, never below one sample). A point in a run of at least
// kLeastRunPoints takes its run's line as its time where the line knows the
// time better than the point alone (the line's standard error, widened when
// the run's points scatter more than their uncertainties say, is the
// smaller): that averages the noise of the run's points and brings back a
// point that strayed. Its uncertainty is then the line's error and half
// the distance from its own estimate. Its quality, which judges the
// point's own traces, stays. A point alone, in a short run or with a
// better own estimate keeps that.
constexpr double kRunPenalty = 6.0; // chi-square cost of one more run
constexpr double kRunHuber = 2.0; // sigmas where a time stops counting in full
constexpr double kLeastTimingSamples = 1.0; // smallest uncertainty a time enters with [samples]
// Points a run needs to time one of them: among three, one stray point
// cannot be told from the line.
constexpr int kLeastRunPoints = 4;

// Sample to curve time of a point (ms): made vertical (× depth / slant
// distance) in a single hole, as measured across holes; msPerSample 0 when
// the point cannot be on the curve (no depth, no interval).
struct CurveScale {
    double offsetMs = 0.0; // curve time of sample 0
    double msPerSample = 0.0;
};

CurveScale curveScale(const SurveyData &survey, const TlvOne &p)
{
    const double depth = double(p.depth);
    const double interval = double(p.interval);
    if (!(depth > 0.0) || !(interval > 0.0) || !std::isfinite(double(p.delay)))
        return {};
    double factor = 1.0;
    if (survey.header.isSingleHole()) {
        const double x = double(survey.header.sourceDistance);
        factor = depth / std::sqrt(x * x + depth * depth);
    }
    return {double(p.delay) * factor, interval / 1000.0 * factor};
}

ArrivalSuggestion timedAlongHole(const SurveyData &survey, const std::vector<ArrivalSuggestion> &own, int index)
{
    const ArrivalSuggestion &self = own[std::size_t(index)];
    const int n = int(own.size());
    const CurveScale selfScale = curveScale(survey, survey.points[std::size_t(index)]);
    if (!self.found || selfScale.msPerSample <= 0.0)
        return self;
    struct Timed {
        double depth;
        double time;
        double sigma;
        int index;
    };
    std::vector<Timed> timed;
    for (int k = std::max(0, index - kNeighbourReach); k <= std::min(n - 1, index + kNeighbourReach); ++k) {
        const ArrivalSuggestion &s = own[std::size_t(k)];
        const TlvOne &p = survey.points[std::size_t(k)];
        const CurveScale scale = curveScale(survey, p);
        if (!s.found || scale.msPerSample <= 0.0)
            continue;
        timed.push_back({double(p.depth), scale.offsetMs + s.sample * scale.msPerSample,
                         std::max(s.uncertainty, kLeastTimingSamples) * scale.msPerSample, k});
    }
    std::stable_sort(timed.begin(), timed.end(), [](const Timed &a, const Timed &b) { return a.depth < b.depth; });
    std::vector<double> x, y, sigma;
    int at = -1;
    for (const Timed &t : timed) {
        if (t.index == index)
            at = int(x.size());
        x.push_back(t.depth);
        y.push_back(t.time);
        sigma.push_back(t.sigma);
    }
    dsp::StraightRunOptions runOptions;
    runOptions.penalty = kRunPenalty;
    runOptions.huber = kRunHuber;
    runOptions.maxRun = int(x.size());
    const std::vector<dsp::StraightRun> runs = dsp::FitStraightRuns(x, y, sigma, runOptions);
    const auto run = std::find_if(runs.begin(), runs.end(),
                                  [at](const dsp::StraightRun &r) { return r.first <= at && at < r.end; });
    if (run == runs.end() || run->points() < kLeastRunPoints)
        return self;
    const double depth = x[std::size_t(at)];
    const double sample = (run->valueAt(depth) - selfScale.offsetMs) / selfScale.msPerSample;
    const int pick = std::isfinite(sample) ? int(std::lround(std::clamp(sample, -1.0e6, 1.0e6))) : -1;
    if (pick < kFirstCursorSample || pick > kLastCursorSample)
        return self;
    const int dof = run->points() - 2;
    const double misfit = std::max(1.0, run->chiSquare / double(dof));
    const double lineError = run->standardErrorAt(depth) * std::sqrt(misfit) / selfScale.msPerSample;
    if (!(lineError < self.uncertainty))
        return self; // the neighbours know the time no better than the point itself
    ArrivalSuggestion s = self;
    s.ownSample = self.sample;
    s.runPoints = run->points();
    s.sample = pick;
    // The line's error, and half of how far the point's own estimate lies
    // from the line: the two disagree by the error of one of them.
    const double shift = sample - double(self.sample);
    s.uncertainty = std::sqrt(lineError * lineError + 0.25 * shift * shift);
    return s;
}

} // namespace

ArrivalSuggestion SuggestArrival(const TlvOne &point, const AutoPickOptions &options)
{
    return suggest(point, options);
}

std::vector<ArrivalSuggestion> TimeAlongHole(const SurveyData &survey, const std::vector<ArrivalSuggestion> &own)
{
    if (own.size() != survey.points.size())
        return own;
    std::vector<ArrivalSuggestion> all;
    all.reserve(own.size());
    for (int i = 0; i < int(own.size()); ++i)
        all.push_back(timedAlongHole(survey, own, i));
    return all;
}

std::vector<ArrivalSuggestion> SuggestArrivals(const SurveyData &survey, const AutoPickOptions &options)
{
    std::vector<ArrivalSuggestion> own;
    own.reserve(survey.points.size());
    for (const TlvOne &point : survey.points)
        own.push_back(suggest(point, options));
    return TimeAlongHole(survey, own);
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
