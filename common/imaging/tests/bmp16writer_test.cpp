#include "common/imaging/bmp16writer.h"

#include "common/binaryio.h"
#include "common/fileio.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::uint32_t u32(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return common::loadU32(b.data() + at);
}
std::uint16_t u16(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return common::loadU16(b.data() + at);
}

TEST(Bmp16Writer, HeaderOfThe800By600Snapshot)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    const auto b = imaging::encodeBmp16(image);
    ASSERT_EQ(b.size(), 960054u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), 960054u);
    EXPECT_EQ(u32(b, 6), 0u);
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(u32(b, 18), 800u);
    EXPECT_EQ(u32(b, 22), 600u);
    EXPECT_EQ(u16(b, 26), 1u);
    EXPECT_EQ(u16(b, 28), 16u);
    for (std::size_t at = 30; at < 54; at += 4)
        EXPECT_EQ(u32(b, at), 0u) << at;
    EXPECT_EQ(u16(b, 54), 0x7FFFu); // white
}

TEST(Bmp16Writer, OddWidthRowsArePaddedAndBottomUp)
{
    // 646 x 925: 1292 bytes a row, already a multiple of 4.
    EXPECT_EQ(imaging::bmp16FileSize(646, 925), 1195154u);
    // 3 pixels need 6 bytes, padded to 8.
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::black);
    image.setPixel(0, 0, qRgb(255, 0, 0)); // top-left red
    image.setPixel(2, 1, qRgb(0, 0, 255)); // bottom-right blue
    const auto b = imaging::encodeBmp16(image);
    ASSERT_EQ(b.size(), 54u + 2 * 8);
    // First stored row is the bottom one.
    EXPECT_EQ(u16(b, 54 + 4), 0x001Fu);
    EXPECT_EQ(u16(b, 54 + 6), 0u); // padding
    EXPECT_EQ(u16(b, 62), 0x7C00u);
    EXPECT_EQ(imaging::rgb555(qRgb(0, 255, 0)), 0x03E0u);
    EXPECT_EQ(imaging::rgb555(qRgb(7, 7, 7)), 0u);
}

TEST(Bmp16Writer, FailedWriteKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bmp");
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::white);
    ASSERT_TRUE(imaging::writeBmp16(path, image).ok);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.size(), qint64(imaging::bmp16FileSize(4, 4)));
    f.close();
    EXPECT_FALSE(imaging::writeBmp16(path, QImage()).ok);
    EXPECT_FALSE(imaging::writeBmp16(dir.filePath("missing/a.bmp"), image).ok);
    EXPECT_EQ(QFile(path).size(), qint64(imaging::bmp16FileSize(4, 4)));
}

} // namespace
