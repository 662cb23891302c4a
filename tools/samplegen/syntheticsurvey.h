#pragma once
// Synthetic downhole field records from a layered velocity model: for each
// receiver depth one record of a positive and one of a negative hammer blow,
// with the S-wave arriving at the straight-ray travel time from a source
// offset from the hole, opposite S polarity on the two blows, a weaker P-wave
// before it and some noise, all from a fixed seed so that every run writes
// the same bytes.

#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace samplegen {

struct ModelLayer {
    float top = 0.0f; // m
    float bottom = 0.0f; // m
    float vs = 0.0f; // m/s, shear-wave velocity
    float vp = 0.0f; // m/s, compressional velocity
};

struct SurveyModel {
    std::string siteName = "示例工程"; // UTF-8
    std::string holeName = "ZK1"; // UTF-8; also the start of every file name
    std::vector<ModelLayer> layers;
    float sourceDistance = 1.5f; // m
    float holeDepth = 20.0f; // m
    float pointSpacing = 1.0f; // m
    std::uint16_t interval = 25; // µs
    std::uint16_t samples = 1024;
    int channels = 3;
    std::uint32_t seed = 20261207;
    // Signal-to-noise ratio of every trace: the peak absolute S-wave
    // amplitude of the channel divided by the RMS of the Gaussian noise added
    // to it. 0 keeps the fixed background noise of 30 counts RMS (the bundled
    // sample).
    double signalToNoise = 0.0;
};

// The bundled sample: five layers from soft fill to dense gravel, 20 m hole.
SurveyModel defaultModel();

// Straight-ray travel time (ms) from the source at the surface, offset
// `sourceDistance` from the hole, to a receiver at `depth` in the hole, with
// the velocity chosen by `shear` (vs) or not (vp).
double travelTimeMs(const SurveyModel &model, double depth, bool shear);

// Time-weighted average velocity of the model between two depths (the
// velocity a pick-and-compute over that interval should give back).
double intervalVelocity(const SurveyModel &model, double fromDepth, double toDepth);

// The record delay (whole ms) chosen for a receiver depth: the S-wave
// arrives some milliseconds into the record.
std::uint16_t recordDelayMs(const SurveyModel &model, double depth);

// The sample of a record at `depth` nearest to the S-wave arrival: what an
// analyst picking exactly would place the cursor on.
int arrivalSample(const SurveyModel &model, double depth);

// One record: `positiveBlow` chooses the S polarity. The noise follows
// `signalToNoise`.
talvex::FieldRecordData makeRecord(const SurveyModel &model, double depth, bool positiveBlow);

// The measuring point the folder import makes of the two records at `depth`:
// channel `channel` (0-based, 0...channels - 1) of the positive and of the
// negative blow (their first 1024 samples), with the records' interval and
// delay. No file is written.
talvex::TlvOne makePoint(const SurveyModel &model, double depth, int channel = 0);

// The depths of the model's receiver points: spacing, 2 × spacing, ... down
// to the hole depth.
std::vector<double> receiverDepths(const SurveyModel &model);

// "<hole>&<depth>A.cwd" / "B.cwd"
QString recordFileName(const SurveyModel &model, double depth, bool positiveBlow);

// Deepest hole the generator writes records for (m).
inline constexpr float kMaxHoleDepth = 1000.0f;

// Why the model cannot give a set of records, or an empty text when it can:
// the hole depth is not in (0, kMaxHoleDepth] or below the first receiver;
// the layers do not cover the hole from the surface down without gaps or
// overlaps, or a layer has no positive velocity; a negative signal-to-noise
// ratio; the hole name is empty, holds a path separator or is "." or "..";
// a name GBK cannot hold; or two receiver depths give the same file name
// (names carry whole metres only, so a spacing of 0.5 m would write 1.5 m
// over 1.0 m).
QString checkModel(const SurveyModel &model);

// Writes all records into `folder` (created when missing) after checkModel
// has passed. Returns the number of files written, or -1 with `error` set.
int writeRecords(const SurveyModel &model, const QString &folder, QString *error);

} // namespace samplegen
