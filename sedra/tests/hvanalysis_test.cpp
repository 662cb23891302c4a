// The H/V analysis: smoothing, spectra, combinations, rejection with its
// reasons and hand marks, f0 on records with a known resonance, the SESAME
// thresholds, the depth, and the live update against the whole-record run.

#include "hvtestrecord.h"

#include "sedra/core/hvanalysis.h"
#include "sedra/core/hvcombine.h"
#include "sedra/core/hvamplitudes.h"
#include "sedra/core/konnoohmachi.h"
#include "sedra/core/sesame.h"
#include "sedra/core/stiffdepth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace {

using sedra::HvOptions;
using sedra::ManualMark;

std::set<int> antiTriggered(const sedra::HvResult &r)
{
    std::set<int> out;
    for (const auto &w : r.windows)
        if (w.antiTrigger[0] || w.antiTrigger[1] || w.antiTrigger[2])
            out.insert(w.index);
    return out;
}

TEST(KonnoOhmachi, WeightAtOneOverBDecadeAndFlatSpectrumStaysFlat)
{
    const double b = 40, fc = 3.0;
    EXPECT_NEAR(sedra::konnoOhmachiWeight(fc * std::pow(10.0, 1.0 / b), fc, b), std::pow(std::sin(1.0), 4), 1e-12);
    EXPECT_NEAR(std::pow(std::sin(1.0), 4), 0.50137, 1e-5);
    EXPECT_EQ(sedra::konnoOhmachiWeight(fc, fc, b), 1.0);
    EXPECT_NEAR(sedra::konnoOhmachiWeight(fc / std::pow(10.0, 1.0 / b), fc, b), 0.50137, 1e-5);
    EXPECT_EQ(sedra::konnoOhmachiWeight(fc * std::pow(10.0, 3.2 / b), fc, b), 0.0);

    // 60 s windows at 100 Hz, the default grid.
    const auto grid = sedra::logFrequencyGrid(0.2, 20.0, 200);
    ASSERT_EQ(grid.size(), 200u);
    EXPECT_DOUBLE_EQ(grid.front(), 0.2);
    EXPECT_DOUBLE_EQ(grid.back(), 20.0);
    EXPECT_NEAR(grid[1] / grid[0], grid[199] / grid[198], 1e-12);
    const sedra::KonnoOhmachiSmoother s(grid, 1.0 / 60, 3001, b);
    const std::vector<double> flat(3001, 2.5);
    for (double v : s.smooth(flat))
        EXPECT_NEAR(v, 2.5, 1e-12);
    // A line spectrum: the smoothed value at the line's frequency is the
    // weighted mean, dominated by it but below it.
    std::vector<double> spike(3001, 1.0);
    spike[300] = 100; // 5 Hz
    const auto sm = s.smooth(spike);
    const auto at5 = std::size_t(std::lround(std::log(5.0 / 0.2) / std::log(grid[1] / grid[0])));
    EXPECT_GT(sm[at5], 1.5);
    EXPECT_LT(sm[at5], 100);
    EXPECT_NEAR(sm[0], 1.0, 1e-12);
}

TEST(HvSpectrum, AnyLengthAndTrendRemoval)
{
    // 6000 points (not a power of two): a cosine on line 120 has amplitude n/2.
    const std::size_t n = 6000;
    std::vector<double> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = 3.0 * std::cos(2 * std::numbers::pi * 120.0 * double(i) / double(n)) + 5.0 + 0.01 * double(i);
    std::vector<double> y = x;
    sedra::removeLinearTrend(y);
    std::vector<double> a;
    sedra::amplitudeSpectrum(y, 1.0, a);
    ASSERT_EQ(a.size(), n / 2 + 1);
    EXPECT_NEAR(a[120], 3.0 * double(n) / 2, 1e-6 * double(n));
    EXPECT_LT(a[0], 1e-6 * double(n));
    EXPECT_LT(a[3], 1e-3 * double(n)); // the trend's leakage is gone
    // Taper: ends at zero, the middle untouched.
    std::vector<double> ones(1001, 1.0);
    sedra::applyTukeyTaper(ones, 0.1);
    EXPECT_NEAR(ones.front(), 0.0, 1e-15);
    EXPECT_NEAR(ones.back(), 0.0, 1e-15);
    EXPECT_EQ(ones[500], 1.0);
    EXPECT_EQ(ones[100], 1.0);
    EXPECT_LT(ones[20], 1.0);
}

