// Helpers shared by the routines of the dsp library; not part of its
// interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

namespace dsp::detail {

// pi and 2 pi with exactly these decimal values. They only differ from the
// float value of pi in double precision, so every expression that uses them
// is evaluated in double and rounded to float once, when it is stored.
inline constexpr double kPi = 3.141592653;
inline constexpr double kTwoPi = 6.283185306;

// Zero-filled work buffer of n elements. Running out of memory ends the
// process with exit status 1: the callers have no way to report a failure
// and a partial result would be wrong data.
template <typename T>
std::vector<T> allocateZeroed(std::size_t n)
{
    try {
        return std::vector<T>(n);
    } catch (const std::bad_alloc&) {
        std::exit(1);
    }
}

// Float to integer, truncating toward zero. NaN gives 0 and values beyond the
// 32-bit range saturate, so that a filter driven with meaningless
// coefficients yields a defined result instead of undefined behaviour.
inline std::int32_t truncateToInt32(float v)
{
    if (v != v) {
        return 0;
    }
    if (v >= 2147483648.0f) {
        return INT32_MAX;
    }
    if (v <= -2147483648.0f) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(v);
}

// Stores an integer result as a 16-bit sample. It saturates rather than
// keeping the low 16 bits: a wrapped value would flip the sign of an
// overshooting peak, which reads as a plainly wrong waveform, while a clipped
// peak keeps its sign and shape.
inline std::int16_t saturateToInt16(std::int32_t v)
{
    if (v > INT16_MAX) {
        return INT16_MAX;
    }
    if (v < INT16_MIN) {
        return INT16_MIN;
    }
    return static_cast<std::int16_t>(v);
}

}  // namespace dsp::detail
