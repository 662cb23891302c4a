#include "talvex/analysis/layersuggest.h"

#include "common/messenger.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/analysis/siteuncertainty.h"
#include "talvex/analysis/surveylogimport.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace talvex {

const char *const kTooFewPointsForSuggestion
    = "可用于建议分层的测点不足（至少要 %1 个有初至的测点，深度相差 %2 米以上）";
const char *const kTooManyPointsForSuggestion = "测点多于 %1 个，不做建议分层";

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Depth span a segment's points must cover: the 0.5 m the layer commands
// keep between boundaries, and two steps of the depth cursor's grid, which
// moves each boundary by at most half a step.
constexpr double kMinSegmentSpan = double(kMinLayerSpacingUnits + 2) / double(kDepthAxisScale);

// Running least-squares line of a run of points (co-moments about the
// running means, which stay accurate however far the depths lie from 0).
struct LineFit {
    int n = 0;
    double meanX = 0.0;
    double meanY = 0.0;
    double cxx = 0.0;
    double cxy = 0.0;
    double cyy = 0.0;

    void add(double x, double y)
    {
        ++n;
        const double dx = x - meanX;
        meanX += dx / n;
        const double dy = y - meanY;
        meanY += dy / n;
        cxx += dx * (x - meanX);
        cxy += dx * (y - meanY);
        cyy += dy * (y - meanY);
    }
    double slope() const { return cxx > 0.0 ? cxy / cxx : 0.0; }
    double intercept() const { return meanY - slope() * meanX; }
    double rss() const { return cxx > 0.0 ? std::max(0.0, cyy - cxy * cxy / cxx) : cyy; }
};

LineFit fitRun(const std::vector<CurvePoint> &curve, int first, int last)
{
    LineFit f;
    for (int i = first; i <= last; ++i)
        f.add(curve[std::size_t(i)].depth, curve[std::size_t(i)].time);
    return f;
}

// Where two segments meet: the crossing of their lines, kept within the gap
// between the last point of the upper run and the first of the lower one.
double boundaryBetween(const LineFit &upper, const LineFit &lower, double gapTop, double gapBottom)
{
    const double ds = upper.slope() - lower.slope();
    double x = (lower.intercept() - upper.intercept()) / ds;
    if (ds == 0.0 || !std::isfinite(x))
        x = (gapTop + gapBottom) / 2.0;
    return std::clamp(x, gapTop, gapBottom);
}

// The depth cursor's y nearest to `depth`.
int nearestCursorY(double depth)
{
    return kDepthAxisOrigin + int(std::lround(depth * kDepthAxisScale));
}

float velocityOfSlope(double msPerMetre)
{
    if (!(msPerMetre > 0.0))
        return 0.0f;
    const double v = 1000.0 / msPerMetre;
    return std::isfinite(v) ? float(v) : 0.0f;
}

} // namespace

std::vector<float> LayerSuggestion::boundaries() const
{
    std::vector<float> b;
    for (std::size_t i = 0; i + 1 < layers.size(); ++i)
        b.push_back(layers[i].bottom);
    return b;
}

std::vector<CurvePoint> curveFromTimes(const PickedTimes &picked)
{
    std::vector<CurvePoint> curve;
    if (picked.singleHole) {
        for (const PickedTime &p : picked.points)
            curve.push_back({p.depth, float(p.time)});
        return curve;
    }
    // Cross hole: the measured velocities are horizontal ones at each depth;
    // the vertical time is their sum down the hole.
    double time = 0.0;
    double previous = 0.0;
    for (const PickedTime &p : picked.points) {
        const double velocity = p.time > 0.0 ? p.crossDistance / p.time * 1000.0 : 0.0;
        if (!(velocity > 0.0) || !std::isfinite(velocity))
            continue;
        time += (double(p.depth) - previous) / velocity * 1000.0;
        previous = p.depth;
        curve.push_back({p.depth, float(time)});
    }
    return curve;
}

std::vector<CurvePoint> verticalTimeCurve(const SurveyData &survey)
{
    return curveFromTimes(pickedTimes(survey));
}

