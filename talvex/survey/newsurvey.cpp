#include "talvex/survey/newsurvey.h"

#include "common/fixedtext.h"

#include <cmath>

namespace talvex {

std::string testDateText(const QDate &date)
{
    if (!date.isValid())
        return "-1--1--1";
    return std::to_string(date.year()) + '-' + std::to_string(date.month()) + '-' + std::to_string(date.day());
}

HoleParameters newSurveyDefaults(const SurveyData &survey, const QDate &today)
{
    HoleParameters p = survey.header;
    common::storeFixedText(p.testDate, testDateText(today));
    return p;
}

void NewSurvey(SurveyData &survey, const HoleParameters &p)
{
    SurveyHeader &h = survey.header;
    static_cast<HoleParameters &>(h) = p;
    survey.clearAll();

    // n = hole depth / spacing, truncated; a zero or invalid spacing gives no
    // points, and never more points than the document file can count.
    const float ratio = h.holeDepth / h.pointSpacing;
    int n = 0;
    if (std::isfinite(ratio) && ratio >= 1.0f)
        n = ratio >= float(kMaxRecordCount) ? kMaxRecordCount : int(ratio);
    survey.points.reserve(std::size_t(n));
    for (int k = 1; k <= n; ++k) {
        TlvOne pt = TlvOne::newPoint(h.sourceDistance);
        pt.depth = float(k) * h.pointSpacing;
        survey.points.push_back(pt);
    }
    survey.markModified();
}

} // namespace talvex
