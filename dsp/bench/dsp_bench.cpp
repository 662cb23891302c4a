// Throughput of each dsp routine on traces of 1024 and 4096 samples.
#include "dsp/fft.h"
#include "dsp/filters.h"
#include "dsp/frequencydomain.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

std::vector<std::int16_t> trace(std::int64_t count)
{
    std::mt19937 gen(1);
    std::uniform_int_distribution<int> dist(-8000, 8000);
    std::vector<std::int16_t> s(static_cast<std::size_t>(count));
    for (auto &v : s) {
        v = static_cast<std::int16_t>(dist(gen));
    }
    return s;
}

// Runs `apply` on a fresh copy of the trace each iteration; the copy is
// outside the timed region.
template <typename Apply>
void runOnTrace(benchmark::State &state, Apply apply)
{
    const auto source = trace(state.range(0));
    std::vector<std::int16_t> work(source.size());
    const int count = static_cast<int>(source.size());
    for (auto _ : state) {
        state.PauseTiming();
        work = source;
        state.ResumeTiming();
        apply(work.data(), count);
        benchmark::DoNotOptimize(work.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LowPassFilter(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) { dsp::LowPassFilter(s, 250.0f, n, 200.0f); });
}

void BM_HighPassFilter(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) { dsp::HighPassFilter(s, 250.0f, n, 20.0f); });
}

void BM_BandPassFilter(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) { dsp::BandPassFilter(s, 250.0f, n, 20.0f, 200.0f); });
}

void BM_BandStopFilter(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) { dsp::BandStopFilter(s, 250.0f, n, 45.0f, 55.0f); });
}

void BM_RemoveDC(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) { dsp::RemoveDC(s, 0, n); });
}

void BM_SmoothWave(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) { dsp::SmoothWave(s, n, 5); });
}

void BM_AmplitudeSpectrum(benchmark::State &state)
{
    runOnTrace(state, [](std::int16_t *s, int n) {
        dsp::SpectrumPeak peak;
        benchmark::DoNotOptimize(dsp::AmplitudeSpectrum(peak, s, 8000.0f, n, 1));
    });
}

void BM_Fft(benchmark::State &state)
{
    const auto source = trace(state.range(0));
    const auto n = static_cast<int>(source.size());
    std::vector<float> re(source.size());
    std::vector<float> im(source.size());
    for (auto _ : state) {
        state.PauseTiming();
        for (std::size_t i = 0; i < source.size(); ++i) {
            re[i] = source[i];
            im[i] = 0.0f;
        }
        state.ResumeTiming();
        dsp::Fft(re.data(), im.data(), n, 0);
        benchmark::DoNotOptimize(re.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_LowPassFilter)->Arg(1024)->Arg(4096);
BENCHMARK(BM_HighPassFilter)->Arg(1024)->Arg(4096);
BENCHMARK(BM_BandPassFilter)->Arg(1024)->Arg(4096);
BENCHMARK(BM_BandStopFilter)->Arg(1024)->Arg(4096);
BENCHMARK(BM_RemoveDC)->Arg(1024)->Arg(4096);
BENCHMARK(BM_SmoothWave)->Arg(1024)->Arg(4096);
BENCHMARK(BM_Fft)->Arg(1024)->Arg(4096);
BENCHMARK(BM_AmplitudeSpectrum)->Arg(1024)->Arg(4096);
