// Feeds arbitrary bytes to the field record reader, judges the header as
// the import does, and assigns every channel it read to a point.

#include "talvex/survey/recordtraces.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static talvex::FieldRecord record; // the program keeps one buffer, reused
    talvex::parseFieldRecord(std::span<const std::uint8_t>(data, size), record);
    if (record.channelsRead < 0 || record.channelsRead > talvex::kRecordChannels || record.samplesRead < 0
        || record.samplesRead > talvex::kRecordSamples)
        std::abort();
    // A header the import refuses is never copied into a point.
    if (!talvex::implausibleRecordReason(record.header, size).isEmpty())
        return 0;
    talvex::SurveyData survey;
    survey.points.push_back(talvex::TlvOne::newPoint(1.5f));
    for (int c = 1; c <= talvex::kRecordChannels; ++c) {
        talvex::SetPositiveTrace(survey, record, 1, c);
        talvex::SetNegativeTrace(survey, record, 1, c);
    }
    return 0;
}
