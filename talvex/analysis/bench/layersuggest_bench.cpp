// Speed of the layer suggestion and the site classes on holes met in
// practice (100 points) and on the largest the suggestion takes.

#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/siteclass.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/survey/surveydata.h"

#include <benchmark/benchmark.h>
#include <cmath>

using namespace talvex;

namespace {

// A single-hole survey over three layers (150, 300 and 600 m/s, breaks at
// 30 % and 65 % of the depth), picked to the nearest 25 µs sample.
SurveyData layeredHole(int points)
{
    SurveyData s;
    s.header.sourceDistance = 1.5f;
    const double depth = points * 0.5;
    for (int i = 1; i <= points; ++i) {
        const double d = i * 0.5;
        const double b1 = 0.3 * depth;
        const double b2 = 0.65 * depth;
        double vertical = std::min(d, b1) / 150.0;
        if (d > b1)
            vertical += (std::min(d, b2) - b1) / 300.0;
        if (d > b2)
            vertical += (d - b2) / 600.0;
        const double travelMs = vertical * 1000.0 * std::sqrt(1.5 * 1.5 + d * d) / d;
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = float(d);
        p.interval = 25.0f;
        p.sArrival = std::int16_t(std::lround(travelMs / 0.025));
        p.pointVelocity = d <= b1 ? 150.0f : d <= b2 ? 300.0f : 600.0f;
        s.points.push_back(p);
    }
    return s;
}

void BM_SuggestLayers(benchmark::State &state)
{
    const SurveyData s = layeredHole(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SuggestLayers(s));
}
BENCHMARK(BM_SuggestLayers)->Arg(100)->Arg(1000)->Arg(kMaxSuggestionPoints)->Unit(benchmark::kMillisecond);

void BM_ClassifySite(benchmark::State &state)
{
    const SurveyData s = layeredHole(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ClassifySite(s));
}
BENCHMARK(BM_ClassifySite)->Arg(100)->Unit(benchmark::kMicrosecond);

// The bounds: 1000 draws through the classification (the suggestions are
// given, hand picks everywhere, so only the draws are timed).
void BM_ClassifySiteWithBounds(benchmark::State &state)
{
    const SurveyData s = layeredHole(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(ClassifySiteWithBounds(s, {}));
}
BENCHMARK(BM_ClassifySiteWithBounds)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SuggestLayersWithBounds(benchmark::State &state)
{
    const SurveyData s = layeredHole(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(SuggestLayers(s, {}));
}
BENCHMARK(BM_SuggestLayersWithBounds)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
