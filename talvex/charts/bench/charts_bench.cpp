// Painting speed of the main view with a 10,000-point survey open, on a
// 1920 x 1080 window: a full repaint of the visible rows of the multi-trace
// view (budget 16 ms), the switch to the velocity histogram with its
// drawing (budget 50 ms), and a time cursor move over the cached picture.
// Also the bitmap figures of the same survey: the velocity histogram, the
// combined figure and the time-depth table, each in a 646 x 925 picture, and
// the print histogram on an A4 page at 600 dpi.

#include "../tests/chartsurvey.h"
#include "talvex/analysis/layervelocity.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/columncharts.h"
#include "talvex/charts/resulttables.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/charts/viewpainter.h"
#include "talvex/processing/frequencydisplay.h"
#include "talvex/processing/rawrecorddisplay.h"
#include "records/fieldrecord.h"

#include <QGuiApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace talvex;
using namespace talvex::charts;

namespace {

constexpr int kPoints = 10000;
const QSize kWindow(1920, 1080);

struct Fixture {
    SurveyData survey = chartsurvey::longSurvey(kPoints);
    FieldRecord record;
    RawRecordDisplay raw;
    FrequencyDisplay spectrum;

    Fixture()
    {
        // Fifty velocity layers of 100 m down the 5000 m hole.
        for (int i = 0; i < 50; ++i) {
            DiChengOne layer;
            layer.top = 100.0f * float(i);
            layer.bottom = 100.0f * float(i + 1);
            survey.layers.push_back(layer);
        }
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// The window's picture: the logical band starting at `top`, at the view's
// scale on a 96 dpi screen.
void paintWindow(QImage &window, const ViewScene &scene, double scale, int top)
{
    const double factor = scale * 96.0 / 100.0;
    window.fill(Qt::white);
    QPainter p(&window);
    p.scale(factor, factor);
    p.translate(0, -top);
    const QRect visible(0, top, int(kWindow.width() / factor) + 1, int(kWindow.height() / factor) + 1);
    paintScene(p, scene, visible);
    paintOverlay(p, scene);
}

void BM_MultiTraceVisibleRows(benchmark::State &state)
{
    Fixture &f = fixture();
    ViewState view;
    view.currentPoint = kPoints / 2;
    const ViewScene scene{f.survey, view, f.record, f.raw, f.spectrum};
    const double scale = double(state.range(0)) / 100.0;
    QImage window(kWindow, QImage::Format_ARGB32_Premultiplied);
    const int top = multiTraceRowTop(kPoints / 2 - 3);
    for (auto _ : state)
        paintWindow(window, scene, scale, top);
    state.SetLabel("scale " + std::to_string(state.range(0)) + "%");
}
BENCHMARK(BM_MultiTraceVisibleRows)->Arg(75)->Arg(100)->Arg(50)->Unit(benchmark::kMillisecond);

void BM_SwitchToHistogram(benchmark::State &state)
{
    Fixture &f = fixture();
    ViewState view;
    view.mode = DisplayMode::VelocityHistogram;
    view.depthCursor = 102;
    QImage window(kWindow, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        // What the histogram command does: refresh the layer velocities, then
        // the view paints the chart.
        RefreshLayerVelocities(f.survey);
        const ViewScene scene{f.survey, view, f.record, f.raw, f.spectrum};
        paintWindow(window, scene, 0.75, 0);
    }
}
BENCHMARK(BM_SwitchToHistogram)->Unit(benchmark::kMillisecond);

void BM_TimeCursorMove(benchmark::State &state)
{
    // A cursor move: the cached picture is put back over the two strips the
    // line leaves and reaches, and the line is drawn again; no trace is painted.
    Fixture &f = fixture();
    ViewState view;
    view.currentPoint = kPoints / 2;
    const ViewScene scene{f.survey, view, f.record, f.raw, f.spectrum};
    QImage cache(kWindow, QImage::Format_ARGB32_Premultiplied);
    const int top = multiTraceRowTop(kPoints / 2 - 3);
    paintWindow(cache, scene, 0.75, top);
    QImage window = cache.copy();
    const double factor = 0.72;
    int x = 300;
    for (auto _ : state) {
        QPainter p(&window);
        p.scale(factor, factor);
        p.translate(0, -top);
        for (const QRect &strip : {timeCursorStrip(view, view.cursorX), timeCursorStrip(view, x)}) {
            const QRect device = p.transform().mapRect(strip).adjusted(-1, -1, 1, 1);
            p.save();
            p.resetTransform();
            p.drawImage(device.topLeft(), cache, device);
            p.restore();
        }
        view.cursorX = x;
        paintOverlay(p, scene);
        x = x >= 1100 ? 120 : x + 1;
    }
}
BENCHMARK(BM_TimeCursorMove)->Unit(benchmark::kMicrosecond);

void BM_BitmapFigure(benchmark::State &state)
{
    Fixture &f = fixture();
    QImage figure(646, 925, QImage::Format_RGB16);
    for (auto _ : state) {
        figure.fill(Qt::white);
        QPainter p(&figure);
        switch (state.range(0)) {
        case 0: DrawVelocityHistogram(p, bitmapColumnLayout(QRect(0, 112, 646, 801), true), f.survey, {}); break;
        case 1: DrawTimeDistanceAndHistogram(p, QRect(0, 112, 646, 501), f.survey); break;
        default: DrawTimeDepthTable(p, PatternOutput::Bitmap, QRect(0, 88, 646, 825), f.survey); break;
        }
    }
    static const char *const names[] = {"velocity histogram", "combined figure", "time-depth table"};
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_BitmapFigure)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_PrintHistogramPage(benchmark::State &state)
{
    Fixture &f = fixture();
    // A4 at 600 dpi, drawn in 0.01 mm.
    QImage page(4961, 7016, QImage::Format_RGB16);
    const double scale = 600.0 / 2540.0;
    for (auto _ : state) {
        page.fill(Qt::white);
        QPainter p(&page);
        p.scale(scale, scale);
        DrawVelocityHistogram(p, printColumnLayout(QRect(1600, 3200, 18600, 25500), true), f.survey, {});
    }
}
BENCHMARK(BM_PrintHistogramPage)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ensureSongFontSubstitution();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
