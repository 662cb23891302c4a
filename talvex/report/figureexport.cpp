#include "talvex/report/figureexport.h"

#include "common/imaging/bmp16writer.h"
#include "talvex/analysis/sitevelocity.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/columncharts.h"
#include "talvex/charts/resulttables.h"
#include "talvex/report/reportpages.h"
#include "talvex/report/reportpainter.h"
#include "talvex/survey/surveydata.h"

#include <QFontMetricsF>
#include <QPainter>

namespace talvex::report {

namespace {

constexpr int kHeadingY = 10;
constexpr int kRuleY = 30;
constexpr int kFooterY = 915;
constexpr int kFigureTableTop = 40;
constexpr int kFigureContentTop = 88; // below a two-row heading table
constexpr int kFigureHeadingRow = 24; // one row of the heading table
constexpr int kCombinedBottom = 613; // the combined figure ends here, whatever rows stand above it
constexpr int kFrameBottom = 913;
constexpr int kWaveformArea = 837; // height shared by the rows of waveform cells

QFont figureFont(int height)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(height);
    font.setWeight(QFont::Medium);
    return font;
}

PageKind headingKind(FigureKind kind)
{
    switch (kind) {
    case FigureKind::VelocityHistogram: return PageKind::VelocityHistogram;
    case FigureKind::TimeDistance:
    case FigureKind::Combined: return PageKind::TimeDistance;
    case FigureKind::TimeDepthTable: return PageKind::TimeDepthTable;
    case FigureKind::Waveforms: return PageKind::Waveforms;
    }
    return PageKind::VelocityHistogram;
}

void drawCentred(QPainter &painter, int top, const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF((kFigureWidth - metrics.horizontalAdvance(text)) / 2.0, top + metrics.ascent()), text);
}

// The heading table; the optional rows only where `withOptionalRows` (the
// chart figures), as the print flags ask.
int headingTable(QPainter &painter, const ReportContext &context, bool withOptionalRows)
{
    const PrintSettings &s = context.settings;
    charts::HeadingTableOptions options;
    options.personnelLabel = context.personnelLabel;
    options.overburdenRow = withOptionalRows && s.printOverburden != 0;
    options.siteClassRow = withOptionalRows && s.printSiteClass != 0;
    if (options.siteClassRow)
        options.siteClasses = &siteClassesOf(context);
    painter.save();
    const int below = charts::DrawHeadingTable(painter, charts::PatternOutput::Bitmap,
                                               QRect(0, kFigureTableTop, kFigureWidth, kFrameBottom - kFigureTableTop),
                                               context.survey, options);
    painter.restore();
    return below;
}

void drawWaveformCells(QPainter &painter, const ReportContext &context, int page)
{
    const PrintSettings s = clampedToDialogRanges(context.settings);
    const int cellWidth = kFigureWidth / s.columnsPerPage;
    const int cellHeight = kWaveformArea / s.rowsPerPage;
    WaveformCellStyle style;
    style.inset = 39;
    style.positivePen = 1;
    style.negativePen = 1;
    style.linePen = 1;
    style.labelOffset = 6;
    style.labelHeight = 8;
    drawWaveformGrid(painter, context, page, QPoint(0, kFigureContentTop), QSize(cellWidth, cellHeight), style);
}

} // namespace

std::vector<Figure> figureList(const QString &base, const PrintSettings &requested, int pointCount)
{
    const PrintSettings s = clampedToDialogRanges(requested);
    std::vector<Figure> figures;
    int page = 1;
    const auto add = [&](FigureKind kind, const QString &suffix, int waveformPage = 0) {
        figures.push_back({kind, waveformPage, page++, base + suffix});
    };
    if (s.printVelocity) {
        add(FigureKind::VelocityHistogram, QStringLiteral("-波速直方图.bmp"));
        add(FigureKind::TimeDistance, QStringLiteral("-时距曲线图.bmp"));
        add(FigureKind::Combined, QStringLiteral("-时距波速综合曲线图.bmp"));
    }
    if (s.printTable)
        add(FigureKind::TimeDepthTable, QStringLiteral("-时距深度表.bmp"));
    if (s.printWaveforms) {
        const int count = waveformPageCount(s, pointCount);
        for (int k = 0; k < count; ++k)
            add(FigureKind::Waveforms, QStringLiteral("-原始波形图%1.bmp").arg(k), k);
    }
    return figures;
}

