#pragma once
// Field records (.CWD): one acquisition of up to four channels, written by
// the field instrument and by the microtremor program, read by the analysis
// program into its import buffer. Two layouts exist: "v2" (tag 'v','2',0)
// and an older one with short name fields; both keep the samples at offset
// 256, interleaved by sample.

#include "common/fileio.h"
#include "talvex/survey/surveydata.h"

#include <QString>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace common {
class Messenger;
}

namespace talvex {

inline constexpr int kRecordChannels = 4;        // channels the import buffer holds
inline constexpr int kRecordSamples = 4096;      // samples per channel the import buffer holds
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
    std::uint16_t interval = 0;    // µs
    std::uint16_t sampleCount = 0; // per channel
    std::uint16_t delay = 0;       // ms
    std::uint16_t gain = 0;
    std::int16_t triggerLevel = 0;
    float spare = 0.0f;

    bool isV2() const { return tag[0] == 'v' && tag[1] == '2' && tag[2] == '\0'; }
};

// The import buffer: the last record read, four channels of 4096 samples.
struct FieldRecord {
    FieldRecordHeader header;
    std::array<std::array<std::int16_t, kRecordSamples>, kRecordChannels> channels{};
    std::array<float, kRecordChannels> channelInterval{}; // µs
    std::array<int, kRecordChannels> channelGain{};
    float delay = 0.0f;     // ms
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

    // Empties the channels and per-channel intervals and selects channel 1,
    // as the buffer is before a record is read into it.
    void clear();
};

// Parses a record from the file's bytes into `record`. Fields and samples the
// bytes do not reach stay zero.
void parseFieldRecord(std::span<const std::uint8_t> bytes, FieldRecord &record);

// Reads the .CWD file at `path` into `record`. A file that cannot be opened
// shows "不能打开文件 " with the path, leaves the buffer cleared and returns false.
bool ReadFieldRecord(const QString &path, FieldRecord &record, common::Messenger &messenger);

// Copies channel `channel` (1...4) of the record, its interval, the record's
// delay and gain into the positive (or negative) trace of point `point`
// (1-based) and marks the survey modified. Velocities are not recomputed.
// Returns false when the point or channel does not exist.
bool SetPositiveTrace(SurveyData &survey, const FieldRecord &record, int point, int channel);
bool SetNegativeTrace(SurveyData &survey, const FieldRecord &record, int point, int channel);

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
