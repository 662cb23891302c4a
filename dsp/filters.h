// Time-domain filters and conditioning routines for 16-bit seismic traces.
//
// Every routine works in place on a caller-owned array of signed 16-bit
// samples and overwrites it with its result. Sample intervals are in
// microseconds, frequencies in hertz. All arithmetic is single precision in a
// fixed operation order, so a given input always yields the same bits on every
// build (the targets are compiled without floating-point contraction).
//
// Work buffers are allocated per call and released before return. If memory
// runs out the routine throws std::bad_alloc before it has written anything,
// so the samples are unchanged.
//
// Recursive filters run over a work buffer holding 64 zeros, the trace and a
// 32-sample zero tail: the leading zeros let the recursion settle before the
// first sample, the tail lets a backward pass start from rest.
#pragma once

#include <cstdint>

namespace dsp {

// Third-order low-pass (analogue prototype c^3 / (s^3 + 1.95 c s^2 +
// 2.25 c^2 s + c^3), bilinear transform without frequency pre-warping), run
// forward and then backward over the trace: zero phase, so an impulse gives a
// response symmetric about it (apart from the truncation to integers between
// the two passes).
//
//  samples : trace, count values, in/out
//  dt      : sample interval [us], > 0
//  count   : number of samples; <= 0 does nothing
//  fc      : cut-off frequency [Hz], 0 <= fc; the response is only meaningful
//            below the Nyquist frequency 500000/dt. fc = 0 gives all zeros.
//
// Results beyond the 16-bit range saturate to -32768 or 32767.
void LowPassFilter(std::int16_t *samples, float dt, int count, float fc);

// Second-order Butterworth high-pass (bilinear transform with pre-warping),
// one forward pass: the output is causal and carries the filter's phase
// delay.
//
//  samples : trace, count values, in/out
//  dt      : sample interval [us], > 0
//  count   : number of samples; <= 0 does nothing
//  fc      : cut-off frequency [Hz], 0 <= fc < 500000/dt (Nyquist); at or
//            beyond Nyquist the filter is unstable and the output meaningless
//            (but always within the 16-bit range).
//
// Results beyond the 16-bit range saturate to -32768 or 32767.
void HighPassFilter(std::int16_t *samples, float dt, int count, float fc);

// Band-pass: LowPassFilter at fHigh, then HighPassFilter at fLow, each with
// its own truncation to 16 bits.
//
//  samples : trace, count values, in/out
//  dt      : sample interval [us], > 0
//  count   : number of samples; <= 0 does nothing
//  fLow    : lower band edge [Hz], 0 <= fLow < Nyquist
//  fHigh   : upper band edge [Hz], fLow < fHigh
void BandPassFilter(std::int16_t *samples, float dt, int count, float fLow, float fHigh);

// Second-order band-stop (notch) section, applied twice, both passes forward
// (the attenuation in dB doubles; the phase shift is not cancelled). Unit
// gain at 0 Hz.
//
//  samples : trace, count values, in/out
//  dt      : sample interval [us], > 0
//  count   : number of samples; <= 0 does nothing
//  f1      : lower edge of the stop band [Hz], 0 <= f1 < f2
//  f2      : upper edge of the stop band [Hz], f2 < Nyquist
//
// Results beyond the 16-bit range saturate to -32768 or 32767.
void BandStopFilter(std::int16_t *samples, float dt, int count, float f1, float f2);

// Subtracts the mean of samples[start .. end-1] from those samples. The mean
// is a float sum in index order divided by the length; each result is clamped
// to -32768..32767 and truncated toward zero, so a fractional mean loses its
// fraction per sample.
//
//  samples : trace, in/out
//  start   : first index of the range; a negative start is taken as 0
//  end     : one past the last index, must not exceed the array length;
//            start >= end changes nothing
void RemoveDC(std::int16_t *samples, int start, int end);

// Moving average over `window` samples, done in place from left to right:
// each average reads the array as already rewritten, so it smooths more
// strongly than a plain moving average. Position p = first + k receives the
// truncated integer mean of samples k .. k + window - 1, where
// first = window/2 for an odd window and window/2 - 1 for an even one. The
// first `first` and the last window/2 samples are left unchanged.
//
//  samples : trace, count values, in/out
//  count   : number of samples
//  window  : number of samples averaged; <= 0, or a window that does not fit
//            the trace, does nothing
void SmoothWave(std::int16_t *samples, int count, int window);

} // namespace dsp
