#pragma once
// What a report is made from: the survey, the page setup, the label of the
// personnel field and the soil patterns of the column chart.

#include "talvex/settings/printsettings.h"

#include <memory>

namespace talvex {
class SurveyData;
struct SiteClassification;
}
namespace talvex::charts {
class SoilPatternSet;
}

namespace talvex::report {

struct ReportContext {
    // Painting a chart page (or figure) whose heading table has the
    // overburden row first stores the site velocity into the survey's
    // header (nothing else is changed); the painters themselves only read.
    SurveyData &survey;
    PrintSettings settings;
    int personnelLabel = 1; // 0 "测试人员", 1 "测试单位", 2 "测试仪器"
    // User soil patterns and their messages; null: the program's own set.
    charts::SoilPatternSet *patterns = nullptr;
    // The site classes of the heading tables: every chart page and figure
    // of one report shows the same, so they are computed (picker and bounds
    // included) on the first page that needs them and kept (siteClassesOf).
    mutable std::shared_ptr<const SiteClassification> siteClasses;
};

// The survey's site classes with their bounds, computed once per context.
const SiteClassification &siteClassesOf(const ReportContext &context);

} // namespace talvex::report
