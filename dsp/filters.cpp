#include "dsp/filters.h"

#include "dsp/detail.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dsp {

namespace {

// Samples placed before the trace so that a recursion settles on zeros.
constexpr std::size_t kLeadingZeros = 64;
// The recursion covers the trace plus this many zeros after it.
constexpr std::size_t kRecursionExtra = 96;
// Buffer length beyond the trace; the last four elements are never touched.
constexpr std::size_t kBufferExtra = 100;

// Input and output buffers of one filter call: x holds 64 zeros, the trace
// and zeros; y holds the running float values of the recursion.
struct FilterBuffers {
    explicit FilterBuffers(const std::int16_t *samples, std::size_t count)
        : x(detail::allocateZeroed<std::int32_t>(count + kBufferExtra)),
          y(detail::allocateZeroed<float>(count + kBufferExtra)),
          length(count + kRecursionExtra)
    {
        for (std::size_t i = 0; i < count; ++i) {
            x[kLeadingZeros + i] = samples[i];
        }
    }

    // Feeds the result of one pass into the next: x takes y truncated toward
    // zero (full 32-bit range, no 16-bit limit in between) and y is cleared.
    void restartFromOutput()
    {
        for (std::size_t n = 0; n < length; ++n) {
            x[n] = detail::truncateToInt32(y[n]);
            y[n] = 0.0f;
        }
    }

    // Results beyond the 16-bit range saturate (see saturateToInt16).
    void storeOutput(std::int16_t *samples, std::size_t count) const
    {
        for (std::size_t i = 0; i < count; ++i) {
            samples[i] = detail::saturateToInt16(detail::truncateToInt32(y[kLeadingZeros + i]));
        }
    }

    std::vector<std::int32_t> x;
    std::vector<float> y;
    std::size_t length; // positions covered by the recursion
};

// Sum of two work samples as a float. The sum is formed in 64 bits so that
// even saturated intermediate values cannot overflow.
float sumOf(std::int32_t a, std::int32_t b)
{
    return static_cast<float>(static_cast<std::int64_t>(a) + b);
}

} // namespace

void LowPassFilter(std::int16_t *samples, float dt, int count, float fc)
{
    if (samples == nullptr || count <= 0) {
        return;
    }
    const auto n = static_cast<std::size_t>(count);
    FilterBuffers buf(samples, n);
    std::vector<std::int32_t> &x = buf.x;
    std::vector<float> &y = buf.y;
    const std::size_t length = buf.length;

    const float period = dt / 1000000.0f; // s
    const float c = static_cast<float>(detail::kTwoPi * static_cast<double>(fc));
    const float d = 2.0f / period;

    const float a0 = c * c * c + 2.25f * c * c * d + 1.95f * c * d * d + d * d * d;
    const float a1 = 3.0f * c * c * c + 2.25f * c * c * d - 1.95f * c * d * d - 3.0f * d * d * d;
    const float a2 = 3.0f * c * c * c - 2.25f * c * c * d - 1.95f * c * d * d + 3.0f * d * d * d;
    const float a3 = c * c * c - 2.25f * c * c * d + 1.95f * c * d * d - d * d * d;
    const float b0 = c * c * c;
    const float b1 = 3.0f * c * c * c;

    for (std::size_t k = 3; k < length; ++k) {
        y[k] = (b0 * sumOf(x[k], x[k - 3]) + b1 * sumOf(x[k - 1], x[k - 2]) - a1 * y[k - 1] - a2 * y[k - 2]
                - a3 * y[k - 3])
            / a0;
    }
    buf.restartFromOutput();
    for (std::size_t k = length - 3; k-- > 0;) {
        y[k] = (b0 * sumOf(x[k], x[k + 3]) + b1 * sumOf(x[k + 1], x[k + 2]) - a1 * y[k + 1] - a2 * y[k + 2]
                - a3 * y[k + 3])
            / a0;
    }
    buf.storeOutput(samples, n);
}

