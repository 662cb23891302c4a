#include "talvex/analysis/pickedtimes.h"

#include "talvex/analysis/pointvelocity.h"
#include "talvex/survey/surveydata.h"

#include <algorithm>
#include <cmath>

namespace talvex {

PickedTimes pickedTimes(const SurveyData &survey, const std::vector<double> *sigmaSamples)
{
    PickedTimes result;
    result.singleHole = survey.header.isSingleHole();
    result.total = int(survey.points.size());
    const bool withSigmas = sigmaSamples && sigmaSamples->size() == survey.points.size();
    const double x = survey.header.sourceDistance;
    for (std::size_t i = 0; i < survey.points.size(); ++i) {
        const TlvOne &p = survey.points[i];
        if (p.sArrival <= 0) {
            ++result.unpicked;
            if (p.depth > 0.0f && (result.shallowestUnpicked == 0.0f || p.depth < result.shallowestUnpicked))
                result.shallowestUnpicked = p.depth;
            continue;
        }
        if (!(p.depth > 0.0f) || !std::isfinite(p.depth)) {
            ++result.withoutDepth;
            continue;
        }
        PickedTime t;
        t.index = int(i);
        t.depth = p.depth;
        const double sampleMs = double(p.interval) / 1000.0;
        double sigma = withSigmas ? (*sigmaSamples)[i] * sampleMs : 0.0;
        if (result.singleHole) {
            t.time = correctedTravelTime(survey, int(i));
            // The vertical time is the travel time scaled by D / S.
            const double slant = std::sqrt(x * x + double(p.depth) * p.depth);
            sigma *= slant > 0.0 ? double(p.depth) / slant : 0.0;
        } else {
            t.time = p.travelTime();
            t.crossDistance = p.crossDistance;
        }
        t.sigma = std::isfinite(sigma) ? std::abs(sigma) : 0.0;
        result.points.push_back(t);
    }
    std::stable_sort(result.points.begin(), result.points.end(),
                     [](const PickedTime &a, const PickedTime &b) { return a.depth < b.depth; });
    return result;
}

double pickUncertainty(const TlvOne &point, const ArrivalSuggestion *suggestion)
{
    if (point.sArrival <= 0)
        return 0.0;
    if (!suggestion || !suggestion->found)
        return kHandPickUncertainty;
    const double u = std::isfinite(suggestion->uncertainty) ? std::abs(suggestion->uncertainty) : 0.0;
    const double apart = double(point.sArrival) - suggestion->sample;
    return std::max(kMinPickUncertainty, std::sqrt(u * u + apart * apart));
}

std::vector<double> pickUncertainties(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions)
{
    const bool matched = suggestions.size() == survey.points.size();
    std::vector<double> sigmas(survey.points.size());
    for (std::size_t i = 0; i < survey.points.size(); ++i)
        sigmas[i] = pickUncertainty(survey.points[i], matched ? &suggestions[i] : nullptr);
    return sigmas;
}

} // namespace talvex