TEST(HvCombine, ModesRotationAndRotD50)
{
    using C = std::complex<double>;
    const std::vector<C> n{C(3, 4), C(1, 0), C(0, 2)}, e{C(0, 1), C(0, 3), C(1, 1)};
    std::vector<double> out;
    sedra::combineHorizontals(sedra::HorizontalCombine::Geometric, n, e, 0, 3, out);
    EXPECT_NEAR(out[0], std::sqrt(5.0 * 1.0), 1e-12);
    sedra::combineHorizontals(sedra::HorizontalCombine::Squared, n, e, 0, 3, out);
    EXPECT_NEAR(out[1], std::sqrt(0.5 * (1 + 9)), 1e-12);
    sedra::combineHorizontals(sedra::HorizontalCombine::Arithmetic, n, e, 0, 3, out);
    EXPECT_NEAR(out[1], 2.0, 1e-12);
    sedra::combineHorizontals(sedra::HorizontalCombine::Energy, n, e, 0, 3, out);
    EXPECT_NEAR(out[1], std::sqrt(10.0), 1e-12);
    sedra::combineHorizontals(sedra::HorizontalCombine::Max, n, e, 1, 3, out);
    EXPECT_EQ(out[0], 0.0); // outside the lines asked for
    EXPECT_NEAR(out[1], 3.0, 1e-12);
    sedra::combineHorizontals(sedra::HorizontalCombine::Azimuth, n, e, 0, 3, out, 90.0);
    EXPECT_NEAR(out[2], std::sqrt(2.0), 1e-12); // east alone

    // RotD50 does not depend on how the sensor was turned: rotating both
    // components by a whole number of degrees gives the same value.
    auto rotated = [](const std::vector<C> &a, const std::vector<C> &b, double deg, bool north) {
        const double t = deg * std::numbers::pi / 180;
        std::vector<C> r(a.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            r[i] = north ? a[i] * std::cos(t) + b[i] * std::sin(t) : -a[i] * std::sin(t) + b[i] * std::cos(t);
        return r;
    };
    std::vector<double> d0, d30;
    sedra::combineHorizontals(sedra::HorizontalCombine::RotD50, n, e, 0, 3, d0);
    sedra::combineHorizontals(sedra::HorizontalCombine::RotD50, rotated(n, e, 30, true), rotated(n, e, 30, false), 0, 3,
                              d30);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(d0[i], d30[i], 1e-9);
    // Linear motion along north: half the directions see more than
    // |cos 45 deg| of it, so the median lies at that cosine.
    const std::vector<C> lin{C(2, 0)}, none{C(0, 0)};
    sedra::combineHorizontals(sedra::HorizontalCombine::RotD50, lin, none, 0, 1, out);
    EXPECT_NEAR(out[0], 2.0 * std::cos(std::numbers::pi / 4), 0.02);

    // Rotating the samples equals rotating the spectra.
    std::vector<double> tn{1, 2, -1, 0.5}, te{0, -3, 2, 1}, th(4);
    sedra::rotateHorizontal(tn, te, 30, th);
    std::vector<C> sn, se;
    sedra::realSpectrum(tn, 1, sn);
    sedra::realSpectrum(te, 1, se);
    std::vector<double> ah, fromSpectra;
    sedra::amplitudeSpectrum(th, 1, ah);
    sedra::combineHorizontals(sedra::HorizontalCombine::Azimuth, sn, se, 0, 3, fromSpectra, 30);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(ah[i], fromSpectra[i], 1e-12);
}

class HvRecord : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        hvtest::RecordSpec s;
        s.burstWindows = {3, 11, 24};
        record_ = new sedra::ThreeComponentRecord(hvtest::makeRecord(s));
    }
    static void TearDownTestSuite()
    {
        delete record_;
        record_ = nullptr;
    }
    static sedra::ThreeComponentRecord *record_;
};

sedra::ThreeComponentRecord *HvRecord::record_ = nullptr;

