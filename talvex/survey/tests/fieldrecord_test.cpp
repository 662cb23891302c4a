#include "common/binaryio.h"
#include "common/fixedtext.h"
#include "common/messenger.h"
#include "talvex/survey/fieldrecord.h"
#include "talvex/survey/folderimport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <sys/stat.h>
#include <gtest/gtest.h>

using namespace talvex;

namespace {

// A record whose sample i of channel c is c * 1000 + i (wrapped to 16 bits).
FieldRecordData ramp(int channels, int samples)
{
    FieldRecordData r;
    r.header.interval = 50;
    r.header.delay = 7;
    r.header.gain = 100;
    for (int c = 0; c < channels; ++c) {
        std::vector<std::int16_t> ch(static_cast<std::size_t>(samples));
        for (int i = 0; i < samples; ++i)
            ch[std::size_t(i)] = std::int16_t((c * 1000 + i) % 30000);
        r.channels.push_back(ch);
    }
    return r;
}

} // namespace

TEST(FieldRecord, V2WriterLayoutAndReadBack)
{
    FieldRecordData data = ramp(3, 1024);
    common::storeFixedText(data.header.siteName, "site");
    data.header.year = 2026;
    data.header.spare = 1.0f;
    const auto bytes = encodeFieldRecordV2(data);
    ASSERT_EQ(bytes.size(), 256u + 6144u);
    EXPECT_EQ(std::memcmp(bytes.data(), "v2\0\0", 4), 0);
    EXPECT_TRUE(std::all_of(bytes.begin() + 152, bytes.begin() + 256, [](auto b) { return b == 0; }));
    common::LeReader r(bytes);
    std::int16_t v = 0;
    r.i16(124, v);
    EXPECT_EQ(v, 3);
    r.i16(256 + 2 * (3 * 10 + 2), v); // sample 10 of channel 2, interleaved by sample
    EXPECT_EQ(v, 2010);

    FieldRecord rec;
    parseFieldRecord(bytes, rec);
    EXPECT_TRUE(rec.header.isV2());
    EXPECT_EQ(rec.channelsRead, 3);
    EXPECT_EQ(rec.channels[1][1023], 1000 + 1023);
    EXPECT_EQ(rec.channelInterval[3], 50.0f);
    EXPECT_EQ(rec.delay, 7.0f);
    EXPECT_EQ(rec.gain, 100);
    EXPECT_EQ(rec.header.spare, 1.0f);
    EXPECT_FALSE(rec.clipped || rec.shortFile);
}

TEST(FieldRecord, TagDecidesTheLayout)
{
    auto bytes = encodeFieldRecordV2(ramp(1, 4));
    bytes[3] = 'x';
    FieldRecord rec;
    parseFieldRecord(bytes, rec);
    EXPECT_TRUE(rec.header.isV2());
    EXPECT_EQ(rec.channels[0][3], 3);

    // The older layout: 9-byte site, 4-byte hole, the twelve fields at 17, a
    // 16-bit spare at 41, samples still at 256.
    std::vector<std::uint8_t> old(256 + 2 * 2 * 3, 0);
    common::LeWriter w(old);
    w.bytes(0, std::span<const char>("v2.", 4));
    w.bytes(4, std::span<const char>("ABCDEFGHI", 9));
    w.bytes(13, std::span<const char>("H123", 4));
    w.i16(17, 2);   // channels
    w.u16(31, 40);  // interval
    w.u16(33, 3);   // samples
    w.u16(35, 12);  // delay
    w.u16(37, 5);   // gain
    w.u16(41, 9);   // spare
    for (int i = 0; i < 6; ++i)
        w.i16(256 + 2 * std::size_t(i), std::int16_t(-i));
    parseFieldRecord(old, rec);
    EXPECT_FALSE(rec.header.isV2());
    EXPECT_EQ(common::readFixedText(rec.header.siteName), "ABCDEFGHI");
    EXPECT_EQ(common::readFixedText(rec.header.holeName), "H123");
    EXPECT_EQ(rec.header.interval, 40);
    EXPECT_EQ(rec.delay, 12.0f);
    EXPECT_EQ(rec.header.spare, 9.0f);
    EXPECT_EQ(rec.channels[0][2], -4);
    EXPECT_EQ(rec.channels[1][2], -5);
}

