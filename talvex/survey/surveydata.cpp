#include "talvex/survey/surveydata.h"

namespace talvex {

TlvOne TlvOne::newPoint(float sourceDistance)
{
    TlvOne p;
    p.crossDistance = sourceDistance;
    p.gain = 1;
    return p;
}

float TlvOne::travelTime() const
{
    const float scaled = float(sArrival) * interval / 1000.0f;
    return scaled + delay;
}

void SurveyData::markModified()
{
    modified = true;
    if (modifiedListener)
        modifiedListener();
}

void SurveyData::clearAll()
{
    logLayers.clear();
    layers.clear();
    points.clear();
}

SurveyData &theSurvey()
{
    static SurveyData survey;
    return survey;
}

} // namespace talvex
