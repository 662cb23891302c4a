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
//   negative (the trace starts before the shot) and goes to the points as it
//   is; the 16-bit header field (whole ms 0...65535, as a .CWD record has it)
//   gets it rounded when it fits, otherwise 0 and a note says so;
// - date and time: the file's ACQUISITION_DATE, day/month/year with the
//   month as its English three-letter name or a number ("07/JAN/2013",
//   "7/MAR/2018"), and ACQUISITION_TIME, hours:minutes:seconds ("10:30:41",
//   a fraction of the second dropped), into the header's date and time
//   fields; a string that is there but cannot be read (no such day, another
//   order) leaves its fields 0 and a note, it does not refuse the record;
// - gain: 1 (the samples are scaled, see below);
// - samples: one scale for the whole record, so that the channels keep their
//   relative amplitudes: the largest absolute value of the samples read maps
//   to 32767 and nothing is clipped. Integer records whose samples all fit
//   16 bits are copied unchanged. Traces whose DESCALING_FACTOR differ are
//   multiplied by it first, so that the common scale compares like with like.
//
// Data format codes: 1 16-bit integer, 2 32-bit integer, 3 20-bit packed
// float, 4 32-bit IEEE float, 5 64-bit IEEE float.
//
// Code 3 is the 20-bit binary floating-point sample of the SEG-D field tape
// format, packed as engineering seismographs write it: groups of four
// samples in 10 bytes, five 16-bit words in the file's byte order. The first
// word holds the four samples' 4-bit exponents, the group's first sample in
// its most significant four bits (bits 15...12), the fourth in bits 3...0;
// the next four words are the four samples' mantissas, 16-bit two's
// complement (sign and 15 bits). A sample is its mantissa times 2 to the
// power of its exponent (0...15): a whole number of up to 31 bits, read
// exactly. A trace whose sample count is not a multiple of four ends with a
// shorter group: the exponent word and the remaining samples' mantissas
// (2 + 2·r bytes for r samples); a data block that holds the full ten bytes
// there is read as well.
//
// Every pointer, size and count is checked against the file's size before
// anything is read through it: trace pointers, descriptor block sizes, the
// data block a trace announces (refused when it reaches past the end of the
// file even though its samples fit) and the samples. A file that fails a
// check is refused with the reason, in the words shown to the user.

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

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

// One trace of a SEG-2 file at its full length, in the file's units times
// its DESCALING_FACTOR.
struct Seg2Trace {
    double interval = 0.0; // s
    double delay = 0.0; // s
    std::vector<double> samples;
};

// Reads every trace of the SEG-2 file `bytes` whole (the import buffer's
// limits of four channels and 4096 samples do not apply), with the file's
// acquisition date and time as UTC into `*start` (may be null) when both
// can be read. Returns the reason when the file is refused, with the same
// checks as parseSeg2Record.
QString parseSeg2Traces(std::span<const std::uint8_t> bytes, std::vector<Seg2Trace> &traces,
                        std::optional<QDateTime> *start);

// Bytes that `count` samples of data format code 3 take (see above).
std::uint64_t seg2Packed20Bytes(std::uint64_t count);
// Decodes `out.size()` samples of data format code 3 from `bytes`, whose
// 16-bit words are big-endian when `bigEndian`; false (and `out` untouched)
// when `bytes` is shorter than seg2Packed20Bytes(out.size()).
bool decodeSeg2Packed20(std::span<const std::uint8_t> bytes, bool bigEndian, std::span<double> out);

} // namespace talvex
