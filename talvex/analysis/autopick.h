#pragma once
// Automatic suggestions for the S-wave first arrival of the measuring points.
//
// A downhole S-wave changes sign with the direction of the hammer blow while
// the P-wave and most noise do not, so the half difference of the positive
// and negative traces carries the S-wave alone (a P-wave of blows of unequal
// strength leaks a little). Each point is judged on its own, whatever the
// period, decay and shape of its wave:
//
//  1. both traces lose the mean of their first samples (the quiet lead-in)
//     and pass the band-pass of the shear-wave band (dsp::BandPassFilter);
//  2. an STA/LTA ratio over the energy of the filtered half difference finds
//     the onset region (its peak must reach `minOnsetRatio`), and the Akaike
//     information criterion (AIC) over that region the change from noise to
//     signal;
//  3. on the half difference through a zero-phase low-pass, the first lobe
//     from there that reaches a quarter of the wave's largest swing, and
//     back over earlier lobes that are still clearly part of the wave,
//     gives the lobe the S-wave starts with;
//  4. on the unfiltered half difference (onset not rounded by a filter),
//     a straight rise from t0 is fitted by least squares to that lobe's
//     flank for every candidate t0, data and model through the same
//     whitening filter (a two-term prediction-error filter fitted to the
//     noise before the wave, so that band-limited noise weighs as white),
//     on no background, a level, or a level and slope, whichever has the
//     least Bayesian information criterion (a background term lets the
//     onset wander, so it is kept only where the data need it); the best
//     t0 is the suggested sample, unless the noise lets it wander over more
//     than ±2 samples: then a half-sine fit of the whole lobe, which uses
//     more of the wave, gives it. The pick uncertainty comes from the data:
//     the span of t0 whose fit is within one noise variance of the best
//     (the wider of the chosen fit's and that on a level and slope), joined
//     with how far apart other estimates land: the fit on a level and
//     slope, a curved rise on the same flank, a half-sine fit of the whole
//     lobe, and the lobe found when searching from half the wave's swing
//     instead of a quarter; and, since all of these see the same noise and
//     agree however far noise in the wave's own band moves them, the error
//     that noise causes: the noise before the wave, averaged over the
//     samples the fitted rise takes to reach a quarter of the lobe's peak,
//     over the fitted slope;
//  5. the suggestion is confirmed by the polarity reversal: over
//     `signalMs` after the arrival the correlation of the two filtered
//     traces must be at most -`minReversal`, and the signal-to-noise ratio
//     (peak of the low-passed half difference after the arrival over the
//     RMS of the unfiltered one before it; for white noise about 1.4 times
//     the ratio of each trace) at least `minSnr`.
//
//  6. along the hole: arrival times of neighbouring points lie on the
//     travel-time curve (made vertical in a single hole as the point
//     velocities make it), straight within a layer. The suggestions of the
//     kNeighbourReach points on either side are split into straight runs,
//     each time weighted by its uncertainty, with a robust measure so that
//     one stray time neither bends a run's line nor breaks the run
//     (dsp::FitStraightRuns); a point in a run of at least four takes the
//     run's line as its time where the line's standard error (widened when
//     the run scatters more than its uncertainties say) is below the point's
//     own uncertainty. That averages the noise of a layer's points and
//     brings back a noisy point that strayed; a point alone between breaks,
//     or timed more precisely by its own traces, keeps its own time. The
//     uncertainty is then the line's error with half the distance to the
//     point's own estimate; the quality, which judges the point's own
//     traces, stays.
//
// The quality, 0...1, is the product of a clarity score (how far the first
// lobe stands out of the noise: 0 at 4 times the noise RMS), the square
// root of the reversal agreement (minus the correlation) and a precision
// score that is one half at an uncertainty of ±20 samples. On independently
// generated holes a suggestion of quality >= 0.7 lies within 5 samples of
// the true onset nearly always. Points whose traces are empty, not reversed
// or too noisy get no suggestion and a reason.
//
// Suggestions change nothing; ApplyArrivalSuggestion sets an accepted one
// through SetSArrival, exactly as a pick with the time cursor, and
// AcceptArrivalSuggestions accepts many at once without replacing existing
// picks unless told to.

#include <QString>

#include <vector>

