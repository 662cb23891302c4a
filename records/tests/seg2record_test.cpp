#include "common/binaryio.h"
#include "common/messenger.h"
#include "records/fieldrecord.h"
#include "records/seg2record.h"
#include "records/tests/recordtestdata.h"
#include "records/tests/seg2writer.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <string>
#include <gtest/gtest.h>

using namespace talvex;
using namespace talvex::recordtest;
using namespace talvex::test;

TEST(Seg2Record, EveryDataFormatInBothByteOrdersIsReadAndScaledWithoutClipping)
{
    struct Case {
        std::uint8_t format;
        std::vector<double> values;
        std::vector<int> expected;
    };
    const std::vector<Case> cases = {
        // Counts that fit 16 bits stay as they are, -32768 included.
        {1, {0, 1, -32768, 32767, -5}, {0, 1, -32768, 32767, -5}},
        {2, {0, 12, -300, 7}, {0, 12, -300, 7}},
        // Larger integers and fractions: the largest magnitude maps to 32767.
        {2, {0, 100000, -200000, 50000}, {0, 16384, -32767, 8192}},
        {4, {0.0, 0.5, -1.0, 0.25e-3}, {0, 16384, -32767, 8}},
        {5, {1e-9, -4e-9, 2e-9, 0.0}, {8192, -32767, 16384, 0}},
    };
    for (const bool big : {false, true}) {
        for (const Case &c : cases) {
            Seg2File file;
            file.bigEndian = big;
            file.traces = {seg2Trace(c.format, c.values)};
            FieldRecord rec;
            ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString()) << int(c.format) << big;
            EXPECT_EQ(rec.layout, RecordLayout::Seg2);
            EXPECT_EQ(rec.channelsRead, 1);
            EXPECT_EQ(rec.samplesRead, int(c.values.size()));
            EXPECT_FALSE(rec.clipped);
            for (std::size_t i = 0; i < c.expected.size(); ++i)
                EXPECT_EQ(rec.channels[0][i], c.expected[i]) << int(c.format) << " big " << big << " sample " << i;
            EXPECT_EQ(rec.channels[0][c.values.size()], 0);
            EXPECT_EQ(rec.channelInterval[0], 125.0f);
            EXPECT_EQ(rec.header.interval, 125);
            EXPECT_FLOAT_EQ(rec.delay, 2.0f);
            EXPECT_EQ(rec.gain, 1);
            EXPECT_EQ(std::string(rec.header.siteName.data(), 4), "site");
            EXPECT_EQ(std::string(rec.header.holeName.data(), 4), "hole");
        }
    }
}

