#include "kivaro/core/updatefile.h"
#include "kivaro/tests/fakelinkhost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>
#include <gtest/gtest.h>

using kivaro::UpdateFile;
using kivaro::UpdateHeader;
using kivaro::test::i32;

namespace {

QByteArray image(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(0x80 + (i % 120)); // bytes above 127 count as unsigned
    return b;
}

// Changes a header field of a built file.
QByteArray patched(QByteArray file, int offset, const QByteArray &bytes)
{
    file.replace(offset, bytes.size(), bytes);
    return file;
}

TEST(UpdateFile, BuiltFileIsValidAndShowsItsHeader)
{
    const QByteArray img = image(1500);
    const UpdateFile f = UpdateFile::fromBytes(UpdateFile::build(QStringLiteral("主程序"), 1.2f, img));
    ASSERT_TRUE(f.isValid());
    EXPECT_EQ(f.image(), img);
    EXPECT_EQ(f.header().name, QStringLiteral("主程序"));
    EXPECT_EQ(f.sizeText(), "1500");
    EXPECT_EQ(f.versionText(), "1.2");
    EXPECT_EQ(f.checksumText(), QString::number(UpdateFile::imageSum(img)));
    EXPECT_GT(UpdateFile::imageSum(img), 1500u * 128u);
}

TEST(UpdateFile, VersionIsShownWithSixSignificantDigits)
{
    const QByteArray file = UpdateFile::build("FW", 1.19999993f, image(4));
    EXPECT_EQ(UpdateFile::fromBytes(file).versionText(), "1.2");
    EXPECT_EQ(UpdateFile::fromBytes(UpdateFile::build("FW", 1.0f, image(4))).versionText(), "1");
    EXPECT_EQ(UpdateFile::fromBytes(UpdateFile::build("FW", 10.125f, image(4))).versionText(), "10.125");
}

TEST(UpdateFile, NameIsTheTextOfTheFirstTwelveBytes)
{
    QByteArray file = UpdateFile::build("ABCDEFGHIJKLMNOP", 1.0f, image(4));
    file = patched(file, 24, "WXYZ"); // the unused tail of the name field
    const UpdateFile f = UpdateFile::fromBytes(file);
    EXPECT_EQ(f.header().name, "ABCDEFGHIJKL");
    EXPECT_TRUE(f.isValid());
}

TEST(UpdateFile, DamagedFilesAreRefused)
{
    const QByteArray good = UpdateFile::build("FW", 1.0f, image(300));
    ASSERT_TRUE(UpdateFile::fromBytes(good).isValid());

    // A correct checksum but a wrong header check value.
    EXPECT_EQ(UpdateFile::fromBytes(patched(good, 32, i32(0))).status(), UpdateFile::Status::FormatError);
    // The check bytes are signed: 0x80 counts as −128.
    QByteArray signedCheck = patched(good, 28, QByteArray::fromHex("80010000"));
    EXPECT_TRUE(UpdateFile::fromBytes(patched(signedCheck, 32, i32(-127))).isValid());
    // One image byte changed.
    QByteArray flipped = good;
    flipped[100] = char(flipped[100] ^ 1);
    EXPECT_FALSE(UpdateFile::fromBytes(flipped).isValid());
    // A size beyond the image, or below zero, is refused although the sums hold.
    EXPECT_FALSE(UpdateFile::fromBytes(patched(good, 0, i32(301))).isValid());
    EXPECT_FALSE(UpdateFile::fromBytes(patched(good, 0, i32(-1))).isValid());
    // A smaller size is accepted: only that many bytes are sent.
    EXPECT_TRUE(UpdateFile::fromBytes(patched(good, 0, i32(299))).isValid());
    // Shorter than a header.
    EXPECT_EQ(UpdateFile::fromBytes(good.left(63)).status(), UpdateFile::Status::FormatError);
    // A version that is no number, with every sum right: NaN compares older
    // than any instrument's version, infinity newer.
    for (const float version : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity()}) {
        const UpdateFile f = UpdateFile::fromBytes(UpdateFile::build("FW", version, image(300)));
        EXPECT_EQ(f.status(), UpdateFile::Status::FormatError) << version;
        EXPECT_FALSE(f.versionIsNumber());
    }
}

TEST(UpdateFile, EmptyImageWithZeroChecksumIsValid)
{
    const UpdateFile f = UpdateFile::fromBytes(UpdateFile::build("FW", 1.0f, QByteArray()));
    EXPECT_TRUE(f.isValid());
    EXPECT_EQ(f.sizeText(), "0");
    EXPECT_EQ(f.checksumText(), "0");
}

TEST(UpdateFile, LoadsFromDisk)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("fw.update");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(UpdateFile::build("FW", 1.5f, image(2048)));
    out.close();
    EXPECT_TRUE(UpdateFile::load(path).isValid());
    EXPECT_EQ(UpdateFile::load(dir.filePath("missing.update")).status(), UpdateFile::Status::CannotOpen);
}

} // namespace
