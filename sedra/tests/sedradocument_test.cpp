// The document's commands: taking an acquisition, save-acquisition names
// and folders, load and store rules, filters restarting from the
// unfiltered data, snapshots' names, cursors.

#include "sedra/core/sedradocument.h"

#include "common/binaryio.h"
#include "common/fileio.h"
#include "common/messenger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

std::array<sedra::RecordChannel, sedra::kRecordChannels> tremorCodes(int n)
{
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    for (int ch = 0; ch < 4; ++ch)
        for (int i = 0; i < n; ++i) {
            const double t = i * 0.008;
            const int v = int(2000 * std::sin(2 * std::numbers::pi * (2.0 + ch) * t)
                              + 800 * std::sin(2 * std::numbers::pi * 30.0 * t));
            raw[std::size_t(ch)][std::size_t(i)] = std::int16_t(v & 0x3FFF);
        }
    return raw;
}

sedra::SedraParameters siteA()
{
    sedra::SedraParameters p;
    p.projectName = "A";
    p.testSit = "3";
    p.channel = 3;
    return p;
}

TEST(SedraDocument, AcquisitionFillsTheHeaderAndMarksUnsaved)
{
    sedra::SedraDocument doc;
    EXPECT_TRUE(doc.isSaved());
    auto p = siteA();
    p.delayTime = 100;
    p.opamtime = 10;
    const QDateTime at(QDate(2026, 12, 7), QTime(17, 30, 5));
    doc.takeAcquisition(tremorCodes(1024), p, at);
    EXPECT_FALSE(doc.isSaved());
    const auto &h = doc.record().header;
    EXPECT_EQ(doc.record().siteName(), "A");
    EXPECT_EQ(h.channelCount, 3);
    EXPECT_EQ(h.year, 2026);
    EXPECT_EQ(h.second, 5);
    EXPECT_EQ(h.delay, 100);
    EXPECT_EQ(h.gain, 10);
    EXPECT_EQ(doc.record().spareWord, 1); // the keyboard flag
    EXPECT_EQ(doc.printInfo().siteName, "A");
    EXPECT_EQ(doc.printInfo().testDate, at);
    EXPECT_NEAR(doc.spectra().peakFrequency[0], 2.0f, 0.13f);
    EXPECT_NEAR(doc.spectra().peakFrequency[1], 3.0f, 0.13f);
    const auto analysis = sedra::analyse(doc);
    ASSERT_EQ(analysis.size(), 3);
    EXPECT_EQ(analysis[0].period, "0.51");
}

TEST(SedraDocument, SaveAcquisitionNamesFoldersAndCounts)
{
    QTemporaryDir dir;
    sedra::SedraDocument doc;
    common::RecordingMessenger m;
    doc.takeAcquisition(tremorCodes(1024), siteA(), QDateTime::currentDateTime());

    auto empty = siteA();
    empty.projectName.clear();
    EXPECT_TRUE(doc.acquisitionFolder(dir.path(), empty, m).isEmpty());
    EXPECT_EQ(m.last(), "请在配置参数选项中输入工地名称 ！");
    for (const char *bad : {"../x", "a/b", "..", "c:", "a\\b"}) {
        auto p = siteA();
        p.projectName = bad;
        EXPECT_TRUE(doc.acquisitionFolder(dir.path(), p, m).isEmpty()) << bad;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);

    const QString folder = doc.acquisitionFolder(dir.path(), siteA(), m);
    EXPECT_EQ(folder, QDir(dir.path()).filePath("A"));
    EXPECT_TRUE(QDir(folder).exists());
    EXPECT_EQ(doc.proposedAcquisitionName(siteA()), "3&0.cwd");
    ASSERT_TRUE(doc.saveAcquisition(QDir(folder).filePath("3&0.cwd"), m));
    EXPECT_EQ(m.last(), "保存本次数据成功！");
    EXPECT_TRUE(doc.isSaved());
    EXPECT_EQ(doc.proposedAcquisitionName(siteA()), "3&1.cwd");
    EXPECT_EQ(QFile(QDir(folder).filePath("3&0.cwd")).size(), 256 + 3 * 1024 * 2);

    // A file that cannot be written is reported and not counted.
    doc.setSaved(false);
    EXPECT_FALSE(doc.saveAcquisition(dir.filePath("missing/x.cwd"), m));
    EXPECT_EQ(m.last(), "保存文件失败!");
    EXPECT_FALSE(doc.isSaved());
    EXPECT_EQ(doc.proposedAcquisitionName(siteA()), "3&1.cwd");
}

