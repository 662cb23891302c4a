#include "sedra/render/pdfpage.h"

#include "common/fileio.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

namespace sedra {

bool writeA4Pdf(const QString &path, const QString &title, const PagePainter &draw, QString *error)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(300);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("SEDRA"));
        QPainter painter(&writer);
        draw(painter, writer);
        painter.end();
    }
    const common::FileError written = common::writeFileAtomically(path, buffer.data());
    if (!written.ok && error)
        *error = written.message;
    return written.ok;
}

} // namespace sedra
