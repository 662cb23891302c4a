#include "talvex/analysis/pointvelocity.h"

#include "talvex/survey/surveydata.h"

#include <cmath>

namespace talvex {

namespace {

// numerator / divisor × scale, or 0 when the divisor is 0 or the result is
// not a finite number.
float guardedRatio(float numerator, float divisor, float scale = 1.0f)
{
    if (divisor == 0.0f)
        return 0.0f;
    const float r = numerator / divisor * scale;
    return std::isfinite(r) ? r : 0.0f;
}

float slantDistance(float sourceDistance, float depth)
{
    const float sum = sourceDistance * sourceDistance + depth * depth;
    return std::sqrt(sum);
}

void computeSingleHole(SurveyData &survey, std::size_t i)
{
    TlvOne p = survey.points[i];
    const float x = survey.header.sourceDistance;
    const float t = p.travelTime();
    const float s = slantDistance(x, p.depth);
    const float tc = correctedTravelTime(survey, int(i));

    float previousDepth = 0.0f;
    float previousTc = 0.0f;
    if (i > 0) {
        previousDepth = survey.points[i - 1].depth;
        previousTc = correctedTravelTime(survey, int(i - 1));
    }
    p.equivVelocity = guardedRatio(s, t, 1000.0f);
    p.pointVelocity = guardedRatio(p.depth - previousDepth, tc - previousTc, 1000.0f);
    survey.points[i] = p;
}

void computeCrossHole(SurveyData &survey, std::size_t i)
{
    TlvOne p = survey.points[i];
    const float t = p.travelTime();
    p.pointVelocity = t > 0.0f ? guardedRatio(p.crossDistance, t, 1000.0f) : 0.0f;
    survey.points[i] = p;

    if (i == 0) {
        p.equivVelocity = p.pointVelocity;
    } else {
        // Vertical time in s down to point i through the intervals between
        // consecutive list elements, each crossed at the lower point's velocity.
        float time = 0.0f;
        float previousDepth = 0.0f;
        for (std::size_t k = 0; k <= i; ++k) {
            const TlvOne &q = survey.points[k];
            const float thickness = q.depth - previousDepth;
            if (thickness != 0.0f)
                time += thickness / q.pointVelocity; // infinite at velocity 0
            previousDepth = q.depth;
        }
        p.equivVelocity = std::isfinite(time) ? guardedRatio(p.depth, time) : 0.0f;
    }
    survey.points[i] = p;
}

} // namespace

float correctedTravelTime(const SurveyData &survey, int index)
{
    const TlvOne &p = survey.points[std::size_t(index)];
    const float s = slantDistance(survey.header.sourceDistance, p.depth);
    if (p.depth == 0.0f || s == 0.0f)
        return 0.0f;
    const float r = p.travelTime() * p.depth / s;
    return std::isfinite(r) ? r : 0.0f;
}

bool ComputePointVelocity(SurveyData &survey, int index)
{
    if (index < 0 || std::size_t(index) >= survey.points.size())
        return false;
    if (survey.header.isSingleHole())
        computeSingleHole(survey, std::size_t(index));
    else
        computeCrossHole(survey, std::size_t(index));
    return true;
}

void RecalculateAllVelocities(SurveyData &survey)
{
    for (std::size_t i = 0; i < survey.points.size(); ++i)
        ComputePointVelocity(survey, int(i));
}

} // namespace talvex
