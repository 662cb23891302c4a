#include "sedra/core/hvanalysis.h"

#include "sedra/core/hvcombine.h"
#include "sedra/core/hvrejection.h"
#include "sedra/core/hvamplitudes.h"
#include "sedra/core/konnoohmachi.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace sedra {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr const char16_t *kComponentLetters[] = {u"N", u"E", u"Z"};

// What every window of one analysis shares.
struct Context {
    HvOptions options;
    double dt = 0;
    std::size_t windowSamples = 0, stepSamples = 0;
    std::size_t staSamples = 0, ltaSamples = 0; // 0: not worked out
    std::vector<double> grid;
    KonnoOhmachiSmoother smoother;
};

QString makeContext(const HvOptions &o, double dt, Context &ctx)
{
    if (QString problem = hvOptionsProblem(o, dt); !problem.isEmpty())
        return problem;
    ctx.options = o;
    ctx.dt = dt;
    ctx.windowSamples = std::size_t(std::llround(o.windowSeconds / dt));
    ctx.stepSamples
        = std::max<std::size_t>(1, std::size_t(std::llround(double(ctx.windowSamples) * (1.0 - o.overlap))));
    if (o.staSeconds > 0 && o.ltaSeconds > 0 && std::isfinite(o.ltaSeconds)) {
        ctx.staSamples = std::max<std::size_t>(2, std::size_t(std::llround(o.staSeconds / dt)));
        ctx.ltaSamples = std::max(ctx.staSamples, std::size_t(std::llround(o.ltaSeconds / dt)));
    }
    ctx.grid = logFrequencyGrid(o.fmin, o.fmax, o.points);
    const double df = 1.0 / (double(ctx.windowSamples) * dt);
    ctx.smoother = KonnoOhmachiSmoother(ctx.grid, df, ctx.windowSamples / 2 + 1, o.smoothing);
    return {};
}

// Buffers reused from window to window.
struct Scratch {
    std::vector<double> n, e, z, h, ampH, ampV;
    std::vector<std::complex<double>> cn, ce;
};

// Detrended and tapered copy of one component; false when it is not finite
// or does not move at all.
bool prepare(std::span<const double> x, double taper, std::vector<double> &out)
{
    out.assign(x.begin(), x.end());
    for (double v : out)
        if (!std::isfinite(v))
            return false;
    removeLinearTrend(out);
    applyTukeyTaper(out, taper);
    return std::any_of(out.begin(), out.end(), [](double v) { return v != 0.0; });
}

// The spectral work of one window: samples [first, first + windowSamples)
// of `x` (which holds the record from index `xStart` on).
HvWindow computeWindow(const Context &ctx, int index, std::size_t first,
                       const std::array<std::span<const double>, 3> &x, std::size_t xStart, Scratch &s)
{
    const HvOptions &o = ctx.options;
    HvWindow w;
    w.index = index;
    w.firstSample = first;
    w.startSeconds = double(first) * ctx.dt;
    const std::size_t n = ctx.windowSamples, at = first - xStart;
    if (ctx.staSamples > 0)
        for (std::size_t c = 0; c < 3; ++c)
            w.staLta[c] = staLtaRange(x[c], xStart, first, first + n, ctx.staSamples, ctx.ltaSamples);

    bool ok = prepare(x[0].subspan(at, n), o.taper, s.n);
    ok = prepare(x[1].subspan(at, n), o.taper, s.e) && ok;
    ok = prepare(x[2].subspan(at, n), o.taper, s.z) && ok;
    const std::size_t points = ctx.grid.size();
    w.horizontal.assign(points, kNaN);
    w.vertical.assign(points, kNaN);
    w.hv.assign(points, kNaN);
    if (!ok) {
        w.invalid = true;
        return w;
    }
    if (o.combine == HorizontalCombine::Azimuth) {
        s.h.resize(n);
        rotateHorizontal(s.n, s.e, o.azimuthDegrees, s.h);
        amplitudeSpectrum(s.h, ctx.dt, s.ampH);
    } else {
        realSpectrum(s.n, ctx.dt, s.cn);
        realSpectrum(s.e, ctx.dt, s.ce);
        combineHorizontals(o.combine, s.cn, s.ce, ctx.smoother.firstLine(), ctx.smoother.endLine(), s.ampH);
    }
    amplitudeSpectrum(s.z, ctx.dt, s.ampV);
    ctx.smoother.smooth(s.ampH, w.horizontal);
    ctx.smoother.smooth(s.ampV, w.vertical);
    for (std::size_t i = 0; i < points; ++i) {
        const double h = w.horizontal[i], v = w.vertical[i];
        if (!(h > 0) || !(v > 0) || !std::isfinite(h) || !std::isfinite(v)) {
            w.invalid = true;
            break;
        }
        w.hv[i] = h / v;
    }
    return w;
}

