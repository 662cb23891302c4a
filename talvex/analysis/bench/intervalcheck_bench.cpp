// Speed of the interval check: the alignment of every neighbouring pair
// (once per change of the traces) and the comparison with the picks (after
// every pick), on a hole of 30 points and on a long survey of 1000 points
// of the sample model at 25 µs sampling, and after one trace edit of a
// survey of 10000 points.

#include "talvex/analysis/intervalcheck.h"
#include "talvex/survey/surveydata.h"
#include "tools/samplegen/syntheticsurvey.h"

#include <benchmark/benchmark.h>

using namespace talvex;

namespace {

SurveyData sampleHole(int points)
{
    samplegen::SurveyModel model = samplegen::defaultModel();
    model.signalToNoise = 10.0;
    SurveyData s;
    s.header.sourceDistance = model.sourceDistance;
    const std::vector<double> depths = samplegen::receiverDepths(model);
    for (int i = 0; i < points; ++i) {
        const double depth = depths[std::size_t(i) % depths.size()];
        TlvOne p = samplegen::makePoint(model, depth);
        p.sArrival = std::int16_t(samplegen::arrivalSample(model, depth));
        p.depth = float(i + 1); // a survey as long as asked
        s.points.push_back(p);
    }
    return s;
}

void BM_AlignNeighbours(benchmark::State &state)
{
    const SurveyData survey = sampleHole(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(AlignNeighbours(survey));
    state.counters["pairs/s"]
        = benchmark::Counter(double(state.range(0) - 1), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AlignNeighbours)->Arg(30)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_CheckWithAlignments(benchmark::State &state)
{
    const SurveyData survey = sampleHole(int(state.range(0)));
    const std::vector<PairAlignment> alignments = AlignNeighbours(survey);
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckIntervals(survey, alignments, {}));
}
BENCHMARK(BM_CheckWithAlignments)->Arg(30)->Arg(1000)->Unit(benchmark::kMillisecond);

// The window's case: one trace of a long survey edited, the alignments
// brought up to date and the picks checked again.
void BM_UpdateAfterOneEdit(benchmark::State &state)
{
    SurveyData survey = sampleHole(int(state.range(0)));
    NeighbourAlignments kept;
    kept.update(survey);
    std::size_t edited = 0;
    for (auto _ : state) {
        TlvOne &point = survey.points[edited];
        point.positive[100] = std::int16_t(point.positive[100] + 1);
        benchmark::DoNotOptimize(CheckIntervals(survey, kept.update(survey), {}));
        edited = (edited + 7) % survey.points.size();
    }
}
BENCHMARK(BM_UpdateAfterOneEdit)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
