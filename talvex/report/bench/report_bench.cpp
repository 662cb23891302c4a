// Speed of the report: the PDF of a 200-point survey (two chart pages, the
// table and ten waveform pages; budget 1 s) and the seven figures of a
// 45-point survey (budget 0.5 s together), drawn in memory.

#include "../../charts/tests/chartsurvey.h"
#include "common/imaging/bmp16writer.h"
#include "talvex/report/figureexport.h"
#include "talvex/report/reportpainter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

using namespace talvex;
using namespace talvex::report;

namespace {

void PdfReport200Points(benchmark::State &state)
{
    SurveyData survey = chartsurvey::longSurvey(200);
    ReportContext context{survey, PrintSettings(), 1, nullptr, {}};
    for (auto _ : state) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        if (!paintReport(writer, context))
            state.SkipWithError("the report was not drawn");
        benchmark::DoNotOptimize(bytes.size());
        state.counters["bytes"] = double(bytes.size());
    }
}
BENCHMARK(PdfReport200Points)->Unit(benchmark::kMillisecond);

void SevenFigures45Points(benchmark::State &state)
{
    SurveyData survey = chartsurvey::longSurvey(45);
    ReportContext context{survey, PrintSettings(), 1, nullptr, {}};
    const auto figures = figureList(QStringLiteral("bench"), context.settings, 45);
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const Figure &figure : figures)
            bytes += imaging::encodeBmp16(renderFigure(context, figure)).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(SevenFigures45Points)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
