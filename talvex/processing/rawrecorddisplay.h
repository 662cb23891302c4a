// The compressed display of the raw record: a copy of the four
// channel buffers of FieldRecord that CompressDisplay and ExpandDisplay
// resample in place, and the number of samples the display shows. Only the
// raw-record display reads it; the channel buffers and the survey are never
// touched.
#pragma once

#include "records/fieldrecord.h"

#include <QString>
#include <array>
#include <cstdint>

namespace common {
class Messenger;
}

namespace talvex {

class RawRecordDisplay {
public:
    using Buffer = std::array<std::int16_t, kRecordSamples>;

    // "波形已压缩至最小 ！" (with the space) and "波形已扩展至最大！".
    static QString fullyCompressedMessage();
    static QString fullyExpandedMessage();

    // Halves the display by keeping every second sample: with L <= 1025 it
    // shows fullyCompressedMessage() and changes nothing; otherwise, for every
    // channel c < the record's channel count, b[j] := b[2j] for
    // j = 1 ... L/2 - 1 ascending, then L := L/2, compressed := true.
    // Returns whether the display changed (the view then repaints).
    bool CompressDisplay(const FieldRecord &record, common::Messenger &messenger);

    // Spreads the first half of the display over its length: with L <= 513 it
    // shows fullyExpandedMessage() and changes nothing; otherwise, for every
    // channel c < the record's channel count, b[e] := b[e/2 + 1] for
    // e = L-2, L-4, ... while e > 2, then b[j] := trunc(0.5 b[j-1] + 0.5 b[j+1])
    // for j = 3, 5, ... while j < L-1; then L := L/2, raised to 512 when that
    // is 513 or less; compressed := true.
    bool ExpandDisplay(const FieldRecord &record, common::Messenger &messenger);

    // compressed := false; all four buffers := all 4096 samples of their
    // channel; L := the record length (samples per channel, at most the 4096
    // the buffer holds).
    void RestoreDisplay(const FieldRecord &record);

    // L: the samples the compressed display shows; 0 until the first restore.
    int length() const { return m_length; }
    // Whether the raw-record display shows these buffers (true) or the
    // record's channel buffers (false, also at start).
    bool compressed() const { return m_compressed; }
    // Display buffer of channel `channel` (0...3).
    const Buffer &buffer(int channel) const { return m_buffers[std::size_t(channel)]; }

private:
    std::array<Buffer, kRecordChannels> m_buffers{};
    int m_length = 0;
    bool m_compressed = false;
};

} // namespace talvex
