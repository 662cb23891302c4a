#pragma once
// Taking a channel of the import buffer (records/fieldrecord.h) into a
// point's trace: where the record library meets the survey.

#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"

namespace talvex {

// Copies channel `channel` (1...4) of the record, its interval, the record's
// delay and gain into the positive (or negative) trace of point `point`
// (1-based) and marks the survey modified. Velocities are not recomputed.
// Returns false when the point or channel does not exist.
bool SetPositiveTrace(SurveyData &survey, const FieldRecord &record, int point, int channel);
bool SetNegativeTrace(SurveyData &survey, const FieldRecord &record, int point, int channel);

} // namespace talvex