bool sameSpectralOptions(const HvOptions &a, const HvOptions &b)
{
    return a.windowSeconds == b.windowSeconds && a.overlap == b.overlap && a.taper == b.taper && a.combine == b.combine
        && (a.combine != HorizontalCombine::Azimuth || a.azimuthDegrees == b.azimuthDegrees)
        && a.smoothing == b.smoothing && a.points == b.points && a.fmin == b.fmin && a.fmax == b.fmax
        && a.staSeconds == b.staSeconds && a.ltaSeconds == b.ltaSeconds;
}

// Lognormal mean and sigma_ln, frequency by frequency, of one curve of each
// window used.
void lognormalCurves(const std::vector<HvWindow> &windows, std::vector<double> HvWindow::*curve, std::size_t points,
                     std::vector<double> &mean, std::vector<double> *sigma)
{
    std::vector<double> s1(points, 0.0), s2(points, 0.0);
    std::size_t m = 0;
    for (const auto &w : windows) {
        if (!w.used)
            continue;
        const auto &c = w.*curve;
        for (std::size_t i = 0; i < points; ++i) {
            const double l = std::log(c[i]);
            s1[i] += l;
            s2[i] += l * l;
        }
        ++m;
    }
    mean.assign(points, kNaN);
    if (sigma)
        sigma->assign(points, kNaN);
    if (m == 0)
        return;
    for (std::size_t i = 0; i < points; ++i) {
        const double mu = s1[i] / double(m);
        mean[i] = std::exp(mu);
        if (sigma)
            (*sigma)[i] = m > 1 ? std::sqrt(std::max(0.0, (s2[i] - double(m) * mu * mu) / double(m - 1))) : 0.0;
    }
}

