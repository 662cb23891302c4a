#include "dsp/fft.h"

#include "dsp/detail.h"

#include <cmath>
#include <utility>
#include <vector>

namespace dsp {

void Fft(float *re, float *im, int n, int inverse)
{
    if (re == nullptr || im == nullptr || n < 1 || (n & (n - 1)) != 0) {
        return;
    }
    // The tables first: if they cannot be had, the arrays are still intact.
    std::vector<float> wr = detail::allocateZeroed<float>(static_cast<std::size_t>(n));
    std::vector<float> wi = detail::allocateZeroed<float>(static_cast<std::size_t>(n));
    float sign = -1.0f;
    if (inverse != 0) {
        const auto scale = static_cast<float>(n);
        for (int i = 0; i < n; ++i) {
            re[i] = re[i] / scale;
            im[i] = im[i] / scale;
        }
        sign = 1.0f;
    }

    // Bit-reversal permutation.
    int j = 0;
    for (int i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
        int k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }

    // The butterflies only index the first half of the tables.
    for (int k = 0; k < n / 2; ++k) {
        const double angle = detail::kTwoPi * k / n;
        wr[k] = static_cast<float>(std::cos(angle));
        wi[k] = sign * static_cast<float>(std::sin(angle));
    }

    for (int half = 1; half < n; half *= 2) {
        const int span = 2 * half;
        const int tableStep = n / span;
        for (int g = 0; g < half; ++g) {
            const float c = wr[g * tableStep];
            const float s = wi[g * tableStep];
            for (int i = g; i < n; i += span) {
                const int p = i + half;
                float tr = re[p];
                float ti = im[p];
                if (g != 0) {
                    tr = c * re[p] - s * im[p];
                    ti = c * im[p] + s * re[p];
                }
                re[p] = re[i] - tr;
                im[p] = im[i] - ti;
                re[i] = re[i] + tr;
                im[i] = im[i] + ti;
            }
        }
    }
}

} // namespace dsp
