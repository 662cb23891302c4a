// Feeds arbitrary bytes to the field record reader and assigns every
// channel it read to a point, as the import does.

#include "talvex/survey/fieldrecord.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static talvex::FieldRecord record; // the program keeps one buffer, reused
    talvex::parseFieldRecord(std::span<const std::uint8_t>(data, size), record);
    if (record.channelsRead < 0 || record.channelsRead > talvex::kRecordChannels || record.samplesRead < 0
        || record.samplesRead > talvex::kRecordSamples)
        std::abort();
    talvex::SurveyData survey;
    survey.points.push_back(talvex::TlvOne::newPoint(1.5f));
    for (int c = 1; c <= talvex::kRecordChannels; ++c) {
        talvex::SetPositiveTrace(survey, record, 1, c);
        talvex::SetNegativeTrace(survey, record, 1, c);
    }
    return 0;
}
