#include "talvex/report/reportpainter.h"

#include "talvex/analysis/siteuncertainty.h"
#include "talvex/analysis/sitevelocity.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/columncharts.h"
#include "talvex/charts/resulttables.h"
#include "talvex/survey/surveydata.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace talvex::report {

const SiteClassification &siteClassesOf(const ReportContext &context)
{
    if (!context.siteClasses)
        context.siteClasses = std::make_shared<const SiteClassification>(ClassifySiteWithBounds(context.survey));
    return *context.siteClasses;
}

namespace {

constexpr int kTableTop = 800; // the page frame starts 8 mm below the heading
constexpr int kContentTop = 2000; // charts, table and cells start 20 mm below it
constexpr int kContentBottomGap = 200; // the frame ends 2 mm above the usable bottom
constexpr int kHeadingRow = 600; // height of a row of the heading table

// Height the optional rows of the heading table add above the chart: the
// overburden row and the site class row, each one row.
int optionalRowsHeight(const PrintSettings &s)
{
    return (s.printOverburden ? kHeadingRow : 0) + (s.printSiteClass ? kHeadingRow : 0);
}

QFont songFont(int height, QFont::Weight weight)
{
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(std::max(1, height));
    font.setWeight(weight);
    return font;
}

// Text centred on `centreX` with its top at `top`.
void drawCentred(QPainter &painter, double centreX, double top, const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF(centreX - metrics.horizontalAdvance(text) / 2.0, top + metrics.ascent()), text);
}

void paintHeadingAndFooter(QPainter &painter, const PrintSettings &settings, const QRect &area, PageKind kind,
                           int pageIndex)
{
    painter.save();
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(songFont(450, QFont::ExtraBold));
    const double centre = area.left() + area.width() / 2.0;
    // A long heading is set smaller rather than run off the sheet (the 4.5 mm
    // bold heading down to 2.5 mm, larger than the tables' text).
    drawCentred(painter, centre, area.top(),
                charts::fitTextToWidth(painter, pageHeading(settings, kind), area.width(), 0.55));
    painter.setPen(QPen(Qt::black, 2));
    painter.drawLine(QPointF(area.left(), area.top() + 500), QPointF(area.left() + area.width(), area.top() + 500));
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(songFont(300, QFont::Medium));
    drawCentred(painter, centre, area.top() + area.height(),
                footerText(settings.footerStyle, settings.firstPageNumber, pageIndex));
    painter.restore();
}

void paintChartPage(QPainter &painter, const ReportContext &context, const QRect &area, PageKind kind)
{
    const PrintSettings &s = context.settings;
    const int extra = optionalRowsHeight(s);
    painter.save();
    charts::HeadingTableOptions table;
    table.personnelLabel = context.personnelLabel;
    table.overburdenRow = s.printOverburden != 0;
    table.siteClassRow = s.printSiteClass != 0;
    if (table.siteClassRow)
        table.siteClasses = &siteClassesOf(context);
    charts::DrawHeadingTable(
        painter, charts::PatternOutput::Print,
        QRect(area.left(), area.top() + kTableTop, area.width(), area.height() - kTableTop - kContentBottomGap),
        context.survey, table);
    painter.restore();

    const QRect rect(area.left(), area.top() + kContentTop + extra, area.width(),
                     area.height() - kContentTop - kContentBottomGap - extra);
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    const charts::ColumnChartLayout layout = charts::printColumnLayout(rect, s.printTwoCurves != 0);
    charts::ColumnChartOptions options;
    options.curveName = s.curveName;
    options.patterns = context.patterns;
    painter.save();
    if (kind == PageKind::VelocityHistogram)
        charts::DrawVelocityHistogram(painter, layout, context.survey, options);
    else
        charts::DrawTimeDistanceChart(painter, layout, context.survey, options);
    painter.restore();
}

