#pragma once
// SEG-2 field records, the standard file format of engineering seismographs,
// read into the same import buffer as the .CWD records.
//
// Layout, in the byte order the file's first block id shows (0x3A55 read
// little-endian, or its byte-swapped form for a big-endian file):
// - file descriptor block at offset 0: id, revision, size M of the trace
//   pointer sub-block, number of traces N, string and line terminators,
//   reserved bytes up to offset 32; then the trace pointer sub-block
//   (N 32-bit offsets of the trace descriptor blocks), then the file's
//   strings;
// - per trace a descriptor block at its pointer: id 0x4422, block size X,
//   data size Y, number of samples, data format code, reserved bytes up to
//   offset 32, then the trace's strings; the samples follow at pointer + X.
// A string is a 16-bit offset to the next string (counted from this string's
// offset, 0 ends the list) followed by text ending in the string terminator:
// a keyword, blanks, and its value ("SAMPLE_INTERVAL 0.000125").
//
// What the import buffer gets:
// - channels: the first four traces (the buffer holds four); a record with
//   more traces, or traces of more than 4096 samples, is read as far as the
//   buffer holds and flagged `clipped`, as a .CWD record is;
// - channel interval: the trace's SAMPLE_INTERVAL (s) in µs, not rounded;
//   the header's 16-bit interval field gets it rounded to whole µs, and a
//   value that does not round into 1...65535 µs is refused;
// - delay: the first trace's DELAY (s) in ms, 0 when absent; it may be
//   negative (samples before the trigger); the 16-bit header field gets it
//   rounded only when it fits, 0 otherwise;
// - gain: 1 (the samples are scaled, see below);
// - samples: one scale for the whole record, so that the channels keep their
//   relative amplitudes: the largest absolute value of the samples read maps
//   to 32767 and nothing is clipped. Integer records whose samples all fit
//   16 bits are copied unchanged. Traces whose DESCALING_FACTOR differ are
//   multiplied by it first, so that the common scale compares like with like.
//
// Data format codes: 1 16-bit integer, 2 32-bit integer, 4 32-bit IEEE
// float, 5 64-bit IEEE float. Code 3 (20-bit packed float) is refused.
//
// Every pointer, size and count is checked against the file's size before
// anything is read through it; a file that fails a check is refused with the
// reason, in the words shown to the user.

#include <QString>
#include <cstdint>
#include <functional>
#include <span>

namespace talvex {

struct FieldRecord;

inline constexpr std::uint16_t kSeg2FileBlockId = 0x3A55;
inline constexpr std::uint16_t kSeg2TraceBlockId = 0x4422;

// True when `firstBytes` (the start of a file) begins with the SEG-2 file
// descriptor block id, in either byte order.
bool isSeg2Record(std::span<const std::uint8_t> firstBytes);

// Fills `out` with the file's bytes at `offset`; false when they cannot all
// be read. The reader asks only for ranges it checked against the size.
using Seg2ReadAt = std::function<bool(std::uint64_t offset, std::span<std::uint8_t> out)>;

// Reads the SEG-2 file of `fileSize` bytes that `readAt` gives into
// `record`. Returns an empty string when it was read; otherwise the reason
// it was refused, with `record` cleared.
QString parseSeg2Record(std::uint64_t fileSize, const Seg2ReadAt &readAt, FieldRecord &record);
// The same over the whole file in memory.
QString parseSeg2Record(std::span<const std::uint8_t> bytes, FieldRecord &record);

} // namespace talvex
