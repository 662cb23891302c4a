#include "talvex/analysis/sitevelocity.h"

#include "talvex/survey/surveydata.h"

#include <cmath>

namespace talvex {

namespace {

// Time in s over `distance` m at `velocity` m/s; no distance takes no time.
float crossingTime(float distance, float velocity)
{
    return distance == 0.0f ? 0.0f : distance / velocity;
}

} // namespace

float ComputeSiteVelocity(const SurveyData &survey)
{
    const float d0 = survey.header.computationDepth;
    float time = 0.0f;
    float previous = 0.0f;
    for (const TlvOne &p : survey.points) {
        const float v = p.pointVelocity;
        const float dh = p.depth - previous;
        if (p.depth >= d0) {
            // Only the part of the interval above d0 counts.
            time += crossingTime(dh, v) - crossingTime(p.depth - d0, v);
            if (time == 0.0f || !std::isfinite(time))
                return 0.0f;
            const float velocity = d0 / time;
            return std::isfinite(velocity) ? velocity : 0.0f;
        }
        time += crossingTime(dh, v);
        previous = p.depth;
    }
    return 0.0f;
}

bool UpdateSiteVelocity(SurveyData &survey)
{
    if (!(survey.header.overburden > 0.0f))
        return false;
    const float velocity = ComputeSiteVelocity(survey);
    if (velocity != survey.header.siteVelocity) {
        survey.header.siteVelocity = velocity;
        survey.notifyChanged(SurveyParts::Header);
    }
    return true;
}

} // namespace talvex