TEST(Seg2Record, TwentyBitPackedSamplesAreReadExactly)
{
    // Mantissa and exponent as a seismograph writes them; the sample is the
    // mantissa times 2^exponent. Nine samples: two whole groups and one of one.
    const std::vector<std::pair<int, int>> small
        = {{1, 0}, {-1, 0}, {-32768, 0}, {32767, 0}, {4095, 3}, {-2048, 4}, {3, 2}, {-5, 1}, {0, 15}};
    const std::vector<int> smallValues = {1, -1, -32768, 32767, 32760, -32768, 12, -10, 0};
    // The extremes of the format, beyond 16 bits; five samples.
    const std::vector<std::pair<int, int>> large = {{32767, 15}, {-32768, 15}, {16384, 1}, {-3, 0}, {1, 14}};
    const std::vector<double> largeValues = {1073709056.0, -1073741824.0, 32768.0, -3.0, 16384.0};

    for (const bool big : {false, true}) {
        SCOPED_TRACE(big ? "big-endian" : "little-endian");
        // The decoder alone, over the bytes of a trace's data block.
        for (const bool pad : {false, true}) {
            const std::vector<std::uint8_t> bytes = packed20Bytes(large, big, pad);
            EXPECT_EQ(bytes.size(), pad ? 20u : 14u);
            EXPECT_EQ(seg2Packed20Bytes(large.size()), 14u);
            std::vector<double> out(large.size());
            ASSERT_TRUE(decodeSeg2Packed20(bytes, big, out));
            EXPECT_EQ(out, largeValues);
            EXPECT_FALSE(decodeSeg2Packed20(std::span(bytes).first(13), big, out));
        }

        // Counts that fit 16 bits reach the buffer unchanged, whatever their exponent.
        Seg2File file;
        file.bigEndian = big;
        file.traces = {packedTrace(small)};
        FieldRecord rec;
        ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
        EXPECT_EQ(rec.samplesRead, 9);
        EXPECT_EQ(rec.header.sampleCount, 9);
        for (std::size_t i = 0; i < smallValues.size(); ++i)
            EXPECT_EQ(rec.channels[0][i], smallValues[i]) << i;
        EXPECT_EQ(rec.channels[0][9], 0);

        // With the large trace the record takes one scale: 2^30 maps to 32767.
        file.traces = {packedTrace(small), packedTrace(large)};
        file.traces[1].padLastGroup = true;
        ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
        EXPECT_EQ(rec.channelsRead, 2);
        const std::vector<int> scaled = {32766, -32767, 1, 0, 0};
        for (std::size_t i = 0; i < scaled.size(); ++i)
            EXPECT_EQ(rec.channels[1][i], scaled[i]) << i;
        EXPECT_EQ(rec.channels[0][3], 1); // 32767 / 2^15, rounded
    }

    // Packed traces longer than the buffer are read as far as it holds.
    std::vector<std::pair<int, int>> ramp(5001);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = {int(i % 2000) - 1000, 0};
    Seg2File longFile;
    longFile.traces = {packedTrace(ramp)};
    FieldRecord rec;
    ASSERT_EQ(parseSeg2Record(seg2Bytes(longFile), rec), QString());
    EXPECT_TRUE(rec.clipped);
    EXPECT_EQ(rec.samplesRead, kRecordSamples);
    EXPECT_EQ(rec.channels[0][4095], 4095 % 2000 - 1000);
}

TEST(Seg2Record, AcquisitionDateAndTimeAreReadIntoTheHeader)
{
    struct Case {
        std::string date, time;
        int year, month, day, hour, minute, second;
        int notes;
    };
    const std::vector<Case> cases = {
        {"07/JAN/2013", "10:30:41", 2013, 1, 7, 10, 30, 41, 0},
        {"7/MAR/2018", "03:12:45.250", 2018, 3, 7, 3, 12, 45, 0},
        {" 29/feb/2016 ", "23:59:59", 2016, 2, 29, 23, 59, 59, 0},
        {"31/12/1999", "0:0:0", 1999, 12, 31, 0, 0, 0, 0},
        // Days the calendar has not, another order, another separator.
        {"29/FEB/2013", "24:00:00", 0, 0, 0, 0, 0, 0, 2},
        {"2013/JAN/07", "10:61:00", 0, 0, 0, 0, 0, 0, 2},
        {"07-JAN-2013", "10:30:41", 0, 0, 0, 10, 30, 41, 1},
        {"07/JANUARY/13", "103041", 0, 0, 0, 0, 0, 0, 2},
    };
    FieldRecord rec;
    // A .CWD record with a date read before: none of it stays.
    FieldRecordData cwd;
    cwd.header.year = 2026;
    cwd.header.month = 5;
    cwd.header.day = 4;
    cwd.header.hour = 3;
    cwd.header.interval = 40;
    cwd.channels = {{1, 2}};
    parseFieldRecord(encodeFieldRecordV2(cwd), rec);
    ASSERT_EQ(rec.header.year, 2026);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.date + " " + c.time);
        Seg2File file;
        file.strings = {"ACQUISITION_DATE " + c.date, "ACQUISITION_TIME " + c.time};
        file.traces = {seg2Trace(1, {1, 2})};
        ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
        const FieldRecordHeader &h = rec.header;
        EXPECT_EQ(h.year, c.year);
        EXPECT_EQ(h.month, c.month);
        EXPECT_EQ(h.day, c.day);
        EXPECT_EQ(h.hour, c.hour);
        EXPECT_EQ(h.minute, c.minute);
        EXPECT_EQ(h.second, c.second);
        EXPECT_EQ(rec.notes.size(), c.notes) << rec.notes.join('|').toStdString();
        // A date that cannot be read is named, not dropped silently.
        if (c.year == 0) {
            EXPECT_TRUE(rec.notes.value(0).contains(QString::fromStdString(c.date.substr(0, 5))))
                << rec.notes.value(0).toStdString();
        }
    }
    // No date at all: the fields stay 0 without a note.
    Seg2File plain;
    plain.traces = {seg2Trace(1, {1})};
    ASSERT_EQ(parseSeg2Record(seg2Bytes(plain), rec), QString());
    EXPECT_EQ(rec.header.year, 0);
    EXPECT_TRUE(rec.notes.isEmpty());
}

