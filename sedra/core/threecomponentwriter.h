// Writing a three-component recording as one miniSEED file, with SEED codes
// made from the site and test point names.
//
// Codes: SEED allows 2 (network), 5 (station), 2 (location) and 3
// (channel) ASCII characters. From a name, ASCII letters and digits are kept
// in upper case and other ASCII characters dropped. A name holding any
// other character (a Chinese site name) keeps its leading ASCII letters and
// digits and ends in characters of a hash of its UTF-8 bytes (32-bit FNV-1a
// written in base 36): the whole network code, the last three of the station
// code. The same name always gives the same code, and different names
// rarely give the same one. An empty name gives "XX" (network) or "STA"
// (station). The location is "00"; the channel is the band code of the
// sample rate, "H" (seismometer) and N, E or Z.
#pragma once

#include "common/fileio.h"
#include "sedra/core/threecomponent.h"

#include <QByteArray>
#include <QString>

namespace sedra {

struct SeedCodes {
    QString network;
    QString station;
    QString location;
};

// The codes of a recording at `site` and test point `point`.
SeedCodes seedCodesFor(const QString &site, const QString &point);

// The channel code of `component` at `sampleInterval` seconds: band code
// by rate (G from 1000 Hz, D from 250 Hz, E from 80 Hz, S from 10 Hz, M
// above 1 Hz, L at about 1 Hz, V below), instrument H, then N, E or Z.
QString seedChannelCode(double sampleInterval, Component component);

// The miniSEED bytes of `record`, with its network, station and location
// codes (which must be valid SEED codes) and the channel codes above; empty
// with the reason in `*error` when it cannot be written.
QByteArray encodeThreeComponentMseed(const ThreeComponentRecord &record, QString *error);

// Writes `record` to `path` (atomically: a file that was there is replaced
// only once the new one is complete).
common::FileError writeThreeComponentMseed(const QString &path, const ThreeComponentRecord &record);

} // namespace sedra