TEST(SedraDocument, LoadAndStoreFollowThePrintInformation)
{
    QTemporaryDir dir;
    sedra::SedraDocument doc;
    common::RecordingMessenger m;
    doc.takeAcquisition(tremorCodes(1024), siteA(), QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7)));
    const QString path = dir.filePath("a.cwd");
    ASSERT_TRUE(doc.saveAcquisition(path, m));
    const auto saved = doc.record().channels.working;

    sedra::SedraDocument other;
    ASSERT_TRUE(other.load(path, m));
    EXPECT_EQ(other.record().channels.working, saved);
    EXPECT_EQ(other.printInfo().siteName, "A");
    EXPECT_EQ(other.printInfo().testDate, QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7)));
    EXPECT_NEAR(other.spectra().peakFrequency[0], doc.spectra().peakFrequency[0], 0.13f);

    other.printInfo().siteName = "B";
    other.printInfo().testDate = QDateTime(QDate(2024, 1, 2), QTime(9, 9, 9));
    const QString stored = dir.filePath("b.cwd");
    ASSERT_TRUE(other.store(stored, m));
    sedra::SedraDocument third;
    ASSERT_TRUE(third.load(stored, m));
    EXPECT_EQ(third.record().siteName(), "B");
    EXPECT_EQ(third.record().header.year, 2024);
    EXPECT_EQ(third.record().header.day, 2);
    EXPECT_EQ(third.record().header.hour, 5); // time of day stays as recorded

    // A file that is no record leaves the one on show.
    const QString junk = dir.filePath("junk.cwd");
    ASSERT_TRUE(common::writeFileAtomically(junk, QByteArray("v2")).ok);
    EXPECT_FALSE(third.load(junk, m));
    EXPECT_TRUE(m.last().contains("junk.cwd"));
    EXPECT_EQ(third.record().siteName(), "B");
    EXPECT_FALSE(third.load(dir.filePath("none.cwd"), m));
}

// A record of more samples or channels than the document holds is opened
// with what fits, and the user is told what was left out.
TEST(SedraDocument, RecordCutOnOpeningIsReported)
{
    QTemporaryDir dir;
    common::RecordingMessenger m;
    sedra::SedraDocument doc;
    doc.takeAcquisition(tremorCodes(1024), siteA(), QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7)));
    const QString normal = dir.filePath("normal.cwd");
    ASSERT_TRUE(doc.saveAcquisition(normal, m));
    m.clear();
    sedra::SedraDocument reader;
    ASSERT_TRUE(reader.load(normal, m));
    EXPECT_TRUE(m.messages.isEmpty()); // a whole record opens silently

    // One channel of 5000 samples, all of them in the file.
    std::vector<std::uint8_t> b(256 + 5000 * 2, 0);
    common::LeWriter w(b);
    w.bytes(0, std::span<const char>("v2\0\0", 4));
    w.i16(124, 1);
    w.u16(138, 8000);
    w.u16(140, 5000);
    for (int i = 0; i < 5000; ++i)
        w.i16(256 + std::size_t(i) * 2, std::int16_t(i % 300 - 150));
    const QString longer = dir.filePath("5000.cwd");
    ASSERT_TRUE(
        common::writeFileAtomically(longer, QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size())))
            .ok);
    ASSERT_TRUE(reader.load(longer, m));
    EXPECT_EQ(reader.record().channels.sampleCount, 4096);
    ASSERT_EQ(m.messages.size(), 1);
    EXPECT_EQ(m.kinds.last(), common::MessageKind::Warning);
    EXPECT_TRUE(m.last().contains("5000")) << m.last().toStdString();
    EXPECT_TRUE(m.last().contains("4096")) << m.last().toStdString();

    // Six channels announced, the file ending after the first sample set.
    std::vector<std::uint8_t> c(256 + 6 * 2, 0);
    common::LeWriter wc(c);
    wc.bytes(0, std::span<const char>("v2\0\0", 4));
    wc.i16(124, 6);
    wc.u16(138, 8000);
    wc.u16(140, 1024);
    wc.i16(256, 5);
    const QString wide = dir.filePath("six.cwd");
    ASSERT_TRUE(
        common::writeFileAtomically(wide, QByteArray(reinterpret_cast<const char *>(c.data()), qsizetype(c.size())))
            .ok);
    m.clear();
    ASSERT_TRUE(reader.load(wide, m));
    EXPECT_EQ(reader.record().channels.channelCount, 4);
    ASSERT_EQ(m.messages.size(), 1);
    EXPECT_TRUE(m.last().contains("通道数为 6")) << m.last().toStdString();
    EXPECT_TRUE(m.last().contains("结束")) << m.last().toStdString();
}

