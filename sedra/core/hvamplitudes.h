// One window of a record made ready for its spectrum (linear trend removed,
// Tukey taper) and its one-sided amplitude spectrum through FFTW, for any
// length. Plans are made once per length and shared; making one is guarded,
// running them is safe from any thread.
#pragma once

#include <complex>
#include <cstddef>
#include <mutex>
#include <span>
#include <vector>

namespace sedra {

// FFTW's planner is not thread-safe: any other code of the program that
// makes FFTW plans holds this mutex while it does.
std::mutex &fftwPlannerMutex();

// Removes the least-squares straight line from `x`.
void removeLinearTrend(std::span<double> x);

// Multiplies `x` by a Tukey window whose tapered part (both ends together)
// is `alpha` of its length: 0 leaves it unchanged, 1 is a Hann window.
void applyTukeyTaper(std::span<double> x, double alpha);

// Complex spectrum X[k] = sum x[j] exp(-2 pi i jk/n), k = 0..n/2 (n/2+1
// values), of the real samples `x`, scaled by `scale` (the sample interval
// gives the continuous amplitude). `out` is resized.
void realSpectrum(std::span<const double> x, double scale, std::vector<std::complex<double>> &out);

// Amplitudes |X[k]| of the same transform.
void amplitudeSpectrum(std::span<const double> x, double scale, std::vector<double> &out);

} // namespace sedra
