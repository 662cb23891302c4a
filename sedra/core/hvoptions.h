// Settings of the H/V spectral-ratio analysis: windows, spectra, how the two
// horizontals are combined, smoothing, window rejection, the peak band and
// the depth estimate. Defaults are those of the command line.
#pragma once

#include <QString>
#include <optional>

namespace sedra {

// How the north and east amplitude spectra become one horizontal spectrum.
enum class HorizontalCombine {
    Geometric, // sqrt(|N| |E|)
    Squared, // quadratic mean sqrt((|N|^2 + |E|^2) / 2)
    Arithmetic, // (|N| + |E|) / 2
    Energy, // total energy sqrt(|N|^2 + |E|^2)
    Max, // the larger of |N| and |E| at each frequency
    Azimuth, // one direction: N cos(az) + E sin(az), rotated in time
    RotD50, // median over the directions 0..179 deg of the rotated spectrum
};

enum class AntiTriggerMode {
    Off,
    Fixed, // the ratio band as given
    Adaptive, // the band widened to the record's own spread of STA/LTA
};

struct HvOptions {
    // Windows.
    double windowSeconds = 60.0;
    double overlap = 0.0; // fraction of a window shared with the next, 0 <= overlap < 1
    double taper = 0.1; // Tukey taper: fraction of the window that is tapered (both ends together)

    // Horizontals.
    HorizontalCombine combine = HorizontalCombine::Geometric;
    double azimuthDegrees = 0.0; // clockwise from north, for HorizontalCombine::Azimuth

    // Konno-Ohmachi smoothing on a logarithmic grid.
    double smoothing = 40.0; // bandwidth coefficient b
    int points = 200;
    double fmin = 0.2; // Hz
    double fmax = 20.0; // Hz

    // STA/LTA anti-trigger on all three components.
    AntiTriggerMode antiTrigger = AntiTriggerMode::Adaptive;
    double staSeconds = 1.0;
    double ltaSeconds = 30.0;
    double ratioMin = 0.2;
    double ratioMax = 2.5;

    // Frequency-domain window rejection: windows whose peak lies outside
    // exp(mean ln f0 +- n sigma_ln); no value switches it off.
    std::optional<double> fdwraN = 2.0;

    // Band in which f0 and the peaks are searched (Hz); no value means the
    // whole grid.
    std::optional<double> peakMin;
    std::optional<double> peakMax;

    // Depth to the stiff layer, when a shear-wave velocity is known.
    std::optional<double> vs; // m/s
    double vsSigmaLn = 0.0;
    // Index into publishedPowerLaws() (stiffdepth.h), or none.
    std::optional<int> powerLaw;
};

// Names used by the command line and the saved settings
// ("geometric", "squared", "arithmetic", "energy", "max", "azimuth", "rotd50";
// "off", "fixed", "adaptive").
QString combineName(HorizontalCombine c);
std::optional<HorizontalCombine> combineFromName(const QString &name);
QString antiTriggerName(AntiTriggerMode m);
std::optional<AntiTriggerMode> antiTriggerFromName(const QString &name);

// Why a set of options cannot be used for a record sampled at `sampleInterval`
// seconds, in the program's language; empty when they can.
QString hvOptionsProblem(const HvOptions &o, double sampleInterval);

} // namespace sedra
