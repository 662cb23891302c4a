#include "talvex/ui/dialogs/pagepreviewgeometry.h"

#include <algorithm>

namespace talvex {

PagePreviewGeometry pagePreviewGeometry(QSize box, const PrintSettings &settings)
{
    const int w = box.width();
    const int h = box.height();
    const int left = settings.marginLeft;
    const int right = settings.marginRight;
    const int top = settings.marginTop;
    const int bottom = settings.marginBottom;
    // Values from outside the dialog may be below 1; the grid needs one cell.
    const int columns = std::max(1, settings.columnsPerPage);
    const int rows = std::max(1, settings.rowsPerPage);

    PagePreviewGeometry geometry;
    geometry.page = QRect(QPoint(5, 15), QPoint(w - 5 - 1, h - 5 - 1));
    const int headingY = 15 + 2 * top / 3;
    geometry.heading = QLine(left + 5, headingY, w - right - 5, headingY);
    const int footerY = h - bottom - 5;
    geometry.footer = QLine(w / 2 - 5, footerY, w / 2 + 5, footerY);

    // A box too small for the grid still shows every cell, one pixel each.
    const int cellWidth = std::max(1, (w - left - right - 10) / columns - 5);
    const int cellHeight = std::max(1, (h - top - bottom - 20) / rows - 5);
    geometry.cells.reserve(std::size_t(columns) * std::size_t(rows));
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < rows; ++row)
            geometry.cells.emplace_back(left + 5 + column * (cellWidth + 5), top + 15 + row * (cellHeight + 5),
                                        cellWidth, cellHeight);
    return geometry;
}

} // namespace talvex
