#pragma once
// SAC time series files: one component of one station per file. The binary
// layout is a 632-byte header of 70 floats, 40 integers and 24 eight-byte
// texts, followed by NPTS 32-bit float samples; header and samples are in
// the byte order of the machine that wrote the file. The order is told by
// the header version NVHDR (integer word 76), which reads 6 (or 7) in the
// file's order and something else in the other.
//
// The alphanumeric form (the same header as text lines: 14 lines of five
// floats, 8 lines of five integers, 8 lines of texts, then the samples five
// to a line) is read too.
//
// Every count is checked against the file's size before anything is read
// through it; a file that fails a check is refused with the reason, in the
// words shown to the user.

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace talvex {

// The SAC value for "not set" in floats, integers and texts.
inline constexpr float kSacUndefined = -12345.0f;
inline constexpr int kSacHeaderBytes = 632;

struct SacTrace {
    double delta = 0.0; // seconds between samples (DELTA)
    // Time of the first sample: the reference time NZ* plus B seconds, when
    // the reference time is set.
    std::optional<QDateTime> start;
    // Component azimuth (degrees clockwise from north) and incidence (degrees
    // from the vertical, 0 = up) where set.
    std::optional<double> azimuth;
    std::optional<double> incidence;
    QString component; // KCMPNM, trimmed; empty when not set
    QString station; // KSTNM
    QString network; // KNETWK
    QString location; // KHOLE
    std::vector<double> samples;
};

// True when `bytes` (at least the header) look like a binary SAC file in
// either byte order: the header version reads 6 or 7.
bool isBinarySac(std::span<const std::uint8_t> bytes);

// Reads a SAC file, binary in either byte order or alphanumeric. Returns an
// empty string when it was read; otherwise the reason it was refused.
QString parseSacTrace(std::span<const std::uint8_t> bytes, SacTrace &trace);

// The binary file of `trace` (header version 6, little-endian, evenly
// spaced time series), for exports and tests. `bigEndian` writes the other
// order.
QByteArray encodeSacTrace(const SacTrace &trace, bool bigEndian = false);

} // namespace talvex
