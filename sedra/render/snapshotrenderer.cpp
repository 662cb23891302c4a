#include "sedra/render/snapshotrenderer.h"

#include "common/imaging/bmp16writer.h"
#include "sedra/render/bandpainter.h"

namespace sedra {

QImage SnapshotRenderer::render(const SedraDocument &document, int index)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font;
    font.setPixelSize(12);
    BandOptions options;
    options.onlyChannel = index;
    options.cursorLines = index == 0;
    options.showRightValues = document.printInfo().showRightValues;
    options.markCurrentBand = false;
    options.font = font;
    options.readoutGap = 6;
    BandPainter::draw(painter, bandArea(), document, options);

    const PrintInfo &info = document.printInfo();
    QFont big = font;
    big.setPixelSize(16);
    painter.setFont(big);
    painter.setPen(Qt::black);
    const QFontMetrics fm(big);
    // Texts are placed by their top-left corner.
    painter.drawText(QPoint(283, 15 + fm.ascent()), info.header);
    painter.setFont(font);
    const QFontMetrics small(font);
    if (info.showTestInfo) {
        painter.drawText(QPoint(37, 43 + small.ascent()), info.siteName);
        painter.drawText(QPoint(37, 65 + small.ascent()), info.testPoint);
        painter.drawText(QPoint(37 + 392, 65 + small.ascent()), info.testDate.toString(QStringLiteral("yyyy/MM/dd")));
    }
    painter.end();
    return image;
}

QStringList SnapshotRenderer::writeAll(const SedraDocument &document, const QString &chosen)
{
    QStringList failed;
    const QStringList names = SedraDocument::snapshotFileNames(chosen);
    for (int index = 0; index < names.size(); ++index) {
        if (!imaging::writeBmp16(names[index], render(document, index)).ok)
            failed << names[index];
    }
    return failed;
}

} // namespace sedra
