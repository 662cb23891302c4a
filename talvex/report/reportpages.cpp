#include "talvex/report/reportpages.h"

namespace talvex::report {

std::vector<ReportPage> reportPages(const PrintSettings &requested, int pointCount)
{
    const PrintSettings settings = clampedToDialogRanges(requested);
    std::vector<ReportPage> pages;
    if (settings.printVelocity) {
        pages.push_back({PageKind::VelocityHistogram, 0});
        pages.push_back({PageKind::TimeDistance, 0});
    }
    if (settings.printTable)
        pages.push_back({PageKind::TimeDepthTable, 0});
    if (settings.printWaveforms) {
        const int count = waveformPageCount(settings, pointCount);
        for (int k = 0; k < count; ++k)
            pages.push_back({PageKind::Waveforms, k});
    }
    return pages;
}

int waveformPageCount(const PrintSettings &requested, int pointCount)
{
    const PrintSettings settings = clampedToDialogRanges(requested);
    if (pointCount <= 0)
        return 0;
    const int perPage = settings.rowsPerPage * settings.columnsPerPage;
    return pointCount / perPage + (pointCount % perPage != 0 ? 1 : 0);
}

int waveformCellPoint(const PrintSettings &requested, int page, int column, int row)
{
    const PrintSettings settings = clampedToDialogRanges(requested);
    return row + settings.rowsPerPage * (column + settings.columnsPerPage * page);
}

QString pageName(PageKind kind)
{
    switch (kind) {
    case PageKind::VelocityHistogram: return QStringLiteral("波速直方图");
    case PageKind::TimeDistance: return QStringLiteral("时距曲线图");
    case PageKind::TimeDepthTable: return QStringLiteral("时距深度表");
    case PageKind::Waveforms: return QStringLiteral("原始波形图");
    }
    return QString();
}

QString pageHeading(const PrintSettings &settings, PageKind kind)
{
    return settings.headerText + pageName(kind);
}

QString footerText(int style, int firstPageNumber, int pageIndex)
{
    const int n = firstPageNumber + pageIndex - 1;
    switch (style) {
    case 1: return QStringLiteral(".%1.").arg(n);
    case 2: return QStringLiteral("-%1-").arg(n);
    case 3: return QStringLiteral("第%1页").arg(n);
    case 4: return QStringLiteral("试验人：") + QString(35, QLatin1Char(' ')) + QStringLiteral("审核人：");
    default: return QStringLiteral("%1.").arg(n);
    }
}

QString pageKindKey(PageKind kind)
{
    switch (kind) {
    case PageKind::VelocityHistogram: return QStringLiteral("velocity");
    case PageKind::TimeDistance: return QStringLiteral("travel-time");
    case PageKind::TimeDepthTable: return QStringLiteral("table");
    case PageKind::Waveforms: return QStringLiteral("waveforms");
    }
    return QString();
}

} // namespace talvex::report
