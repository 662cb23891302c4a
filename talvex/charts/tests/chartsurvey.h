#pragma once
// Surveys for the chart tests and benchmarks: the generated sample hole
// (records written by samplegen, imported, picked at the true arrivals,
// layered at the model's boundaries, with a survey log), and a long survey
// made of its points repeated.

#include "records/fieldrecord.h"
#include <QColor>
#include "talvex/survey/surveydata.h"

namespace chartsurvey {

// The pens of the traces and curves the pictures are checked for.
inline constexpr QRgb kMagenta = 0xffff00ff;
inline constexpr QRgb kBlue = 0xff0000ff;

struct Sample {
    talvex::SurveyData survey;
    talvex::FieldRecord record; // the last record the folder import read
};

// The 20 m sample with velocity layers and four survey-log layers
// (patterns 1, 6, 25 and 32, the second with a name longer than its layer).
Sample generatedSample();

// `count` points: the sample's points repeated, 0.5 m apart, in a hole deep
// enough for all of them; no layers.
talvex::SurveyData longSurvey(int count);

} // namespace chartsurvey
