// The onset-timing steps on signals whose answer is known by construction.

#include "dsp/onset.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Gaussian noise of RMS 1, the same on every platform.
std::vector<float> noise(int n, std::uint32_t seed)
{
    std::mt19937 engine(seed);
    std::vector<float> x(static_cast<std::size_t>(n));
    for (auto &v : x) {
        const double u1 = (double(engine()) + 1.0) / 4294967297.0;
        const double u2 = double(engine()) / 4294967296.0;
        v = float(std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2));
    }
    return x;
}

// Noise through x[t] = 1.2 x[t-1] - 0.5 x[t-2] + e[t]: strongly coloured.
std::vector<float> colouredNoise(int n, std::uint32_t seed)
{
    const std::vector<float> e = noise(n + 200, seed);
    std::vector<float> x(static_cast<std::size_t>(n));
    double x1 = 0.0, x2 = 0.0;
    for (int i = 0; i < n + 200; ++i) {
        const double v = 1.2 * x1 - 0.5 * x2 + e[std::size_t(i)];
        x2 = x1;
        x1 = v;
        if (i >= 200)
            x[std::size_t(i - 200)] = float(v);
    }
    return x;
}

} // namespace

TEST(Onset, StaLtaAndAicFindWhereQuietTurnsLoud)
{
    std::vector<float> x = noise(1000, 1);
    for (int i = 400; i < 1000; ++i)
        x[std::size_t(i)] *= 10.0f;
    const dsp::StaLtaOnset onset = dsp::StaLtaPeak(x, 20, 80);
    EXPECT_GE(onset.sample, 380);
    EXPECT_LE(onset.sample, 410);
    EXPECT_GT(onset.ratio, 20.0);
    const int change = dsp::AicChangePoint(x, onset.sample - 80, onset.sample + 40);
    EXPECT_NEAR(change, 400, 3);

    // Too short for two windows: no onset; a tiny range: its middle.
    EXPECT_EQ(dsp::StaLtaPeak(std::span(x).first(30), 20, 80).sample, -1);
    EXPECT_EQ(dsp::AicChangePoint(x, 10, 13), 11);
}

TEST(Onset, WhiteningRecoversTheNoisesFilterAndLeavesWhiteNoiseAlone)
{
    const std::vector<float> coloured = colouredNoise(4000, 2);
    const dsp::Whitening w = dsp::FitWhitening(coloured, 0, 4000);
    EXPECT_NEAR(w.a1, 1.2, 0.05);
    EXPECT_NEAR(w.a2, -0.5, 0.05);
    EXPECT_GT(dsp::CorrelationGain(coloured, 0, 4000), 5.0);

    const std::vector<float> white = noise(4000, 3);
    const dsp::Whitening none = dsp::FitWhitening(white, 0, 4000);
    EXPECT_NEAR(none.a1, 0.0, 0.05);
    EXPECT_NEAR(none.a2, 0.0, 0.05);
    EXPECT_NEAR(dsp::CorrelationGain(white, 0, 4000), 1.0, 0.1);

    // Too few samples or a constant stretch: no filter.
    const dsp::Whitening shortStretch = dsp::FitWhitening(coloured, 0, 20);
    EXPECT_EQ(shortStretch.a1, 0.0);
    const std::vector<float> flat(100, 3.0f);
    EXPECT_EQ(dsp::FitWhitening(flat, 0, 100).a2, 0.0);
}

TEST(Onset, TheRiseFitTimesAnOnsetBetweenSamplesAndWidensWithNoise)
{
    // A rise of 1 per sample from 120.4 on, over noise of RMS 0.5 and 4.
    const double onset = 120.4;
    double widths[2] = {};
    for (const int k : {0, 1}) {
        const float rms = k == 0 ? 0.5f : 4.0f;
        std::vector<float> x = noise(300, 4);
        for (int i = 0; i < 300; ++i)
            x[std::size_t(i)] = rms * x[std::size_t(i)] + float(std::max(0.0, i - onset));
        const dsp::OnsetFit fit = dsp::FitOnset(x, 60, 160, 90, 150, 1.0f, dsp::RiseModel::Straight);
        ASSERT_GE(fit.t0, 0);
        EXPECT_NEAR(fit.exact, onset, k == 0 ? 0.7 : 3.0) << rms;
        EXPECT_GE(fit.halfWidth, 0.5);
        EXPECT_NEAR(fit.slope, 1.0, k == 0 ? 0.1 : 0.5) << rms;
        widths[k] = fit.halfWidth;
        // A rise of the other sign is not there.
        EXPECT_EQ(dsp::FitOnset(x, 60, 160, 90, 150, -1.0f, dsp::RiseModel::Straight).t0, -1);
    }
    EXPECT_GT(widths[1], 2.0 * widths[0]);
}

