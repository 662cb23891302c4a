#include "common/binaryio.h"
#include "common/messenger.h"
#include "talvex/survey/fieldrecord.h"
#include "talvex/survey/folderimport.h"
#include "talvex/survey/seg2record.h"

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>
#include <string>
#include <gtest/gtest.h>

using namespace talvex;

namespace {

// A small SEG-2 writer: one descriptor per trace with its strings, the data
// right behind it, in either byte order.
struct Seg2Trace {
    std::uint8_t format = 1; // 1 int16, 2 int32, 4 float32, 5 float64
    std::vector<double> values;
    std::vector<std::string> strings{"SAMPLE_INTERVAL 0.000125", "DELAY 0.002"};
};

struct Seg2File {
    bool bigEndian = false;
    std::vector<std::string> strings{"JOB_ID site", "LINE_ID hole"};
    std::vector<Seg2Trace> traces;
};

class Out {
public:
    Out(std::vector<std::uint8_t> &bytes, bool big) : m_bytes(bytes), m_big(big) {}
    void put(std::size_t at, std::uint64_t v, int width)
    {
        if (m_bytes.size() < at + std::size_t(width))
            m_bytes.resize(at + std::size_t(width), 0);
        for (int i = 0; i < width; ++i)
            m_bytes[at + std::size_t(m_big ? width - 1 - i : i)] = std::uint8_t(v >> (8 * i));
    }
    // Strings at `at`, each with its offset and a zero terminator, then the
    // closing zero offset; returns the end.
    std::size_t strings(std::size_t at, const std::vector<std::string> &list)
    {
        for (const std::string &s : list) {
            put(at, s.size() + 3, 2);
            m_bytes.resize(std::max(m_bytes.size(), at + s.size() + 3), 0);
            std::memcpy(m_bytes.data() + at + 2, s.data(), s.size());
            at += s.size() + 3;
        }
        put(at, 0, 2);
        return at + 2;
    }

private:
    std::vector<std::uint8_t> &m_bytes;
    bool m_big;
};

std::vector<std::uint8_t> seg2Bytes(const Seg2File &file)
{
    std::vector<std::uint8_t> b;
    Out out(b, file.bigEndian);
    const std::size_t n = file.traces.size();
    out.put(0, kSeg2FileBlockId, 2);
    out.put(2, 1, 2); // revision
    out.put(4, 4 * n, 2);
    out.put(6, n, 2);
    out.put(8, 1, 1); // string terminator: one zero byte
    out.put(11, 1, 1); // line terminator: '\n'
    out.put(12, '\n', 1);
    std::size_t at = out.strings(32 + 4 * n, file.strings);
    for (std::size_t t = 0; t < n; ++t) {
        const Seg2Trace &trace = file.traces[t];
        at = (at + 3) / 4 * 4;
        out.put(32 + 4 * t, at, 4);
        const std::size_t block = (out.strings(at + 32, trace.strings) - at + 3) / 4 * 4;
        const int width = trace.format == 1 ? 2 : trace.format == 5 ? 8 : 4;
        out.put(at, kSeg2TraceBlockId, 2);
        out.put(at + 2, block, 2);
        out.put(at + 4, trace.values.size() * std::size_t(width), 4);
        out.put(at + 8, trace.values.size(), 4);
        out.put(at + 12, trace.format, 1);
        at += block;
        for (const double v : trace.values) {
            std::uint64_t bits = 0;
            if (trace.format == 4) {
                const float f = float(v);
                std::uint32_t u = 0;
                std::memcpy(&u, &f, 4);
                bits = u;
            } else if (trace.format == 5) {
                std::memcpy(&bits, &v, 8);
            } else {
                bits = std::uint64_t(std::int64_t(v));
            }
            out.put(at, bits, width);
            at += std::size_t(width);
        }
    }
    b.resize(at, 0);
    return b;
}

Seg2Trace trace(std::uint8_t format, std::vector<double> values)
{
    Seg2Trace t;
    t.format = format;
    t.values = std::move(values);
    return t;
}

void writeBytes(const QString &path, const std::vector<std::uint8_t> &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
}

} // namespace

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
            file.traces = {trace(c.format, c.values)};
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

