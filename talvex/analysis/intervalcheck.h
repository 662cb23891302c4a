#pragma once
// A second opinion on the picks from the waveforms: for each pair of
// neighbouring points (list order, as the point velocities), the delay that
// best aligns their S waves gives an interval travel time that does not use
// the picks, and a pair whose picked interval disagrees with it by more than
// the uncertainties allow is flagged for review.
//
// The S wave of a point is the half difference (positive - negative) / 2 of
// its traces: the hammer blows reverse the S wave and not the P wave. Each
// half difference is cut to a tapered window around its strongest lobe
// (found from the waveform, not from the pick), so that a P arrival left in
// the traces or noise elsewhere in the record does not steer the alignment.
// The windows are cross-correlated over every lag; the best lag is refined
// by a parabola through the correlation's peak and its two neighbours, and
// the correlation coefficient is that peak over the windows' energies.
//
// Times follow TlvOne::travelTime: sample j of a point is at delay + j ×
// interval / 1000 ms after the trigger, so points with different trigger
// delays compare; points with different sample intervals are not
// correlated (the pair says why). In the single-hole geometry each time is
// made vertical as in correctedTravelTime (× depth / slant distance); the
// correlated interval is made vertical with the absolute time of a picked
// point of the pair (the upper one when both are picked), so that it
// compares with the picked interval. When neither point is picked it is
// left uncorrected (and says so), and there is nothing to compare it with.
//
// Tolerance: 2 × sqrt(u1² + u2² + c²), with u the pick uncertainty of each
// point (ms, at least one sample) and c the correlation's own resolution,
// (period / 2π) × sqrt(1 - r²) / r for the coefficient r and the dominant
// period of the windows, at least half a sample: a less similar pair of
// waves fixes its delay less well. Pairs whose coefficient is below
// `minCoefficient` are reported and never flagged: their waves are too
// unlike to give a second opinion.
//
// A flagged pair names the point it most likely concerns: a point whose
// other pair agrees is vouched for, so the other point of the pair is
// suspect; when neither or both are vouched for, both are.

#include <QString>

#include <cstddef>
#include <vector>

namespace talvex {

class SurveyData;
struct ArrivalSuggestion;

struct IntervalCheckOptions {
    double minCoefficient = 0.5; // lowest coefficient whose delay is compared with the picks
    double coverage = 2.0; // tolerance in multiples of the combined uncertainty
};

struct IntervalPair {
    int upper = 0; // list index of the first point of the pair
    int lower = 0; // list index of the second (upper + 1)
    float upperDepth = 0.0f; // m
    float lowerDepth = 0.0f; // m

    bool correlated = false; // false: `problem` says why
    double correlatedMs = 0.0; // interval time from the waveforms
    bool correlatedVertical = false; // correlatedMs corrected to the vertical
    double coefficient = 0.0; // -1...1 at the best lag
    double resolutionMs = 0.0; // the correlation's own resolution

    bool picked = false; // both points have an S arrival
    double pickedMs = 0.0; // interval time from the picks (when picked)
    double differenceMs = 0.0; // correlatedMs - pickedMs (when both known)
    double toleranceMs = 0.0; // allowed |difference| (when both known)
    bool compared = false; // picked, correlated and coefficient high enough
    bool flagged = false; // compared and |difference| > tolerance

    QString problem; // why there is no correlated time (empty when correlated)
    QString note; // a short word for the listing: 一致, 不一致, 未拾取, ...
};

struct IntervalCheck {
    std::vector<IntervalPair> pairs; // one per neighbouring pair, in list order
    std::vector<bool> flaggedPoints; // one per point: named by a flagged pair

    int flaggedCount() const; // points flagged
    int flaggedPairCount() const;
};

// What the waveforms alone say of a neighbouring pair: the delay of the
// lower point's S wave after the upper one's (ms after the trigger, not
// made vertical), with the coefficient and the resolution. Depends on the
// traces, sample intervals and delays only, never on the picks, so a window
// may keep it while the picks change.
struct PairAlignment {
    bool ok = false;
    QString problem; // why there is none (empty when ok)
    double rawMs = 0.0;
    double coefficient = 0.0;
    double resolutionMs = 0.0;
};

// One alignment per neighbouring pair, in list order (none for fewer than
// two points).
std::vector<PairAlignment> AlignNeighbours(const SurveyData &survey);

// The alignments of a survey kept current through its changes: an update
// aligns again only the pairs with a point whose traces, sample interval or
// delay changed (all of them when the point count changed), so a window
// can check after every edit of a long survey.
class NeighbourAlignments {
public:
    const std::vector<PairAlignment> &update(const SurveyData &survey);
    // Pairs aligned by the last update.
    int lastAligned() const { return m_lastAligned; }

private:
    std::vector<std::size_t> m_pointKeys;
    std::vector<PairAlignment> m_alignments;
    int m_lastAligned = 0;
};

// The check over every neighbouring pair of `survey`'s points.
// `uncertaintyMs`, when it has one entry per point, is each point's pick
// uncertainty (ms); entries below one sample (or a missing list) count as
// one sample.
IntervalCheck CheckIntervals(const SurveyData &survey, const std::vector<double> &uncertaintyMs = {},
                             const IntervalCheckOptions &options = {});
// The same with the alignments already made (AlignNeighbours of the same
// traces); a list that does not match the points is made again.
IntervalCheck CheckIntervals(const SurveyData &survey, const std::vector<PairAlignment> &alignments,
                             const std::vector<double> &uncertaintyMs, const IntervalCheckOptions &options = {});

// Pick uncertainties (ms) for CheckIntervals from the automatic suggestions
// of the same points: the uncertainty (± samples) of each found suggestion
// times the point's sample interval, 0 where there is none. Empty when the
// list does not match the points.
std::vector<double> PickUncertaintiesMs(const SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions);

} // namespace talvex
