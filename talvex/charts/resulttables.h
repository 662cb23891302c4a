#pragma once
// The tables of a printed page or a bitmap figure: the heading table with
// the site results, and the time-depth table of all points.
//
// Print output draws in 0.01 mm with y down inside the rectangle the page
// gives; bitmap output in pixels, y down.

#include "talvex/charts/soilpatterns.h"

#include <QRect>
#include <QString>
#include <array>
#include <vector>

class QPainter;

namespace talvex {
class SurveyData;
struct SiteClassification;
}

namespace talvex::charts {

struct HeadingTableOptions {
    int personnelLabel = 1; // 0 "测试人员", 1 "测试单位", 2 "测试仪器"
    bool overburdenRow = false; // third row: 覆盖层厚度 and 等效波速 (the stored site velocity)
    bool siteClassRow = false; // next row: 场地类别 and Vs30 with the NEHRP and EC8 classes
    // The survey's site classes with their bounds, when the caller has them
    // (a report computes them once for all its pages); null: computed here.
    const SiteClassification *siteClasses = nullptr;
};

// One label and value of the heading table.
struct HeadingPair {
    QString label;
    QString value;
};

// The texts of the heading table, two pairs per row. The overburden row
// shows the stored site velocity: whoever draws it stores the current one
// first (UpdateSiteVelocity, as the report does before it paints a page with
// that row), so that drawing only reads the survey.
std::vector<std::array<HeadingPair, 2>> headingTableRows(const SurveyData &survey, const HeadingTableOptions &options);

// The site class row, classified from the picked points with the bounds of
// the pick uncertainties (ClassifySiteWithBounds): 场地类别 with the category
// ("II类") and notes in brackets: when a thicker overburden would give
// another category, when another lies within the bounds ("在误差范围内可能为
// III类"), and how many points were left out ("3个测点未拾取初至，未计入");
// Vs30 with its bounds and the NEHRP and EC8 classes
// ("245.1m/s(240.2~250.3)(外推) NEHRP D EC8 C", "(外推)" when the hole is
// shallower than 30 m, "D/C" when C lies within the bounds). Both values
// read "—" when the site cannot be classified, the category with why.
// `siteClasses`: the survey's classes when the caller has them; null:
// computed here.
std::array<HeadingPair, 2> siteClassRow(const SurveyData &survey, const SiteClassification *siteClasses = nullptr);

// The 等效波速 value: the stored site velocity ("%2.2fm/s"), with why when
// it is 0 (which depth the points do not reach); "—" and why when a point
// it runs through (down to the first at or below the computation depth) has
// no pick, as a figure through an unpicked point is no measurement.
QString siteVelocityText(const SurveyData &survey);

// Draws the heading table framed over `rect`; returns the y just below its
// last row. Rows of label and value pairs, two pairs per row, the second
// starting at 6/10 of the width: 工程名称 and the personnel label, 测孔编号
// and 测试日期, with the overburden row 覆盖层厚度 ("%2.1f m") and 等效波速
// ("%2.2fm/s", the stored site velocity), then with the site class row
// 场地类别 and Vs30. Rows are 6 mm high in print (label cells 18 mm wide) and
// 24 pixels in the bitmap. The frame covers the whole of `rect`, or just the
// rows when `rect` is shorter.
int DrawHeadingTable(QPainter &painter, PatternOutput output, const QRect &rect, const SurveyData &survey,
                     const HeadingTableOptions &options);

// The time-depth table: four column groups across `rect`, each of 测点深 (m),
// 走 时 (ms) and 波 速 (m/s) under a two-row heading; the points fill the
// first group top to bottom with ceil(N / 4) rows, then the next group, and
// so on ("%.1f"). Rows 6 mm in print, 24 pixels in the bitmap.
void DrawTimeDepthTable(QPainter &painter, PatternOutput output, const QRect &rect, const SurveyData &survey);

} // namespace talvex::charts
