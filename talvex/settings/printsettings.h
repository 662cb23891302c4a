#pragma once
// The page setup of the printed report and of the figure export: which kinds
// of pages are produced, the page heading, footer, margins and the grid of
// waveforms per page. Plain values; TalvexSettings reads and writes them in
// the section "打印设置" of the settings store.

#include <QString>

namespace talvex {

struct PrintSettings {
    QString headerText = QString::fromUtf8("剪切波分析成果附图（标题可修改）"); // page name appended per page
    int footerStyle = 0; // 0 "%d.", 1 ".%d.", 2 "-%d-", 3 "第%d页", 4 signature line
    int firstPageNumber = 1; // number printed on the first page, 0...10000
    int marginTop = 12; // mm, 5...50
    int marginBottom = 8; // mm, 5...50
    int marginLeft = 16; // mm, 0...30
    int marginRight = 8; // mm, 0...30
    int rowsPerPage = 10; // waveform rows per page, 1...50
    int columnsPerPage = 2; // waveform columns per page, 1...3
    int printWaveforms = 1; // 0/1: the raw waveform pages
    int printTable = 1; // 0/1: the time-depth table page
    int printVelocity = 1; // 0/1: the velocity histogram and time-distance pages
    int printTwoCurves = 1; // 0/1: the point curve beside the layer curve
    int printOverburden = 1; // 0/1: the overburden and site-velocity row
    int printSiteClass = 1; // 0/1: the site category and Vs30 row below it
    int curveName = 0; // 0 Vs title, 1 Vp title

    bool operator==(const PrintSettings &) const = default;
};

// Ranges of the page setup dialog.
struct PrintSettingRange {
    int minimum;
    int maximum;
};
inline constexpr PrintSettingRange kFooterStyleRange{0, 4};
inline constexpr PrintSettingRange kFirstPageNumberRange{0, 10000};
inline constexpr PrintSettingRange kMarginTopRange{5, 50};
inline constexpr PrintSettingRange kMarginBottomRange{5, 50};
inline constexpr PrintSettingRange kMarginLeftRange{0, 30};
inline constexpr PrintSettingRange kMarginRightRange{0, 30};
inline constexpr PrintSettingRange kRowsPerPageRange{1, 50};
inline constexpr PrintSettingRange kColumnsPerPageRange{1, 3};

// Every number limited to its dialog range; each print flag becomes 1 when it
// is greater than 0, else 0; curveName becomes 0 or 1. Values from the store
// go through this so that a page count never divides by zero.
PrintSettings clampedToDialogRanges(PrintSettings settings);

} // namespace talvex
