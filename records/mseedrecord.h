#pragma once
// miniSEED (SEED 2.4 data records) through the system's libmseed: the
// channels of one file read into whole traces, and traces written as one
// file that other seismological tools read.
//
// A file may hold records of several channels in any order; the records of
// one channel (network, station, location and channel code) are put in time
// order and joined. Records that leave a gap or overlap of half a sample or
// more, change the sample rate, or hold samples that cannot be decoded make
// the file refused with the reason, in the words shown to the user.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <span>
#include <vector>

namespace talvex {

struct MseedTrace {
    QString network; // SEED codes: at most 2, 5, 2 and 3 ASCII characters
    QString station;
    QString location;
    QString channel;
    double sampleRate = 0.0; // Hz
    std::int64_t startMicros = 0; // first sample, µs since 1970-01-01 UTC
    std::vector<double> samples;

    // "NET.STA.LOC.CHA", as messages name a channel.
    QString id() const;
};

// True when `firstBytes` begin with a SEED data record header that libmseed
// recognises.
bool isMseed(std::span<const std::uint8_t> firstBytes);

// Reads every record of `bytes` into `traces`, one per channel in the order
// the channels first appear. Returns an empty string when the file was read;
// otherwise the reason it was refused, with `traces` cleared.
QString parseMseed(std::span<const std::uint8_t> bytes, std::vector<MseedTrace> &traces);

// The file of `traces`: 4096-byte big-endian records (the byte order SEED
// readers expect), Steim-2 compressed when every sample is a whole number
// that fits, 64-bit floats otherwise. Empty, with the reason in `*error`,
// when a code is too long or not ASCII, a rate is not positive or a trace
// holds no sample.
QByteArray encodeMseed(const std::vector<MseedTrace> &traces, QString *error);

} // namespace talvex
