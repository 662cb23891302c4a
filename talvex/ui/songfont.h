#pragma once
// The charts and texts of the analysis program ask for the font "宋体" (a
// Song-style Chinese face). Where no font of that name is installed, Qt's
// font substitution maps the name to a Song-style face that is (AR PL UMing
// on Debian), then to any other Chinese face, so no text shows as boxes.

#include <QStringList>

namespace talvex {

// The families tried, in order, for "宋体".
QStringList songFontSubstitutes();

// Registers the substitution once for the process (needs a QGuiApplication).
void installSongFontSubstitution();

} // namespace talvex
