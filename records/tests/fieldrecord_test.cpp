#include "common/binaryio.h"
#include "common/fixedtext.h"
#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "records/tests/recordtestdata.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::recordtest;

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
    w.i16(17, 2); // channels
    w.u16(31, 40); // interval
    w.u16(33, 3); // samples
    w.u16(35, 12); // delay
    w.u16(37, 5); // gain
    w.u16(41, 9); // spare
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

namespace {

QByteArray recordBytes(const FieldRecordData &data)
{
    const auto bytes = encodeFieldRecordV2(data);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

// A v2 record with one 16-bit header field at `offset` replaced.
QByteArray withField(std::size_t offset, std::uint16_t value)
{
    auto bytes = encodeFieldRecordV2(ramp(1, 64));
    common::LeWriter(bytes).u16(offset, value);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

TEST(FieldRecord, HeadersNoInstrumentWritesAreRefusedNamingTheFile)
{
    QTemporaryDir dir;
    const QList<std::pair<const char *, QByteArray>> garbage = {
        {"text.cwd", QByteArray("This is a text file, not a record.\n").repeated(40)},
        {"empty.cwd", QByteArray()},
        {"header-only-half.cwd", recordBytes(ramp(1, 8)).left(200)},
        {"no-channels.cwd", withField(124, 0)},
        {"17-channels.cwd", withField(124, 17)},
        {"no-samples.cwd", withField(140, 0)},
        {"too-many-samples.cwd", withField(140, 40000)},
        {"no-interval.cwd", withField(138, 0)},
    };
    FieldRecord rec;
    common::RecordingMessenger m;
    for (const auto &[name, bytes] : garbage) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        writeBytes(path, bytes);
        parseFieldRecord(encodeFieldRecordV2(ramp(2, 64)), rec);
        EXPECT_FALSE(ReadFieldRecord(path, rec, m)) << name;
        EXPECT_TRUE(m.last().startsWith(path + QString::fromUtf8(" 不是有效的波速测试现场数据文件：")))
            << m.last().toStdString();
        EXPECT_EQ(rec.channelsRead, 0) << name;
        EXPECT_EQ(rec.channels[1][5], 0) << name;
    }

    // Every shape real instruments write is still read: 1...4 channels, the
    // older layout, more channels or samples than the buffer holds.
    for (int channels = 1; channels <= 4; ++channels) {
        writeBytes(dir.filePath("good.cwd"), recordBytes(ramp(channels, 4096)));
        ASSERT_TRUE(ReadFieldRecord(dir.filePath("good.cwd"), rec, m)) << channels;
        EXPECT_EQ(rec.channelsRead, channels);
        EXPECT_FALSE(rec.shortFile || rec.clipped);
    }
    QByteArray six = withField(124, 6);
    six.append(QByteArray(6 * 64 * 2 - (six.size() - 256), '\0'));
    writeBytes(dir.filePath("six.cwd"), six);
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("six.cwd"), rec, m));
    EXPECT_TRUE(rec.clipped);
    EXPECT_FALSE(rec.shortFile);
}

TEST(FieldRecord, ShortIsJudgedAgainstTheWholeFileNotTheBuffersPart)
{
    QTemporaryDir dir;
    FieldRecord rec;
    common::RecordingMessenger m;
    const QByteArray full = recordBytes(ramp(2, 5000));
    writeBytes(dir.filePath("long.cwd"), full);
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("long.cwd"), rec, m));
    EXPECT_TRUE(rec.clipped);
    EXPECT_FALSE(rec.shortFile);
    EXPECT_EQ(rec.channels[1][4095], 1000 + 4095);

    // Cut after sample 4500: the buffer's part is whole, the file is short.
    writeBytes(dir.filePath("cut.cwd"), full.left(256 + 4500 * 4));
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("cut.cwd"), rec, m));
    EXPECT_TRUE(rec.shortFile);
    EXPECT_EQ(rec.channels[1][4095], 1000 + 4095);
}
