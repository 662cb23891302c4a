#include "talvex/survey/recordtraces.h"

#include <algorithm>

namespace talvex {

namespace {

bool setTrace(SurveyData &survey, const FieldRecord &record, int point, int channel, bool positive)
{
    if (point < 1 || std::size_t(point) > survey.points.size() || channel < 1 || channel > kRecordChannels)
        return false;
    const std::size_t c = std::size_t(channel - 1);
    TlvOne pt = survey.points[std::size_t(point - 1)];
    pt.interval = record.channelInterval[c];
    pt.delay = record.delay;
    pt.gain = record.gain;
    Trace &trace = positive ? pt.positive : pt.negative;
    std::copy_n(record.channels[c].begin(), kTraceLength, trace.begin());
    survey.points[std::size_t(point - 1)] = pt;
    survey.markModified(SurveyParts::Points);
    return true;
}

} // namespace

bool SetPositiveTrace(SurveyData &survey, const FieldRecord &record, int point, int channel)
{
    return setTrace(survey, record, point, channel, true);
}

bool SetNegativeTrace(SurveyData &survey, const FieldRecord &record, int point, int channel)
{
    return setTrace(survey, record, point, channel, false);
}

} // namespace talvex
