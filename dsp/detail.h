// Helpers shared by the routines of the dsp library; not part of its
// interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dsp::detail {

// pi and 2 pi with exactly these decimal values. They only differ from the
// float value of pi in double precision, so every expression that uses them
// is evaluated in double and rounded to float once, when it is stored.
inline constexpr double kPi = 3.141592653;
inline constexpr double kTwoPi = 6.283185306;

// Zero-filled work buffer of n elements. Running out of memory throws
// std::bad_alloc (std::length_error for a size no vector can have). Every
// routine allocates its buffers before it writes to the caller's arrays, so
// the caller's data are unchanged when this throws, and the caller decides
// how to report it (a window must not lose unsaved work by ending).
template <typename T>
std::vector<T> allocateZeroed(std::size_t n)
{
    return std::vector<T>(n);
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

} // namespace dsp::detail