TEST_F(HvRecord, KnownResonanceAndExactlyTheBurstWindowsRejected)
{
    for (auto mode : {sedra::AntiTriggerMode::Fixed, sedra::AntiTriggerMode::Adaptive}) {
        HvOptions o;
        o.antiTrigger = mode;
        const auto r = sedra::analyseHv(*record_, o);
        ASSERT_TRUE(r.ok()) << r.error.toStdString();
        ASSERT_EQ(r.windows.size(), 30u);
        EXPECT_EQ(antiTriggered(r), (std::set<int>{3, 11, 24})) << sedra::antiTriggerName(mode).toStdString();
        // Bursts are on all three components and the reason says so.
        EXPECT_EQ(sedra::rejectionKeys(r.windows[11]), QStringList{QStringLiteral("antitrigger:N,E,Z")});
        EXPECT_TRUE(sedra::rejectionText(r.windows[11]).contains(QStringLiteral("N、E、Z")));
        for (int i : {3, 11, 24})
            EXPECT_FALSE(r.windows[std::size_t(i)].used);

        EXPECT_NEAR(r.f0, 2.0, 0.05 * 2.0);
        EXPECT_NEAR(r.f0Windows.median, 2.0, 0.05 * 2.0);
        EXPECT_NEAR(r.t0, 1.0 / r.f0, 1e-12);
        EXPECT_NEAR(r.f0Windows.t0Median, 1.0 / r.f0Windows.median, 1e-12);
        EXPECT_GT(r.f0Windows.sigmaLn, 0.0);
        EXPECT_LT(r.f0Windows.sigmaLn, 0.2);
        EXPECT_NEAR(r.a0, 4.0, 1.0);
        // The mean curve drops back towards 1 well away from the resonance.
        EXPECT_LT(sedra::valueAt(r.frequencies, r.mean, 15.0), 1.5);
        // f0 is the highest of the peaks listed, and a broad resonance is
        // not taken for a machine.
        const auto f0peak = std::find_if(r.peaks.begin(), r.peaks.end(), [](const auto &p) { return p.isF0; });
        ASSERT_NE(f0peak, r.peaks.end());
        EXPECT_NEAR(f0peak->frequency, r.f0, 1e-12);
        EXPECT_TRUE(std::none_of(r.peaks.begin(), r.peaks.end(), [](const auto &p) { return p.industrial; }));
        EXPECT_GT(f0peak->relativeWidth, 1.3);
        EXPECT_TRUE(r.sesame.isReliable);
        EXPECT_TRUE(r.sesame.clear[2].pass); // A0 > 2
    }
}

TEST(HvAntiTrigger, AdaptiveBandWidensForUrbanNoiseOnly)
{
    // Events every 11 s in every window: the fixed band rejects most
    // windows, the adaptive one only the two with strong bursts.
    hvtest::RecordSpec s;
    s.seconds = 1200;
    s.urbanEvery = 11;
    s.urbanFactor = 4;
    s.burstWindows = {4, 9};
    s.burstFactor = 20;
    const auto rec = hvtest::makeRecord(s);
    HvOptions o;
    o.fdwraN.reset();
    o.antiTrigger = sedra::AntiTriggerMode::Fixed;
    auto r = sedra::analyseHv(rec, o);
    ASSERT_TRUE(r.ok());
    EXPECT_GE(antiTriggered(r).size(), 8u);
    o.antiTrigger = sedra::AntiTriggerMode::Adaptive;
    ASSERT_TRUE(sedra::reevaluateHv(r, o));
    EXPECT_EQ(antiTriggered(r), (std::set<int>{4, 9}));
    EXPECT_GT(r.staLtaBands[0].max, 2.5);
    EXPECT_LE(r.staLtaBands[0].min, 0.2);
    // Adaptive never narrows the band: on quiet noise it is the fixed one.
    hvtest::RecordSpec calm;
    calm.seconds = 600;
    const auto quiet = sedra::analyseHv(hvtest::makeRecord(calm), o);
    EXPECT_EQ(quiet.staLtaBands[2].max, 2.5);
    EXPECT_EQ(quiet.staLtaBands[2].min, 0.2);
}