TEST(FieldRecord, OversizedRecordsReadWhatFitsDeinterleavedCorrectly)
{
    // Six channels: the first four are read, stepping over the other two.
    FieldRecord rec;
    parseFieldRecord(encodeFieldRecordV2(ramp(4, 10)), rec); // baseline
    auto six = encodeFieldRecordV2(ramp(4, 10));
    std::vector<std::uint8_t> bytes(256 + 6 * 10 * 2, 0);
    std::copy(six.begin(), six.begin() + 256, bytes.begin());
    common::LeWriter w(bytes);
    w.i16(124, 6);
    for (int i = 0; i < 10; ++i)
        for (int c = 0; c < 6; ++c)
            w.i16(256 + 2 * std::size_t(i * 6 + c), std::int16_t(c * 100 + i));
    parseFieldRecord(bytes, rec);
    EXPECT_TRUE(rec.clipped);
    EXPECT_EQ(rec.channelsRead, 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(rec.channels[std::size_t(c)][9], c * 100 + 9);

    // 5000 samples: the first 4096 are kept.
    parseFieldRecord(encodeFieldRecordV2(ramp(1, 5000)), rec);
    EXPECT_TRUE(rec.clipped);
    EXPECT_EQ(rec.samplesRead, 4096);
    EXPECT_EQ(rec.channels[0][4095], 4095);

    // A file shorter than its header claims: the rest stays zero.
    auto shortBytes = encodeFieldRecordV2(ramp(2, 512));
    shortBytes.resize(256 + 2 * 2 * 100 + 2);
    parseFieldRecord(shortBytes, rec);
    EXPECT_TRUE(rec.shortFile);
    EXPECT_EQ(rec.channels[0][100], 100);
    EXPECT_EQ(rec.channels[1][100], 0);
    EXPECT_EQ(rec.channels[0][101], 0);

    // A header cut short and a negative channel count read nothing.
    std::vector<std::uint8_t> tiny{'v', '2', 0};
    parseFieldRecord(tiny, rec);
    EXPECT_EQ(rec.channelsRead, 0);
    auto negative = encodeFieldRecordV2(ramp(1, 8));
    common::LeWriter(negative).i16(124, -3);
    parseFieldRecord(negative, rec);
    EXPECT_EQ(rec.channelsRead, 0);
}

TEST(FieldRecord, ReadingClearsTheBufferAndReportsUnopenableFiles)
{
    QTemporaryDir dir;
    FieldRecord rec;
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("long.cwd"), ramp(2, 4096)).ok);
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("short.cwd"), ramp(1, 512)).ok);
    common::RecordingMessenger m;
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("long.cwd"), rec, m));
    rec.selectedChannel = 2;
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("short.cwd"), rec, m));
    EXPECT_EQ(rec.selectedChannel, 1);
    EXPECT_EQ(rec.channels[0][511], 511);
    EXPECT_EQ(rec.channels[0][512], 0);
    EXPECT_EQ(rec.channels[0][3000], 0);
    EXPECT_EQ(rec.channels[1][5], 0);

    const QString missing = dir.filePath("none.cwd");
    EXPECT_FALSE(ReadFieldRecord(missing, rec, m));
    EXPECT_EQ(m.last(), QString::fromUtf8("不能打开文件 ") + missing);
    EXPECT_EQ(rec.channels[0][5], 0);
    EXPECT_EQ(rec.channelInterval[0], 0.0f);
}

TEST(FieldRecord, SetTraceCopiesTheFirst1024SamplesAndKeepsThePick)
{
    SurveyData s;
    TlvOne p = TlvOne::newPoint(1.5f);
    p.sArrival = 321;
    p.depth = 4.0f;
    p.pointVelocity = 180.0f;
    s.points = {p, p};
    FieldRecord rec;
    parseFieldRecord(encodeFieldRecordV2(ramp(2, 4096)), rec);
    s.modified = false;
    ASSERT_TRUE(SetPositiveTrace(s, rec, 2, 2));
    const TlvOne &q = s.points[1];
    EXPECT_TRUE(s.modified);
    EXPECT_EQ(q.positive[1023], 1000 + 1023);
    EXPECT_EQ(q.sArrival, 321);
    EXPECT_EQ(q.depth, 4.0f);
    EXPECT_EQ(q.pointVelocity, 180.0f);
    EXPECT_EQ(q.interval, 50.0f);
    EXPECT_EQ(q.delay, 7.0f);
    EXPECT_EQ(q.gain, 100);
    EXPECT_EQ(s.points[0].positive[5], 0);

    parseFieldRecord(encodeFieldRecordV2(ramp(1, 512)), rec);
    ASSERT_TRUE(SetNegativeTrace(s, rec, 1, 1));
    EXPECT_EQ(s.points[0].negative[511], 511);
    EXPECT_EQ(s.points[0].negative[512], 0);

    EXPECT_FALSE(SetPositiveTrace(s, rec, 3, 1));
    EXPECT_FALSE(SetPositiveTrace(s, rec, 0, 1));
    EXPECT_FALSE(SetPositiveTrace(s, rec, 1, 5));
}

