// The printed page: the six bands, the page header and the test
// information. Drawn in 0.1 mm units with y downward from the page's top
// left corner; the same routine serves the printer, the preview and the PDF.
#pragma once

#include "sedra/core/sedradocument.h"

#include <QPagedPaintDevice>
#include <QString>

namespace sedra {

class PrintedPage {
public:
    // Draws the page on `painter`, whose device is `device` (a printer or a
    // PDF writer); the painter's window is set to the page in 0.1 mm.
    static void draw(QPainter &painter, QPagedPaintDevice &device, const SedraDocument &document);
    // The drawing in page units: `page` is the page's size in 0.1 mm.
    static void drawPage(QPainter &painter, const QSizeF &page, const SedraDocument &document, qreal fontScale);
    // Writes the page as a one-page A4 PDF. Returns false with the reason.
    static bool writePdf(const SedraDocument &document, const QString &path, QString *error);
};

} // namespace sedra
