#pragma once
// What a report is made from: the survey, the page setup, the label of the
// personnel field and the soil patterns of the column chart.

#include "talvex/settings/printsettings.h"

namespace talvex {
class SurveyData;
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
};

} // namespace talvex::report
