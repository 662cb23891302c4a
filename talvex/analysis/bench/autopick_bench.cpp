// Automatic arrival suggestions on generated 100-point holes at three noise
// levels (signal-to-noise 20, 5 and 2: the peak S-wave amplitude of each
// trace over the RMS of the white noise added to it). Besides the time for
// one hole (both passes of SuggestArrivals), each level reports,
// over five holes of different noise seeds:
//   within2  share of points whose suggestion lies within 2 samples of the
//            true arrival (points without a suggestion count as misses)
//   without  share of points without a suggestion
//   meanErr  mean absolute error of the suggestions, samples

#include "talvex/analysis/autopick.h"
#include "talvex/survey/surveydata.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

using namespace talvex;

namespace {

constexpr int kHoles = 5;

samplegen::SurveyModel hole(double snr, std::uint32_t seed)
{
    samplegen::SurveyModel m = samplegen::defaultModel();
    m.layers.back().bottom = 100.0f;
    m.holeDepth = 100.0f;
    m.signalToNoise = snr;
    m.seed = seed;
    return m;
}

SurveyData survey(const samplegen::SurveyModel &model)
{
    SurveyData s;
    for (const double depth : samplegen::receiverDepths(model))
        s.points.push_back(samplegen::makePoint(model, depth));
    return s;
}

void BM_SuggestArrivals100(benchmark::State &state)
{
    const double snr = double(state.range(0));
    int points = 0, within = 0, without = 0;
    double error = 0.0;
    for (int h = 0; h < kHoles; ++h) {
        const samplegen::SurveyModel model = hole(snr, 20261207u + std::uint32_t(h) * 7919u);
        const SurveyData s = survey(model);
        const std::vector<ArrivalSuggestion> all = SuggestArrivals(s);
        for (std::size_t i = 0; i < all.size(); ++i) {
            ++points;
            if (!all[i].found) {
                ++without;
                continue;
            }
            const int miss = std::abs(all[i].sample - samplegen::arrivalSample(model, s.points[i].depth));
            error += miss;
            within += miss <= 2 ? 1 : 0;
        }
    }
    const SurveyData timed = survey(hole(snr, 20261207u));
    for (auto _ : state)
        benchmark::DoNotOptimize(SuggestArrivals(timed));
    state.counters["within2"] = double(within) / points;
    state.counters["without"] = double(without) / points;
    state.counters["meanErr"] = points > without ? error / (points - without) : 0.0;
}
BENCHMARK(BM_SuggestArrivals100)->Arg(20)->Arg(5)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
