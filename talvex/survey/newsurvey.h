#pragma once
// Building a new survey from the hole parameters (the New command).

#include "talvex/survey/surveydata.h"

#include <QDate>
#include <string>

namespace talvex {

// The values the hole dialog edits, texts as GBK bytes.
struct HoleParameters {
    std::string testDate;
    std::string projectName;
    std::string holeNumber;
    std::string personnel;
    float holeDepth = 50.0f;
    float pointSpacing = 1.0f;
    float sourceDistance = 1.5f;
    float plankLength = 1.2f;
    std::uint8_t method = 0;
    float overburden = 20.0f;
    float computationDepth = 20.0f;
    int microtremorTest = 0;
    int personnelLabel = 1;
};

// "%d-%d-%d" of year, month and day without leading zeros; -1 in each place
// of an invalid date.
std::string testDateText(const QDate &date);

// The defaults the New command offers: the current survey's values, with
// `today` as test date.
HoleParameters newSurveyDefaults(const SurveyData &survey, const QDate &today);

// Replaces the survey with a new one: the parameters stored into the header,
// the lists emptied, one empty point per point spacing down to the hole depth
// (at most as many as the document can hold), then marked modified.
void NewSurvey(SurveyData &survey, const HoleParameters &parameters);

} // namespace talvex
