#include "talvex/ui/songfont.h"

#include "talvex/charts/chartstyle.h"

namespace talvex {

// The list itself lives with the charts, which draw without a window too.
QStringList songFontSubstitutes()
{
    return charts::songFontSubstitutes();
}

void installSongFontSubstitution()
{
    charts::installSongFontSubstitution();
}

} // namespace talvex