TEST_F(HvRecord, FrequencyDomainRejectionDropsWindowsPeakingElsewhere)
{
    hvtest::RecordSpec s;
    s.seconds = 1200;
    s.burstWindows = {5};
    s.shiftedWindows = {2, 13};
    const auto rec = hvtest::makeRecord(s);
    HvOptions o;
    auto r = sedra::analyseHv(rec, o);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.windows[2].fdwra);
    EXPECT_TRUE(r.windows[13].fdwra);
    EXPECT_EQ(sedra::rejectionKeys(r.windows[2]), QStringList{QStringLiteral("fdwra")});
    EXPECT_FALSE(r.windows[5].fdwra); // already out: not part of the statistics
    EXPECT_TRUE(r.fdwraConverged);
    EXPECT_GE(r.fdwraIterations, 2);
    for (const auto &w : r.windows)
        if (w.used) {
            EXPECT_TRUE(w.peak.frequency >= r.fdwraLower && w.peak.frequency <= r.fdwraUpper);
        }
    EXPECT_NEAR(r.f0, 2.0, 0.1);

    // Switched off, the shifted windows stay and widen the window statistics.
    o.fdwraN.reset();
    ASSERT_TRUE(sedra::reevaluateHv(r, o));
    EXPECT_TRUE(r.windows[2].used);
    EXPECT_FALSE(r.windows[13].fdwra);
    EXPECT_GT(r.f0Windows.sigmaLn, 0.3);
}

TEST_F(HvRecord, HandMarksSurviveEveryReevaluation)
{
    HvOptions o;
    o.antiTrigger = sedra::AntiTriggerMode::Fixed;
    std::vector<ManualMark> marks(31, ManualMark::None);
    marks[7] = ManualMark::Reject;
    marks[30] = ManualMark::Reject; // no such window
    auto r = sedra::analyseHv(*record_, o, marks);
    ASSERT_TRUE(r.ok());
    EXPECT_FALSE(r.windows[7].used);
    EXPECT_EQ(sedra::rejectionKeys(r.windows[7]), QStringList{QStringLiteral("manual")});
    EXPECT_EQ(r.ignoredManualMarks, 1);
    EXPECT_EQ(r.warnings.size(), 1);

    // Keep a burst window by hand: used, and its text still gives what the
    // automatic rejection found.
    ASSERT_TRUE(sedra::setManualMark(r, 11, ManualMark::Keep));
    EXPECT_TRUE(r.windows[11].used);
    EXPECT_TRUE(sedra::rejectionText(r.windows[11]).startsWith(QStringLiteral("手动保留")));

    // Another ratio band, then the adaptive mode, then no anti-trigger: the
    // marks stay, only the automatic masks change.
    o.ratioMax = 100;
    ASSERT_TRUE(sedra::reevaluateHv(r, o));
    EXPECT_TRUE(antiTriggered(r).empty());
    EXPECT_FALSE(r.windows[7].used);
    EXPECT_EQ(r.windows[7].manual, ManualMark::Reject);
    o.antiTrigger = sedra::AntiTriggerMode::Adaptive;
    o.ratioMax = 2.5;
    ASSERT_TRUE(sedra::reevaluateHv(r, o));
    EXPECT_EQ(antiTriggered(r), (std::set<int>{3, 11, 24}));
    EXPECT_TRUE(r.windows[11].used);
    EXPECT_FALSE(r.windows[3].used);
    EXPECT_FALSE(r.windows[7].used);

    // A change that needs new spectra is refused, leaving everything as it was.
    HvOptions other = o;
    other.windowSeconds = 30;
    EXPECT_FALSE(sedra::reevaluateHv(r, other));
    EXPECT_EQ(r.options.windowSeconds, 60);
    EXPECT_EQ(r.windows[7].manual, ManualMark::Reject);
    EXPECT_FALSE(sedra::setManualMark(r, 30, ManualMark::Keep));

    // Analysed again with 30 s windows, the marks follow the time they
    // were set on: 420-480 s rejected, 660-720 s kept.
    const auto halves = sedra::reanalyseHv(*record_, other, r);
    ASSERT_TRUE(halves.ok());
    ASSERT_EQ(halves.windows.size(), 60u);
    std::vector<int> rejectedByHand, keptByHand;
    for (const auto &w : halves.windows) {
        if (w.manual == ManualMark::Reject)
            rejectedByHand.push_back(w.index);
        if (w.manual == ManualMark::Keep)
            keptByHand.push_back(w.index);
    }
    EXPECT_EQ(rejectedByHand, (std::vector<int>{14, 15}));
    EXPECT_EQ(keptByHand, (std::vector<int>{22, 23}));
    EXPECT_FALSE(halves.windows[14].used);
    EXPECT_TRUE(halves.windows[22].used);
    EXPECT_EQ(sedra::manualMarks(sedra::reanalyseHv(*record_, o, r)), sedra::manualMarks(r));

    // Clearing the mark brings the window back.
    ASSERT_TRUE(sedra::setManualMark(r, 7, ManualMark::None));
    EXPECT_TRUE(r.windows[7].used || r.windows[7].fdwra);
}

