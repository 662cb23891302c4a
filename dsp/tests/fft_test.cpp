#include "dsp/fft.h"

#include "reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <complex>
#include <random>
#include <vector>

namespace {

struct Signal {
    std::vector<float> re;
    std::vector<float> im;
};

Signal randomSignal(int n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(-1000.0f, 1000.0f);
    Signal s{std::vector<float>(n), std::vector<float>(n)};
    for (int i = 0; i < n; ++i) {
        s.re[i] = dist(gen);
        s.im[i] = dist(gen);
    }
    return s;
}

// Direct evaluation of X[k] = sum x[j] exp(-2 pi i jk/n) in double precision.
std::vector<std::complex<double>> naiveDft(const Signal &s)
{
    const auto n = static_cast<int>(s.re.size());
    std::vector<std::complex<double>> out(n);
    for (int k = 0; k < n; ++k) {
        std::complex<double> acc = 0.0;
        for (int j = 0; j < n; ++j) {
            const double angle = -2.0 * std::numbers::pi * static_cast<double>((static_cast<long long>(j) * k) % n) / n;
            acc += std::complex<double>(s.re[j], s.im[j]) * std::polar(1.0, angle);
        }
        out[k] = acc;
    }
    return out;
}

} // namespace

TEST(Fft, MatchesNaiveDftOnRandomInput)
{
    for (int n : {1, 2, 4, 8, 64, 256, 1024}) {
        Signal s = randomSignal(n, static_cast<unsigned>(n));
        const auto expected = naiveDft(s);
        dsp::Fft(s.re.data(), s.im.data(), n, 0);
        // float accumulation over log2(n) stages; sums reach ~1000 n.
        const double tolerance = 2e-5 * 1000.0 * n + 1e-3;
        for (int k = 0; k < n; ++k) {
            ASSERT_NEAR(s.re[k], expected[k].real(), tolerance) << "n " << n << " bin " << k;
            ASSERT_NEAR(s.im[k], expected[k].imag(), tolerance) << "n " << n << " bin " << k;
        }
    }
}

TEST(Fft, InverseRestoresTheInput)
{
    const Signal original = randomSignal(4096, 7);
    Signal s = original;
    dsp::Fft(s.re.data(), s.im.data(), 4096, 0);
    dsp::Fft(s.re.data(), s.im.data(), 4096, 1);
    for (int i = 0; i < 4096; ++i) {
        ASSERT_NEAR(s.re[i], original.re[i], 0.05) << i;
        ASSERT_NEAR(s.im[i], original.im[i], 0.05) << i;
    }
}

TEST(Fft, ForwardMatchesReferenceStepsBitForBit)
{
    for (int n : {16, 512, 4096}) {
        Signal s = randomSignal(n, 100u + static_cast<unsigned>(n));
        Signal ref = s;
        dsp::Fft(s.re.data(), s.im.data(), n, 0);
        dsp::reference::fft(ref.re, ref.im);
        EXPECT_EQ(s.re, ref.re) << n;
        EXPECT_EQ(s.im, ref.im) << n;
    }
}

TEST(Fft, LengthThatIsNotAPowerOfTwoIsRejected)
{
    for (int n : {0, -4, 3, 12, 1000}) {
        const int size = n > 0 ? n : 1;
        Signal s = randomSignal(size, 3);
        const Signal before = s;
        dsp::Fft(s.re.data(), s.im.data(), n, 0);
        EXPECT_EQ(s.re, before.re) << n;
        EXPECT_EQ(s.im, before.im) << n;
    }
}
