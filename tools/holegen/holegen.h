#pragma once
// Downhole records written without the picker's view of a wave: each point
// draws its own S-wave period (3...7 ms), decay, onset shape (a damped sine,
// a damped sine with a ramped onset, a Gaussian-windowed sine or a causal
// Ricker lobe), initial phase, a same-polarity P-wave a few milliseconds
// before the S-wave with its own shape, white or band-limited noise, blows of
// slightly different strength, and which of the record's channels carries
// the strongest S-wave. Every hole draws its sample interval, layered
// velocities, source offset and the trigger delays of its records. A seed
// fixes everything, so a hole is the same on every run and platform (the
// generator draws from std::mt19937 directly, not through the library's
// distributions).
//
// Ground truth is the sample nearest the S-wave onset: the first instant at
// which the S-wave differs from zero.

#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"

#include <cstdint>
#include <vector>

namespace holegen {

enum class OnsetShape {
    DampedSine, // sin(w u) exp(-u / tau)
    RampedSine, // the damped sine times (1 - exp(-u / r)), a few % of the period long
    Gabor, // sin(w u) times a Gaussian envelope centred a fraction of a period after the onset
    CausalRicker, // a Ricker wavelet from the zero crossing before its main lobe on
};

enum class NoiseKind {
    White,
    BandLimited, // white noise through a resonant band-pass of random centre and width
};

struct HoleOptions {
    std::uint32_t seed = 1;
    int points = 30; // receivers at spacing, 2 x spacing, ...
    float spacing = 1.0f; // m
    // Peak S-wave amplitude over the noise RMS on the channel a point holds,
    // for both blows; 0 adds no noise.
    double signalToNoise = 10.0;
    int channels = 3; // per record, 1...4
    int importChannel = 0; // 0-based channel the points take, as a folder import would
};

// What one point was made of.
struct PointTruth {
    int onsetSample = 0; // the sample nearest the S-wave onset
    double onsetExact = 0.0; // the onset in (fractional) samples
    double periodMs = 0.0;
    double decayMs = 0.0; // e-folding time of the envelope
    OnsetShape shape = OnsetShape::DampedSine;
    double pLeadMs = 0.0; // the P-wave's onset before the S-wave's
    double pOverS = 0.0; // P-wave peak over S-wave peak on the point's channel
    NoiseKind noise = NoiseKind::White;
    int strongestChannel = 0; // 0-based
};

struct Hole {
    talvex::SurveyData survey; // header (source distance, spacing, depth) and points
    std::vector<PointTruth> truth; // one per point
    // The records of each point: [point][0] the positive, [1] the negative blow.
    std::vector<std::array<talvex::FieldRecordData, 2>> records;
};

// A whole hole. Options outside their ranges are clamped (points 1...500,
// channels 1...4, the import channel into the channels).
Hole makeHole(const HoleOptions &options);

const char *shapeName(OnsetShape shape);

} // namespace holegen