TEST_F(HvRecord, LiveUpdateMatchesTheWholeRecordAndKeepsMarks)
{
    HvOptions o;
    o.overlap = 0.25;
    const auto whole = sedra::analyseHv(*record_, o);
    ASSERT_TRUE(whole.ok());
    sedra::HvLiveAnalysis live(record_->sampleInterval, o);
    ASSERT_TRUE(live.problem().isEmpty());
    const std::size_t n = record_->sampleCount(), block = 777;
    int windows = 0;
    for (std::size_t at = 0; at < n; at += block) {
        const std::size_t m = std::min(block, n - at);
        const auto part
            = [&](int c) { return std::span<const double>(record_->components[std::size_t(c)]).subspan(at, m); };
        windows += live.append(part(0), part(1), part(2));
        if (live.result().windows.size() == 1) {
            EXPECT_FALSE(sedra::hvDataSufficient(live.result()));
        }
        if (live.result().windows.size() == 2)
            live.setManualMark(1, ManualMark::Reject);
    }
    const auto &r = live.result();
    EXPECT_EQ(windows, int(whole.windows.size()));
    ASSERT_EQ(r.windows.size(), whole.windows.size());
    EXPECT_EQ(r.windows[1].manual, ManualMark::Reject);
    EXPECT_FALSE(r.windows[1].used);
    for (std::size_t i = 0; i < r.windows.size(); ++i) {
        EXPECT_EQ(r.windows[i].firstSample, whole.windows[i].firstSample);
        EXPECT_EQ(r.windows[i].antiTrigger, whole.windows[i].antiTrigger) << i;
        EXPECT_DOUBLE_EQ(r.windows[i].staLta[2].max, whole.windows[i].staLta[2].max) << i;
        EXPECT_DOUBLE_EQ(r.windows[i].hv[50], whole.windows[i].hv[50]) << i;
    }
    auto same = whole;
    sedra::setManualMark(same, 1, ManualMark::Reject);
    EXPECT_DOUBLE_EQ(r.f0, same.f0);
    EXPECT_EQ(r.rejectedIndices(), same.rejectedIndices());
    EXPECT_TRUE(sedra::hvDataSufficient(r));
}

TEST(HvAnalysis, MachineLineIsFlaggedIndustrial)
{
    // A sinusoid on every component, stronger on the horizontals, on a line
    // of the 60 s windows: narrow, on the vertical too, in every window.
    hvtest::RecordSpec s;
    s.seconds = 600;
    auto rec = hvtest::makeRecord(s);
    for (std::size_t i = 0; i < rec.sampleCount(); ++i) {
        const double v = std::sin(2 * std::numbers::pi * 12.5 * double(i) * rec.sampleInterval + 0.3);
        rec.components[0][i] += 1.5 * v;
        rec.components[1][i] += 1.5 * v;
        rec.components[2][i] += 0.5 * v;
    }
    const auto r = sedra::analyseHv(rec, HvOptions{});
    ASSERT_TRUE(r.ok());
    int industrial = 0;
    for (const auto &p : r.peaks) {
        if (!p.industrial)
            continue;
        ++industrial;
        EXPECT_NEAR(p.frequency, 12.5, 0.2);
        EXPECT_GT(p.prominence, 1.2);
    }
    EXPECT_EQ(industrial, 1);
    EXPECT_NEAR(r.f0, 2.0, 0.1); // the resonance stays f0
}