// Everything after the spectra: rejection, statistics, peaks, criteria, depth.
void evaluate(HvResult &r)
{
    const HvOptions &o = r.options;
    const double lo = r.peakBandLow(), hi = r.peakBandHigh();
    const std::size_t count = r.windows.size(), points = r.frequencies.size();
    r.warnings.clear();

    for (auto &w : r.windows)
        w.peak = w.invalid ? CurvePeak{} : highestPeak(r.frequencies, w.hv, lo, hi);

    // Anti-trigger, component by component.
    for (std::size_t c = 0; c < 3; ++c) {
        std::vector<StaLtaRange> ranges;
        ranges.reserve(count);
        for (const auto &w : r.windows)
            if (!w.invalid)
                ranges.push_back(w.staLta[c]);
        r.staLtaBands[c] = staLtaBand(o.antiTrigger, o.ratioMin, o.ratioMax, ranges);
        for (auto &w : r.windows)
            w.antiTrigger[c]
                = o.antiTrigger != AntiTriggerMode::Off && !w.invalid && outsideBand(w.staLta[c], r.staLtaBands[c]);
    }
    auto triggered = [](const HvWindow &w) { return w.antiTrigger[0] || w.antiTrigger[1] || w.antiTrigger[2]; };

    // Frequency domain, on the windows still in after the anti-trigger and
    // the hand marks.
    std::vector<double> peaks(count);
    std::vector<bool> eligible(count), keep(count);
    for (std::size_t i = 0; i < count; ++i) {
        const HvWindow &w = r.windows[i];
        peaks[i] = w.peak.valid ? w.peak.frequency : kNaN;
        keep[i] = w.manual == ManualMark::Keep;
        eligible[i] = !w.invalid && w.manual != ManualMark::Reject && (keep[i] || !triggered(w));
    }
    r.fdwraIterations = 0;
    r.fdwraConverged = true;
    r.fdwraLower = r.fdwraUpper = 0;
    for (auto &w : r.windows)
        w.fdwra = false;
    if (o.fdwraN) {
        const FdwraOutcome f = frequencyDomainRejection(peaks, eligible, keep, *o.fdwraN);
        for (std::size_t i = 0; i < count; ++i)
            r.windows[i].fdwra = f.rejected[i];
        r.fdwraIterations = f.iterations;
        r.fdwraConverged = f.converged;
        r.fdwraLower = f.lower;
        r.fdwraUpper = f.upper;
        if (!f.converged)
            r.warnings << QStringLiteral("频域剔除在 %1 次迭代后仍未收敛").arg(f.iterations);
    }
    for (auto &w : r.windows)
        w.used = !w.invalid
            && (w.manual == ManualMark::Keep || (w.manual == ManualMark::None && !triggered(w) && !w.fdwra));

    // Curves over the windows used.
    lognormalCurves(r.windows, &HvWindow::hv, points, r.mean, &r.sigmaLn);
    lognormalCurves(r.windows, &HvWindow::horizontal, points, r.meanHorizontal, nullptr);
    lognormalCurves(r.windows, &HvWindow::vertical, points, r.meanVertical, nullptr);
    r.lower.resize(points);
    r.upper.resize(points);
    for (std::size_t i = 0; i < points; ++i) {
        r.lower[i] = r.mean[i] * std::exp(-r.sigmaLn[i]);
        r.upper[i] = r.mean[i] * std::exp(r.sigmaLn[i]);
    }

    // f0 of the windows.
    WindowPeakStatistics &s = r.f0Windows;
    s = {};
    double sl = 0, sl2 = 0, sf = 0, sf2 = 0, sa = 0;
    for (const auto &w : r.windows) {
        if (!w.used || !w.peak.valid)
            continue;
        const double l = std::log(w.peak.frequency);
        sl += l;
        sl2 += l * l;
        sf += w.peak.frequency;
        sf2 += w.peak.frequency * w.peak.frequency;
        sa += std::log(w.peak.amplitude);
        ++s.count;
    }
    if (s.count > 0) {
        const double n = double(s.count);
        s.median = std::exp(sl / n);
        s.t0Median = 1.0 / s.median;
        s.amplitudeMedian = std::exp(sa / n);
        if (s.count > 1) {
            s.sigmaLn = std::sqrt(std::max(0.0, (sl2 - sl * sl / n) / (n - 1)));
            s.sigmaHz = std::sqrt(std::max(0.0, (sf2 - sf * sf / n) / (n - 1)));
        }
    }

    // f0 of the mean curve.
    const CurvePeak top = highestPeak(r.frequencies, r.mean, lo, hi);
    r.f0AtBandEdge = top.valid && top.atBandEdge;
    if (top.valid) {
        r.f0 = top.frequency;
        r.a0 = top.amplitude;
        r.t0 = 1.0 / top.frequency;
    } else {
        r.f0 = r.a0 = r.t0 = kNaN;
    }
    if (r.usedCount() == 0)
        r.warnings << QStringLiteral("没有可用的窗口：所有窗口均被剔除");
    else if (r.f0AtBandEdge)
        r.warnings << QStringLiteral("平均曲线在 %1–%2 Hz 内没有峰，f0 取在频带边缘").arg(lo).arg(hi);

    // Peaks of the mean curve.
    std::vector<std::span<const double>> used;
    for (const auto &w : r.windows)
        if (w.used)
            used.emplace_back(w.hv);
    r.peaks = r.usedCount() > 0 ? findHvPeaks(r.frequencies, r.mean, r.meanVertical, used, o.smoothing, lo, hi)
                                : std::vector<HvPeak>{};

    SesameInput in;
    in.f0 = r.f0;
    in.a0 = r.a0;
    in.windowSeconds = o.windowSeconds;
    in.windowsUsed = r.usedCount();
    in.sigmaF = s.sigmaHz;
    in.frequencies = r.frequencies;
    in.mean = r.mean;
    in.sigmaLn = r.sigmaLn;
    in.bandLow = lo;
    in.bandHigh = hi;
    r.sesame = sesameCriteria(in);

    r.depth.reset();
    r.powerLawDepth.reset();
    const bool haveF0 = std::isfinite(r.f0) && r.f0 > 0;
    if (haveF0 && o.vs)
        r.depth = quarterWavelengthDepth(*o.vs, r.f0, s.sigmaLn, o.vsSigmaLn);
    const auto laws = publishedPowerLaws();
    if (haveF0 && o.powerLaw && *o.powerLaw >= 0 && std::size_t(*o.powerLaw) < laws.size())
        r.powerLawDepth = powerLawDepth(laws[std::size_t(*o.powerLaw)], r.f0, s.sigmaLn);

    const auto invalid = std::count_if(r.windows.begin(), r.windows.end(), [](const HvWindow &w) { return w.invalid; });
    if (invalid > 0)
        r.warnings << QStringLiteral("%1 个窗口的数据无效（非有限值或某分量无信号），未参与分析").arg(invalid);
    if (r.ignoredManualMarks > 0)
        r.warnings << QStringLiteral("%1 个手动标记所指的窗口不存在，已忽略").arg(r.ignoredManualMarks);
}

