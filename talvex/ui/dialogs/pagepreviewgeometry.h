#pragma once
// The little page drawn in the 预览 box of the page setup dialog, as lines and
// rectangles in the box's own pixels, so that the dialog only paints it. The
// margins (mm) are taken as pixels: the picture shows proportions roughly, not
// to scale.

#include "talvex/settings/printsettings.h"

#include <QLine>
#include <QRect>
#include <QSize>
#include <vector>

namespace talvex {

struct PagePreviewGeometry {
    // The white page, outlined in red from (5, 15) to (W − 5, Hb − 5): a
    // QPainter outline covers one pixel more than the QRect's right and bottom.
    QRect page;
    // The black heading line, 2/3 of the top margin below the page's top.
    QLine heading;
    // The black footer mark: 10 pixels centred at W / 2, the bottom margin
    // above the page's bottom.
    QLine footer;
    // The blue outlines of the waveform cells, column by column; each cell
    // at least one pixel wide and high, spaced by its size plus 5.
    std::vector<QRect> cells;
};

// The preview of `settings` in a box of `box` pixels (W × Hb).
PagePreviewGeometry pagePreviewGeometry(QSize box, const PrintSettings &settings);

} // namespace talvex
