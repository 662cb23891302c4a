#include "talvex/analysis/surveylogimport.h"

#include "common/messenger.h"
#include "talvex/survey/surveydata.h"

namespace talvex {

const char *const kNoLogLayersMessage = "工勘资料中没有可导入层！";
const char *const kOverwriteLayersQuestion = "将覆盖现有分层，是否继续？";

bool ImportSurveyLog(SurveyData &survey, common::Messenger &messenger)
{
    if (survey.logLayers.empty()) {
        messenger.show(QString::fromUtf8(kNoLogLayersMessage), common::MessageKind::Warning);
        return false;
    }
    if (!survey.layers.empty() && !messenger.ask(QString::fromUtf8(kOverwriteLayersQuestion)))
        return false;
    survey.layers.clear();
    for (const DiChengOne &log : survey.logLayers) {
        DiChengOne layer = log;
        layer.description[0] = '\0';
        survey.layers.push_back(layer);
    }
    survey.markModified(SurveyParts::Layers);
    return true;
}

} // namespace talvex