TEST(Seg2Record, OneScaleKeepsTheChannelsRelativeAmplitudes)
{
    Seg2File file;
    file.traces = {seg2Trace(4, {0.0, 2.0, -1.0}), seg2Trace(4, {1.0, -0.5, 0.0}), seg2Trace(2, {4, 0, 0})};
    file.traces[1].strings = {"SAMPLE_INTERVAL 0.00002083", "DELAY -0.0015"};
    FieldRecord rec;
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    EXPECT_EQ(rec.channels[0][1], 16384);
    EXPECT_EQ(rec.channels[0][2], -8192);
    EXPECT_EQ(rec.channels[1][0], 8192);
    EXPECT_EQ(rec.channels[2][0], 32767);
    // Each channel keeps its own interval, not rounded; the record takes
    // the first trace's delay.
    EXPECT_FLOAT_EQ(rec.channelInterval[1], 20.83f);
    EXPECT_EQ(rec.channelInterval[3], 125.0f);
    EXPECT_FLOAT_EQ(rec.delay, 2.0f);

    // Descaling factors that differ are applied before the common scale.
    file.traces = {seg2Trace(2, {100000, -50}), seg2Trace(2, {100000, 0})};
    file.traces[1].strings.push_back("DESCALING_FACTOR 0.5");
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    EXPECT_EQ(rec.channels[0][0], 32767);
    EXPECT_EQ(rec.channels[1][0], 16384);

    // A negative delay (samples before the trigger) reaches the point.
    file.traces = {seg2Trace(1, {1, 2, 3})};
    file.traces[0].strings = {"SAMPLE_INTERVAL 0.0005", "DELAY -0.01"};
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    EXPECT_FLOAT_EQ(rec.delay, -10.0f);
    // The 16-bit header field cannot hold it: 0 there, and said so.
    EXPECT_EQ(rec.header.delay, 0);
    ASSERT_EQ(rec.notes.size(), 1);
    EXPECT_TRUE(rec.notes[0].contains(QString::fromUtf8("-10 ms"))) << rec.notes[0].toStdString();
    EXPECT_TRUE(rec.notes[0].contains(QString::fromUtf8("激发前 10 ms"))) << rec.notes[0].toStdString();
}

