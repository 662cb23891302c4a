// Speed of talvex-cli batch: 50 holes of 40 points each (budget 10 s on two
// cores without the report), and the same with the PDF report and figures.
// The holes are generated once; every iteration runs the program as a user
// would, into a fresh output folder.

#include "tools/samplegen/syntheticsurvey.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kHoles = 50;
constexpr float kDepth = 40.0f;

// The generated holes, ZK1 ... ZK50, each with layers of its own.
const QString &holesFolder()
{
    static QTemporaryDir dir;
    static const QString folder = [] {
        const QString holes = dir.filePath(QStringLiteral("holes"));
        for (int i = 1; i <= kHoles; ++i) {
            samplegen::SurveyModel model = samplegen::defaultModel();
            model.holeName = "ZK" + std::to_string(i);
            model.holeDepth = kDepth;
            model.seed = 20261207u + std::uint32_t(i);
            const float scale = 0.8f + 0.01f * float(i);
            for (samplegen::ModelLayer &layer : model.layers) {
                layer.vs *= scale;
                layer.vp *= scale;
            }
            model.layers.back().bottom = kDepth;
            QString error;
            if (samplegen::writeRecords(model, holes + QStringLiteral("/ZK%1").arg(i), &error) < 0)
                qFatal("cannot write the holes: %s", qPrintable(error));
        }
        return holes;
    }();
    return folder;
}

void runBatch(benchmark::State &state, const QStringList &options)
{
    const QString holes = holesFolder();
    int run = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir out;
        state.ResumeTiming();
        QProcess process;
        process.start(QStringLiteral(TALVEX_CLI),
                      QStringList{QStringLiteral("batch"), holes, out.filePath(QStringLiteral("out"))} + options);
        if (!process.waitForFinished(600000) || process.exitCode() != 0) {
            state.SkipWithError("batch did not finish every hole");
            break;
        }
        ++run;
    }
    state.counters["holes"] = kHoles;
    state.counters["runs"] = run;
}

void Batch50Holes40PointsNoReport(benchmark::State &state)
{
    runBatch(
        state,
        {QStringLiteral("--no-report"), QStringLiteral("--no-figures"), QStringLiteral("--jobs"), QStringLiteral("2")});
}
BENCHMARK(Batch50Holes40PointsNoReport)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void Batch50Holes40PointsWithReport(benchmark::State &state)
{
    runBatch(state, {QStringLiteral("--jobs"), QStringLiteral("2")});
}
BENCHMARK(Batch50Holes40PointsWithReport)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
