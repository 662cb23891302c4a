// The built-in soil pictures, the user's pattern files and the filling of a
// column cell.

#include "common/messenger.h"
#include "talvex/charts/soilpatterns.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace talvex::charts;

namespace {

int blackPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

int differingPixels(const QImage &a, const QImage &b)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            n += (qGray(a.pixel(x, y)) < 128) != (qGray(b.pixel(x, y)) < 128);
    return n;
}

} // namespace

TEST(SoilPatterns, EveryBuiltInPictureIsDrawnAndNoTwoLookAlike)
{
    std::vector<QImage> pictures;
    for (int code = 1; code <= 82; ++code) {
        const QImage picture = builtInSoilPattern(code);
        ASSERT_EQ(picture.size(), QSize(150, 100)) << code;
        EXPECT_EQ(picture.format(), QImage::Format_Mono) << code;
        const int black = blackPixels(picture);
        EXPECT_GT(black, 300) << code << ": too faint to read";
        EXPECT_LT(black, 150 * 100 / 2) << code << ": too dark for a column cell";
        pictures.push_back(picture);
    }
    // Any two pictures differ in a clearly visible share of their pixels.
    for (std::size_t i = 0; i < pictures.size(); ++i)
        for (std::size_t j = i + 1; j < pictures.size(); ++j)
            EXPECT_GT(differingPixels(pictures[i], pictures[j]), 100) << "codes " << i + 1 << " and " << j + 1;

    for (int code : {0, 83, 240, 246, 255, -1})
        EXPECT_TRUE(builtInSoilPattern(code).isNull()) << code;
}

TEST(SoilPatterns, UserFilesAreLoadedOrReportedOnce)
{
    QTemporaryDir program;
    ASSERT_TRUE(QDir(program.path()).mkpath(QStringLiteral("自定义地质图例")));
    const QString one = userPatternPath(program.path(), 241);
    EXPECT_TRUE(one.endsWith(QStringLiteral("自定义地质图例/自定义地质图例一.bmp")));
    EXPECT_TRUE(userPatternPath(program.path(), 245).endsWith(QStringLiteral("自定义地质图例五.bmp")));
    EXPECT_TRUE(userPatternPath(program.path(), 246).isEmpty());

    // Pattern one: a black band over the top quarter of a 300 x 200 colour bitmap.
    QImage drawn(300, 200, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter(&drawn).fillRect(0, 0, 300, 50, Qt::darkRed);
    ASSERT_TRUE(drawn.save(one, "BMP"));
    // Pattern two: not a picture at all.
    const QString two = userPatternPath(program.path(), 242);
    QFile garbage(two);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("BM this is not a bitmap");
    garbage.close();

    common::RecordingMessenger messenger;
    SoilPatternSet patterns(program.path(), &messenger);
    const QImage loaded = patterns.pattern(241);
    ASSERT_EQ(loaded.size(), QSize(150, 100));
    EXPECT_EQ(loaded.format(), QImage::Format_Mono);
    EXPECT_LT(qGray(loaded.pixel(75, 10)), 128);
    EXPECT_GT(qGray(loaded.pixel(75, 60)), 128);
    EXPECT_TRUE(messenger.messages.isEmpty());

    const QString shownTwo = QDir::toNativeSeparators(two);
    const QString shownThree = QDir::toNativeSeparators(userPatternPath(program.path(), 243));
    EXPECT_TRUE(patterns.pattern(242).isNull());
    EXPECT_TRUE(patterns.pattern(243).isNull());
    ASSERT_EQ(messenger.messages.size(), 2);
    EXPECT_EQ(messenger.messages[0], QStringLiteral("文件 ") + shownTwo + QStringLiteral(" 读取失败"));
    EXPECT_EQ(messenger.messages[1],
              QStringLiteral("图片文件 ") + shownThree
                  + QStringLiteral(" 不存在，请将此文件拷贝到指定的子目录或者重新执行一遍安装程序！"));
    // Repaints do not repeat the messages; a reload (the files may have been
    // copied meanwhile) reads and reports again.
    patterns.pattern(242);
    patterns.pattern(243);
    EXPECT_EQ(messenger.messages.size(), 2);
    patterns.reload();
    patterns.pattern(243);
    EXPECT_EQ(messenger.messages.size(), 3);
    EXPECT_TRUE(patterns.pattern(0).isNull());
    EXPECT_TRUE(patterns.pattern(100).isNull());
    EXPECT_EQ(messenger.messages.size(), 3);
}

TEST(SoilPatterns, CellIsTiledDownToItsBottomAndNoFurther)
{
    // A picture black in its top 10 rows only: each tile then starts with a
    // black band 67 x 10 / 100 = 6.7 units high.
    QImage picture(150, 100, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    picture.fill(0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 150; ++x)
            picture.setPixel(x, y, 1);

    QImage cell(200, 300, QImage::Format_RGB32);
    cell.fill(Qt::white);
    {
        QPainter p(&cell);
        FillPattern(p, PatternOutput::Screen, 50, 20, 170, picture); // 150 high: tiles of 67, 67, 16
    }
    const auto black = [&](int x, int y) { return qGray(cell.pixel(x, y)) < 128; };
    EXPECT_TRUE(black(51, 21));
    EXPECT_TRUE(black(148, 21));
    EXPECT_FALSE(black(50, 21)) << "the cell starts one unit right of its left edge";
    EXPECT_FALSE(black(149, 21)) << "tiles are 98 wide";
    EXPECT_TRUE(black(100, 20 + 67 + 2)); // second tile
    EXPECT_TRUE(black(100, 20 + 134 + 2)); // the cut last tile starts with the top of the picture
    EXPECT_FALSE(black(100, 20 + 134 + 12));
    for (int y = 170; y < 300; ++y)
        ASSERT_FALSE(black(100, y)) << "below the cell at " << y;

    // Null pictures and empty cells draw nothing.
    QImage untouched = cell;
    {
        QPainter p(&cell);
        FillPattern(p, PatternOutput::Screen, 50, 200, 280, QImage());
        FillPattern(p, PatternOutput::Screen, 50, 200, 200, picture);
    }
    EXPECT_EQ(cell, untouched);
}