TEST(Seg2Record, OneScaleKeepsTheChannelsRelativeAmplitudes)
{
    Seg2File file;
    file.traces = {trace(4, {0.0, 2.0, -1.0}), trace(4, {1.0, -0.5, 0.0}), trace(2, {4, 0, 0})};
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
    file.traces = {trace(2, {100000, -50}), trace(2, {100000, 0})};
    file.traces[1].strings.push_back("DESCALING_FACTOR 0.5");
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    EXPECT_EQ(rec.channels[0][0], 32767);
    EXPECT_EQ(rec.channels[1][0], 16384);

    // A negative delay (samples before the trigger) reaches the point.
    file.traces = {trace(1, {1, 2, 3})};
    file.traces[0].strings = {"SAMPLE_INTERVAL 0.0005", "DELAY -0.01"};
    ASSERT_EQ(parseSeg2Record(seg2Bytes(file), rec), QString());
    EXPECT_FLOAT_EQ(rec.delay, -10.0f);
    EXPECT_EQ(rec.header.delay, 0);
    SurveyData survey;
    survey.points.push_back(TlvOne::newPoint(1.5f));
    ASSERT_TRUE(SetNegativeTrace(survey, rec, 1, 1));
    EXPECT_FLOAT_EQ(survey.points[0].delay, -10.0f);
    EXPECT_FLOAT_EQ(survey.points[0].interval, 500.0f);
    EXPECT_EQ(survey.points[0].negative[2], 3);
}

TEST(Seg2Record, MoreThanTheBufferHoldsIsReadAsFarAsItFits)
{
    Seg2File file;
    std::vector<double> ramp(5000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = double(i % 1000);
    for (int t = 0; t < 6; ++t)
        file.traces.push_back(trace(1, ramp));
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
    good.traces = {trace(1, {1, 2, 3, 4}), trace(1, {5, 6, 7, 8})};
    const std::vector<std::uint8_t> base = seg2Bytes(good);
    common::LeReader r(base);
    std::uint32_t second = 0;
    r.u32(36, second); // pointer of trace 2
    const auto patched = [&](std::size_t at, std::uint32_t value, int width) {
        std::vector<std::uint8_t> b = base;
        Out(b, false).put(at, value, width);
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
        {patched(second + 12, 3, 1), "格式码3"},
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
    nan.traces = {trace(4, {1.0, std::nan(""), 2.0})};
    EXPECT_TRUE(parseSeg2Record(seg2Bytes(nan), rec).contains(QString::fromUtf8("第2个采样点不是有效的数值")));
}

TEST(Seg2Record, FilesAreReadByTheirContentNotTheirName)
{
    QTemporaryDir dir;
    Seg2File file;
    file.bigEndian = true;
    file.traces = {trace(1, {10, -20, 30})};
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

    file.traces[0].format = 3;
    writeBytes(dir.filePath("packed.sg2"), seg2Bytes(file));
    EXPECT_FALSE(ReadFieldRecord(dir.filePath("packed.sg2"), rec, m));
    EXPECT_TRUE(m.last().startsWith(dir.filePath("packed.sg2") + QString::fromUtf8(" 不是有效的SEG-2数据文件：第1道")))
        << m.last().toStdString();
}

TEST(FolderImport, SeismographFilesNamedLikeRecordsAreImportedBesideCwdRecords)
{
    QTemporaryDir dir;
    FieldRecordData cwd;
    cwd.header.interval = 40;
    cwd.header.gain = 10;
    cwd.channels = {{1, 2, 3}, {4, 5, 6}};
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("ZK1&1A.cwd"), cwd).ok);
    Seg2File file;
    file.traces = {trace(4, {0.0, 0.001}), trace(4, {0.0, -0.002})};
    writeBytes(dir.filePath("ZK1&1B.sg2"), seg2Bytes(file));
    writeBytes(dir.filePath("ZK1&2A.DAT"), seg2Bytes(file));
    ASSERT_TRUE(writeFieldRecordV2(dir.filePath("ZK1&2B.dat"), cwd).ok);
    // Not named like a record: left alone.
    writeBytes(dir.filePath("ZK1&3A.sgy"), seg2Bytes(file));

    SurveyData s;
    for (const float depth : {1.0f, 2.0f, 3.0f}) {
        TlvOne p = TlvOne::newPoint(1.5f);
        p.depth = depth;
        s.points.push_back(p);
    }
    FieldRecord rec;
    common::RecordingMessenger m;
    const FolderImportResult r = ImportFolder(s, rec, dir.path(), 2, m);
    EXPECT_EQ(r.filesTaken, 4);
    EXPECT_TRUE(r.unreadable.isEmpty());
    EXPECT_EQ(r.pointsWithoutRecord, std::vector<int>{3});
    EXPECT_EQ(s.points[0].positive[2], 6);
    EXPECT_EQ(s.points[0].negative[1], -32767);
    EXPECT_FLOAT_EQ(s.points[0].interval, 125.0f);
    EXPECT_FLOAT_EQ(s.points[0].delay, 2.0f);
    EXPECT_EQ(s.points[0].gain, 1);
    EXPECT_EQ(s.points[1].positive[1], -32767);
    EXPECT_EQ(s.points[1].negative[0], 4);
    EXPECT_EQ(s.points[1].gain, 10);
}
