#include "talvex/processing/rawrecorddisplay.h"

#include "common/messenger.h"

#include <algorithm>

namespace talvex {

namespace {

// The channels the two resampling commands work on: the record's channel
// count, limited to the buffers there are (a header can claim more).
int displayedChannels(const FieldRecord &record)
{
    return std::clamp<int>(record.header.channelCount, 0, kRecordChannels);
}

} // namespace

QString RawRecordDisplay::fullyCompressedMessage()
{
    return QString::fromUtf8("波形已压缩至最小 ！");
}

QString RawRecordDisplay::fullyExpandedMessage()
{
    return QString::fromUtf8("波形已扩展至最大！");
}

bool RawRecordDisplay::CompressDisplay(const FieldRecord &record, common::Messenger &messenger)
{
    if (m_length <= 1025) {
        messenger.show(fullyCompressedMessage(), common::MessageKind::Information);
        return false;
    }
    // L <= 4096 (RestoreDisplay limits it), so 2j stays below L.
    const int half = m_length / 2;
    for (int c = 0; c < displayedChannels(record); ++c) {
        Buffer &b = m_buffers[std::size_t(c)];
        for (int j = 1; j <= half - 1; ++j)
            b[std::size_t(j)] = b[std::size_t(2 * j)];
    }
    m_length = half;
    m_compressed = true;
    return true;
}

bool RawRecordDisplay::ExpandDisplay(const FieldRecord &record, common::Messenger &messenger)
{
    if (m_length <= 513) {
        messenger.show(fullyExpandedMessage(), common::MessageKind::Information);
        return false;
    }
    const int length = m_length;
    for (int c = 0; c < displayedChannels(record); ++c) {
        Buffer &b = m_buffers[std::size_t(c)];
        // Descending, so every source b[e/2 + 1] (< e for e > 2) is still
        // the value from before this command.
        for (int e = length - 2; e > 2; e -= 2)
            b[std::size_t(e)] = b[std::size_t(e / 2 + 1)];
        for (int j = 3; j < length - 1; j += 2) {
            const float mean = 0.5f * float(b[std::size_t(j - 1)]) + 0.5f * float(b[std::size_t(j + 1)]);
            b[std::size_t(j)] = std::int16_t(mean); // toward zero; the mean of two samples fits
        }
    }
    m_length = length / 2;
    if (m_length <= 513)
        m_length = 512;
    m_compressed = true;
    return true;
}

void RawRecordDisplay::RestoreDisplay(const FieldRecord &record)
{
    m_compressed = false;
    m_buffers = record.channels;
    m_length = std::min<int>(record.header.sampleCount, kRecordSamples);
}

} // namespace talvex