void paintTablePage(QPainter &painter, const ReportContext &context, const QRect &area)
{
    painter.save();
    charts::HeadingTableOptions table;
    table.personnelLabel = context.personnelLabel;
    // The frame holds just the rows on this page.
    charts::DrawHeadingTable(painter, charts::PatternOutput::Print,
                             QRect(area.left(), area.top() + kTableTop, area.width(), 0), context.survey, table);
    painter.restore();
    const QRect rect(area.left(), area.top() + kContentTop, area.width(),
                     area.height() - kContentTop - kContentBottomGap);
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.save();
    charts::DrawTimeDepthTable(painter, charts::PatternOutput::Print, rect, context.survey);
    painter.restore();
}

void paintWaveformPage(QPainter &painter, const ReportContext &context, const QRect &area, int page)
{
    const PrintSettings s = clampedToDialogRanges(context.settings);
    painter.save();
    charts::HeadingTableOptions table;
    table.personnelLabel = context.personnelLabel;
    charts::DrawHeadingTable(
        painter, charts::PatternOutput::Print,
        QRect(area.left(), area.top() + kTableTop, area.width(), area.height() - kTableTop - kContentBottomGap),
        context.survey, table);
    painter.restore();

    const int cellWidth = area.width() / s.columnsPerPage;
    const int cellHeight = (area.height() - kContentTop - kContentBottomGap) / s.rowsPerPage;
    if (cellWidth <= 0 || cellHeight <= 0)
        return;
    drawWaveformGrid(painter, context, page, QPoint(area.left(), area.top() + kContentTop),
                     QSize(cellWidth, cellHeight), WaveformCellStyle()); // the printed page's sizes
}

int largestMagnitude(const Trace &trace)
{
    int largest = 0;
    for (const std::int16_t v : trace)
        largest = std::max(largest, std::abs(int(v)));
    return largest;
}

void drawTrace(QPainter &painter, const Trace &trace, double left, double width, double centreY, double halfHeight,
               const QPen &pen)
{
    const int largest = largestMagnitude(trace);
    if (largest == 0)
        return;
    const double scale = 0.95 * halfHeight / largest;
    const double step = width / kTraceLength;
    QPolygonF line;
    line.reserve(kTraceLength);
    for (int i = 0; i < kTraceLength; ++i)
        line.append(QPointF(left + i * step, centreY - trace[std::size_t(i)] * scale));
    painter.setPen(pen);
    painter.drawPolyline(line);
}

} // namespace

QRect usableArea(const PrintSettings &requested, QSizeF printableSizeMm)
{
    const PrintSettings s = clampedToDialogRanges(requested);
    const int width = int(std::lround(printableSizeMm.width() * 100.0));
    const int height = int(std::lround(printableSizeMm.height() * 100.0));
    return QRect(s.marginLeft * 100, s.marginTop * 100, width - (s.marginLeft + s.marginRight) * 100,
                 height - (s.marginTop + s.marginBottom) * 100);
}

void drawWaveformCell(QPainter &painter, const QRect &cell, const TlvOne &point, const WaveformCellStyle &style)
{
    painter.save();
    const double centreY = cell.top() + cell.height() / 2.0;
    const double left = cell.left() + style.inset;
    const double width = cell.width() - style.inset;
    painter.setPen(QPen(Qt::black, style.linePen));
    painter.drawLine(QPointF(left, centreY), QPointF(cell.left() + cell.width(), centreY));
    if (width > 0) {
        const double half = cell.height() / 2.0;
        drawTrace(painter, point.positive, left, width, centreY, half,
                  QPen(charts::kPositiveColour, style.positivePen));
        drawTrace(painter, point.negative, left, width, centreY, half,
                  QPen(charts::kNegativeColour, style.negativePen));
        if (point.sArrival > 0 && point.sArrival < kTraceLength) {
            const double x = left + point.sArrival * width / kTraceLength;
            painter.setPen(QPen(Qt::black, style.linePen));
            painter.drawLine(QPointF(x, cell.top() + cell.height() * 0.2),
                             QPointF(x, cell.top() + cell.height() * 0.8));
        }
    }
    painter.setPen(QPen(Qt::black, 0));
    // The depth stays inside its cell: in rows lower than twice its height
    // it is set smaller and moved down as far as needed, never over the
    // row above or the heading table.
    painter.setFont(songFont(std::max(1, std::min(style.labelHeight, cell.height() / 2)), QFont::Medium));
    const QFontMetricsF metrics(painter.font());
    const double baseline
        = std::max(centreY - style.labelOffset - metrics.descent(), double(cell.top()) + metrics.ascent());
    painter.drawText(QPointF(cell.left() + style.labelOffset, baseline),
                     QString::asprintf("%.1fm", double(point.depth)));
    painter.restore();
}

