#include "dsp/frequencydomain.h"

#include "dsp/detail.h"
#include "dsp/fft.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace dsp {

namespace {

// Exponent of the FFT length for a trace of count samples: the 0.1 keeps
// log2 of an exact power of two from rounding down.
int fftExponent(int count)
{
    if (count < 256) {
        return 8;
    }
    const int e = static_cast<int>(std::log2(static_cast<double>(count)) + 0.1);
    return std::clamp(e, 8, 12);
}

} // namespace

SpectrumPeak AmplitudeSpectrum(SpectrumPeak &result, std::int16_t *samples, float dt, int count, int step)
{
    if (step < 1) {
        step = 1;
    }
    const int size = 1 << fftExponent(count);
    const int half = size / 2;
    const int available = count / step;

    // Never more than N samples into the arrays, never a read at or past count.
    const int taken = std::clamp(available, 0, size);
    float scale = 0.0f; // no samples: all amplitudes zero
    if (available >= 1024) {
        scale = 2.0f / static_cast<float>(size);
    } else if (available >= 1) {
        scale = 2.0f / static_cast<float>(available);
    }

    std::vector<float> re = detail::allocateZeroed<float>(static_cast<std::size_t>(size));
    std::vector<float> im = detail::allocateZeroed<float>(static_cast<std::size_t>(size));
    if (samples != nullptr) {
        for (int i = 0; i < taken; ++i) {
            re[i] = static_cast<float>(samples[i * step]);
        }
    }

    Fft(re.data(), im.data(), size, 0);

    // Amplitudes over re. Bin k < N/2 pairs with bin N-k > N/2, which is
    // still untouched when k is written.
    re[0] = scale * std::sqrt(re[0] * re[0] + im[0] * im[0]);
    for (int k = 1; k < half; ++k) {
        const int mirror = size - k;
        re[k] = scale * std::sqrt(re[k] * re[k] + im[k] * im[k] + re[mirror] * re[mirror] + im[mirror] * im[mirror]);
    }
    re[half] = scale * std::sqrt(re[half] * re[half] + im[half] * im[half]);

    // Peak over bins 0 .. N/2-1; only a strictly larger value moves it, so
    // the lowest bin wins a tie.
    float peak = std::fabs(re[0]);
    int peakBin = 0;
    for (int k = 1; k < half; ++k) {
        if (std::fabs(re[k]) > peak) {
            peak = std::fabs(re[k]);
            peakBin = k;
        }
    }

    const float df = 1000000.0f / static_cast<float>(size) / dt / static_cast<float>(step);
    result.peakFrequency = df * static_cast<float>(peakBin);
    result.frequencyStep = df;

    if (samples == nullptr) {
        return result;
    }
    if (peak == 0.0f) {
        peak = 1.0f;
    }
    const float unit = peak / 65535.0f;
    // Written back only where the caller's trace has room.
    const int written = std::clamp(count, 0, size);
    for (int i = 0; i < std::min(written, half); ++i) {
        // t lies in -32767 .. 32768 (the peak may land on 32768 after
        // rounding); it is kept in 32 bits so that 32768 halves to 16384.
        const std::int32_t t = detail::truncateToInt32(re[i] / unit - 32767.0f);
        samples[i] = detail::saturateToInt16(t / 2);
    }
    for (int i = half; i < written; ++i) {
        samples[i] = samples[half - 1];
    }
    return result;
}

} // namespace dsp
