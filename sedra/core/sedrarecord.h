// The microtremor record (the document of the microtremor program): the
// header in the field record layout, four working and four unfiltered
// channels; its .cwd file, written and read through the field record code,
// and its text export.
#pragma once

#include "sedra/card/recordchannels.h"
#include "records/fieldrecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sedra {

struct SedraRecord {
    // Offsets 0 to 147 of the file header, as held in memory.
    talvex::FieldRecordHeader header;
    // The 16-bit word at offset 148 as held in memory: after an acquisition
    // the keyboard option flag (the last value of the parameter block copied
    // into the header), after loading the older layout its spare value.
    std::int16_t spareWord = 0;
    // channelCount and sampleCount say what holds data (0 for an empty
    // document); sampleInterval is the header's.
    RecordChannels channels;

    bool hasSamples() const { return channels.sampleCount > 0; }
    QString siteName() const;
    QString testPoint() const;
    // The header's date and time, when they form a valid moment.
    std::optional<QDateTime> recordedAt() const;
};

// Why `record` holds nothing to save, analyse or draw: no channel or no
// sample, or every sample of every channel zero (what a cancelled
// acquisition or a file of zeros leaves). Empty when it holds data.
QString missingDataReason(const SedraRecord &record);

// The file's bytes: tag "v2", the header fields of offsets 4 to 147 as
// held, `spare` at 148, zeros up to 255, then the working channels
// interleaved by sample (channel count and sample count of `record`).
std::vector<std::uint8_t> encodeSedraRecord(const SedraRecord &record, float spare);

// Reads a record: channels zeroed, the v2 header or the older one (its 9-
// and 4-byte texts with their last byte forced to zero, its spare value into
// the word at 148), then N samples of C channels into the unfiltered and the
// working channels. A record with more than four channels or 4096 samples
// keeps what fits. Returns a message text when the bytes are no record:
// shorter than the 256-byte header, or a channel count below 0 or above 64.
// What was left out of a record that could be read (samples beyond 4096,
// channels beyond four, samples missing at the end of a file of `fileSize`
// bytes; the length of `bytes` when not given) is added to `notes`.
std::optional<QString> decodeSedraRecord(std::span<const std::uint8_t> bytes, SedraRecord &record,
                                         QStringList *notes = nullptr, std::uint64_t fileSize = UINT64_MAX);

// The text export: the heading line, then one line per channel with every
// working sample followed by a comma; lines end in CR LF; GBK.
QByteArray sedraRecordText(const SedraRecord &record);

} // namespace sedra
