#include "common/fileio.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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
    EXPECT_FALSE(e.message.isEmpty());

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
    EXPECT_FALSE(e.message.isEmpty());
}