TEST(Onset, TheStraightRiseFitsTheBackgroundItIsAskedFor)
{
    // A rise of 1 per sample from 120.4 on, on an offset of 6 and noise of
    // RMS 0.5: without a background the offset bends the fit, with a level
    // it is gone, and the slope adds a coefficient but nothing to explain.
    const double onset = 120.4;
    std::vector<float> x = noise(300, 6);
    for (int i = 0; i < 300; ++i)
        x[std::size_t(i)] = 0.5f * x[std::size_t(i)] + 6.0f + float(std::max(0.0, i - onset));
    const auto fit = [&](dsp::Background b) {
        return dsp::FitOnset(x, 60, 160, 90, 150, 1.0f, dsp::RiseModel::Straight, {}, 1.0, b);
    };
    const dsp::OnsetFit bare = fit(dsp::Background::None);
    const dsp::OnsetFit level = fit(dsp::Background::Level);
    const dsp::OnsetFit full = fit(dsp::Background::LevelAndSlope);
    ASSERT_GE(level.t0, 0);
    ASSERT_GE(full.t0, 0);
    EXPECT_EQ(bare.coefficients, 1);
    EXPECT_EQ(level.coefficients, 2);
    EXPECT_EQ(full.coefficients, 3);
    EXPECT_EQ(level.samples, 101);
    EXPECT_NEAR(level.exact, onset, 0.7);
    EXPECT_NEAR(full.exact, onset, 0.7);
    // The level explains the offset: noise alone is left, about 0.25 a sample.
    EXPECT_NEAR(level.variance, 0.25, 0.1);
    EXPECT_GT(bare.t0 < 0 ? 1.0e30 : bare.residual, 10.0 * level.residual);
    EXPECT_LE(full.residual, level.residual);
    EXPECT_GT(full.residual, 0.9 * level.residual);
}

TEST(Onset, TheLobeFitAndWhiteningHoldOnAHalfCycleInColouredNoise)
{
    // A half cycle of 80 samples from 200 on, then its second half, over
    // coloured noise a twentieth of its height.
    std::vector<float> x = colouredNoise(500, 5);
    for (auto &v : x)
        v *= 0.05f * 10.0f / 3.0f; // the process's RMS is about 3
    for (int i = 200; i < 500; ++i)
        x[std::size_t(i)] += float(10.0 * std::sin(kPi * (i - 200) / 80.0));
    const dsp::Whitening w = dsp::FitWhitening(x, 0, 190);
    const dsp::OnsetFit lobe = dsp::FitOnset(x, 150, 280, 170, 230, 1.0f, dsp::RiseModel::Lobe, w);
    EXPECT_NEAR(lobe.exact, 200.0, 2.0);
    const dsp::OnsetFit rise = dsp::FitOnset(x, 150, 225, 170, 220, 1.0f, dsp::RiseModel::Straight, w);
    EXPECT_NEAR(rise.exact, 200.0, 3.0);
}

TEST(Onset, LobesAndCorrelation)
{
    std::vector<float> x(200);
    for (int i = 0; i < 200; ++i)
        x[std::size_t(i)] = float(std::sin(kPi * (i + 0.5) / 50.0)); // lobes of 50 samples
    const dsp::Lobe first = dsp::LobeAt(x, 10);
    EXPECT_EQ(first.start, 0);
    EXPECT_EQ(first.end, 50);
    EXPECT_EQ(first.sign, 1.0f);
    EXPECT_NEAR(first.peak, 1.0f, 1e-3f);
    const dsp::Lobe second = dsp::LobeAt(x, 70);
    EXPECT_EQ(second.start, 50);
    EXPECT_EQ(second.end, 100);
    EXPECT_EQ(second.sign, -1.0f);

    std::vector<float> inverted(x);
    for (auto &v : inverted)
        v = -v;
    EXPECT_NEAR(dsp::Correlation(x, x, 0, 200), 1.0, 1e-9);
    EXPECT_NEAR(dsp::Correlation(x, inverted, 0, 200), -1.0, 1e-9);
    EXPECT_EQ(dsp::Correlation(x, std::vector<float>(200, 0.0f), 0, 200), 0.0);
}

TEST(Onset, NoiseInTheWavesBandMovesTheOnsetMoreThanWhiteNoise)
{
    // Averaged over a 16-sample flank, white noise of RMS 1 holds an offset
    // of about 1/4; noise as strongly coloured as colouredNoise (RMS about
    // 2.1, its spectrum peaked near a tenth of the sampling rate) keeps far
    // more of itself, and the onset moves by offset / slope.
    const std::vector<float> white = noise(4000, 11);
    std::vector<float> band = colouredNoise(4000, 11);
    double rms = 0.0;
    for (const float v : band)
        rms += double(v) * v;
    rms = std::sqrt(rms / double(band.size()));
    for (float &v : band)
        v = float(v / rms);
    const double w = dsp::NoiseTimingError(white, 0, 4000, 16, 1.0);
    const double b = dsp::NoiseTimingError(band, 0, 4000, 16, 1.0);
    EXPECT_NEAR(w, 0.25, 0.03);
    EXPECT_GT(b, 1.5 * w);
    // Three times the noise, three times the error; twice the slope (of
    // either sign), half of it.
    std::vector<float> louder = band;
    for (float &v : louder)
        v *= 3.0f;
    EXPECT_NEAR(dsp::NoiseTimingError(louder, 0, 4000, 16, 1.0), 3.0 * b, 1.0e-3 * b);
    EXPECT_NEAR(dsp::NoiseTimingError(band, 0, 4000, 16, -2.0), 0.5 * b, 1.0e-6);
    // A constant offset is the background level, no noise.
    const std::vector<float> level(100, 5.0f);
    EXPECT_NEAR(dsp::NoiseTimingError(level, 0, 100, 16, 1.0), 0.0, 1.0e-6);
    // No slope times nothing; too short a stretch says nothing.
    EXPECT_TRUE(std::isinf(dsp::NoiseTimingError(band, 0, 4000, 16, 0.0)));
    EXPECT_EQ(dsp::NoiseTimingError(band, 0, 16, 16, 1.0), 0.0);
}