TEST(HvAnalysis, RefusesWhatCannotBeAnalysed)
{
    hvtest::RecordSpec s;
    s.seconds = 100;
    auto rec = hvtest::makeRecord(s);
    HvOptions o;
    o.windowSeconds = 120;
    EXPECT_TRUE(sedra::analyseHv(rec, o).error.contains(QStringLiteral("短于一个窗口")));
    o.windowSeconds = 20;
    o.fmax = 50; // the Nyquist frequency at 100 Hz
    EXPECT_TRUE(sedra::analyseHv(rec, o).error.contains(QStringLiteral("奈奎斯特")));
    o.fmax = 20;
    o.fmin = 0.01; // no line of a 20 s window within its smoothing window
    EXPECT_FALSE(sedra::analyseHv(rec, o).ok());
    o.fmin = 0.5;
    auto shorter = rec;
    shorter.components[2].pop_back();
    EXPECT_FALSE(sedra::analyseHv(shorter, o).ok());
    HvOptions bad;
    bad.windowSeconds = -1;
    sedra::HvLiveAnalysis live(0.01, bad);
    EXPECT_FALSE(live.problem().isEmpty());
    EXPECT_EQ(live.append(rec.components[0], rec.components[1], rec.components[2]), 0);

    // A window with a non-finite sample or a dead vertical is left out with
    // its reason; the others are analysed.
    rec.components[0][250] = std::nan("");
    std::fill(rec.components[2].begin() + 4000, rec.components[2].begin() + 6000, 0.0);
    const auto r = sedra::analyseHv(rec, o);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.windows.size(), 5u);
    EXPECT_TRUE(r.windows[0].invalid);
    EXPECT_TRUE(r.windows[2].invalid);
    EXPECT_EQ(sedra::rejectionKeys(r.windows[2]), QStringList{QStringLiteral("invalid")});
    EXPECT_FALSE(r.windows[1].invalid);
    EXPECT_TRUE(std::isfinite(r.f0));
}

// A curve peaking at f0 with amplitude a0 (a Gaussian in ln f over a floor
// of 1) and a constant sigma_ln, on the default grid.
struct SesameCase {
    std::vector<double> f = sedra::logFrequencyGrid(0.2, 20, 200);
    std::vector<double> mean, sigma;
    sedra::SesameInput in;
    SesameCase(double f0, double a0, double sigmaLn, double widthLn = 0.3)
    {
        for (double x : f) {
            const double d = std::log(x / f0) / widthLn;
            mean.push_back(1 + (a0 - 1) * std::exp(-0.5 * d * d));
            sigma.push_back(sigmaLn);
        }
        in.f0 = f0;
        in.a0 = a0;
        in.windowSeconds = 60;
        in.windowsUsed = 20;
        in.sigmaF = 0.01 * f0;
        in.frequencies = f;
        in.mean = mean;
        in.sigmaLn = sigma;
        in.bandLow = 0.2;
        in.bandHigh = 20;
    }
};