QImage renderFigure(ReportContext &context, const Figure &figure)
{
    charts::ensureSongFontSubstitution();
    QImage image(kFigureWidth, kFigureHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const PrintSettings &s = context.settings;

    painter.setPen(Qt::black);
    painter.setFont(figureFont(12));
    drawCentred(painter, kHeadingY, pageHeading(s, headingKind(figure.kind)));
    painter.drawLine(0, kRuleY, kFigureWidth - 1, kRuleY);
    painter.setFont(figureFont(10));
    // Style 4 gives the signature line here as on the printed pages.
    drawCentred(painter, kFooterY - 1, footerText(s.footerStyle, s.firstPageNumber, figure.pageNumber));

    // The chart figures' overburden row shows the stored site velocity: it
    // is brought up to date before anything is painted, so that the
    // painters only read the survey.
    const bool chartFigure = figure.kind == FigureKind::VelocityHistogram || figure.kind == FigureKind::TimeDistance
        || figure.kind == FigureKind::Combined;
    if (chartFigure && s.printOverburden != 0)
        UpdateSiteVelocity(context.survey);

    // The charts start below the optional rows of the heading table.
    const int extra = (s.printOverburden ? kFigureHeadingRow : 0) + (s.printSiteClass ? kFigureHeadingRow : 0);
    switch (figure.kind) {
    case FigureKind::VelocityHistogram:
    case FigureKind::TimeDistance: {
        headingTable(painter, context, true);
        const QRect rect(0, kFigureContentTop + extra, kFigureWidth, kFrameBottom - kFigureContentTop - extra);
        const charts::ColumnChartLayout layout = charts::bitmapColumnLayout(rect, s.printTwoCurves != 0);
        charts::ColumnChartOptions options;
        options.curveName = s.curveName;
        options.patterns = context.patterns;
        painter.save();
        if (figure.kind == FigureKind::VelocityHistogram)
            charts::DrawVelocityHistogram(painter, layout, context.survey, options);
        else
            charts::DrawTimeDistanceChart(painter, layout, context.survey, options);
        painter.restore();
        break;
    }
    case FigureKind::Combined:
        // The heading table stands in the band the figure leaves above it.
        headingTable(painter, context, true);
        painter.save();
        charts::DrawTimeDistanceAndHistogram(
            painter, QRect(0, kFigureContentTop + extra, kFigureWidth, kCombinedBottom - kFigureContentTop - extra),
            context.survey);
        painter.restore();
        break;
    case FigureKind::TimeDepthTable:
        headingTable(painter, context, false);
        painter.save();
        charts::DrawTimeDepthTable(painter, charts::PatternOutput::Bitmap,
                                   QRect(0, kFigureContentTop, kFigureWidth, kFrameBottom - kFigureContentTop),
                                   context.survey);
        painter.restore();
        break;
    case FigureKind::Waveforms:
        headingTable(painter, context, false);
        drawWaveformCells(painter, context, figure.waveformPage);
        break;
    }
    painter.end();
    return image;
}

FigureExportResult ExportFigures(const QString &base, ReportContext &context)
{
    FigureExportResult result;
    for (const Figure &figure : figureList(base, context.settings, int(context.survey.points.size()))) {
        const QImage image = renderFigure(context, figure);
        const common::FileError e = imaging::writeBmp16(figure.path, image);
        if (e.ok) {
            result.written << figure.path;
        } else {
            result.failed << figure.path;
            result.reasons << e.message;
        }
    }
    return result;
}

} // namespace talvex::report
