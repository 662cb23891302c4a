#include "talvex/document/arrivalsuggestions.h"

#include "talvex/survey/surveydata.h"

#include <QHash>
#include <algorithm>
#include <cstdint>

namespace talvex {

namespace {

const std::vector<ArrivalSuggestion> kNone;

} // namespace

std::size_t suggestionInputFingerprint(const SurveyData &survey)
{
    std::size_t seed = qHash(survey.points.size());
    for (const TlvOne &point : survey.points) {
        seed = qHashBits(point.positive.data(), sizeof(point.positive[0]) * point.positive.size(), seed);
        seed = qHashBits(point.negative.data(), sizeof(point.negative[0]) * point.negative.size(), seed);
        seed = qHashMulti(seed, point.interval);
    }
    return seed;
}

void ArrivalSuggestions::setShown(bool shown)
{
    m_shown = shown;
    if (!shown) {
        m_suggestions.clear();
        m_computed = false;
    }
}

const std::vector<ArrivalSuggestion> &ArrivalSuggestions::current(const SurveyData &survey) const
{
    if (!m_shown)
        return kNone;
    if (m_computed && !m_checkTraces && m_suggestions.size() == survey.points.size())
        return m_suggestions;
    const std::size_t fingerprint = suggestionInputFingerprint(survey);
    m_checkTraces = false;
    if (m_computed && fingerprint == m_fingerprint && m_suggestions.size() == survey.points.size())
        return m_suggestions;
    m_suggestions = SuggestArrivals(survey);
    m_fingerprint = fingerprint;
    m_computed = true;
    ++m_computations;
    return m_suggestions;
}

const ArrivalSuggestion *ArrivalSuggestions::forPoint(const SurveyData &survey, int index) const
{
    const std::vector<ArrivalSuggestion> &all = current(survey);
    if (index < 0 || std::size_t(index) >= all.size())
        return nullptr;
    return &all[std::size_t(index)];
}

bool ArrivalSuggestions::anyAcceptable(const SurveyData &survey, double minQuality) const
{
    const std::vector<ArrivalSuggestion> &all = current(survey);
    return std::any_of(all.begin(), all.end(),
                       [minQuality](const ArrivalSuggestion &s) { return isAcceptable(s, minQuality); });
}

QString ArrivalSuggestions::statusText(const SurveyData &survey, int currentPoint) const
{
    const ArrivalSuggestion *suggestion = forPoint(survey, currentPoint - 1);
    if (!suggestion)
        return {};
    if (!suggestion->found)
        return QString::fromUtf8("测点%1无拾取建议：%2").arg(currentPoint).arg(suggestion->reason);
    // The time the arrival readout will show once the suggestion is taken.
    TlvOne point = survey.points[std::size_t(currentPoint - 1)];
    point.sArrival = std::int16_t(suggestion->sample);
    const double ms = double(point.travelTime());
    return QString::fromUtf8("测点%1拾取建议：%2ms，质量 %3")
        .arg(currentPoint)
        .arg(ms, 0, 'f', 2)
        .arg(suggestion->quality, 0, 'f', 2);
}

} // namespace talvex
