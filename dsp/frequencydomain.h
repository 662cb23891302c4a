// Amplitude spectrum of a 16-bit trace with its peak frequency.
#pragma once

#include <cstdint>

namespace dsp {

// Result of AmplitudeSpectrum.
struct SpectrumPeak {
    float peakFrequency = 0.0f; // frequency of the largest amplitude [Hz]
    float frequencyStep = 0.0f; // bin width of the spectrum [Hz]
};
static_assert(sizeof(SpectrumPeak) == 2 * sizeof(float));

// Amplitude spectrum of a trace. Finds its peak and writes a display-scaled
// spectrum back over the trace (the time samples are lost).
//
// The FFT length is N = 2^e with e = trunc(log2(count) + 0.1) limited to
// 8..12, so N is 256..4096 and equals count for 1024, 2048 and 4096. With
// K = count / step samples available, K < 1024 takes min(K, N) samples
// zero-padded to N and scales amplitudes by 2/K; otherwise it takes
// min(K, N) samples and scales by 2/N. Amplitude of bin k (0 < k < N/2) is
// scale * sqrt(|X[k]|^2 + |X[N-k]|^2), i.e. sqrt(2) times the one-sided
// magnitude for a real trace; bins 0 and N/2 use |X[k]| alone.
//
// The peak is the largest amplitude of bins 0 .. N/2-1; on a tie the lowest
// bin wins. Bin width df = 1000000 / N / dt / step [Hz]; the peak frequency
// is df * peak bin.
//
// Display scaling: with u = (peak amplitude, 1 if zero) / 65535, samples[i]
// for i < N/2 becomes trunc(trunc(A[i]/u - 32767) / 2), so amplitude 0 shows
// as -16383 and the peak as 16383 or 16384; samples[N/2 .. N-1] repeat
// samples[N/2-1]. Only indices below both N and count are written; samples
// from index N on keep their values.
//
//  result  : filled with the peak frequency and the bin width, also returned
//  samples : trace, count values; read at indices i*step < count, in/out
//  dt      : sample interval [us], > 0
//  count   : number of samples; the callers use 1024, 2048 or 4096
//  step    : take every step-th sample, >= 1 (a smaller value counts as 1)
//
// Allocates two arrays of N floats per call (and the FFT's tables); running
// out of memory throws std::bad_alloc with the samples unchanged.
SpectrumPeak AmplitudeSpectrum(SpectrumPeak &result, std::int16_t *samples, float dt, int count, int step);

} // namespace dsp
