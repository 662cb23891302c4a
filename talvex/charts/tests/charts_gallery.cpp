// Writes what the view shows for the generated sample hole, one PNG per
// display mode, and a sheet of the 82 built-in soil pictures with their
// catalogue names, into the folder given on the command line: for looking
// at the drawings as a user would see them.

#include "chartsurvey.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/soilpatterns.h"
#include "talvex/charts/viewrender.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>

using namespace talvex;
using namespace talvex::charts;

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