void startResult(HvResult &r, const Context &ctx)
{
    r.options = ctx.options;
    r.sampleInterval = ctx.dt;
    r.windowSamples = ctx.windowSamples;
    r.stepSamples = ctx.stepSamples;
    r.frequencies = ctx.grid;
}

// The letters of the components whose STA/LTA rejected window `w`.
QStringList antiTriggerComponents(const HvWindow &w)
{
    QStringList components;
    for (std::size_t c = 0; c < 3; ++c)
        if (w.antiTrigger[c])
            components << QString::fromUtf16(kComponentLetters[c]);
    return components;
}

} // namespace

QStringList rejectionKeys(const HvWindow &w)
{
    QStringList keys;
    if (w.invalid)
        keys << QStringLiteral("invalid");
    const QStringList components = antiTriggerComponents(w);
    if (!components.isEmpty())
        keys << QStringLiteral("antitrigger:") + components.join(QLatin1Char(','));
    if (w.fdwra)
        keys << QStringLiteral("fdwra");
    if (w.manual == ManualMark::Reject)
        keys << QStringLiteral("manual");
    return keys;
}

QString rejectionText(const HvWindow &w)
{
    QStringList parts;
    if (w.invalid)
        parts << QStringLiteral("数据无效");
    const QStringList components = antiTriggerComponents(w);
    if (!components.isEmpty())
        parts << QStringLiteral("STA/LTA 反触发（%1 分量）").arg(components.join(QStringLiteral("、")));
    if (w.fdwra)
        parts << QStringLiteral("频域剔除");
    if (w.manual == ManualMark::Reject)
        parts << QStringLiteral("手动剔除");
    QString text = parts.join(QStringLiteral("；"));
    if (w.manual == ManualMark::Keep && !text.isEmpty())
        text = QStringLiteral("手动保留（自动剔除原因：%1）").arg(text);
    return text;
}

int HvResult::usedCount() const
{
    return int(std::count_if(windows.begin(), windows.end(), [](const HvWindow &w) { return w.used; }));
}

std::vector<int> HvResult::rejectedIndices() const
{
    std::vector<int> out;
    for (const auto &w : windows)
        if (!w.used)
            out.push_back(w.index);
    return out;
}

HvResult analyseHv(const ThreeComponentRecord &record, const HvOptions &options, std::span<const ManualMark> manual)
{
    HvResult r;
    r.options = options;
    r.sampleInterval = record.sampleInterval;
    Context ctx;
    if (QString problem = makeContext(options, record.sampleInterval, ctx); !problem.isEmpty()) {
        r.error = problem;
        return r;
    }
    startResult(r, ctx);
    const std::size_t n = record.sampleCount();
    for (const auto &c : record.components)
        if (c.size() != n) {
            r.error = QStringLiteral("三个分量的采样点数不同");
            return r;
        }
    if (n < ctx.windowSamples) {
        r.error = QStringLiteral("记录长 %1 秒，短于一个窗口（%2 秒）")
                      .arg(record.duration(), 0, 'f', 1)
                      .arg(options.windowSeconds);
        return r;
    }
    const std::array<std::span<const double>, 3> x{record.components[0], record.components[1], record.components[2]};
    Scratch scratch;
    for (std::size_t first = 0; first + ctx.windowSamples <= n; first += ctx.stepSamples)
        r.windows.push_back(computeWindow(ctx, int(r.windows.size()), first, x, 0, scratch));
    for (std::size_t i = 0; i < manual.size(); ++i) {
        if (i < r.windows.size())
            r.windows[i].manual = manual[i];
        else if (manual[i] != ManualMark::None)
            ++r.ignoredManualMarks;
    }
    evaluate(r);
    return r;
}

std::vector<ManualMark> manualMarks(const HvResult &result)
{
    std::vector<ManualMark> marks;
    marks.reserve(result.windows.size());
    for (const auto &w : result.windows)
        marks.push_back(w.manual);
    return marks;
}

HvResult reanalyseHv(const ThreeComponentRecord &record, const HvOptions &options, const HvResult &previous)
{
    HvResult r = analyseHv(record, options);
    if (!r.ok())
        return r;
    const std::size_t oldLength = previous.windowSamples;
    bool marked = false;
    for (auto &w : r.windows) {
        const std::size_t a = w.firstSample, b = w.firstSample + r.windowSamples;
        bool reject = false;
        std::size_t covered = a; // samples [a, covered) lie in kept windows
        for (const auto &old : previous.windows) {
            const std::size_t oa = old.firstSample, ob = old.firstSample + oldLength;
            if (old.manual == ManualMark::Reject && oa < b && a < ob)
                reject = true;
            if (old.manual == ManualMark::Keep && oa <= covered && ob > covered)
                covered = std::min(ob, b);
        }
        w.manual = reject ? ManualMark::Reject : covered >= b ? ManualMark::Keep : ManualMark::None;
        marked = marked || w.manual != ManualMark::None;
    }
    if (marked)
        evaluate(r);
    return r;
}

