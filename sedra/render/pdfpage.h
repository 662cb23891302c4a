// One A4 page of the program as a PDF file: drawn into memory at 300 dpi
// without printer margins, then written in one piece, so that a failed write
// leaves an older file of that name as it was.
#pragma once

#include <QString>
#include <functional>

class QPainter;
class QPagedPaintDevice;

namespace sedra {

using PagePainter = std::function<void(QPainter &painter, QPagedPaintDevice &device)>;

// Writes the page `draw` paints to `path` with `title` in its properties;
// false, with the reason in `*error` (when given), when it cannot be written.
bool writeA4Pdf(const QString &path, const QString &title, const PagePainter &draw, QString *error);

} // namespace sedra
