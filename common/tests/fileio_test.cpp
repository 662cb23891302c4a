#include "common/fileio.h"
#include "common/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

using namespace common;

TEST(FileIo, AtomicWriteReplacesAndFailedWriteKeepsOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.bin");
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("old")).ok);
    ASSERT_TRUE(writeFileAtomically(path, QByteArray("new content")).ok);
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(readWholeFile(path, back).ok);
    EXPECT_EQ(std::string(back.begin(), back.end()), "new content");

    // A target inside a folder that does not exist cannot be written.
    const FileError e = writeFileAtomically(dir.filePath("missing/a.bin"), QByteArray("x"));
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.message, QStringLiteral("文件或文件夹不存在"));

    // Writing over a folder fails and leaves the folder and its content.
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    ASSERT_TRUE(writeFileAtomically(dir.filePath("sub/keep"), QByteArray("k")).ok);
    EXPECT_FALSE(writeFileAtomically(dir.filePath("sub"), QByteArray("x")).ok);
    ASSERT_TRUE(readWholeFile(dir.filePath("sub/keep"), back).ok);
    EXPECT_EQ(back.size(), 1u);
    // No temporary files are left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(FileIo, ReadingStopsAtTheLimit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFileAtomically(dir.filePath("a"), QByteArray("0123456789")).ok);
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(readWholeFile(dir.filePath("a"), out, 4).ok);
    EXPECT_EQ(std::string(out.begin(), out.end()), "0123");
    ASSERT_TRUE(readWholeFile(dir.filePath("a"), out, 100).ok);
    EXPECT_EQ(out.size(), 10u);
}

TEST(FileIo, ReadingAMissingFileReportsWhy)
{
    std::vector<std::uint8_t> out{1};
    const FileError e = readWholeFile("/nonexistent/x", out);
    EXPECT_FALSE(e.ok);
    EXPECT_EQ(e.message, QStringLiteral("文件或文件夹不存在"));
}

TEST(FileIo, SystemErrorsAreNamedInChinese)
{
    // The reasons users met in English: a missing file, a full disk, a file
    // one may not write to.
    EXPECT_EQ(systemErrorText(ENOENT), QStringLiteral("文件或文件夹不存在"));
    EXPECT_EQ(systemErrorText(ENOSPC), QStringLiteral("磁盘空间不足"));
    EXPECT_EQ(systemErrorText(EACCES), QStringLiteral("没有访问权限"));
    EXPECT_EQ(systemErrorText(987654), QStringLiteral("系统错误 987654"));
    EXPECT_EQ(fileErrorText(QFileDevice::ResourceError, ENOSPC), QStringLiteral("磁盘空间不足"));
    EXPECT_EQ(fileErrorText(QFileDevice::WriteError, 0), QStringLiteral("写入出错"));

    QTemporaryDir dir;
    // Over a folder.
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    std::vector<std::uint8_t> out;
    const FileError folder = readWholeFile(dir.filePath("sub"), out);
    EXPECT_FALSE(folder.ok);
    EXPECT_FALSE(folder.message.contains(QRegularExpression("[A-Za-z]"))) << folder.message.toStdString();
    // A disk that is full: every write to /dev/full fails with ENOSPC.
    if (QFileInfo(QStringLiteral("/dev/full")).isWritable()) {
        QFile full(QStringLiteral("/dev/full"));
        ASSERT_TRUE(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        errno = 0;
        EXPECT_LT(full.write("x", 1), 0);
        EXPECT_EQ(fileErrorText(full.error(), errno), QStringLiteral("磁盘空间不足"));
    }
}