bool setManualMark(HvResult &result, int index, ManualMark mark)
{
    if (!result.ok() || index < 0 || std::size_t(index) >= result.windows.size())
        return false;
    result.windows[std::size_t(index)].manual = mark;
    evaluate(result);
    return true;
}

bool reevaluateHv(HvResult &result, const HvOptions &options)
{
    if (!result.ok() || !sameSpectralOptions(result.options, options)
        || !hvOptionsProblem(options, result.sampleInterval).isEmpty())
        return false;
    result.options = options;
    evaluate(result);
    return true;
}

void reevaluateHv(HvResult &result)
{
    if (result.ok())
        evaluate(result);
}

bool hvDataSufficient(const HvResult &result)
{
    const auto &s = result.f0Windows;
    return result.ok() && result.sesame.isReliable && s.count >= 2
        && s.sigmaLn / std::sqrt(double(s.count)) < std::log(1.03);
}

struct HvLiveAnalysis::State {
    Context ctx;
    QString problem;
    HvResult result;
    std::array<std::vector<double>, 3> buffer;
    std::size_t base = 0; // record index of buffer[.][0]
    std::size_t received = 0;
    std::size_t nextFirst = 0; // first sample of the next window
    Scratch scratch;
};

HvLiveAnalysis::HvLiveAnalysis(double sampleInterval, const HvOptions &options) : state_(std::make_unique<State>())
{
    State &s = *state_;
    s.problem = makeContext(options, sampleInterval, s.ctx);
    s.result.options = options;
    s.result.sampleInterval = sampleInterval;
    if (s.problem.isEmpty()) {
        startResult(s.result, s.ctx);
        evaluate(s.result);
    } else {
        s.result.error = s.problem;
    }
}

HvLiveAnalysis::~HvLiveAnalysis() = default;

QString HvLiveAnalysis::problem() const
{
    return state_->problem;
}

int HvLiveAnalysis::append(std::span<const double> north, std::span<const double> east,
                           std::span<const double> vertical)
{
    State &s = *state_;
    if (!s.problem.isEmpty())
        return 0;
    const std::size_t m = std::min({north.size(), east.size(), vertical.size()});
    s.buffer[0].insert(s.buffer[0].end(), north.begin(), north.begin() + std::ptrdiff_t(m));
    s.buffer[1].insert(s.buffer[1].end(), east.begin(), east.begin() + std::ptrdiff_t(m));
    s.buffer[2].insert(s.buffer[2].end(), vertical.begin(), vertical.begin() + std::ptrdiff_t(m));
    s.received += m;
    int added = 0;
    const Context &ctx = s.ctx;
    while (s.nextFirst + ctx.windowSamples <= s.received) {
        const std::array<std::span<const double>, 3> x{s.buffer[0], s.buffer[1], s.buffer[2]};
        s.result.windows.push_back(computeWindow(ctx, int(s.result.windows.size()), s.nextFirst, x, s.base, s.scratch));
        s.nextFirst += ctx.stepSamples;
        ++added;
    }
    // Keep only what the next window and its LTA reach back to.
    const std::size_t keepFrom = s.nextFirst > ctx.ltaSamples ? s.nextFirst - ctx.ltaSamples : 0;
    if (keepFrom > s.base && keepFrom - s.base >= ctx.windowSamples) {
        const auto drop = std::ptrdiff_t(keepFrom - s.base);
        for (auto &b : s.buffer)
            b.erase(b.begin(), b.begin() + drop);
        s.base = keepFrom;
    }
    if (added > 0)
        evaluate(s.result);
    return added;
}

const HvResult &HvLiveAnalysis::result() const
{
    return state_->result;
}

std::size_t HvLiveAnalysis::samplesReceived() const
{
    return state_->received;
}

bool HvLiveAnalysis::setManualMark(int index, ManualMark mark)
{
    return sedra::setManualMark(state_->result, index, mark);
}

bool HvLiveAnalysis::reevaluate(const HvOptions &options)
{
    return reevaluateHv(state_->result, options);
}

} // namespace sedra
