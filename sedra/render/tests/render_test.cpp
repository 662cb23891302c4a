// Snapshots and the PDF of the printed page, drawn from a conditioned record.

#include "sedra/render/bandpainter.h"
#include "sedra/render/printedpage.h"
#include "sedra/render/snapshotrenderer.h"

#include "common/binaryio.h"
#include "common/fileio.h"
#include "common/messenger.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

void acquire(sedra::SedraDocument &doc)
{
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    for (int ch = 0; ch < 4; ++ch)
        for (int i = 0; i < 1024; ++i)
            raw[std::size_t(ch)][std::size_t(i)]
                = std::int16_t(int(3000 * std::sin(2 * std::numbers::pi * (2.0 + 2 * ch) * i * 0.008)) & 0x3FFF);
    sedra::SedraParameters p;
    p.projectName = "工地A";
    p.testSit = "3";
    p.channel = 3;
    doc.takeAcquisition(raw, p, QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
}

// Whether any pixel of `rect` differs from white.
bool inked(const QImage &image, const QRect &rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

TEST(Snapshots, FourFilesOfTheExactSizeAndLayout)
{
    sedra::SedraDocument doc;
    acquire(doc);
    doc.setCursor(0, 256);
    QTemporaryDir dir;
    const QString chosen = dir.filePath("sedraimg(0).bmp");
    EXPECT_TRUE(sedra::SnapshotRenderer::writeAll(doc, chosen).isEmpty());
    for (const QString &name : sedra::SedraDocument::snapshotFileNames(chosen)) {
        std::vector<std::uint8_t> b;
        ASSERT_TRUE(common::readWholeFile(name, b).ok) << name.toStdString();
        ASSERT_EQ(b.size(), 960054u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(common::loadU32(b.data() + 2), 960054u);
        EXPECT_EQ(common::loadU32(b.data() + 10), 54u);
        EXPECT_EQ(common::loadU16(b.data() + 28), 16u);
    }
    EXPECT_TRUE(QFile::exists(chosen + "_3.bmp"));

    // Image 2 shows only channel 2's bands: bands of channel 1 stay blank
    // (apart from the separators and the axis ticks at their bottom edge).
    const QImage one = sedra::SnapshotRenderer::render(doc, 2);
    const QRectF area = sedra::SnapshotRenderer::bandArea();
    const QRect wave1 = sedra::BandPainter::bandRect(area, 0).toRect().adjusted(5, 3, -5, -25);
    const QRect wave2 = sedra::BandPainter::bandRect(area, 2).toRect().adjusted(5, 3, -5, -25);
    EXPECT_FALSE(inked(one, wave1));
    EXPECT_TRUE(inked(one, wave2));
    const QImage all = sedra::SnapshotRenderer::render(doc, 0);
    EXPECT_TRUE(inked(all, wave1));
    // The cursor line of channel 1 shows on image 0 only.
    const int cursorX = int(area.left() + 256 * area.width() / 1024);
    EXPECT_EQ(all.pixel(cursorX, wave1.top() + 1) != qRgb(255, 255, 255), true);
    // Header at the top, test information on the left.
    EXPECT_TRUE(inked(all, QRect(283, 15, 150, 18)));
    EXPECT_TRUE(inked(all, QRect(37, 43, 60, 14)));
    doc.printInfo().showTestInfo = false;
    EXPECT_FALSE(inked(sedra::SnapshotRenderer::render(doc, 0), QRect(37, 43, 60, 14)));

    // A file that cannot be written is skipped and named.
    const QStringList failed = sedra::SnapshotRenderer::writeAll(doc, dir.filePath("missing/x.bmp"));
    EXPECT_EQ(failed.size(), 4);
}

TEST(PrintedPage, PdfOfThePage)
{
    sedra::SedraDocument doc;
    acquire(doc);
    doc.setCursor(2, 300);
    doc.setCursor(3, 40);
    doc.printInfo().testPoint = "3";
    doc.printInfo().showRightValues = true;
    QTemporaryDir dir;
    QString error;
    const QString path = dir.filePath("page.pdf");
    ASSERT_TRUE(sedra::PrintedPage::writePdf(doc, path, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray pdf = f.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_GT(pdf.size(), 2000);
    EXPECT_FALSE(sedra::PrintedPage::writePdf(doc, dir.filePath("missing/page.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());

    // The page drawn on an image: bands in the shrunk rectangle, labels above.
    QImage page(2100 / 2, 2970 / 2, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.scale(0.5, 0.5);
    sedra::PrintedPage::drawPage(painter, QSizeF(2100, 2970), doc, 1.0);
    painter.end();
    if (qEnvironmentVariableIsSet("SEDRA_PAGE_SHOT"))
        page.save(qEnvironmentVariable("SEDRA_PAGE_SHOT"));
    EXPECT_TRUE(inked(page, QRect(50, 120, 300, 40))); // "工程名称:" at (100, 240)
    EXPECT_FALSE(inked(page, QRect(0, 0, 40, 1400))); // left margin stays blank
}

// The right-most column in `rect` holding a pixel of `color`, or -1.
int lastColumnOf(const QImage &image, const QRect &rect, QRgb color)
{
    for (int x = rect.right(); x >= rect.left(); --x)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            if (image.pixel(x, y) == color)
                return x;
    return -1;
}

// A record of 512 samples on a view of 1024 points fills the left half of
// its band, where the ticks and the cursor put those 512 points.
TEST(Bands, ShorterRecordIsDrawnAtTheScaleOfTheTicks)
{
    sedra::SedraRecord r;
    r.header.channelCount = 1;
    r.header.interval = 8000;
    r.header.sampleCount = 512;
    r.channels.channelCount = 1;
    r.channels.sampleCount = 512;
    for (int i = 0; i < 512; ++i)
        r.channels.working[0][std::size_t(i)] = std::int16_t(2000 * std::sin(2 * std::numbers::pi * i / 64.0));
    QTemporaryDir dir;
    const QString path = dir.filePath("512.cwd");
    const auto bytes = sedra::encodeSedraRecord(r, 0.0f);
    ASSERT_TRUE(common::writeFileAtomically(
                    path, QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())))
                    .ok);
    sedra::SedraDocument doc;
    common::RecordingMessenger m;
    ASSERT_TRUE(doc.load(path, m));
    ASSERT_EQ(sedra::BandPainter::pointCount(doc), 1024);

    const QImage image = sedra::SnapshotRenderer::render(doc, 1);
    const QRectF area = sedra::SnapshotRenderer::bandArea();
    const QRect wave = sedra::BandPainter::bandRect(area, 0).toRect();
    const int last = lastColumnOf(image, wave, sedra::BandPainter::kWaveColor.rgb());
    const qreal half = area.left() + 512 * area.width() / 1024;
    EXPECT_GT(last, half - 3);
    EXPECT_LE(last, half + 1);
}

} // namespace

// Painting text needs the application object (offscreen); it lives in main so
// that it is gone before the program's static objects are destroyed.
int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
