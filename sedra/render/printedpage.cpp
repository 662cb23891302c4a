#include "sedra/render/printedpage.h"

#include "sedra/render/pdfpage.h"
#include "sedra/render/bandpainter.h"

#include <QBuffer>
#include <QPdfWriter>

namespace sedra {

void PrintedPage::draw(QPainter &painter, QPagedPaintDevice &device, const SedraDocument &document)
{
    const QSizeF mm = device.pageLayout().paintRect(QPageLayout::Millimeter).size();
    const QSizeF page(mm.width() * 10, mm.height() * 10);
    painter.setWindow(QRect(0, 0, int(page.width()), int(page.height())));
    painter.setViewport(QRect(0, 0, device.width(), device.height()));
    const qreal ratio = device.logicalDpiX() > 0 ? qreal(device.logicalDpiY()) / device.logicalDpiX() : 1.0;
    drawPage(painter, page, document, ratio);
}

void PrintedPage::drawPage(QPainter &painter, const QSizeF &page, const SedraDocument &document, qreal fontScale)
{
    // The page less 10 mm on the left, 40 mm at the top, 46.5 mm on the
    // right and 18 mm at the bottom holds the bands.
    const qreal left = 100, top = 400, right = page.width() - 465, bottom = page.height() - 180;
    const QRectF area(left, top, right - left, bottom - top);
    QFont font(QStringLiteral("宋体"));
    font.setWeight(QFont::Medium);
    // A cell height of 70 (7 mm) includes the font's leading; the em is
    // about four fifths of it.
    font.setPixelSize(std::max(1, int(56 * fontScale)));
    QFont small = font;
    small.setPixelSize(std::max(1, int(35 * fontScale)));

    const PrintInfo &info = document.printInfo();
    BandOptions options;
    options.showRightValues = info.showRightValues;
    options.markCurrentBand = false;
    options.font = small;
    options.lineWidth = 2;
    options.tickLength = 12;
    options.readoutGap = info.showRightValues ? 20 : 10;
    BandPainter::draw(painter, area, document, options);

    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(font);
    const QFontMetricsF fm(font);
    const auto textAt = [&](qreal x, qreal y, const QString &text) {
        painter.drawText(QPointF(x, y + fm.ascent()), text);
        return x + fm.horizontalAdvance(text);
    };
    textAt(left + right / 3.3, top - 290, info.header);
    const qreal siteEnd = textAt(left, top - 160, QStringLiteral("工程名称:"));
    const qreal pointEnd = textAt(left, top - 70, QStringLiteral("测试点号:"));
    const qreal dateEnd = textAt(left + 0.5333 * right, top - 70, QStringLiteral("测试日期:"));
    if (info.showTestInfo) {
        textAt(siteEnd, top - 160, info.siteName);
        textAt(pointEnd, top - 70, info.testPoint);
        textAt(dateEnd, top - 70, info.testDate.toString(QStringLiteral("yyyy/MM/dd")));
    }
    painter.restore();
}

bool PrintedPage::writePdf(const SedraDocument &document, const QString &path, QString *error)
{
    return writeA4Pdf(
        path, document.printInfo().header,
        [&](QPainter &painter, QPagedPaintDevice &device) { draw(painter, device, document); }, error);
}

} // namespace sedra