TEST(Seg2Record, MoreThanTheBufferHoldsIsReadAsFarAsItFits)
{
    Seg2File file;
    std::vector<double> ramp(5000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = double(i % 1000);
    for (int t = 0; t < 6; ++t)
        file.traces.push_back(seg2Trace(1, ramp));
    FieldRecord rec;
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    EXPECT_TRUE(rec.clipped);
    EXPECT_EQ(rec.channelsRead, kRecordChannels);
    EXPECT_EQ(rec.samplesRead, kRecordSamples);
    EXPECT_EQ(rec.header.channelCount, 6);
    EXPECT_EQ(rec.header.sampleCount, 5000);
    EXPECT_EQ(rec.channels[3][4095], 95);
}

TEST(Seg2Record, HostileFilesAreRefusedWithTheReasonAndLeaveTheBufferCleared)
{
    Seg2File good;
    good.traces = {seg2Trace(1, {1, 2, 3, 4}), seg2Trace(1, {5, 6, 7, 8})};
    const std::vector<std::uint8_t> base = seg2Bytes(good);
    common::LeReader r(base);
    std::uint32_t second = 0;
    r.u32(36, second); // pointer of trace 2
    const auto patched = [&](std::size_t at, std::uint32_t value, int width) {
        std::vector<std::uint8_t> b = base;
        Seg2Out(b, false).put(at, value, width);
        return b;
    };
    Seg2File noInterval = good;
    noInterval.traces[1].strings = {"DELAY 0"};
    Seg2File slow = good;
    slow.traces[0].strings = {"SAMPLE_INTERVAL 0.1"};
    std::vector<std::uint8_t> cut = base;
    cut.resize(cut.size() - 1);

    const std::vector<std::pair<std::vector<std::uint8_t>, const char *>> hostile = {
        {std::vector<std::uint8_t>(base.begin(), base.begin() + 20), "短于32字节"},
        {patched(6, 0, 2), "没有数据道"},
        {patched(4, 4, 2), "放不下2个道指针"},
        {patched(4, 0xFFFC, 2), "道指针子块超出文件末尾"},
        {patched(36, std::uint32_t(base.size()) - 8, 4), "第2道的道描述块位置"},
        {patched(36, 0xFFFFFFF0u, 4), "超出文件末尾"},
        {patched(second, 0x4423, 2), "第2道的道描述块标识"},
        {patched(second + 2, 8, 2), "道描述块大小8字节"},
        {patched(second + 2, 0xFFF0, 2), "第2道的道描述块（65520字节）超出文件末尾"},
        {patched(second + 8, 0x40000000u, 4), "少于1073741824个采样点"},
        {patched(second + 8, 0, 4), "没有采样点"},
        // Four 20-bit packed samples take 10 bytes, not the 8 announced.
        {patched(second + 12, 3, 1), "少于4个采样点所需的10字节"},
        // The samples fit, but the data block announced reaches past the end.
        {patched(second + 4, 0x7FFFFFF0u, 4), "第2道的数据块（2147483632字节）超出文件末尾"},
        {patched(second + 12, 9, 1), "数据格式码9无效"},
        {cut, "第2道的4个采样点超出文件末尾"},
        {seg2Bytes(noInterval), "第2道没有有效的采样间隔"},
        {seg2Bytes(slow), "不在1～65535微秒之间"},
    };
    FieldRecord rec;
    for (const auto &[bytes, reason] : hostile) {
        ASSERT_EQ(parseSeg2Record(seg2Bytes(good), rec), QString());
        const QString said = parseSeg2Record(bytes, rec);
        EXPECT_TRUE(said.contains(QString::fromUtf8(reason))) << reason << " / " << said.toStdString();
        EXPECT_EQ(rec.channelsRead, 0) << reason;
        EXPECT_EQ(rec.channels[0][1], 0) << reason;
        EXPECT_EQ(rec.layout, RecordLayout::Cwd) << reason;
    }
    // Float samples that are no number are refused, not scaled into garbage.
    Seg2File nan;
    nan.traces = {seg2Trace(4, {1.0, std::nan(""), 2.0})};
    EXPECT_TRUE(parseSeg2Record(seg2Bytes(nan), rec).contains(QString::fromUtf8("第2个采样点不是有效的数值")));
}

TEST(Seg2Record, FilesAreReadByTheirContentNotTheirName)
{
    QTemporaryDir dir;
    Seg2File file;
    file.bigEndian = true;
    file.traces = {seg2Trace(1, {10, -20, 30})};
    writeBytes(dir.filePath("seg2.cwd"), seg2Bytes(file));
    FieldRecordData cwd;
    cwd.header.interval = 40;
    cwd.channels = {{7, 8, 9}};
    writeBytes(dir.filePath("cwd.dat"), encodeFieldRecordV2(cwd));

    FieldRecord rec;
    common::RecordingMessenger m;
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("seg2.cwd"), rec, m));
    EXPECT_EQ(rec.layout, RecordLayout::Seg2);
    EXPECT_EQ(rec.channels[0][1], -20);
    ASSERT_TRUE(ReadFieldRecord(dir.filePath("cwd.dat"), rec, m));
    EXPECT_EQ(rec.layout, RecordLayout::Cwd);
    EXPECT_EQ(rec.channels[0][2], 9);
    EXPECT_TRUE(m.messages.isEmpty());

    // A refused file is named with the reason.
    file.traces = {packedTrace({{1, 0}, {2, 0}, {3, 0}})};
    std::vector<std::uint8_t> cut = seg2Bytes(file);
    cut.resize(cut.size() - 1);
    writeBytes(dir.filePath("packed.sg2"), cut);
    EXPECT_FALSE(ReadFieldRecord(dir.filePath("packed.sg2"), rec, m));
    EXPECT_TRUE(m.last().startsWith(dir.filePath("packed.sg2") + QString::fromUtf8(" 不是有效的SEG-2数据文件：第1道")))
        << m.last().toStdString();
}
