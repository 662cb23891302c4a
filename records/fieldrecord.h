#pragma once
// Field records (.CWD): one acquisition of up to four channels, written by
// the field instrument and by the microtremor program, read by the analysis
// program into its import buffer. Two layouts exist: "v2" (tag 'v','2',0)
// and an older one with short name fields; both keep the samples at offset
// 256, interleaved by sample. SEG-2 files of engineering seismographs are
// read into the same buffer (seg2record.h); the reader is chosen by the
// file's first bytes, not by its name.

#include "common/fileio.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace common {
class Messenger;
}

namespace talvex {

inline constexpr int kRecordChannels = 4; // channels the import buffer holds
inline constexpr int kRecordSamples = 4096; // samples per channel the import buffer holds
inline constexpr std::size_t kRecordDataOffset = 256;

// The header fields of a record, as they lie in the file.
struct FieldRecordHeader {
    std::array<char, 4> tag{'v', '2', '\0', '\0'};
    std::array<char, 80> siteName{}; // GBK; the older layout fills only the first 9 bytes
    std::array<char, 40> holeName{}; // GBK; the older layout fills only the first 4 bytes
    std::int16_t channelCount = 0;
    std::int16_t year = 0;
    std::int16_t month = 0;
    std::int16_t day = 0;
    std::int16_t hour = 0;
    std::int16_t minute = 0;
    std::int16_t second = 0;
    std::uint16_t interval = 0; // µs
    std::uint16_t sampleCount = 0; // per channel
    std::uint16_t delay = 0; // ms
    std::uint16_t gain = 0;
    std::int16_t triggerLevel = 0;
    float spare = 0.0f;

    bool isV2() const { return tag[0] == 'v' && tag[1] == '2' && tag[2] == '\0'; }
};

// The file format a record was read from.
enum class RecordLayout {
    Cwd, // the header tells v2 from the older layout
    Seg2, // the header fields are filled from the SEG-2 blocks and strings
};

// The import buffer: the last record read, four channels of 4096 samples.
struct FieldRecord {
    FieldRecordHeader header;
    RecordLayout layout = RecordLayout::Cwd;
    std::array<std::array<std::int16_t, kRecordSamples>, kRecordChannels> channels{};
    std::array<float, kRecordChannels> channelInterval{}; // µs
    std::array<int, kRecordChannels> channelGain{};
    float delay = 0.0f; // ms
    std::int16_t gain = 0;
    int selectedChannel = 1; // 1...4

    // What of the file fits the buffer: channels 0...4 and samples
    // 0...4096. A record with more channels or samples than that is read as
    // far as it fits; `clipped` tells the caller that some of it was left.
    int channelsRead = 0;
    int samplesRead = 0;
    bool clipped = false;
    // The file ended before all samples its header announces.
    bool shortFile = false;
    // What the reader read differently from the file or could not read, in
    // the words shown to the user (a date it could not make out, a delay the
    // 16-bit header field cannot hold); empty for most records.
    QStringList notes;

    // Empties the channels and per-channel intervals and selects channel 1,
    // as the buffer is before a record is read into it.
    void clear();
};

// Limits of what a record header may announce and still be taken for a
// field record. Instruments write 1...4 channels of at most 4096 samples;
// records up to these limits are read as far as the buffer holds, anything
// beyond is not a record (a text or other file with a record's name).
inline constexpr int kMaxPlausibleChannels = 16;
inline constexpr int kMaxPlausibleSamples = 32768;

// Why a header cannot be a real record (a channel count outside
// 1...kMaxPlausibleChannels, a sample count outside 1...kMaxPlausibleSamples,
// a sample interval of 0, or a file of `fileSize` bytes shorter than the
// 256-byte header), in the words shown to the user; empty when it can be.
QString implausibleRecordReason(const FieldRecordHeader &header, std::uint64_t fileSize);

// Parses a record from the file's bytes into `record`. Fields and samples the
// bytes do not reach stay zero. `fileSize` is the length of the whole file
// when `bytes` holds only its beginning (the samples the buffer can take);
// `shortFile` is set when the file ends before all samples its header
// announces. Does not judge plausibility.
void parseFieldRecord(std::span<const std::uint8_t> bytes, FieldRecord &record, std::uint64_t fileSize = UINT64_MAX);

// Reads the record file whose name the system spells as `nativePath` (the
// bytes of the path, as a GBK file name copied from the instrument's PC has
// them) into `record`: a SEG-2 file when its first bytes are the SEG-2 block
// id, a .CWD record otherwise, whatever the file's name. When the file cannot
// be opened or is not a record that can be read, clears the buffer, sets
// `error` to a message naming `shownName` and the reason and returns false.
bool LoadFieldRecord(const QByteArray &nativePath, const QString &shownName, FieldRecord &record, QString *error);

// Reads the .CWD or SEG-2 file at `path` into `record`. A file that cannot be opened
// shows "不能打开文件 " with the path, one that is not a record a message
// naming it and the reason; both leave the buffer cleared and return false.
bool ReadFieldRecord(const QString &path, FieldRecord &record, common::Messenger &messenger);

// The name of a file as it is shown: its bytes decoded as UTF-8 when they are
// valid UTF-8, otherwise as GBK.
QString shownFileName(const QByteArray &nativeName);

// A record to be written in the v2 layout: the header (channelCount and
// sampleCount are taken from `channels`) and the samples per channel.
struct FieldRecordData {
    FieldRecordHeader header;
    std::vector<std::vector<std::int16_t>> channels; // 1...4 channels of equal length
};

// The v2 file bytes of a record: tag "v2", header fields up to offset 151,
// zeros up to 255, the samples interleaved by sample.
std::vector<std::uint8_t> encodeFieldRecordV2(const FieldRecordData &record);
common::FileError writeFieldRecordV2(const QString &path, const FieldRecordData &record);

} // namespace talvex
