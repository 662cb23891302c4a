#include "talvex/analysis/ceditdaodialogmodel.h"

#include "common/messenger.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/survey/surveydata.h"
#include "talvex/settings/viewstate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace talvex {

const char *const CEditDaoDialogModel::kIntervalMessage = "采样间隔必须大于0，请重新输入！";
const char *const CEditDaoDialogModel::kArrivalRangeMessage = "初至时间超出了可保存的范围，请重新输入！";

CEditDaoDialogModel::CEditDaoDialogModel(SurveyData &survey, const ViewState &view, UndoSnapshot &undo,
                                         common::Messenger &messenger)
    : m_survey(survey), m_undo(undo), m_messenger(messenger), m_index(currentPointIndex(survey, view))
{
    if (m_index < 0)
        return;
    const TlvOne &p = survey.points[std::size_t(m_index)];
    m_values.depth = p.depth;
    m_values.interval = p.interval;
    m_values.delay = p.delay;
    m_values.crossDistance = p.crossDistance;
    m_values.sArrivalMs = arrivalMs(p.sArrival, p.interval);
    m_values.pArrivalMs = arrivalMs(p.pArrival, p.interval);
    m_values.rArrivalMs = arrivalMs(p.rArrival, p.interval);
    m_values.gain = p.gain > 0 ? p.gain : 0;
}

float CEditDaoDialogModel::arrivalMs(std::int16_t sample, float interval)
{
    return float(sample) * interval / 1000.0f;
}

double CEditDaoDialogModel::arrivalSample(float ms, float interval)
{
    const float exact = ms / interval * 1000.0f;
    // A time shown for a whole sample comes back within a few float steps of
    // it, on either side; truncating such a value would lose a sample.
    const double nearest = std::nearbyint(double(exact));
    if (std::fabs(double(exact) - nearest) <= 1e-3)
        return nearest;
    return std::trunc(double(exact));
}

bool CEditDaoDialogModel::apply(const PointDialogValues &values)
{
    if (m_index < 0)
        return false;
    // A point without a record yet (New, insert) has interval 0: it can
    // still be edited, as long as no arrival asks for a conversion.
    const std::array<float, 3> times{values.sArrivalMs, values.pArrivalMs, values.rArrivalMs};
    const bool needsInterval = std::any_of(times.begin(), times.end(), [](float t) { return t != 0.0f; });
    if (!(values.interval >= 0.0f) || !std::isfinite(values.interval) || (values.interval == 0.0f && needsInterval)) {
        m_messenger.show(QString::fromUtf8(kIntervalMessage), common::MessageKind::Warning);
        return false;
    }
    std::array<std::int16_t, 3> samples{};
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (times[i] == 0.0f)
            continue; // sample 0, whatever the interval
        const double s = arrivalSample(times[i], values.interval);
        if (!std::isfinite(s) || s < std::numeric_limits<std::int16_t>::min()
            || s > std::numeric_limits<std::int16_t>::max()) {
            m_messenger.show(QString::fromUtf8(kArrivalRangeMessage), common::MessageKind::Warning);
            return false;
        }
        samples[i] = std::int16_t(s);
    }

    m_undo.TakeUndoSnapshot(m_survey);
    TlvOne p = m_survey.points[std::size_t(m_index)];
    p.interval = values.interval;
    p.sArrival = samples[0];
    p.pArrival = samples[1];
    p.rArrival = samples[2];
    p.depth = values.depth;
    p.delay = values.delay;
    p.crossDistance = values.crossDistance;
    m_survey.points[std::size_t(m_index)] = p;
    RecalculateAllVelocities(m_survey);
    if (m_survey.header.holeDepth < p.depth)
        m_survey.header.holeDepth = p.depth;
    m_survey.markModified(SurveyParts::Points | SurveyParts::Header);
    m_values = values;
    return true;
}

} // namespace talvex
