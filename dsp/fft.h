// Radix-2 complex FFT, in place, on separate real and imaginary arrays.
#pragma once

namespace dsp {

// Decimation-in-time FFT: bit-reversal permutation, then log2(n) butterfly
// stages with twiddle factors from tables of n entries, wr[k] = cos(2 pi k/n)
// and wi[k] = -/+ sin(2 pi k/n), each computed in double and rounded to float.
//
//  re, im  : n floats each, real and imaginary parts, in/out
//  n       : transform length, a power of two (1, 2, 4, ...); any other
//            value leaves the arrays unchanged
//  inverse : 0 for the forward transform X[k] = sum x[j] exp(-2 pi i jk/n)
//            (no scaling); non-zero for the inverse, which divides every
//            element by n first and uses exp(+2 pi i jk/n)
//
// Allocates the two twiddle tables per call, before it touches the arrays;
// running out of memory throws std::bad_alloc with re and im unchanged.
void Fft(float *re, float *im, int n, int inverse);

} // namespace dsp
