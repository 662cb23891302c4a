#pragma once
// Logic of the results dialog EChengGuoDialog ("成果计算显示"): one line per
// point with its depth, its equivalent velocity and the predominant period
// T = 4H / V (s) of the soil column above it.

#include <QString>
#include <QStringList>

namespace talvex {

class SurveyData;

class EChengGuoDialogModel {
public:
    // The heading above the list.
    static QString heading();

    // The list, in point order. Each line is "%.1f(米)" and 16 spaces, the
    // equivalent velocity "%.1f(m/s)" and 22 spaces, and the period
    // "%.4f(秒)". A point without an equivalent velocity (0, so no finite
    // period) shows kNoPeriodText as its period.
    static QStringList lines(const SurveyData &survey);

    static const char *const kNoPeriodText; // "--(秒)"

    // The site classes shown under the list (siteClassLines): vse and d0,
    // the overburden, the category, Vs30, NEHRP and EC8 from the picked
    // points, with their bounds from the pick uncertainties and the count
    // of points left out, or why they cannot be given.
    static QStringList siteLines(const SurveyData &survey);
};

} // namespace talvex
