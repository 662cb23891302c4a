// Test traces shared by the dsp tests.
#pragma once

#include <cmath>
#include <numbers>
#include <cstdint>
#include <random>
#include <vector>

namespace dsp::testing {

inline std::vector<std::int16_t> impulse(int count, int at, std::int16_t height)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(count), 0);
    s[static_cast<std::size_t>(at)] = height;
    return s;
}

// amplitude * sin(2 pi f t) sampled every dt microseconds, truncated.
inline std::vector<std::int16_t> sine(int count, double amplitude, double frequency, double dt, double phase = 0.0)
{
    std::vector<std::int16_t> s(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = i * dt / 1e6;
        s[static_cast<std::size_t>(i)]
            = static_cast<std::int16_t>(amplitude * std::sin(2.0 * std::numbers::pi * frequency * t + phase));
    }
    return s;
}

inline std::vector<std::int16_t> randomTrace(int count, unsigned seed, int limit = 20000)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> dist(-limit, limit);
    std::vector<std::int16_t> s(static_cast<std::size_t>(count));
    for (auto &v : s) {
        v = static_cast<std::int16_t>(dist(gen));
    }
    return s;
}

// Largest absolute sample in [from, to).
inline int peakAbs(const std::vector<std::int16_t> &s, int from, int to)
{
    int m = 0;
    for (int i = from; i < to; ++i) {
        m = std::max(m, std::abs(static_cast<int>(s[static_cast<std::size_t>(i)])));
    }
    return m;
}

// Root mean square of the samples in [from, to).
inline double rms(const std::vector<std::int16_t> &s, int from, int to)
{
    double sum = 0.0;
    for (int i = from; i < to; ++i) {
        const double v = s[static_cast<std::size_t>(i)];
        sum += v * v;
    }
    return std::sqrt(sum / (to - from));
}

} // namespace dsp::testing
