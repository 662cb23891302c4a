#include "talvex/analysis/siteuncertainty.h"

#include "talvex/survey/surveydata.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

namespace talvex {

namespace {

constexpr std::uint64_t kSeed = 0x5eed5eedULL;

// Standard normal numbers by the Box-Muller transform over uniforms built
// from the generator's bits, so nothing depends on the library's
// distributions (whose output the standard leaves open).
class Normal {
public:
    double next()
    {
        if (m_haveSpare) {
            m_haveSpare = false;
            return m_spare;
        }
        const double u1 = uniform();
        const double u2 = uniform();
        const double r = std::sqrt(-2.0 * std::log(u1));
        const double a = 2.0 * 3.14159265358979323846 * u2;
        m_spare = r * std::sin(a);
        m_haveSpare = true;
        return r * std::cos(a);
    }

private:
    // (0, 1]: never 0, which the logarithm cannot take.
    double uniform() { return (double(m_engine() >> 11) + 1.0) * 0x1.0p-53; }

    std::mt19937_64 m_engine{kSeed};
    double m_spare = 0.0;
    bool m_haveSpare = false;
};

// Classes of the draws other than `nominal` that reach kOtherClassShare.
template <class Class>
std::vector<Class> otherClasses(const std::map<Class, int> &counts, Class nominal, int draws)
{
    std::vector<Class> others;
    for (const auto &[c, n] : counts) {
        if (c != nominal && n >= kOtherClassShare * draws)
            others.push_back(c);
    }
    return others;
}

} // namespace

void forEachPerturbedDraw(const PickedTimes &picked, int draws, const std::function<void(const PickedTimes &)> &each)
{
    Normal normal;
    PickedTimes moved = picked;
    for (int k = 0; k < draws; ++k) {
        for (std::size_t i = 0; i < picked.points.size(); ++i)
            moved.points[i].time = picked.points[i].time + picked.points[i].sigma * normal.next();
        each(moved);
    }
}

double pickScatterMs(const PickedTimes &picked)
{
    const std::vector<PickedTime> &p = picked.points;
    if (!picked.singleHole || p.size() < 5)
        return 0.0;
    std::vector<double> residuals;
    for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        const double span = double(p[i + 1].depth) - p[i - 1].depth;
        if (!(span > 0.0))
            continue;
        const double w = (double(p[i].depth) - p[i - 1].depth) / span;
        const double line = p[i - 1].time + w * (p[i + 1].time - p[i - 1].time);
        // The residual's variance is σ² (1 + w² + (1 - w)²).
        residuals.push_back(std::abs(p[i].time - line) / std::sqrt(1.0 + w * w + (1.0 - w) * (1.0 - w)));
    }
    if (residuals.size() < 3)
        return 0.0;
    std::nth_element(residuals.begin(), residuals.begin() + std::ptrdiff_t(residuals.size() / 2), residuals.end());
    // The median absolute value of a normal error is 0.6745 σ.
    return residuals[residuals.size() / 2] / 0.6745;
}

ValueBounds percentileBounds(std::vector<double> values)
{
    ValueBounds b;
    if (values.empty())
        return b;
    std::sort(values.begin(), values.end());
    const auto at = [&values](double q) {
        const double x = q * double(values.size() - 1);
        const std::size_t i = std::size_t(x);
        const double f = x - double(i);
        return i + 1 < values.size() ? values[i] + f * (values[i + 1] - values[i]) : values[i];
    };
    b.low = float(at(0.16));
    b.high = float(at(0.84));
    return b;
}

