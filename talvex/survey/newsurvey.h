#pragma once
// Building a new survey from the hole parameters (the New command).

#include "talvex/survey/surveydata.h"

#include <QDate>
#include <string>

namespace talvex {

// "%d-%d-%d" of year, month and day without leading zeros; -1 in each place
// of an invalid date.
std::string testDateText(const QDate &date);

// The defaults the New command offers: the current survey's hole
// parameters, with `today` as test date.
HoleParameters newSurveyDefaults(const SurveyData &survey, const QDate &today);

// Replaces the survey with a new one: the parameters stored into the header
// (the site velocity stays), the lists emptied, one empty point per point
// spacing down to the hole depth (at most as many as the document can
// hold), then marked modified.
void NewSurvey(SurveyData &survey, const HoleParameters &parameters);

} // namespace talvex
