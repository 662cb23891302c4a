// The H/V spectral-ratio analysis of a three-component record: windows,
// spectra, combined horizontals, Konno-Ohmachi smoothing, window rejection
// (anti-trigger, frequency domain, by hand), f0 of the mean curve and of the
// windows, peaks, the SESAME criteria and the depth to the stiff layer.
//
// analyseHv() does it all for a record. The spectral work per window is
// kept in the result, so a change of the rejection (a window toggled by
// hand, another ratio band, another peak band, a velocity) is re-evaluated
// by reevaluateHv() without new spectra. HvLiveAnalysis does the same while
// a record grows, one window at a time.
#pragma once

#include "sedra/core/antitrigger.h"
#include "sedra/core/hvoptions.h"
#include "sedra/core/hvpeaks.h"
#include "sedra/core/sesame.h"
#include "sedra/core/stiffdepth.h"
#include "sedra/core/threecomponent.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace sedra {

// A window toggled by hand: rejected although the automatic rejection keeps
// it, or kept although it rejects it. Marks are never changed by the
// analysis itself.
enum class ManualMark : std::uint8_t { None, Reject, Keep };

struct HvWindow {
    int index = 0; // 0-based from the start of the record
    std::size_t firstSample = 0;
    double startSeconds = 0;
    // Smoothed on the frequency grid: combined horizontal, vertical, H/V.
    std::vector<double> horizontal, vertical, hv;
    CurvePeak peak; // highest H/V peak inside the peak band
    std::array<StaLtaRange, 3> staLta; // N, E, Z
    // Samples not finite or a component without any motion: no H/V at all.
    bool invalid = false;

    // Verdict, from the last evaluation; the masks are kept apart.
    std::array<bool, 3> antiTrigger{}; // by component N, E, Z
    bool fdwra = false;
    ManualMark manual = ManualMark::None;
    bool used = false;
};

// Why a window is not used, or (for a window kept by hand) what the
// automatic rejection held against it. Keys: "invalid", "antitrigger:N,E,Z"
// (the components concerned), "fdwra", "manual".
QStringList rejectionKeys(const HvWindow &w);
// The same in words for the user, e.g. "STA/LTA 反触发（N、Z 分量）；频域剔除".
QString rejectionText(const HvWindow &w);

struct WindowPeakStatistics {
    int count = 0; // windows used
    double median = 0; // lognormal median exp(mean ln f0_i), Hz
    double sigmaLn = 0; // standard deviation of ln f0_i
    double sigmaHz = 0; // standard deviation of f0_i in Hz (SESAME's sigma_f)
    double t0Median = 0; // 1 / median, s (same sigmaLn)
    double amplitudeMedian = 0; // lognormal median of the windows' peak amplitudes
};

struct HvResult {
    QString error; // why the record could not be analysed; empty when it was
    QStringList warnings; // facts the user must know about a result that stands
    bool ok() const { return error.isEmpty(); }

    HvOptions options;
    double sampleInterval = 0;
    std::size_t windowSamples = 0;
    std::size_t stepSamples = 0;
    std::vector<double> frequencies; // the grid, Hz
    std::vector<HvWindow> windows;

    std::array<StaLtaBand, 3> staLtaBands{}; // band each component was judged by
    int fdwraIterations = 0;
    bool fdwraConverged = true;
    double fdwraLower = 0, fdwraUpper = 0; // final band of window peaks, Hz

    // Over the windows used, frequency by frequency: lognormal mean
    // exp(mean ln A_i), sigma_ln, and the band exp(mean ln A_i +- sigma_ln).
    std::vector<double> mean, sigmaLn, lower, upper;
    std::vector<double> meanHorizontal, meanVertical; // lognormal means of the spectra

    // f0 of the mean curve: its highest peak in the peak band. NaN with no
    // window used. T0 = 1 / f0 carries the windows' sigma_ln.
    double f0 = 0, a0 = 0, t0 = 0;
    bool f0AtBandEdge = false;
    // f0 from the windows' own peaks, reported beside that of the mean curve.
    WindowPeakStatistics f0Windows;

    std::vector<HvPeak> peaks;
    SesameResult sesame;
    std::optional<DepthEstimate> depth; // h = Vs / (4 f0), when Vs is given
    std::optional<DepthEstimate> powerLawDepth; // when a published law is chosen

    int ignoredManualMarks = 0; // marks given for windows the record does not have

    int usedCount() const;
    std::vector<int> rejectedIndices() const;
    double peakBandLow() const { return options.peakMin.value_or(options.fmin); }
    double peakBandHigh() const { return options.peakMax.value_or(options.fmax); }
};

// The whole analysis. `manual` gives marks by window index (missing ones
// are None; marks past the last window are reported in the warnings).
HvResult analyseHv(const ThreeComponentRecord &record, const HvOptions &options,
                   std::span<const ManualMark> manual = {});

// The analysis again with other options, keeping the hand marks of
// `previous` (the same record): with the same windows mark for mark; with
// other windows a new window is rejected by hand where it overlaps a window
// rejected by hand, and kept by hand where it lies wholly within windows
// kept by hand.
HvResult reanalyseHv(const ThreeComponentRecord &record, const HvOptions &options, const HvResult &previous);

// The hand marks of a result, by window index.
std::vector<ManualMark> manualMarks(const HvResult &result);

// Marks window `index` by hand and re-evaluates; false for an index out of
// range.
bool setManualMark(HvResult &result, int index, ManualMark mark);

// Re-runs the rejection and everything after it with `options`. Options
// that change the windows or their spectra (window, overlap, taper,
// combination, azimuth, smoothing, grid, STA and LTA lengths) need a new
// analyseHv(): then nothing is changed and false is returned. Manual marks
// stay as they are.
bool reevaluateHv(HvResult &result, const HvOptions &options);
// Re-runs the rejection with the result's own options.
void reevaluateHv(HvResult &result);

// Enough data to stop recording: the SESAME reliability criteria hold and
// the windows' median f0 is known to within 3 % (sigma_ln / sqrt(n) below
// ln 1.03).
bool hvDataSufficient(const HvResult &result);

// The analysis of a record while it is recorded: samples come in blocks and
// every window completed is analysed at once and the result re-evaluated.
// Gives the same windows and result as analyseHv() on the same samples.
class HvLiveAnalysis {
public:
    HvLiveAnalysis(double sampleInterval, const HvOptions &options);
    ~HvLiveAnalysis();
    HvLiveAnalysis(const HvLiveAnalysis &) = delete;
    HvLiveAnalysis &operator=(const HvLiveAnalysis &) = delete;

    // Why the options cannot be used; the analysis then takes no samples.
    QString problem() const;

    // Appends samples of the three components (the same count each; extra
    // samples of a longer span are ignored). Returns the number of windows
    // completed by them.
    int append(std::span<const double> north, std::span<const double> east, std::span<const double> vertical);

    const HvResult &result() const;
    std::size_t samplesReceived() const;
    bool setManualMark(int index, ManualMark mark);
    bool reevaluate(const HvOptions &options);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace sedra