SiteClassification ClassifySiteWithBounds(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions)
{
    const std::vector<double> sigmas = pickUncertainties(survey, suggestions);
    const PickedTimes picked = pickedTimes(survey, &sigmas);
    SiteClassification site = ClassifyPicked(picked, survey.header.overburden);
    if (!site.ok())
        return site;

    std::vector<double> vse, rock, vs30;
    std::map<SiteCategory, int> categories;
    std::map<NehrpClass, int> nehrp;
    std::map<Ec8Ground, int> ec8;
    int classified = 0;
    forEachPerturbedDraw(picked, kUncertaintyDraws, [&](const PickedTimes &moved) {
        const std::vector<VelocityInterval> profile = profileFromTimes(moved);
        if (profile.empty())
            return;
        const SiteClassification s = classifyProfile(profile, survey.header.overburden);
        ++classified;
        if (s.overburden > 0.0f)
            vse.push_back(s.vse);
        else
            rock.push_back(s.rockVelocity);
        vs30.push_back(s.vs30);
        ++categories[s.category];
        ++nehrp[s.nehrp];
        ++ec8[s.ec8];
    });
    SiteBounds bounds;
    bounds.draws = kUncertaintyDraws;
    bounds.vse = percentileBounds(std::move(vse));
    bounds.rockVelocity = percentileBounds(std::move(rock));
    bounds.vs30 = percentileBounds(std::move(vs30));
    bounds.otherCategories = otherClasses(categories, site.category, classified);
    bounds.otherNehrp = otherClasses(nehrp, site.nehrp, classified);
    bounds.otherEc8 = otherClasses(ec8, site.ec8, classified);
    std::vector<double> stated;
    for (const PickedTime &p : picked.points)
        stated.push_back(p.sigma);
    if (!stated.empty()) {
        std::nth_element(stated.begin(), stated.begin() + std::ptrdiff_t(stated.size() / 2), stated.end());
        const double typical = stated[stated.size() / 2];
        const double scatter = pickScatterMs(picked);
        if (typical > 0.0 && scatter > 2.0 * typical) {
            bounds.excessScatterMs = float(scatter);
            bounds.typicalUncertaintyMs = float(typical);
        }
    }
    site.bounds = bounds;
    return site;
}

SiteClassification ClassifySiteWithBounds(const SurveyData &survey)
{
    return ClassifySiteWithBounds(survey, SuggestArrivals(survey));
}

float profileLayerVelocity(const std::vector<VelocityInterval> &profile, float top, float bottom)
{
    if (profile.empty())
        return 0.0f;
    const double lower = std::min(bottom, profile.back().bottom);
    if (!(lower > top))
        return 0.0f;
    double time = 0.0;
    for (const VelocityInterval &i : profile) {
        const double overlap = std::min(double(i.bottom), lower) - std::max(double(i.top), double(top));
        if (overlap > 0.0)
            time += overlap / i.velocity;
    }
    const double v = (lower - top) / time;
    return time > 0.0 && std::isfinite(v) ? float(v) : 0.0f;
}

std::vector<LayerVelocityEstimate> layerVelocityEstimates(const SurveyData &survey,
                                                          const std::vector<ArrivalSuggestion> &suggestions)
{
    const std::vector<double> sigmas = pickUncertainties(survey, suggestions);
    const PickedTimes picked = pickedTimes(survey, &sigmas);
    const std::vector<VelocityInterval> profile = profileFromTimes(picked);
    const std::size_t n = survey.layers.size();
    std::vector<LayerVelocityEstimate> estimates(n);
    for (std::size_t k = 0; k < n; ++k)
        estimates[k].velocity = profileLayerVelocity(profile, survey.layers[k].top, survey.layers[k].bottom);
    if (profile.empty() || n == 0)
        return estimates;
    std::vector<std::vector<double>> draws(n);
    forEachPerturbedDraw(picked, kUncertaintyDraws, [&](const PickedTimes &moved) {
        const std::vector<VelocityInterval> p = profileFromTimes(moved);
        for (std::size_t k = 0; k < n; ++k) {
            const float v = profileLayerVelocity(p, survey.layers[k].top, survey.layers[k].bottom);
            if (v > 0.0f)
                draws[k].push_back(v);
        }
    });
    for (std::size_t k = 0; k < n; ++k) {
        if (estimates[k].velocity > 0.0f)
            estimates[k].bounds = percentileBounds(std::move(draws[k]));
    }
    return estimates;
}

} // namespace talvex
