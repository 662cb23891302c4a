// Feeds arbitrary bytes to the SEG-2 reader as the import would (through
// random access checked against the file's size), checks what reached the
// buffer, and assigns every channel it read to a point. The same bytes are
// decoded as 20-bit packed samples.

#include "talvex/survey/recordtraces.h"
#include "records/seg2record.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <cstdlib>
#include <vector>

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
    // The bytes as 20-bit packed samples: whole numbers of at most 31 bits.
    std::vector<double> packed(std::min<std::size_t>(size / 2, 4096));
    while (!packed.empty() && talvex::seg2Packed20Bytes(packed.size()) > size)
        packed.pop_back();
    if (!talvex::decodeSeg2Packed20(bytes, false, packed))
        std::abort();
    for (const double v : packed) {
        if (v != std::trunc(v) || std::fabs(v) > 1073741824.0)
            std::abort();
    }
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
    // A date or time taken from the file is one the calendar has.
    const talvex::FieldRecordHeader &h = record.header;
    if ((h.year != 0 && !QDate(h.year, h.month, h.day).isValid()) || !QTime(h.hour, h.minute, h.second).isValid())
        std::abort();
    talvex::SurveyData survey;
    survey.points.push_back(talvex::TlvOne::newPoint(1.5f));
    for (int c = 1; c <= talvex::kRecordChannels; ++c) {
        talvex::SetPositiveTrace(survey, record, 1, c);
        talvex::SetNegativeTrace(survey, record, 1, c);
    }
    return 0;
}
