#pragma once
// Bounds on the site figures from the pick uncertainties.
//
// Each picked time is moved by a normal error of its standard deviation
// (pickedtimes.h), independently per point, and the figures are computed
// again through the same code as the nominal ones (profile, overburden,
// vse, Vs30, the classes, the layer velocities). The 16th and 84th
// percentiles of the results are the bounds (one standard deviation each
// side for a normal spread). Drawing rather than propagating derivatives
// keeps what an analytic formula would miss: the overburden moving with
// the velocities, the class thresholds, a point whose interval time turns
// non-positive and drops out, and 1 / t growing steeply for thin intervals.
// The draws use a fixed seed and a generator whose output the C++ standard
// fixes, so the same survey always gives the same bounds.

#include "talvex/analysis/autopick.h"
#include "talvex/analysis/pickedtimes.h"
#include "talvex/analysis/siteclass.h"

#include <functional>
#include <vector>

namespace talvex {

class SurveyData;

inline constexpr int kUncertaintyDraws = 1000;
// A class other than the nominal one is named when at least this share of
// the draws gives it: it then lies inside the 16...84 % range.
inline constexpr double kOtherClassShare = 0.16;

// Calls `each` `draws` times with a copy of `picked` whose times are moved
// by normal errors of their `sigma`.
void forEachPerturbedDraw(const PickedTimes &picked, int draws, const std::function<void(const PickedTimes &)> &each);

// The scatter of picked times (ms, one standard deviation) estimated from
// the data alone: each point's time against the straight line through its
// two picked neighbours (residual variance 1.5 σ² at even spacing), taken
// as the median absolute residual, so the few points at layer boundaries do
// not count. Single hole only (a cross-hole time stands alone); 0 with
// fewer than 5 points.
double pickScatterMs(const PickedTimes &picked);

// The 16th and 84th percentiles (linear between order statistics) of
// `values`; unknown (0, 0) when there are none.
ValueBounds percentileBounds(std::vector<double> values);

// ClassifySite with `bounds` filled from the pick uncertainties of the
// suggestions (one per point, or empty for none). Without suggestions,
// SuggestArrivals is run first.
SiteClassification ClassifySiteWithBounds(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions);
SiteClassification ClassifySiteWithBounds(const SurveyData &survey);

// Time-averaged velocity (m/s) of a profile between `top` and `bottom`,
// down to the profile's bottom only (a layer below every picked point has
// none: 0).
float profileLayerVelocity(const std::vector<VelocityInterval> &profile, float top, float bottom);

// The velocity layers' velocities from the picked points only, with bounds.
struct LayerVelocityEstimate {
    float velocity = 0.0f; // m/s, 0 when no picked point reaches into the layer
    ValueBounds bounds;
};
std::vector<LayerVelocityEstimate> layerVelocityEstimates(const SurveyData &survey,
                                                          const std::vector<ArrivalSuggestion> &suggestions);

} // namespace talvex
