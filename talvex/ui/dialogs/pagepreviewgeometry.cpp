#include "talvex/ui/dialogs/pagepreviewgeometry.h"

#include <algorithm>
#include <cstdint>

namespace talvex {

namespace {

// Start and size of the cells along one axis: `count` cells from `start`
// over `span` pixels, each span / count − 5 and spaced by its size + 5.
// When that leaves less than one pixel a cell, the cells are one pixel each,
// spread evenly over the span instead, so the grid never leaves the page;
// `limit` is the page's last pixel on this axis.
struct Axis {
    int start = 0;
    int span = 0;
    int count = 1;
    int limit = 0;

    int size() const { return std::max(1, span / count - 5); }
    int at(int index) const
    {
        int position = span / count - 5 >= 1 ? start + index * (size() + 5)
                                             : start + int(std::int64_t(index) * std::max(0, span) / count);
        return std::clamp(position, 0, std::max(0, limit - size() + 1));
    }
};

} // namespace

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

    // A box too small for the grid still shows every cell, one pixel each,
    // inside the page outline.
    const Axis across{left + 5, w - left - right - 10, columns, geometry.page.right() - 1};
    const Axis down{top + 15, h - top - bottom - 20, rows, geometry.page.bottom() - 1};
    geometry.cells.reserve(std::size_t(columns) * std::size_t(rows));
    for (int column = 0; column < columns; ++column)
        for (int row = 0; row < rows; ++row)
            geometry.cells.emplace_back(across.at(column), down.at(row), across.size(), down.size());
    return geometry;
}

} // namespace talvex
