#include "talvex/survey/surveydata.h"

#include <utility>

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

SurveyData::SurveyData(const SurveyData &other)
    : header(other.header),
      logLayers(other.logLayers),
      layers(other.layers),
      points(other.points),
      m_modified(other.m_modified)
{
}

SurveyData::SurveyData(SurveyData &&other) noexcept
    : header(other.header),
      logLayers(std::move(other.logLayers)),
      layers(std::move(other.layers)),
      points(std::move(other.points)),
      m_modified(other.m_modified)
{
}

SurveyData &SurveyData::operator=(const SurveyData &other)
{
    if (this != &other) {
        header = other.header;
        logLayers = other.logLayers;
        layers = other.layers;
        points = other.points;
        m_modified = other.m_modified;
    }
    return *this;
}

SurveyData &SurveyData::operator=(SurveyData &&other) noexcept
{
    if (this != &other) {
        header = other.header;
        logLayers = std::move(other.logLayers);
        layers = std::move(other.layers);
        points = std::move(other.points);
        m_modified = other.m_modified;
    }
    return *this;
}

void SurveyData::markModified(SurveyParts parts)
{
    m_modified = true;
    if (changeListener)
        changeListener(parts);
}

void SurveyData::notifyChanged(SurveyParts parts)
{
    if (changeListener)
        changeListener(parts);
}

void SurveyData::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    if (changeListener)
        changeListener(SurveyParts::None);
}

void SurveyData::clearAll()
{
    logLayers.clear();
    layers.clear();
    points.clear();
}

} // namespace talvex