float curveTimeResolution(const SurveyData &survey)
{
    if (!survey.header.isSingleHole())
        return 0.0f;
    float smallest = 0.0f;
    for (const TlvOne &p : survey.points) {
        if (p.sArrival > 0 && p.depth > 0.0f && p.interval > 0.0f && (smallest == 0.0f || p.interval < smallest))
            smallest = p.interval;
    }
    return smallest / 1000.0f;
}

LayerSuggestion fitLayerSegments(const std::vector<CurvePoint> &curve, float resolution, int maxSegments)
{
    LayerSuggestion result;
    const int n = int(curve.size());
    if (n > kMaxSuggestionPoints) {
        result.problem = QString::fromUtf8(kTooManyPointsForSuggestion).arg(kMaxSuggestionPoints);
        return result;
    }
    if (n < kMinSegmentPoints || double(curve.back().depth) - curve.front().depth < kMinSegmentSpan) {
        result.problem = QString::fromUtf8(kTooFewPointsForSuggestion).arg(kMinSegmentPoints).arg(kMinSegmentSpan);
        return result;
    }
    const int segmentsLimit = std::clamp(std::min(maxSegments, n / kMinSegmentPoints), 1, kMaxSuggestedSegments);

    // best[k][j]: least residual sum of squares of points 0...j in k + 1
    // segments; start[k][j]: the first point of the last of them.
    std::vector<std::vector<double>> best(std::size_t(segmentsLimit), std::vector<double>(std::size_t(n), kInfinity));
    std::vector<std::vector<int>> start(std::size_t(segmentsLimit), std::vector<int>(std::size_t(n), -1));
    for (int j = 0; j < n; ++j) {
        LineFit run;
        for (int i = j; i >= 0; --i) {
            run.add(curve[std::size_t(i)].depth, curve[std::size_t(i)].time);
            if (run.n < kMinSegmentPoints
                || double(curve[std::size_t(j)].depth) - curve[std::size_t(i)].depth < kMinSegmentSpan)
                continue;
            const double cost = run.rss();
            if (i == 0) {
                best[0][std::size_t(j)] = cost;
                start[0][std::size_t(j)] = 0;
                continue;
            }
            for (int k = 1; k < segmentsLimit; ++k) {
                const double candidate = best[std::size_t(k - 1)][std::size_t(i - 1)] + cost;
                // Scanning i downwards, an equal total moves to the earlier boundary.
                if (candidate <= best[std::size_t(k)][std::size_t(j)]) {
                    best[std::size_t(k)][std::size_t(j)] = candidate;
                    start[std::size_t(k)][std::size_t(j)] = i;
                }
            }
        }
    }

    // A residual variance below the time quantisation (or the float
    // precision of the times) is noise of the arithmetic, not of the curve.
    double maxTime = 0.0;
    for (const CurvePoint &p : curve)
        maxTime = std::max(maxTime, std::abs(double(p.time)));
    const double floor = std::max({double(resolution) * resolution / 12.0, 1e-10 * maxTime * maxTime, 1e-12});
    int chosen = -1;
    double chosenBic = kInfinity;
    for (int k = 0; k < segmentsLimit; ++k) {
        const double rss = best[std::size_t(k)][std::size_t(n - 1)];
        if (!std::isfinite(rss))
            continue;
        const double bic = n * std::log(std::max(rss / n, floor)) + (3.0 * (k + 1) - 1.0) * std::log(double(n));
        if (bic < chosenBic) {
            chosenBic = bic;
            chosen = k;
        }
    }
    if (chosen < 0) {
        result.problem = QString::fromUtf8(kTooFewPointsForSuggestion).arg(kMinSegmentPoints).arg(kMinSegmentSpan);
        return result;
    }

    // The runs of the chosen fit, top-down.
    std::vector<std::pair<int, int>> runs;
    for (int k = chosen, j = n - 1; k >= 0; --k) {
        const int i = start[std::size_t(k)][std::size_t(j)];
        runs.insert(runs.begin(), {i, j});
        j = i - 1;
    }
    std::vector<LineFit> fits;
    fits.reserve(runs.size());
    for (const auto &[first, last] : runs)
        fits.push_back(fitRun(curve, first, last));

    double sumSquares = 0.0;
    double largest = 0.0;
    for (std::size_t s = 0; s < runs.size(); ++s) {
        for (int i = runs[s].first; i <= runs[s].second; ++i) {
            const CurvePoint &p = curve[std::size_t(i)];
            const double r = double(p.time) - (fits[s].intercept() + fits[s].slope() * p.depth);
            sumSquares += r * r;
            largest = std::max(largest, std::abs(r));
        }
    }

    float top = 0.0f;
    for (std::size_t s = 0; s < runs.size(); ++s) {
        SuggestedLayer layer;
        layer.top = top;
        if (s + 1 < runs.size()) {
            const double x = boundaryBetween(fits[s], fits[s + 1], curve[std::size_t(runs[s].second)].depth,
                                             curve[std::size_t(runs[s + 1].first)].depth);
            layer.bottom = cursorYToDepth(nearestCursorY(x));
        } else {
            // Never below the deepest point.
            layer.bottom = cursorYToDepth(depthToCursorY(curve.back().depth));
        }
        layer.velocity = velocityOfSlope(fits[s].slope());
        layer.pointCount = fits[s].n;
        layer.firstPoint = runs[s].first;
        result.layers.push_back(layer);
        top = layer.bottom;
    }
    result.usedPoints = n;
    result.rmsResidual = float(std::sqrt(sumSquares / n));
    result.maxResidual = float(largest);
    result.bic = float(chosenBic);
    return result;
}

