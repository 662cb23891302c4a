#pragma once
// The drawing of the 82 built-in soil and rock pictures. Each is composed
// of the symbols a geologist reads on a borehole log: dots for sands (finer
// sands smaller and denser), dashes for clays, dots and dashes for silts,
// circles for rounded gravels, triangles for angular ones, brick courses for
// limestones, crosses for granite, V marks for volcanic rocks, wavy lines for
// schists and gneisses, bedding lines for the sedimentary rocks.

#include <QImage>

namespace talvex::charts {

// The 150 x 100 monochrome picture of built-in code 1 ... 82, freshly drawn;
// a null image for any other code.
QImage drawBuiltInPattern(int code);

} // namespace talvex::charts
