// The SESAME (2004) criteria for an H/V curve: three for a reliable curve and
// six for a clear peak, with the thresholds that depend on f0.
#pragma once

#include <array>
#include <span>

namespace sedra {

struct SesameCheck {
    double value = 0;
    double threshold = 0;
    bool pass = false;
};

struct SesameResult {
    // 0: f0 > 10 / window length
    // 1: nc = window length x windows used x f0 > 200
    // 2: max sigma_A(f) over [f0/2, 2 f0] < 2 (f0 > 0.5 Hz) or < 3 (f0 <= 0.5 Hz)
    std::array<SesameCheck, 3> reliable;
    // 0: some f in [f0/4, f0] with A(f) < A0/2 (value: the lowest A there)
    // 1: some f in [f0, 4 f0] with A(f) < A0/2
    // 2: A0 > 2
    // 3: the peaks of A x sigma_A and A / sigma_A within 5 % of f0
    //    (value: the larger relative distance)
    // 4: sigma_f < epsilon(f0)
    // 5: sigma_A(f0) < theta(f0)
    std::array<SesameCheck, 6> clear;
    bool isReliable = false; // all three
    bool isClear = false; // at least five of six
    int clearPassed = 0;
};

// Frequency threshold epsilon(f0) in Hz and amplitude threshold theta(f0):
//   f0 < 0.2: 0.25 f0, 3.0;  0.2-0.5: 0.20 f0, 2.5;  0.5-1: 0.15 f0, 2.0;
//   1-2: 0.10 f0, 1.78;  >= 2: 0.05 f0, 1.58 (a range includes its lower end).
double sesameEpsilon(double f0);
double sesameTheta(double f0);

struct SesameInput {
    double f0 = 0; // of the mean curve, Hz
    double a0 = 0; // its amplitude
    double windowSeconds = 0;
    int windowsUsed = 0;
    double sigmaF = 0; // standard deviation of the windows' peak frequencies, Hz
    std::span<const double> frequencies; // the grid
    std::span<const double> mean; // lognormal mean curve A(f)
    std::span<const double> sigmaLn; // its sigma_ln(f); sigma_A = exp(sigma_ln)
    double bandLow = 0, bandHigh = 0; // where peaks are searched, Hz
};

// A check whose range lies outside the grid (or without f0) fails with a
// NaN value.
SesameResult sesameCriteria(const SesameInput &in);

} // namespace sedra
