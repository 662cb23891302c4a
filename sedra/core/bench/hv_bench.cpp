// What the H/V analysis costs: a whole 30-minute record at 100 Hz (60 s
// windows, 200 frequencies) on one core, the re-evaluation after a window is
// toggled by hand, and one live update when a window completes during a
// recording. Each reports the process's peak resident memory.

#include "sedra/core/hvanalysis.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

// Microtremor-like samples: white noise on all three components, and on the
// horizontals noise through a resonance at 2 Hz as well.
sedra::ThreeComponentRecord noiseRecord(double seconds, double dt)
{
    const auto n = std::size_t(std::llround(seconds / dt));
    std::mt19937_64 rng(7);
    std::normal_distribution<double> g(0.0, 1.0);
    sedra::ThreeComponentRecord r;
    r.sampleInterval = dt;
    const double w0 = 2 * std::numbers::pi * 2.0 * dt, alpha = std::sin(w0) * 0.15, a0 = 1 + alpha;
    const double b0 = alpha / a0, a1 = -2 * std::cos(w0) / a0, a2 = (1 - alpha) / a0;
    for (std::size_t c = 0; c < 3; ++c) {
        auto &x = r.components[c];
        x.resize(n);
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double u = g(rng);
            const double y = b0 * (u - x2) - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = u;
            y2 = y1;
            y1 = y;
            x[i] = g(rng) + (c < 2 ? 4.0 * y : 0.0);
        }
    }
    return r;
}

void reportMemory(benchmark::State &state)
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    state.counters["peak_rss_MB"] = double(u.ru_maxrss) / 1024.0; // ru_maxrss is in KiB on Linux
}

const sedra::ThreeComponentRecord &thirtyMinutes()
{
    static const auto r = noiseRecord(1800, 0.01);
    return r;
}

sedra::HvOptions optionsFor(std::int64_t combine)
{
    sedra::HvOptions o;
    o.combine = static_cast<sedra::HorizontalCombine>(combine);
    return o;
}

void wholeRecord(benchmark::State &state)
{
    const auto &rec = thirtyMinutes();
    const auto o = optionsFor(state.range(0));
    state.SetLabel(sedra::combineName(o.combine).toStdString());
    for (auto _ : state) {
        auto r = sedra::analyseHv(rec, o);
        if (!r.ok() || r.windows.size() != 30)
            state.SkipWithError("analysis failed");
        benchmark::DoNotOptimize(r.f0);
    }
    reportMemory(state);
}

void toggleWindow(benchmark::State &state)
{
    auto r = sedra::analyseHv(thirtyMinutes(), sedra::HvOptions{});
    int i = 0;
    for (auto _ : state) {
        sedra::setManualMark(r, i % 30, (i / 30) % 2 ? sedra::ManualMark::None : sedra::ManualMark::Reject);
        benchmark::DoNotOptimize(r.f0);
        ++i;
    }
    reportMemory(state);
}

// The 30th window of a recording completes: its spectra, then the
// rejection and statistics over all 30 windows.
void liveWindowUpdate(benchmark::State &state)
{
    const auto &rec = thirtyMinutes();
    const auto o = optionsFor(state.range(0));
    state.SetLabel(sedra::combineName(o.combine).toStdString());
    const std::size_t perWindow = 6000, before = 29 * perWindow;
    auto part = [&](std::size_t c, std::size_t from, std::size_t count) {
        return std::span<const double>(rec.components[c]).subspan(from, count);
    };
    for (auto _ : state) {
        state.PauseTiming();
        sedra::HvLiveAnalysis live(rec.sampleInterval, o);
        live.append(part(0, 0, before), part(1, 0, before), part(2, 0, before));
        state.ResumeTiming();
        const int added
            = live.append(part(0, before, perWindow), part(1, before, perWindow), part(2, before, perWindow));
        if (added != 1)
            state.SkipWithError("no window completed");
        benchmark::DoNotOptimize(live.result().f0);
    }
    reportMemory(state);
}

constexpr auto kGeometric = std::int64_t(sedra::HorizontalCombine::Geometric);
constexpr auto kRotD50 = std::int64_t(sedra::HorizontalCombine::RotD50);

BENCHMARK(wholeRecord)->Arg(kGeometric)->Arg(kRotD50)->Unit(benchmark::kMillisecond);
BENCHMARK(toggleWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(liveWindowUpdate)->Arg(kGeometric)->Arg(kRotD50)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
