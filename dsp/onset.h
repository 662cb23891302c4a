// Steps for timing the onset of a wave in a sampled trace: an STA/LTA
// detector, the Akaike change point, a whitening filter fitted to noise, a
// least-squares fit of the onset of a rise, the lobes between zero crossings
// and the correlation of two traces.
//
// Every routine reads float samples through a span and allocates its own
// work space. Positions and window lengths are sample indices and counts
// [samples]; a range [from, to) excludes `to` unless said otherwise. Out of
// range windows are clamped to the trace. No routine changes its input.
#pragma once

#include <span>

namespace dsp {

// The largest ratio of the mean energy of x over [i, i + shortWindow) to that
// over [max(0, i - longWindow), i), at the sample i where it occurs.
// Only samples whose short-window energy is at least a twentieth of the
// largest count, so that a quiet stretch after a quieter one is not taken
// for the onset of the strongest event.
//
//  x           : trace
//  shortWindow : [samples], >= 1
//  longWindow  : [samples], > shortWindow
struct StaLtaOnset {
    int sample = -1; // -1 when the trace is shorter than two short windows
    double ratio = 0.0; // dimensionless
};
StaLtaOnset StaLtaPeak(std::span<const float> x, int shortWindow, int longWindow);

// The Akaike change point of x over [from, to): the k minimising
// (k - from) ln var(x[from, k)) + (to - k) ln var(x[k, to)), the sample at
// which x turns from one variance to another. Returns the middle of the
// range when it holds fewer than 5 samples.
//
//  from, to : [samples], 0 <= from < to <= x.size()
int AicChangePoint(std::span<const float> x, int from, int to);

// A prediction-error filter y[t] = x[t] - a1 x[t-1] - a2 x[t-2] whose
// coefficients solve the Yule-Walker equations of an order-two
// autoregression fitted to x over [from, to): applied to noise like that
// stretch it leaves it close to white. Zero coefficients (no change) when the
// stretch holds fewer than 32 samples, is constant, or the fitted filter's
// inverse would not be stable.
//
//  from, to : [samples]
struct Whitening {
    double a1 = 0.0; // dimensionless
    double a2 = 0.0; // dimensionless
};
Whitening FitWhitening(std::span<const float> x, int from, int to);

// How many times the variance of a mean of x's samples over [from, to)
// exceeds that of white noise, from the lag-one autocorrelation rho:
// (1 + rho) / (1 - rho), clamped to 1...24 (rho to 0...0.92).
double CorrelationGain(std::span<const float> x, int from, int to);

// The onset t0 of a wave that is zero before t0 and then rises, found by
// least squares over the fixed window [from, to] (both included) for every
// candidate t0 in [first, last], data and model through the same whitening:
enum class RiseModel {
    Straight, // c1 (t - t0)+ on a level and slope of the background (or less, see Background)
    Curved, // c1 (t - t0)+ + c2 (t - t0)+^2
    Lobe, // c1 s(t) + c2 s(t) (t - t0) / L, s = sin(pi (t - t0) / L) from t0 to `to` (L = to - t0),
          // on a level and slope of the background: a half cycle whose amplitude grows or fades
};
struct OnsetFit {
    int t0 = -1; // [samples], the best candidate; -1 when none fits
    double exact = 0.0; // [samples], t0 between candidates from a parabola through the residuals
    // [samples] half the span of candidates whose residual exceeds the best
    // by less than the noise variance times `correlationGain`, plus 0.5.
    double halfWidth = 0.0;
    double residual = 0.0; // sum of squares of the whitened residual at t0, in x's units squared
    double variance = 0.0; // residual / (window samples - coefficients): the noise variance the fit leaves
    int coefficients = 0; // linear coefficients of the model (rise and background)
    int samples = 0; // samples in the fit window
    // [x's units per sample] the fitted rise's slope just after t0, signed;
    // 0 when none fits.
    double slope = 0.0;
};
// What of the background a Straight rise sits on: no background, a level,
// or a level and a slope. The Curved model has none, the Lobe model both.
enum class Background { None = 0, Level = 1, LevelAndSlope = 2 };
//  x               : trace
//  from, to        : fit window [samples], 2 <= from (raised to 2), to < x.size()
//  first, last     : candidate onsets [samples], clamped to [from, to - 3]
//  polarity        : +1 or -1, the sign the rise must have (a fit rising the
//                    other way is no candidate)
//  white           : whitening of the noise (FitWhitening); {} for white noise
//  correlationGain : >= 1, widens the span for noise the whitening leaves correlated
//  background      : for the Straight model, the background terms fitted beside the rise
// The search evaluates every (last - first) / 16-th candidate and then each
// one around the best of those: the residual changes smoothly with t0.
OnsetFit FitOnset(std::span<const float> x, int from, int to, int first, int last, float polarity, RiseModel model,
                  const Whitening &white = {}, double correlationGain = 1.0,
                  Background background = Background::LevelAndSlope);

// How far noise like x over [from, to) moves the onset of a rise of `slope`
// (x's units per sample) fitted over a flank of `length` samples [samples,
// one standard deviation]: noise that holds an offset over the flank shifts
// the fitted onset by offset / slope, so this is the RMS of the mean of
// `length` consecutive samples of the stretch (its mean removed) over
// |slope|. White noise averages out over a long flank; noise in the wave's
// own band does not, and no whitening of the fit removes that error.
// Infinity when slope is 0 or not finite, 0 when the stretch holds fewer
// than `length` + 1 samples.
//  length : [samples], >= 1
double NoiseTimingError(std::span<const float> x, int from, int to, int length, double slope);

// The lobe of x holding sample `at`: the samples around it of the same sign
// (a zero sample ends a positive lobe), their largest magnitude and sign.
struct Lobe {
    int start = 0; // [samples] first sample of the lobe
    int end = 0; // [samples] first sample past it
    float peak = 0.0f; // largest |x| in the lobe, in x's units
    float sign = 1.0f; // +1 or -1
};
//  at : [samples], 0 <= at < x.size()
Lobe LobeAt(std::span<const float> x, int at);

// The correlation coefficient of a and b over [from, to), -1...1, without
// removing their means; 0 when either is zero there.
double Correlation(std::span<const float> a, std::span<const float> b, int from, int to);

} // namespace dsp
