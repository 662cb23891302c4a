// What one acquisition costs the PC while the card paces it: the simulated
// card in real-time mode delivers a set every interval, and the acquisition
// runs as in the program. Reported per run: the process's CPU time as a share
// of the wall time, the status polls per set, and the worst lateness of a
// read after its set was due (the sample timing kept).

#include "sedra/card/acquisitioncard.h"
#include "sedra/card/longacquisition.h"
#include "sedra/card/simulatedcard.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace {

void realTimeAcquisition(benchmark::State &state)
{
    sedra::AcquisitionParameters p;
    p.interval = std::uint16_t(state.range(0));
    p.samples = int(state.range(1));
    p.channels = 4;
    auto raw = std::make_unique<std::array<sedra::RecordChannel, sedra::kRecordChannels>>();
    double cpuSeconds = 0, wallSeconds = 0, polls = 0, sets = 0, worstLateMs = 0;
    for (auto _ : state) {
        sedra::SimulatedCardOptions o;
        o.realtime = true;
        sedra::SimulatedCard card(o);
        const std::clock_t cpu0 = std::clock();
        const auto wall0 = std::chrono::steady_clock::now();
        const auto result = sedra::AcquireRecord(card, p, *raw, nullptr, sedra::readyLimitFor(p));
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall0;
        cpuSeconds += double(std::clock() - cpu0) / CLOCKS_PER_SEC;
        wallSeconds += wall.count();
        if (result.outcome != sedra::AcquisitionOutcome::Done)
            state.SkipWithError("acquisition did not complete");
        polls += card.statusPolls();
        sets += card.setsDelivered();
        worstLateMs = std::max(worstLateMs, double(card.worstLateness().count()) / 1000.0);
    }
    state.counters["cpu_share_%"] = wallSeconds > 0 ? 100.0 * cpuSeconds / wallSeconds : 0.0;
    state.counters["polls_per_set"] = sets > 0 ? polls / sets : 0.0;
    state.counters["worst_late_ms"] = worstLateMs;
}

// Interval in us, samples per channel: the program's default (8 ms), a
// faster interval still long enough to nap in, and one that is not.
BENCHMARK(realTimeAcquisition)
    ->Args({8000, 256})
    ->Args({2000, 1024})
    ->Args({500, 2048})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// A long recording of the fast site model: minutes of three components at
// 100 Hz joined from the card's blocks, as `SEDRA_SIM=hv:...,fast` gives
// them to the program (the model's noise, filter and bursts included).
void fastSiteModel(benchmark::State &state)
{
    sedra::LongAcquisitionPlan plan;
    plan.card.interval = 10000;
    plan.totalSamples = sedra::samplesForMinutes(double(state.range(0)), plan.card.interval);
    std::int64_t samples = 0;
    for (auto _ : state) {
        QString error;
        auto options = sedra::SimulatedCardOptions::parse(
            QStringLiteral("hv:f0=2.0,a0=4,damping=0.15,transients=4,seed=1,fast"), &error);
        sedra::SimulatedCard card(*options);
        const auto result = sedra::AcquireLong(card, plan, nullptr, [&](sedra::LongAcquisitionBlock &&b) {
            samples += std::int64_t(b.samples[0].size());
        });
        benchmark::DoNotOptimize(result.samplesRead);
    }
    state.counters["samples"] = double(samples) / double(state.iterations());
}

BENCHMARK(fastSiteModel)->Arg(20)->Arg(60)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
