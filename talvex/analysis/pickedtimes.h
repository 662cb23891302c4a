#pragma once
// The picked travel times the site figures are built from, and how far each
// pick can be trusted.
//
// Only points with an accepted S arrival (sArrival > 0) at a depth > 0 take
// part: a point without a pick still has a travel time (its delay) and a
// point velocity, but neither says anything about the ground. The times are
// kept rather than the stored point velocities because a picked point's
// stored velocity may have been computed against an unpicked neighbour
// above it; from the times, each interval runs from the next shallower
// picked point (or the surface).
//
// Single hole: the vertical (slant-corrected) time Tc in ms
// (correctedTravelTime). Cross hole: the travel time T in ms with the
// source-receiver distance, each point standing on its own.
//
// Pick uncertainty (one standard deviation, in samples): where the
// automatic picker made a suggestion for the point, its own uncertainty,
// widened by the distance between the pick and the suggestion when they
// differ (sqrt(u² + Δ²): a pick the picker disagrees with is only as good
// as their disagreement), and never below kMinPickUncertainty (the pick is
// a whole sample). A pick the picker could not confirm (no suggestion: the
// reversal is unclear or the record noisy) is read by eye from the crossover
// of the two traces, which on a clear record is good to about a sample;
// such records are the unclear ones, so kHandPickUncertainty is twice that.

#include "talvex/analysis/autopick.h"

#include <vector>

namespace talvex {

class SurveyData;
struct TlvOne;

inline constexpr double kMinPickUncertainty = 1.0; // samples
inline constexpr double kHandPickUncertainty = 2.0; // samples, a pick without a suggestion

struct PickedTime {
    int index = 0; // in the point list
    float depth = 0.0f; // m
    double time = 0.0; // ms: vertical time (single hole) or travel time (cross hole)
    double crossDistance = 0.0; // m, cross hole only
    double sigma = 0.0; // ms, standard deviation of `time`; 0 when not known
};

struct PickedTimes {
    bool singleHole = true;
    std::vector<PickedTime> points; // sorted by depth (stable)
    int unpicked = 0; // points without an S arrival
    float shallowestUnpicked = 0.0f; // m, of those at a depth > 0; 0 when none
    int withoutDepth = 0; // picked points at a depth <= 0 (or not a number)
    int total = 0; // points in the list
};

// The picked points of `survey`; `sigmaSamples`, when given, holds one pick
// uncertainty per point (samples, see pickUncertainties) and fills `sigma`.
PickedTimes pickedTimes(const SurveyData &survey, const std::vector<double> *sigmaSamples = nullptr);

// The uncertainty of the pick of `point` (samples); `suggestion` is the
// picker's suggestion for it, or null when there is none to go by. 0 for a
// point without a pick.
double pickUncertainty(const TlvOne &point, const ArrivalSuggestion *suggestion);

// One uncertainty per point; `suggestions` must be the survey's (one per
// point), or empty when none were made (every pick counts as a hand pick).
std::vector<double> pickUncertainties(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions);

} // namespace talvex