TEST(FolderImport, MatchesNamesByDepthAndBlowIgnoringCase)
{
    QTemporaryDir dir;
    const auto write = [&](const char *name, int channels, std::int16_t mark) {
        FieldRecordData d = ramp(channels, 1024);
        d.channels[0][0] = mark;
        if (channels > 1)
            d.channels[1][0] = std::int16_t(mark + 1);
        ASSERT_TRUE(writeFieldRecordV2(dir.filePath(QString::fromUtf8(name)), d).ok);
    };
    write("ZK1&2A.cwd", 2, 10);
    write("other&2A.cwd", 2, 20);  // a later name in byte order
    write("zk1&2b.CWD", 2, 30);
    write("x&12A.cwd", 2, 40);     // depth 12, not 2
    write("x&02A.cwd", 2, 50);     // "02" is not how 2 is written
    write("y&0a.cwd", 2, 60);
    write("y&0B.cwd.bak", 2, 70);
    write("z2A.cwd", 2, 80);       // no "&"
    // A pipe with a record's name is not a record: opening it would wait for a writer.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("f&7A.cwd")).constData(), 0600), 0);

    SurveyData s;
    for (float depth : {2.5f, 0.4f, 2.0f, 7.0f}) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = depth;
        s.points.push_back(p);
    }
    FieldRecord rec;
    common::RecordingMessenger m;
    const FolderImportResult r = ImportFolder(s, rec, dir.path(), 2, m);
    // 2.5 m: A and B; 0.4 m: A only; 2.0 m: A and B again.
    EXPECT_EQ(r.filesTaken, 5);
    EXPECT_EQ(m.last(), QString::fromUtf8("共成功导入数据文件5个"));
    EXPECT_EQ(r.currentPoint, 3);
    EXPECT_EQ(r.selectedChannel, 2);
    EXPECT_EQ(s.points[0].positive[0], 11); // ZK1&2A, channel 2
    EXPECT_EQ(s.points[0].negative[0], 31);
    EXPECT_EQ(s.points[1].positive[0], 61);
    EXPECT_EQ(s.points[1].negative[0], 0);
    EXPECT_EQ(s.points[2].positive[0], 11);
    EXPECT_EQ(s.points[3].positive[0], 0);
    EXPECT_TRUE(s.modified);

    const RecordFolderIndex index(dir.path());
    EXPECT_TRUE(index.find(12, 'A').endsWith("x&12A.cwd"));
    EXPECT_TRUE(index.find(3, 'A').isEmpty());
}

TEST(FolderImport, AnUnreadableRecordKeepsThePointsTrace)
{
    QTemporaryDir dir;
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("h&1A.cwd"), ramp(1, 1024)).ok);
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("h&1B.cwd"), ramp(1, 1024)).ok);
    SurveyData s;
    TlvOne p = TlvOne::newPoint(1.5f);
    p.depth = 1.0f;
    p.positive.fill(5);
    p.interval = 40.0f;
    s.points.push_back(p);

    // The positive record disappears after the folder was listed.
    const RecordFolderIndex index(dir.path());
    ASSERT_TRUE(QFile::remove(dir.filePath("h&1A.cwd")));
    FieldRecord rec;
    common::RecordingMessenger m;
    const FolderImportResult r = ImportFolder(s, rec, index, 1, m);
    EXPECT_EQ(r.filesTaken, 1);
    ASSERT_EQ(m.messages.size(), 2);
    EXPECT_TRUE(m.messages[0].startsWith(QString::fromUtf8("不能打开文件 ")));
    EXPECT_EQ(m.messages[1], QString::fromUtf8("共成功导入数据文件1个"));
    EXPECT_EQ(s.points[0].positive[100], 5);
    EXPECT_EQ(s.points[0].negative[100], 100);
    EXPECT_EQ(s.points[0].interval, 50.0f);
}

TEST(FolderImport, NothingFoundSaysSo)
{
    QTemporaryDir dir;
    SurveyData s;
    FieldRecord rec;
    common::RecordingMessenger m;
    EXPECT_EQ(ImportFolder(s, rec, dir.path(), 1, m).filesTaken, 0);
    EXPECT_EQ(m.last(), QString::fromUtf8("未找到相应文件！\n请确认该目录下的文件或查看文件命名规范！"));

    s.points.push_back(TlvOne::newPoint(1.5f));
    s.points[0].depth = std::numeric_limits<float>::infinity();
    EXPECT_EQ(ImportFolder(s, rec, dir.path(), 1, m).filesTaken, 0);
}
