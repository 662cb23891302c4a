#pragma once
// The plan of the printed report: which pages it has and in what order, the
// name each page appends to the heading, and the footer of every page.
//
// Order: the velocity histogram page and the time-distance chart page (with
// printVelocity), the time-depth table page (with printTable), then one page
// of raw waveforms per rowsPerPage x columnsPerPage points (with
// printWaveforms). Pages are numbered from 1.

#include "talvex/settings/printsettings.h"

#include <QString>
#include <vector>

namespace talvex::report {

enum class PageKind { VelocityHistogram, TimeDistance, TimeDepthTable, Waveforms };

struct ReportPage {
    PageKind kind = PageKind::VelocityHistogram;
    int waveformPage = 0; // for Waveforms: which of them, from 0

    bool operator==(const ReportPage &) const = default;
};

// The pages of a survey of `pointCount` points. The settings are first
// limited to the dialog ranges, so a grid of 0 rows or columns never divides
// the point count.
std::vector<ReportPage> reportPages(const PrintSettings &settings, int pointCount);

// Waveform pages for `pointCount` points: ceil(N / (rows x columns)), 0 when
// there are no points.
int waveformPageCount(const PrintSettings &settings, int pointCount);

// Index (from 0) of the point shown on waveform page `page` (from 0) in
// column `column` and row `row`: points fill a page column by column.
int waveformCellPoint(const PrintSettings &settings, int page, int column, int row);

// "波速直方图", "时距曲线图", "时距深度表" or "原始波形图".
QString pageName(PageKind kind);

// The heading of a page: the settings' heading text with the page name.
QString pageHeading(const PrintSettings &settings, PageKind kind);

// The footer of page `pageIndex` (from 1) in `style`, numbered from
// `firstPageNumber`: 0 "n.", 1 ".n.", 2 "-n-", 3 "第n页", 4 the signature
// line "试验人：…审核人：" without a number. Styles outside 0...4 are taken
// as 0.
QString footerText(int style, int firstPageNumber, int pageIndex);

// Short names of the page kinds for plain output ("velocity", "travel-time",
// "table", "waveforms").
QString pageKindKey(PageKind kind);

} // namespace talvex::report