namespace talvex {

class SurveyData;
class UndoSnapshot;
struct TlvOne;

struct AutoPickOptions {
    float lowHz = 20.0f; // band-pass lower edge [Hz], >= 0
    float highHz = 300.0f; // upper edge [Hz]; kept below 0.45 x the Nyquist frequency
    float staMs = 1.0f; // short-term window [ms], > 0
    float ltaMs = 4.0f; // long-term window [ms], > staMs
    float minOnsetRatio = 4.0f; // lowest STA/LTA peak that counts as an onset
    float signalMs = 4.0f; // window after the arrival for the reversal and the peak [ms]
    double minSnr = 2.0; // lowest signal-to-noise ratio of the half difference
    double minReversal = 0.5; // the traces' correlation after the arrival must be <= -minReversal
};

struct ArrivalSuggestion {
    bool found = false;
    int sample = 0; // suggested sArrival, 1...1023, when found
    double quality = 0.0; // 0...1, 0 when not found
    double snr = 0.0; // S-wave peak over noise RMS of the half difference (0 when not measured)
    double correlation = 0.0; // of the filtered traces after the arrival, -1...1
    QString reason; // why there is no suggestion (empty when found)
    // Pick uncertainty (± samples, meant as one standard deviation; on
    // independently generated holes the true onset lies within it, plus the
    // half sample of rounding, 7 to 9 times in 10, and within twice it plus
    // one sample 9 to 19 times in 20, the lower shares at the noisiest); 0
    // when not found. Times the point's interval for ms.
    double uncertainty = 0.0;
    // The sample the point's own traces give; `sample` differs from it when
    // the neighbours' arrivals timed the point (runPoints > 0).
    int ownSample = 0;
    // Points of the straight stretch of the travel-time curve that timed
    // the point with its neighbours; 0 when it was timed alone.
    int runPoints = 0;
};

// How many points on either side of a point (in list order) its suggestion
// reads: SuggestArrivals times each point with the suggestions of these
// neighbours.
inline constexpr int kNeighbourReach = 8;

// The suggestion for one point from its own traces (steps 1 to 5). Reads the
// point only.
ArrivalSuggestion SuggestArrival(const TlvOne &point, const AutoPickOptions &options = {});

// One suggestion per point, in list order: each point's own (SuggestArrival)
// timed along the hole with its neighbours' (TimeAlongHole). Reads the
// survey only.
std::vector<ArrivalSuggestion> SuggestArrivals(const SurveyData &survey, const AutoPickOptions &options = {});

// The points' own suggestions `own` (one per point, in list order) timed
// along the hole: a point in a straight stretch of at least four suggested
// arrivals among the kNeighbourReach points on either side takes the
// stretch's line as its time where the line knows it better than the
// point's own uncertainty (see step 6 above). `own` unchanged when its size
// is not the point count.
std::vector<ArrivalSuggestion> TimeAlongHole(const SurveyData &survey, const std::vector<ArrivalSuggestion> &own);

// A suggestion found with at least `minQuality`.
bool isAcceptable(const ArrivalSuggestion &suggestion, double minQuality);

// Sets the S-wave arrival of point `index` (0-based) to an acceptable
// suggestion through SetSArrival, so the point's and the next point's
// velocities and the modified flag follow as for a manual pick. False, with
// nothing changed, when the index is not a point of the list or the
// suggestion is not acceptable.
bool ApplyArrivalSuggestion(SurveyData &survey, int index, const ArrivalSuggestion &suggestion, double minQuality);

// What accepting suggestions may do to a point that has a pick already
// (sArrival != 0), whoever set it.
enum class ExistingPicks {
    Keep, // fill only points without a pick
    Replace, // also replace existing picks with acceptable suggestions
};

// What accepting suggestions did.
struct AppliedSuggestions {
    bool ok = false; // false when the suggestions are not those of the survey's points (nothing changed)
    int filled = 0; // points without a pick that got one
    int kept = 0; // points whose pick was left although an acceptable suggestion differs from it
    int replaced = 0; // points whose pick was replaced (only with ExistingPicks::Replace)
    int changed() const { return filled + replaced; }
};

// Applies every acceptable suggestion, point by point in list order (each
// pick recomputes the point after it, so all velocities end up current).
// Points that have a pick keep it unless `existing` is Replace; a pick equal
// to the suggestion counts as neither kept nor replaced. A single pick takes
// no undo snapshot, but accepting all may change many picks at once: with
// `undo`, one snapshot is taken before the first change (none when nothing
// changes), so one Undo restores every filled and every replaced pick.
// `suggestions` must be those of this survey's points: when its size differs
// from the point count nothing is changed and `ok` is false.
AppliedSuggestions AcceptArrivalSuggestions(SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions,
                                            double minQuality, ExistingPicks existing, UndoSnapshot *undo = nullptr);

// AcceptArrivalSuggestions keeping existing picks: returns the number of
// points filled, or -1 when the suggestions are not those of the survey.
int ApplyArrivalSuggestions(SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions, double minQuality,
                            UndoSnapshot *undo = nullptr);

} // namespace talvex
