// Peaks of H/V curves on a logarithmic frequency grid: the highest peak in a
// band (f0 of a curve), every local peak, and the signs of a peak that an
// industrial machine rather than the ground made.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace sedra {

struct CurvePeak {
    double frequency = 0; // Hz, refined by a parabola through three points in (ln f, A)
    double amplitude = 0;
    std::size_t index = 0; // grid point of the maximum
    bool valid = false;
    bool atBandEdge = false; // no local maximum in the band: the largest value, at its edge
};

// Grid points i with lo <= f[i] <= hi that are local maxima of `curve`
// (greater than the left neighbour, not less than the right one; the ends of
// the grid are not).
std::vector<std::size_t> localMaxima(std::span<const double> f, std::span<const double> curve, double lo, double hi);

// The peak at grid point i, refined.
CurvePeak peakAt(std::span<const double> f, std::span<const double> curve, std::size_t i);

// The highest local maximum with lo <= f <= hi; without one, the largest
// value in the band (atBandEdge). Invalid when the band holds no finite value.
CurvePeak highestPeak(std::span<const double> f, std::span<const double> curve, double lo, double hi);

// Value of `curve` at frequency x by linear interpolation in ln f.
double valueAt(std::span<const double> f, std::span<const double> curve, double x);

struct HvPeak {
    double frequency = 0;
    double amplitude = 0;
    bool isF0 = false; // the highest one, the f0 of the curve
    // Amplitude over the lowest value of the curve within twice the
    // smoothing window's reach on either side (1.0x: a ripple).
    double prominence = 0;
    // Half-height width over the smoothing window's own half-height width
    // (both in log f); a spike narrower than the smoothing comes out at 1.
    double relativeWidth = 0;
    bool narrow = false; // relativeWidth <= 1.3
    bool onVertical = false; // the vertical spectrum peaks there too
    bool inEveryWindow = false; // every kept window has a local maximum there
    bool industrial = false; // all three: likely a machine, not the ground
};

// Every local peak of `mean` within [lo, hi], with the industrial signs
// worked out from the mean vertical spectrum and the kept windows' curves,
// for Konno-Ohmachi smoothing coefficient b.
std::vector<HvPeak> findHvPeaks(std::span<const double> f, std::span<const double> mean,
                                std::span<const double> meanVertical,
                                const std::vector<std::span<const double>> &windowCurves, double b, double lo,
                                double hi);

// The amplitude a peak needs to be listed for a reader beside f0 (that of
// the clear-peak criterion A0 > 2); lower peaks are ripples of the curve.
inline constexpr double kListedPeakAmplitude = 2.0;

// The peaks worth listing to a reader, in their order: f0, every peak whose
// amplitude reaches kListedPeakAmplitude and every one flagged industrial.
// `leftOut` (when given) receives how many were not listed. Machine-readable
// outputs keep every peak.
std::vector<HvPeak> listedPeaks(const std::vector<HvPeak> &peaks, std::size_t *leftOut = nullptr);

} // namespace sedra