TEST(Sesame, ThresholdsAndEachSideOfThem)
{
    EXPECT_DOUBLE_EQ(sedra::sesameEpsilon(0.1), 0.025);
    EXPECT_DOUBLE_EQ(sedra::sesameEpsilon(0.3), 0.06);
    EXPECT_DOUBLE_EQ(sedra::sesameEpsilon(0.5), 0.075);
    EXPECT_DOUBLE_EQ(sedra::sesameEpsilon(1.5), 0.15);
    EXPECT_DOUBLE_EQ(sedra::sesameEpsilon(2.0), 0.1);
    EXPECT_EQ(sedra::sesameTheta(0.19), 3.0);
    EXPECT_EQ(sedra::sesameTheta(0.2), 2.5);
    EXPECT_EQ(sedra::sesameTheta(0.99), 2.0);
    EXPECT_EQ(sedra::sesameTheta(1.0), 1.78);
    EXPECT_EQ(sedra::sesameTheta(2.5), 1.58);

    // sigma_A(f0) against theta(2.5 Hz) = 1.58, and sigma_A over
    // [f0/2, 2 f0] against 2.
    SesameCase in(2.5, 4, std::log(1.57));
    auto r = sedra::sesameCriteria(in.in);
    EXPECT_TRUE(r.clear[5].pass);
    EXPECT_NEAR(r.clear[5].value, 1.57, 1e-9);
    EXPECT_EQ(r.clear[5].threshold, 1.58);
    EXPECT_EQ(r.clearPassed, 6);
    EXPECT_TRUE(r.isClear);
    EXPECT_TRUE(r.isReliable);
    SesameCase worse(2.5, 4, std::log(1.59));
    r = sedra::sesameCriteria(worse.in);
    EXPECT_FALSE(r.clear[5].pass);
    EXPECT_EQ(r.clearPassed, 5);
    EXPECT_TRUE(r.isClear); // five of six suffice
    SesameCase wide(2.5, 4, std::log(2.01));
    EXPECT_FALSE(sedra::sesameCriteria(wide.in).reliable[2].pass);
    SesameCase low(0.4, 4, std::log(2.5)); // below 0.5 Hz the limit is 3
    low.in.windowsUsed = 100;
    r = sedra::sesameCriteria(low.in);
    EXPECT_EQ(r.reliable[2].threshold, 3.0);
    EXPECT_TRUE(r.reliable[2].pass);

    // nc = 60 s x windows x f0 > 200.
    SesameCase nc(1.6, 4, 0.1);
    nc.in.windowsUsed = 2;
    r = sedra::sesameCriteria(nc.in);
    EXPECT_NEAR(r.reliable[1].value, 192, 1e-9);
    EXPECT_FALSE(r.reliable[1].pass);
    EXPECT_FALSE(r.isReliable);
    nc.in.windowsUsed = 3;
    EXPECT_TRUE(sedra::sesameCriteria(nc.in).reliable[1].pass);

    // f0 > 10 / window length.
    SesameCase slow(0.21, 4, 0.1);
    slow.in.windowsUsed = 100;
    slow.in.windowSeconds = 45; // 10/45 = 0.222
    EXPECT_FALSE(sedra::sesameCriteria(slow.in).reliable[0].pass);
    slow.in.windowSeconds = 50;
    EXPECT_TRUE(sedra::sesameCriteria(slow.in).reliable[0].pass);

    // sigma_f against epsilon(1.5 Hz) = 0.15 Hz; A0 against 2.
    SesameCase f15(1.5, 1.95, 0.1);
    f15.in.sigmaF = 0.14;
    r = sedra::sesameCriteria(f15.in);
    EXPECT_TRUE(r.clear[4].pass);
    EXPECT_FALSE(r.clear[2].pass);
    f15.in.sigmaF = 0.16;
    EXPECT_FALSE(sedra::sesameCriteria(f15.in).clear[4].pass);
    SesameCase a2(1.5, 2.05, 0.1);
    EXPECT_TRUE(sedra::sesameCriteria(a2.in).clear[2].pass);

    // A peak too broad to fall to A0/2 within a factor 4 on either side.
    SesameCase broad(2, 4, 0.1, 2.0);
    r = sedra::sesameCriteria(broad.in);
    EXPECT_FALSE(r.clear[0].pass);
    EXPECT_FALSE(r.clear[1].pass);
    EXPECT_EQ(r.clear[0].threshold, 2.0);
}

TEST(StiffDepth, QuarterWavelengthAndPowerLaws)
{
    const auto d = sedra::quarterWavelengthDepth(200, 2, 0.1);
    EXPECT_DOUBLE_EQ(d.h, 25.0);
    EXPECT_NEAR(d.low, 22.62, 0.005);
    EXPECT_NEAR(d.high, 27.63, 0.005);
    const auto both = sedra::quarterWavelengthDepth(200, 2, 0.1, 0.1);
    EXPECT_NEAR(both.sigmaLn, std::sqrt(0.02), 1e-12);
    const auto laws = sedra::publishedPowerLaws();
    ASSERT_EQ(laws.size(), 3u);
    const auto p = sedra::powerLawDepth(laws[0], 1.0, 0.1);
    EXPECT_DOUBLE_EQ(p.h, 96.0);
    EXPECT_NEAR(p.sigmaLn, 0.1388, 1e-12);
    EXPECT_NEAR(sedra::powerLawDepth(laws[2], 2.0, 0).h, 108.0 * std::pow(2.0, -1.551), 1e-9);
}

} // namespace
