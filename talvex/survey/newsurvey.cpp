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
    const SurveyHeader &h = survey.header;
    HoleParameters p;
    p.testDate = testDateText(today);
    p.projectName = common::readFixedText(h.projectName);
    p.holeNumber = common::readFixedText(h.holeNumber);
    p.personnel = common::readFixedText(h.personnel);
    p.holeDepth = h.holeDepth;
    p.pointSpacing = h.pointSpacing;
    p.sourceDistance = h.sourceDistance;
    p.plankLength = h.plankLength;
    p.method = h.method;
    p.overburden = h.overburden;
    p.computationDepth = h.computationDepth;
    p.microtremorTest = survey.microtremorTest;
    p.personnelLabel = survey.personnelLabel;
    return p;
}

void NewSurvey(SurveyData &survey, const HoleParameters &p)
{
    SurveyHeader &h = survey.header;
    common::storeFixedText(h.testDate, p.testDate);
    common::storeFixedText(h.projectName, p.projectName);
    common::storeFixedText(h.holeNumber, p.holeNumber);
    common::storeFixedText(h.personnel, p.personnel);
    h.plankLength = p.plankLength;
    h.pointSpacing = p.pointSpacing;
    survey.microtremorTest = p.microtremorTest;
    h.sourceDistance = p.sourceDistance;
    h.holeDepth = p.holeDepth;
    survey.clearAll();
    h.method = p.method;
    survey.personnelLabel = p.personnelLabel;
    h.overburden = p.overburden;
    h.computationDepth = p.computationDepth;

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