TEST(SedraDocument, FiltersRestartFromTheUnfilteredData)
{
    sedra::SedraDocument a, b;
    a.takeAcquisition(tremorCodes(1024), siteA(), QDateTime::currentDateTime());
    b.takeAcquisition(tremorCodes(1024), siteA(), QDateTime::currentDateTime());
    const auto unfiltered = a.record().channels.unfiltered;

    auto &fa = a.filterSettings();
    fa.storedKind = 2; // high-pass
    fa.highPassCutoff = 20;
    fa.channel1 = 1;
    fa.channelMask = 1;
    fa.pending = true;
    ASSERT_TRUE(a.applyPendingFilter());
    EXPECT_FALSE(a.applyPendingFilter()); // nothing pending any more
    // The high-pass removed the 2 Hz tremor: the peak moved up.
    EXPECT_GT(a.spectra().peakFrequency[0], 20.0f);

    fa.storedKind = 1; // low-pass 10 Hz
    fa.lowPassCutoff = 10;
    fa.pending = true;
    auto &fb = b.filterSettings();
    fb = fa;
    ASSERT_TRUE(a.applyPendingFilter());
    ASSERT_TRUE(b.applyPendingFilter());
    // The second filter did not start from the high-passed data.
    EXPECT_EQ(a.record().channels.working, b.record().channels.working);
    EXPECT_NEAR(a.spectra().peakFrequency[0], 2.0f, 0.13f);
    EXPECT_EQ(a.record().channels.unfiltered, unfiltered);
}

TEST(SedraDocument, SnapshotNamesAndCursors)
{
    sedra::SedraDocument doc;
    EXPECT_EQ(doc.proposedSnapshotName(), "sedraimg(0).bmp");
    doc.countSnapshot();
    EXPECT_EQ(doc.proposedSnapshotName(), "sedraimg(1).bmp");
    EXPECT_EQ(sedra::SedraDocument::snapshotFileNames("c:/x.bmp"),
              (QStringList{"c:/x.bmp", "c:/x.bmp_1.bmp", "c:/x.bmp_2.bmp", "c:/x.bmp_3.bmp"}));

    EXPECT_FALSE(doc.setCursor(0, 50)); // no samples yet
    doc.takeAcquisition(tremorCodes(1024), siteA(), QDateTime::currentDateTime());
    ASSERT_TRUE(doc.setCursor(3, 50));
    EXPECT_EQ(doc.currentBand(), 3);
    EXPECT_TRUE(doc.moveCursor(-1, 40, 60));
    EXPECT_EQ(doc.cursors()[3].point, 49.0);
    doc.setCursor(3, 60);
    EXPECT_FALSE(doc.moveCursor(1, 40, 60)); // not past the right edge
    EXPECT_TRUE(doc.detailsText().startsWith("数据标示：\tv2\r工地名称： \tA\r测试点： \t3\r"));
}

} // namespace