LayerSuggestion SuggestLayers(const SurveyData &survey)
{
    const PickedTimes picked = pickedTimes(survey);
    LayerSuggestion suggestion = fitLayerSegments(curveFromTimes(picked), curveTimeResolution(survey));
    suggestion.unpickedPoints = picked.unpicked;
    return suggestion;
}

LayerSuggestion SuggestLayers(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions)
{
    const std::vector<double> sigmas = pickUncertainties(survey, suggestions);
    const PickedTimes picked = pickedTimes(survey, &sigmas);
    const std::vector<CurvePoint> curve = curveFromTimes(picked);
    LayerSuggestion suggestion = fitLayerSegments(curve, curveTimeResolution(survey));
    suggestion.unpickedPoints = picked.unpicked;
    if (!suggestion.ok())
        return suggestion;
    // The segments stay as fitted; only their slopes are drawn again.
    std::vector<std::vector<double>> velocities(suggestion.layers.size());
    forEachPerturbedDraw(picked, kUncertaintyDraws, [&](const PickedTimes &moved) {
        const std::vector<CurvePoint> drawn = curveFromTimes(moved);
        if (drawn.size() != curve.size())
            return; // a point fell out: its segments are not the same any more
        for (std::size_t s = 0; s < suggestion.layers.size(); ++s) {
            const SuggestedLayer &layer = suggestion.layers[s];
            const LineFit fit = fitRun(drawn, layer.firstPoint, layer.firstPoint + layer.pointCount - 1);
            // A slope at or below 0 is a velocity beyond any bound.
            const double slope = fit.slope();
            velocities[s].push_back(slope > 0.0 ? 1000.0 / slope : std::numeric_limits<double>::infinity());
        }
    });
    for (std::size_t s = 0; s < suggestion.layers.size(); ++s) {
        const ValueBounds b = percentileBounds(std::move(velocities[s]));
        SuggestedLayer &layer = suggestion.layers[s];
        layer.velocityLow = std::isfinite(b.low) ? b.low : 0.0f;
        layer.velocityHigh = std::isfinite(b.high) ? b.high : 0.0f;
    }
    suggestion.hasBounds = true;
    return suggestion;
}

bool AcceptLayerSuggestion(SurveyData &survey, const LayerSuggestion &suggestion, common::Messenger &messenger)
{
    if (!suggestion.ok() || suggestion.layers.empty())
        return false;
    if (!survey.layers.empty() && !messenger.ask(QString::fromUtf8(kOverwriteLayersQuestion)))
        return false;
    // The boundaries go in on a copy, so that a refused one leaves the
    // survey as it was.
    SurveyData trial = survey;
    trial.layers.clear();
    ViewState view;
    view.mode = DisplayMode::VelocityHistogram;
    for (const SuggestedLayer &layer : suggestion.layers) {
        view.depthCursor = nearestCursorY(layer.bottom);
        if (!InsertLayer(trial, view, messenger))
            return false;
    }
    survey.layers = trial.layers;
    survey.markModified(SurveyParts::Layers);
    return true;
}

} // namespace talvex
