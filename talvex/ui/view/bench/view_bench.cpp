// Speed of the main view with a 10,000-point survey: opening it and showing
// the first screen, moving the time cursor (which must paint no trace: the
// counter scene_paints stays 0), a full repaint of the visible multi-trace
// rows, switching to the velocity histogram, and the arrival suggestions
// shown and kept across a pick.

#include "common/messenger.h"
#include "talvex/document/surveydocument.h"
#include "talvex/ui/view/ctalvexview.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>

using namespace talvex;

namespace {

constexpr int kPoints = 10000;
const QSize kScreen(1920, 1080);

struct Files {
    QTemporaryDir dir;
    QString survey = dir.filePath(QStringLiteral("big.qsw"));
    QString settings = dir.filePath(QStringLiteral("view.ini"));
};

Files &files()
{
    static Files f;
    static bool written = false;
    if (!written) {
        SurveyDocument doc;
        SurveyData &s = doc.survey();
        s.header.holeDepth = float(kPoints) * 0.5f;
        for (int i = 0; i < kPoints; ++i) {
            TlvOne p = TlvOne::newPoint(1.5f);
            p.depth = float(i + 1) * 0.5f;
            p.interval = 25.0f;
            p.delay = 2.0f;
            p.sArrival = std::int16_t(200 + i % 300);
            p.pointVelocity = 150.0f + float(i % 50) * 5.0f;
            for (int j = 0; j < kTraceLength; ++j) {
                p.positive[std::size_t(j)] = std::int16_t(8000.0 * std::sin(j * 0.04 + i) * std::exp(-j / 600.0));
                p.negative[std::size_t(j)] = std::int16_t(-p.positive[std::size_t(j)]);
            }
            s.points.push_back(p);
        }
        DiChengOne layer;
        layer.bottom = s.header.holeDepth;
        s.layers.push_back(layer);
        common::ConsoleMessenger messenger;
        if (!doc.save(f.survey, messenger))
            std::fprintf(stderr, "cannot write %s\n", qPrintable(f.survey));
        written = true;
    }
    return f;
}

// An open survey in a view of screen size that has painted its first screen.
struct OpenView {
    OpenView()
    {
        common::ConsoleMessenger messenger;
        document.load(files().survey, messenger);
        view = std::make_unique<CtalvexView>(document, files().settings);
        view->resize(kScreen);
        view->show();
        QCoreApplication::processEvents();
        view->viewport()->repaint();
    }
    SurveyDocument document;
    std::unique_ptr<CtalvexView> view;
};

void BM_OpenSurveyAndShowFirstScreen(benchmark::State &state)
{
    files();
    for (auto _ : state) {
        OpenView open;
        benchmark::DoNotOptimize(open.view->scenePaintCount());
    }
}
BENCHMARK(BM_OpenSurveyAndShowFirstScreen)->Unit(benchmark::kMillisecond);

// The document's part of the open, for comparison.
void BM_LoadSurvey(benchmark::State &state)
{
    files();
    for (auto _ : state) {
        SurveyDocument document;
        common::ConsoleMessenger messenger;
        benchmark::DoNotOptimize(document.load(files().survey, messenger));
    }
}
BENCHMARK(BM_LoadSurvey)->Unit(benchmark::kMillisecond);

void BM_MoveTimeCursor(benchmark::State &state)
{
    OpenView open;
    const int before = open.view->scenePaintCount();
    int x = 200;
    for (auto _ : state) {
        x = x == 200 ? 700 : 200;
        open.view->MoveTimeCursor(x);
        open.view->viewport()->repaint();
    }
    state.counters["scene_paints"] = double(open.view->scenePaintCount() - before);
}
BENCHMARK(BM_MoveTimeCursor)->Unit(benchmark::kMicrosecond);

void BM_RepaintVisibleRows(benchmark::State &state)
{
    OpenView open;
    QScrollBar *bar = open.view->verticalScrollBar();
    int y = 0;
    for (auto _ : state) {
        y = y == 0 ? bar->maximum() / 2 : 0; // a scroll repaints the whole screen
        bar->setValue(y);
        open.view->viewport()->repaint();
    }
}
BENCHMARK(BM_RepaintVisibleRows)->Unit(benchmark::kMillisecond);

void BM_SwitchToHistogram(benchmark::State &state)
{
    OpenView open;
    for (auto _ : state) {
        open.view->showVelocityHistogram();
        open.view->viewport()->repaint();
        state.PauseTiming();
        open.view->showMultiTrace();
        open.view->viewport()->repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SwitchToHistogram)->Unit(benchmark::kMillisecond);

// Turning the arrival suggestions on over the open survey: what the window
// thread spends (the points are then computed on the worker, nearest the
// current point first) until the first screen is drawn.
void BM_ShowArrivalSuggestions(benchmark::State &state)
{
    OpenView open;
    for (auto _ : state) {
        open.document.setSuggestionsShown(true);
        open.view->viewport()->repaint();
        state.PauseTiming();
        open.document.setSuggestionsShown(false);
        open.view->viewport()->repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowArrivalSuggestions)->Unit(benchmark::kMillisecond);

// Every point's suggestion computed on the worker after turning them on
// (the window stays responsive meanwhile; this is how long until all
// markers are there).
void BM_AllSuggestionsComputed(benchmark::State &state)
{
    OpenView open;
    for (auto _ : state) {
        open.document.setSuggestionsShown(true);
        open.document.suggestions().waitUntilComplete();
        state.PauseTiming();
        open.document.setSuggestionsShown(false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AllSuggestionsComputed)->Unit(benchmark::kMillisecond)->Iterations(2);

// One trace edited while the suggestions are shown: the edit, the
// comparison of every point, the changed neighbourhood computed again and
// the screen redrawn with its markers (counter recomputed: points computed
// again per edit).
void BM_ResuggestAfterTraceEdit(benchmark::State &state)
{
    OpenView open;
    open.document.setSuggestionsShown(true);
    open.document.suggestions().waitUntilComplete();
    const int before = open.document.suggestions().computedPoints();
    int edits = 0;
    for (auto _ : state) {
        TlvOne &point = open.document.survey().points[5000];
        for (std::int16_t &v : point.positive)
            v = std::int16_t(-v);
        open.document.survey().markModified(SurveyParts::Points);
        open.document.suggestions().waitUntilComplete();
        open.view->viewport()->repaint();
        ++edits;
    }
    state.counters["recomputed"] = double(open.document.suggestions().computedPoints() - before) / edits;
}
BENCHMARK(BM_ResuggestAfterTraceEdit)->Unit(benchmark::kMillisecond);

// A pick while the suggestions are shown: the points change but the traces
// do not, so the suggestions are only compared (counter recomputed stays 0)
// and the screen redrawn with its markers.
void BM_PickWithSuggestionsShown(benchmark::State &state)
{
    OpenView open;
    open.document.setSuggestionsShown(true);
    open.document.suggestions().waitUntilComplete();
    open.view->viewport()->repaint();
    const int before = open.document.suggestions().computedPoints();
    std::int16_t sample = 300;
    for (auto _ : state) {
        sample = sample == 300 ? 301 : 300;
        open.document.survey().points[0].sArrival = sample;
        open.document.survey().markModified(SurveyParts::Points);
        open.view->viewport()->repaint();
    }
    state.counters["recomputed"] = double(open.document.suggestions().computedPoints() - before);
}
BENCHMARK(BM_PickWithSuggestionsShown)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
