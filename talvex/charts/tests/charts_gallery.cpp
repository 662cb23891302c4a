// Writes what the view shows for the generated sample hole, one PNG per
// display mode, a sheet of the 82 built-in soil pictures with their
// catalogue names, and the print and bitmap variants of the result charts
// and tables (print-*.png drawn as on an A4 page, bitmap-*.png as in a
// 646 x 925 figure), into the folder given on the command line: for looking
// at the drawings as a user would see them.

#include "chartsurvey.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/columncharts.h"
#include "talvex/charts/resulttables.h"
#include "talvex/charts/soilpatterns.h"
#include "talvex/charts/viewrender.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

using namespace talvex;
using namespace talvex::charts;

namespace {

enum class Content { Histogram, TimeDistance, Table };

// A page of A4 with the default margins (16, 8, 12, 8 mm), in 0.01 mm with
// y down, drawn at `pixelsPerMm`.
QImage printPage(SurveyData survey, Content content, double pixelsPerMm)
{
    const QRect usable(1600, 1200, 21000 - 2400, 29700 - 2000);
    QImage image(int(21000 * pixelsPerMm / 100), int(29700 * pixelsPerMm / 100), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixelsPerMm / 100, pixelsPerMm / 100);
    const bool charts = content != Content::Table;
    const int tableTop = usable.top() + 800;
    const QRect table(usable.left(), tableTop, usable.width(), charts ? usable.bottom() - 200 - tableTop : 0);
    DrawHeadingTable(p, PatternOutput::Print, table, survey, {1, charts});
    const int extra = charts ? 600 : 0;
    const QRect area(usable.left(), usable.top() + 2000 + extra, usable.width(), usable.height() - 2200 - extra);
    if (content == Content::Histogram)
        DrawVelocityHistogram(p, printColumnLayout(area, true), survey, {});
    else if (content == Content::TimeDistance)
        DrawTimeDistanceChart(p, printColumnLayout(area, true), survey, {});
    else
        DrawTimeDepthTable(p, PatternOutput::Print, area, survey);
    return image;
}

// A 646 x 925 figure below its heading rule.
QImage bitmapFigure(SurveyData survey, int content)
{
    QImage image(646, 925, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.drawLine(0, 30, 646, 30);
    if (content == 3) {
        DrawTimeDistanceAndHistogram(p, QRect(0, 112, 646, 501), survey);
        return image;
    }
    DrawHeadingTable(p, PatternOutput::Bitmap, QRect(0, 40, 646, 873), survey, {1, content != 2});
    if (content == 0)
        DrawVelocityHistogram(p, bitmapColumnLayout(QRect(0, 112, 646, 801), true), survey, {});
    else if (content == 1)
        DrawTimeDistanceChart(p, bitmapColumnLayout(QRect(0, 112, 646, 801), true), survey, {});
    else
        DrawTimeDepthTable(p, PatternOutput::Bitmap, QRect(0, 88, 646, 825), survey);
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: talvex_charts_gallery FOLDER [SCALE]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
    QDir().mkpath(folder);
    const chartsurvey::Sample sample = chartsurvey::generatedSample();

    for (int mode = 0; mode <= 5; ++mode) {
        RenderOptions options;
        options.mode = DisplayMode(mode);
        options.point = 4;
        options.cursorX = 420;
        options.depthCursor = 430;
        options.scale = scale;
        QString error;
        const auto image = renderView(sample.survey, sample.record, options, &error);
        if (!image) {
            std::fprintf(stderr, "mode %d: %s\n", mode, qPrintable(error));
            return 1;
        }
        image->save(QDir(folder).filePath(QStringLiteral("mode%1.png").arg(mode)));
    }

    const QDir out(folder);
    const double pixelsPerMm = scale * 4.0;
    printPage(sample.survey, Content::Histogram, pixelsPerMm).save(out.filePath(QStringLiteral("print-histogram.png")));
    printPage(sample.survey, Content::TimeDistance, pixelsPerMm)
        .save(out.filePath(QStringLiteral("print-timedistance.png")));
    printPage(sample.survey, Content::Table, pixelsPerMm).save(out.filePath(QStringLiteral("print-table.png")));
    const char *const figures[]
        = {"bitmap-histogram.png", "bitmap-timedistance.png", "bitmap-table.png", "bitmap-combined.png"};
    for (int content = 0; content < 4; ++content)
        bitmapFigure(sample.survey, content).save(out.filePath(QString::fromLatin1(figures[content])));

    // 82 pictures in 7 columns, each with its name below it.
    const int columns = 7;
    QImage sheet(columns * 170, (82 + columns - 1) / columns * 135, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setFont(viewFont(16));
    for (int code = 1; code <= 82; ++code) {
        const int x = (code - 1) % columns * 170 + 10;
        const int y = (code - 1) / columns * 135 + 5;
        p.drawImage(x, y, builtInSoilPattern(code));
        p.setPen(Qt::black);
        p.drawRect(x - 1, y - 1, 151, 101);
        drawTextAt(p, x, y + 104, patternEntries()[code]);
    }
    p.end();
    sheet.save(QDir(folder).filePath(QStringLiteral("patterns.png")));
    std::printf("written to %s\n", qPrintable(folder));
    return 0;
}
