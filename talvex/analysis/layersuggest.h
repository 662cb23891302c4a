#pragma once
// Layer suggestions (建议分层): the travel-time curve, corrected to vertical,
// is fitted with straight segments, and the segment boundaries are offered as
// velocity layers. The engineer accepts them (they are then inserted through
// the layer commands, as if set on the histogram) or ignores them; nothing in
// the survey changes until AcceptLayerSuggestion.
//
// The curve: single hole, the vertical time Tc (ms) of every picked point
// (sArrival > 0) at a depth > 0 (correctedTravelTime); cross hole, the
// vertical time accumulated down the picked points, sorted by depth, each
// interval crossed at the lower point's velocity L / T. Points are fitted in
// depth order whatever their list order; unpicked points are left out and
// counted.
//
// Bounds of the fitted velocities: with the pick uncertainties
// (pickedtimes.h), the picked times are drawn again as for the site figures
// (siteuncertainty.h), the curve rebuilt and each segment's line refitted
// over the same points; the 16th and 84th percentiles of 1000 / slope.
//
// The fit: every partition of the depth-sorted points into 1...maxSegments
// runs of consecutive points (each at least kMinSegmentPoints points spanning
// at least 0.54 m: the 0.5 m the layer commands keep between boundaries and
// the depth cursor's rounding) is scored by its
// least-squares straight lines, and the number of segments is chosen by the
// Bayesian information criterion n·ln(RSS/n) + (3k − 1)·ln n (slope and
// intercept per segment, k − 1 boundaries). RSS/n is never taken below the
// variance of the time quantisation (one sample interval, Δ²/12), so a
// noise-free curve is not split further than its breaks. Dynamic programming
// over the boundaries makes it O(k·n²); the result is deterministic (ties go
// to fewer segments, then to the earlier boundary).
//
// Units: depths in m, times in ms, velocities in m/s.

#include "talvex/analysis/autopick.h"
#include "talvex/analysis/pickedtimes.h"

#include <QString>

#include <vector>

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;

// Points a segment needs at least: a line through two points fits any pair
// exactly and so says nothing about a break.
inline constexpr int kMinSegmentPoints = 3;
// Most segments tried.
inline constexpr int kMaxSuggestedSegments = 8;
// More usable points than this are refused (the fit grows with n²).
inline constexpr int kMaxSuggestionPoints = 4000;

extern const char
    *const kTooFewPointsForSuggestion; // "可用于建议分层的测点不足（至少要 %1 个有初至的测点，深度相差 %2 米以上）"
extern const char *const kTooManyPointsForSuggestion; // "测点多于 %1 个，不做建议分层"

// One suggested layer.
struct SuggestedLayer {
    float top = 0.0f; // m
    float bottom = 0.0f; // m
    float velocity = 0.0f; // m/s, 1000 / slope of the segment; 0 when the slope is not positive
    int pointCount = 0; // points of the segment
    int firstPoint = 0; // index of the segment's first point in the fitted curve
    // 16 and 84 % bounds of `velocity` (SuggestLayers with suggestions);
    // 0 when not known, velocityHigh 0 also when the slope may reach 0.
    float velocityLow = 0.0f;
    float velocityHigh = 0.0f;
};

struct LayerSuggestion {
    // Empty when the suggestion holds; otherwise why there is none (and the
    // fields below are empty).
    QString problem;

    // Top-down, contiguous, the first from 0, the last down to the deepest
    // fitted point. The boundaries lie on the 0.02 m grid of the histogram's
    // depth cursor, so accepting them gives exactly these depths.
    std::vector<SuggestedLayer> layers;
    int usedPoints = 0; // points on the fitted curve
    int unpickedPoints = 0; // points left out for want of an S arrival
    bool hasBounds = false; // the layers' velocityLow and velocityHigh are filled
    float rmsResidual = 0.0f; // ms, root mean square of the fit's residuals
    float maxResidual = 0.0f; // ms, largest absolute residual
    float bic = 0.0f; // the criterion of the chosen fit

    bool ok() const { return problem.isEmpty(); }
    // The depths between the layers (m), top-down.
    std::vector<float> boundaries() const;
};

// One point of the vertical travel-time curve.
struct CurvePoint {
    float depth = 0.0f; // m
    float time = 0.0f; // ms
};

// The curve the suggestion fits, sorted by depth (see above).
std::vector<CurvePoint> verticalTimeCurve(const SurveyData &survey);
std::vector<CurvePoint> curveFromTimes(const PickedTimes &picked);

// The time resolution of the curve, ms: the smallest sample interval of the
// picked points (single hole) or 0 when there is none to tell.
float curveTimeResolution(const SurveyData &survey);

// Fits `curve` (sorted by depth) as described above; `resolution` is the
// time resolution in ms (0: none known).
LayerSuggestion fitLayerSegments(const std::vector<CurvePoint> &curve, float resolution,
                                 int maxSegments = kMaxSuggestedSegments);

// The suggestion for the survey's points.
LayerSuggestion SuggestLayers(const SurveyData &survey);
// The same with the bounds of the velocities from the pick uncertainties of
// `suggestions` (one per point, or empty: every pick a hand pick).
LayerSuggestion SuggestLayers(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions);

// Accepts a suggestion: when velocity layers exist, asks
// kOverwriteLayersQuestion ("将覆盖现有分层，是否继续？") and stops on No;
// then empties the layers and inserts one boundary per suggested layer,
// top-down, through InsertLayer with the depth cursor on the boundary (so
// the new layers get their velocities from the point velocities, as set on
// the histogram). False, and nothing changed, when the suggestion does not
// hold, the answer was No, or a boundary was refused (the layers are then
// put back as they were).
bool AcceptLayerSuggestion(SurveyData &survey, const LayerSuggestion &suggestion, common::Messenger &messenger);

} // namespace talvex
