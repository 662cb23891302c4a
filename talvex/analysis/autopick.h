#pragma once
// Automatic suggestions for the S-wave first arrival of the measuring points.
//
// A downhole S-wave changes sign with the direction of the hammer blow while
// the P-wave and most noise do not, so the half difference of the positive
// and negative traces carries the S-wave alone. For each point:
//
//  1. both traces lose the mean of their first samples (the quiet lead-in)
//     and pass the band-pass of the shear-wave band (dsp::BandPassFilter);
//  2. an STA/LTA ratio over the energy of the filtered half difference finds
//     the onset region (its peak must reach `minOnsetRatio`);
//  3. the Akaike information criterion (AIC) over that region places the
//     change from noise to signal;
//  4. the crossover, where the two traces part in opposite directions, is
//     then timed on the unfiltered half difference (white noise, onset not
//     rounded by a filter): first by a least-squares fit of its first lobe,
//     from the crossover to the next crossing of the traces, then by a fit
//     of a damped wave A sin(w u) exp(-a u) over the rest of the record,
//     whose later crossings fix the period the onset is timed with. This is
//     the suggested sample;
//  5. the suggestion is confirmed by the polarity reversal: over
//     `signalMs` after the crossover the correlation of the two filtered
//     traces must be at most -`minReversal`, and the signal-to-noise ratio
//     (peak of the low-passed half difference after the crossover over the
//     RMS of the unfiltered one before it; for white noise about 1.4 times
//     the ratio of each trace) at least `minSnr`.
//
// SuggestArrivals times every point a second time with the period and decay
// of the damped wave shared among neighbouring points (the median of up to
// seven), as the same blows through similar ground give similar waves; this
// narrows the scatter of noisy points.
//
// The quality, 0...1, is the product of a signal-to-noise score,
// 1 - minSnr / snr (0.5 at twice minSnr, 0.9 at ten times), and the reversal
// agreement (minus the correlation); a noisier or less clearly reversed
// point scores lower. Points whose traces are empty, not reversed or too
// noisy get no suggestion and a reason.
//
// Suggestions change nothing; ApplyArrivalSuggestion sets an accepted one
// through SetSArrival, exactly as a pick with the time cursor.

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
    // Pick uncertainty: the half width (± samples) within which the onset is
    // placed by the data; 0 when not found. Times the point's interval for ms.
    double uncertainty = 0.0;
};

// The suggestion for one point. Reads the point only.
ArrivalSuggestion SuggestArrival(const TlvOne &point, const AutoPickOptions &options = {});

// One suggestion per point, in list order, with the wave shape shared
// among neighbouring points (see above). Reads the survey only.
std::vector<ArrivalSuggestion> SuggestArrivals(const SurveyData &survey, const AutoPickOptions &options = {});

// A suggestion found with at least `minQuality`.
bool isAcceptable(const ArrivalSuggestion &suggestion, double minQuality);

// Sets the S-wave arrival of point `index` (0-based) to an acceptable
// suggestion through SetSArrival, so the point's and the next point's
// velocities and the modified flag follow as for a manual pick. False, with
// nothing changed, when the index is not a point of the list or the
// suggestion is not acceptable.
bool ApplyArrivalSuggestion(SurveyData &survey, int index, const ArrivalSuggestion &suggestion, double minQuality);

// Applies every acceptable suggestion, point by point in list order (each
// pick recomputes the point after it, so all velocities end up current).
// A single pick takes no undo snapshot, but accepting all may overwrite many
// picks at once: with `undo`, one snapshot is taken before the first change
// (none when nothing is acceptable), so one Undo restores every pick.
// `suggestions` must be those of this survey's points: when its size differs
// from the point count nothing is changed and -1 is returned. Otherwise
// returns the number of points set.
int ApplyArrivalSuggestions(SurveyData &survey, const std::vector<ArrivalSuggestion> &suggestions, double minQuality,
                            UndoSnapshot *undo = nullptr);

} // namespace talvex