void HighPassFilter(std::int16_t *samples, float dt, int count, float fc)
{
    if (samples == nullptr || count <= 0) {
        return;
    }
    const auto n = static_cast<std::size_t>(count);
    FilterBuffers buf(samples, n);
    const std::vector<std::int32_t> &x = buf.x;
    std::vector<float> &y = buf.y;

    // Pre-warped: K = tan(pi fc T), evaluated in double and rounded once.
    const float k = static_cast<float>(
        std::tan(detail::kTwoPi * static_cast<double>(fc) * 0.5 * static_cast<double>(dt) / 1000000.0));
    const float sqrt2 = static_cast<float>(std::sqrt(2.0));
    const float a0 = k * k + sqrt2 * k + 1.0f;
    const float a1 = 2.0f * (k * k - 1.0f);
    const float a2 = k * k - sqrt2 * k + 1.0f;

    for (std::size_t i = 2; i < buf.length; ++i) {
        // The second difference of 16-bit samples fits easily in 32 bits.
        const std::int32_t diff = x[i] - 2 * x[i - 1] + x[i - 2];
        y[i] = (static_cast<float>(diff) - a1 * y[i - 1] - a2 * y[i - 2]) / a0;
    }
    buf.storeOutput(samples, n);
}

void BandPassFilter(std::int16_t *samples, float dt, int count, float fLow, float fHigh)
{
    LowPassFilter(samples, dt, count, fHigh);
    HighPassFilter(samples, dt, count, fLow);
}

void BandStopFilter(std::int16_t *samples, float dt, int count, float f1, float f2)
{
    if (samples == nullptr || count <= 0) {
        return;
    }
    const auto n = static_cast<std::size_t>(count);
    FilterBuffers buf(samples, n);
    const std::vector<std::int32_t> &x = buf.x;
    std::vector<float> &y = buf.y;

    const float period = dt / 1000000.0f; // s
    const float w1 = static_cast<float>(detail::kTwoPi * static_cast<double>(f1));
    const float w2 = static_cast<float>(detail::kTwoPi * static_cast<double>(f2));
    const float h = (w2 - w1) * 0.5f * period; // half the stop band, rad per sample
    const float m = (w2 + w1) * 0.5f * period; // middle of the stop band, rad per sample
    const float k = static_cast<float>(std::tan(static_cast<double>(h)));
    const float q = static_cast<float>(-2.0 * std::cos(static_cast<double>(m)) / std::cos(static_cast<double>(h)));
    const float d = 1.0f + k;
    const float e = 1.0f - k;

    for (int pass = 0; pass < 2; ++pass) {
        if (pass > 0) {
            buf.restartFromOutput();
        }
        for (std::size_t i = 2; i < buf.length; ++i) {
            y[i] = ((static_cast<float>(x[i]) + q * static_cast<float>(x[i - 1]) + static_cast<float>(x[i - 2]))
                    - q * y[i - 1] - e * y[i - 2])
                / d;
        }
    }
    buf.storeOutput(samples, n);
}

void RemoveDC(std::int16_t *samples, int start, int end)
{
    if (samples == nullptr) {
        return;
    }
    if (start < 0) {
        start = 0;
    }
    if (start >= end) {
        return;
    }
    const int length = end - start;
    float sum = 0.0f;
    for (int i = start; i < end; ++i) {
        sum += static_cast<float>(samples[i]);
    }
    const float mean = sum / static_cast<float>(length);
    for (int i = start; i < end; ++i) {
        float v = static_cast<float>(samples[i]) - mean;
        if (v > 32767.0f) {
            v = 32767.0f;
        } else if (v < -32768.0f) {
            v = -32768.0f;
        }
        samples[i] = static_cast<std::int16_t>(v);
    }
}

void SmoothWave(std::int16_t *samples, int count, int window)
{
    if (samples == nullptr || window <= 0) {
        return;
    }
    const int half = window / 2;
    const int first = (window % 2 == 0) ? half - 1 : half;
    if (first >= count - half) {
        return;
    }
    const int steps = count - half - first;
    // Running sum over samples[k .. k + window - 1] as the array stands now.
    std::int64_t sum = 0;
    for (int i = 0; i < window; ++i) {
        sum += samples[i];
    }
    for (int k = 0; k < steps; ++k) {
        const int p = first + k;
        const auto smoothed = static_cast<std::int16_t>(sum / window);
        sum += smoothed - samples[p];
        samples[p] = smoothed;
        if (k + 1 < steps) {
            sum += samples[k + window] - samples[k];
        }
    }
}

} // namespace dsp
