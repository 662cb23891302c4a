// Reading a three-component recording from what instruments write:
// miniSEED (one file with three channels, or one file per component), SAC
// (one file per component, binary in either byte order or alphanumeric),
// SEG-2 with three traces, the program's own .cwd records, and text with
// three columns N E Z. The format is told from the bytes, not the name.
//
// Components: SAC from CMPINC/CMPAZ where set, else from the last letter of
// KCMPNM (N, E or Z), else the order the files are given in; miniSEED from
// the last letter of the channel code; .cwd records and SEG-2 traces by the
// channel setting (default 1, 2, 3 for N, E, Z); text by its columns.
//
// The three components must share one sample interval, one length and one
// start time (within half a sample where the files say it); anything else is
// refused with the file and the reason, in the words shown to the user.
#pragma once

#include "sedra/core/threecomponent.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace sedra {

struct ThreeComponentReadOptions {
    // Seconds between samples of a text file; wins over a "dt =" comment.
    std::optional<double> sampleInterval;
    // Channels (1-based) of a .cwd record or traces of a SEG-2 file taken as
    // north, east and vertical.
    std::array<int, 3> channels{1, 2, 3};
};

// The record, or why the files cannot give one.
struct ThreeComponentReadResult {
    ThreeComponentRecord record;
    QString error; // empty when `record` holds the recording

    bool ok() const { return error.isEmpty(); }
};

// The recording in `paths`: one file holding all three components, or one
// file per component.
ThreeComponentReadResult readThreeComponent(const QStringList &paths, const ThreeComponentReadOptions &options = {});

// The name of a component in messages: "北", "东", "竖直".
QString componentName(Component component);

} // namespace sedra
