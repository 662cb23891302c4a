// Records with a known H/V answer, for the tests: white noise on all three
// components, and on the horizontals white noise through one resonance
// (a band-pass of quality 1/(2 damping) peaking at f0) added so that the
// expected H/V is sqrt(1 + c^2 |B(f)|^2): a0 at f0, 1 far from it. Chosen
// windows get a transient burst (noise several times the usual level for a
// second and a half) or a resonance at another frequency instead; urban
// noise adds short events all through the record.
#pragma once

#include "sedra/core/threecomponent.h"

#include <cmath>
#include <numbers>
#include <random>
#include <set>
#include <vector>

namespace hvtest {

struct RecordSpec {
    double f0 = 2.0;
    double a0 = 4.0;
    double damping = 0.15;
    double dt = 0.01;
    double seconds = 1800;
    double windowSeconds = 60; // for placing the bursts
    std::set<int> burstWindows; // a burst on all three components
    double burstFactor = 6.0; // times the component's noise level
    std::set<int> shiftedWindows; // the resonance at shiftedF0 there instead
    double shiftedF0 = 7.0;
    // Urban noise: short events (half a second, urbanFactor times the noise
    // level) every urbanEvery seconds throughout; 0 for none.
    double urbanEvery = 0;
    double urbanFactor = 3.0;
    unsigned seed = 1;
};

// Standard normal numbers by Box-Muller from the 64-bit Mersenne Twister,
// the same on every standard library (std::normal_distribution is not).
class Gauss {
public:
    explicit Gauss(unsigned seed) : rng_(seed) {}
    double operator()()
    {
        if (spare_) {
            spare_ = false;
            return next_;
        }
        const double u1 = (double(rng_() >> 11) + 1.0) * 0x1.0p-53, u2 = double(rng_() >> 11) * 0x1.0p-53;
        const double r = std::sqrt(-2.0 * std::log(u1)), t = 2.0 * std::numbers::pi * u2;
        next_ = r * std::sin(t);
        spare_ = true;
        return r * std::cos(t);
    }

private:
    std::mt19937_64 rng_;
    double next_ = 0;
    bool spare_ = false;
};

// Band-pass biquad with unit gain at its centre frequency.
class BandPass {
public:
    BandPass(double f0, double q, double dt)
    {
        const double w0 = 2 * std::numbers::pi * f0 * dt, alpha = std::sin(w0) / (2 * q), a0 = 1 + alpha;
        b0_ = alpha / a0;
        a1_ = -2 * std::cos(w0) / a0;
        a2_ = (1 - alpha) / a0;
    }
    double operator()(double x)
    {
        // b1 = 0, b2 = -b0.
        const double y = b0_ * (x - x2_) - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

inline sedra::ThreeComponentRecord makeRecord(const RecordSpec &s)
{
    const auto n = std::size_t(std::llround(s.seconds / s.dt));
    const auto perWindow = std::size_t(std::llround(s.windowSeconds / s.dt));
    Gauss g(s.seed);
    const double q = 1.0 / (2.0 * s.damping);
    // Power gain of the band-pass for white noise is about its bandwidth
    // over the Nyquist band; c is set for the amplitude ratio at f0 only.
    const double c = std::sqrt(s.a0 * s.a0 - 1.0);
    sedra::ThreeComponentRecord r;
    r.sampleInterval = s.dt;
    for (auto &comp : r.components)
        comp.resize(n);
    for (std::size_t k = 0; k < 2; ++k) {
        BandPass main(s.f0, q, s.dt), shifted(s.shiftedF0, q, s.dt);
        for (std::size_t i = 0; i < n; ++i) {
            const double white = g(), driven = g();
            const double a = main(driven), b = shifted(driven);
            const int window = int(i / perWindow);
            r.components[k][i] = white + c * (s.shiftedWindows.count(window) ? b : a);
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        r.components[2][i] = g();
    // The noise level of each component, then the bursts 20 s into their
    // windows.
    for (auto &comp : r.components) {
        double ss = 0;
        for (double v : comp)
            ss += v * v;
        const double level = std::sqrt(ss / double(n));
        if (s.urbanEvery > 0)
            for (double t = 5.0; t + 0.5 < s.seconds; t += s.urbanEvery)
                for (std::size_t i = std::size_t(t / s.dt); i < std::size_t((t + 0.5) / s.dt); ++i)
                    comp[i] += s.urbanFactor * level * g();
        for (int w : s.burstWindows) {
            const std::size_t start = std::size_t(w) * perWindow + std::size_t(20.0 / s.dt);
            const std::size_t len = std::size_t(1.5 / s.dt);
            for (std::size_t i = start; i < start + len && i < n; ++i)
                comp[i] += s.burstFactor * level * g();
        }
    }
    return r;
}

} // namespace hvtest
