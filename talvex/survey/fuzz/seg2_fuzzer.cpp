// Feeds arbitrary bytes to the SEG-2 reader as the import would (through
// random access checked against the file's size), checks what reached the
// buffer, and assigns every channel it read to a point.

#include "talvex/survey/fieldrecord.h"
#include "talvex/survey/seg2record.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static talvex::FieldRecord record; // the program keeps one buffer, reused
    const std::span<const std::uint8_t> bytes(data, size);
    // Every read must lie inside the file: the reader checks before it asks.
    const auto readAt = [bytes](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > bytes.size() || bytes.size() - offset < out.size())
            std::abort();
        std::copy_n(bytes.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
        return true;
    };
    const QString reason = talvex::parseSeg2Record(size, readAt, record);
    if (record.channelsRead < 0 || record.channelsRead > talvex::kRecordChannels || record.samplesRead < 0
        || record.samplesRead > talvex::kRecordSamples)
        std::abort();
    if (!reason.isEmpty()) {
        // A refused file leaves the buffer as a cleared one.
        if (record.channelsRead != 0 || record.layout != talvex::RecordLayout::Cwd)
            std::abort();
        return 0;
    }
    if (record.channelsRead < 1 || record.samplesRead < 1 || record.header.interval == 0)
        std::abort();
    talvex::SurveyData survey;
    survey.points.push_back(talvex::TlvOne::newPoint(1.5f));
    for (int c = 1; c <= talvex::kRecordChannels; ++c) {
        talvex::SetPositiveTrace(survey, record, 1, c);
        talvex::SetNegativeTrace(survey, record, 1, c);
    }
    return 0;
}
