#pragma once
// Turning the survey log into velocity layers ("导入工勘资料" of the layer
// dialog).

namespace common {
class Messenger;
}

namespace talvex {

class SurveyData;

extern const char *const kNoLogLayersMessage; // "工勘资料中没有可导入层！"
extern const char *const kOverwriteLayersQuestion; // "将覆盖现有分层，是否继续？"

// Replaces the velocity layers by copies of the survey-log layers (top,
// bottom, velocity 0, pattern and reserved bytes copied, description
// emptied). Shows kNoLogLayersMessage and stops when the log is empty; asks
// kOverwriteLayersQuestion when velocity layers exist and stops on No.
// Velocities and soil names are filled in by LayersFromSurveyLog
// (layercommands.h). Returns true when the layers were replaced and marked
// modified.
bool ImportSurveyLog(SurveyData &survey, common::Messenger &messenger);

} // namespace talvex
