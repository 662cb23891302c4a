#include "talvex/analysis/layervelocity.h"

#include "talvex/survey/surveydata.h"

#include <cmath>

namespace talvex {

namespace {

// Time in s to cross `distance` m at `velocity` m/s. No distance takes no
// time even at velocity 0; a distance at velocity 0 takes forever.
float crossingTime(float distance, float velocity)
{
    if (distance == 0.0f)
        return 0.0f;
    return distance / velocity;
}

} // namespace

float ComputeLayerVelocity(const SurveyData &survey, int index)
{
    if (index < 0 || std::size_t(index) >= survey.layers.size())
        return 0.0f;
    const float a = survey.layers[std::size_t(index)].top;
    const float b = survey.layers[std::size_t(index)].bottom;

    float previous = 0.0f;
    bool topFound = false;
    bool bottomFound = false;
    float timeFromTop = 0.0f; // from the top down to the first point at or below it
    float sum = 0.0f; // the following whole intervals
    float overshoot = 0.0f; // from the bottom down to the first point at or below it
    for (const TlvOne &p : survey.points) {
        const float d = p.depth;
        const float v = p.pointVelocity;
        if (!topFound) {
            if (d >= a) {
                timeFromTop = crossingTime(d - a, v);
                if (previous <= a && previous <= b && d >= a && d >= b)
                    return v; // the whole layer lies in this one interval
                topFound = true;
            }
        } else if (!bottomFound) {
            sum += crossingTime(d - previous, v);
        }
        if (!bottomFound && d >= b) {
            bottomFound = true;
            overshoot = crossingTime(d - b, v);
        }
        previous = d;
    }
    const float time = timeFromTop + sum - overshoot;
    if (time == 0.0f || !std::isfinite(time))
        return 0.0f;
    const float velocity = (b - a) / time;
    return std::isfinite(velocity) ? velocity : 0.0f;
}

void RefreshLayerVelocities(SurveyData &survey)
{
    for (std::size_t i = 0; i < survey.layers.size(); ++i) {
        DiChengOne layer = survey.layers[i];
        layer.velocity = ComputeLayerVelocity(survey, int(i));
        survey.layers[i] = layer;
    }
}

} // namespace talvex