bool paintReportPage(QPainter &painter, ReportContext &context, int pageIndex, QSizeF printableSizeMm)
{
    const std::vector<ReportPage> pages = reportPages(context.settings, int(context.survey.points.size()));
    if (pageIndex < 1 || pageIndex > int(pages.size()))
        return false;
    charts::ensureSongFontSubstitution();
    const ReportPage page = pages[std::size_t(pageIndex - 1)];
    const QRect area = usableArea(context.settings, printableSizeMm);
    // The overburden row of a chart page shows the stored site velocity:
    // it is brought up to date here, before the page is painted, so that
    // the painters only read the survey.
    if ((page.kind == PageKind::VelocityHistogram || page.kind == PageKind::TimeDistance)
        && context.settings.printOverburden != 0)
        UpdateSiteVelocity(context.survey);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    paintHeadingAndFooter(painter, context.settings, area, page.kind, pageIndex);
    switch (page.kind) {
    case PageKind::VelocityHistogram:
    case PageKind::TimeDistance: paintChartPage(painter, context, area, page.kind); break;
    case PageKind::TimeDepthTable: paintTablePage(painter, context, area); break;
    case PageKind::Waveforms: paintWaveformPage(painter, context, area, page.waveformPage); break;
    }
    painter.restore();
    return true;
}

bool paintReport(QPagedPaintDevice &device, ReportContext &context, int fromPage, int toPage, QString *error)
{
    const int count = int(reportPages(context.settings, int(context.survey.points.size())).size());
    const int first = std::max(1, fromPage);
    const int last = toPage <= 0 ? count : std::min(toPage, count);
    if (first > last) {
        if (error)
            *error = QStringLiteral("没有可打印的页（页面设置中没有选择任何内容，或页码超出范围）");
        return false;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("不能在输出设备上绘图");
        return false;
    }
    const QSizeF printable = device.pageLayout().paintRect(QPageLayout::Millimeter).size();
    const double scaleX = device.logicalDpiX() / 2540.0;
    const double scaleY = device.logicalDpiY() / 2540.0;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage()) {
            painter.end();
            if (error)
                *error = QStringLiteral("不能开始第 %1 页").arg(page);
            return false;
        }
        painter.resetTransform();
        painter.scale(scaleX, scaleY);
        paintReportPage(painter, context, page, printable);
    }
    if (!painter.end()) {
        if (error)
            *error = QStringLiteral("输出设备未能完成绘图");
        return false;
    }
    return true;
}

void drawWaveformGrid(QPainter &painter, const ReportContext &context, int page, QPoint origin, QSize cellSize,
                      const WaveformCellStyle &style)
{
    const PrintSettings s = clampedToDialogRanges(context.settings);
    const int count = int(context.survey.points.size());
    for (int column = 0; column < s.columnsPerPage; ++column) {
        for (int row = 0; row < s.rowsPerPage; ++row) {
            const int index = waveformCellPoint(s, page, column, row);
            if (index >= count)
                return;
            const QRect cell(origin.x() + column * cellSize.width(), origin.y() + row * cellSize.height(),
                             cellSize.width(), cellSize.height());
            drawWaveformCell(painter, cell, context.survey.points[std::size_t(index)], style);
        }
    }
}

} // namespace talvex::report
