// SAC and miniSEED codecs and SEG-2 traces read whole: what a file written
// here reads back as, in either byte order, and the refusal of damaged bytes.

#include "records/mseedrecord.h"
#include "records/sacrecord.h"
#include "records/seg2record.h"
#include "seg2writer.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <libmseed.h>
#include <gtest/gtest.h>
#include <cmath>

using namespace talvex;

namespace {

std::span<const std::uint8_t> span(const QByteArray &b)
{
    return {reinterpret_cast<const std::uint8_t *>(b.constData()), std::size_t(b.size())};
}

SacTrace sampleSac()
{
    SacTrace t;
    t.delta = 0.01;
    t.start = QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30, 250), QTimeZone::utc());
    t.component = QStringLiteral("HHE");
    t.station = QStringLiteral("ST01");
    t.network = QStringLiteral("XX");
    t.azimuth = 90.0;
    t.incidence = 90.0;
    for (int i = 0; i < 300; ++i)
        t.samples.push_back(std::sin(i * 0.1) * 1000.0 + 0.5);
    return t;
}

// Whole-number samples that vary like noise (so that compression keeps them
// in several records).
std::vector<double> ramp(int n, double scale)
{
    std::vector<double> v;
    std::uint32_t r = 12345;
    for (int i = 0; i < n; ++i) {
        r = r * 1664525u + 1013904223u;
        v.push_back(std::round(std::sin(i * 0.05) * scale) + double(r >> 20));
    }
    return v;
}

} // namespace

TEST(SacRecord, BinaryReadsBackInEitherByteOrder)
{
    const SacTrace written = sampleSac();
    for (const bool big : {false, true}) {
        const QByteArray bytes = encodeSacTrace(written, big);
        ASSERT_EQ(bytes.size(), kSacHeaderBytes + 4 * 300);
        ASSERT_TRUE(isBinarySac(span(bytes)));
        SacTrace read;
        ASSERT_EQ(parseSacTrace(span(bytes), read), QString()) << big;
        EXPECT_DOUBLE_EQ(read.delta, 0.01); // the 32-bit 0.01 is taken as 10 us exactly
        EXPECT_EQ(read.start, written.start);
        EXPECT_EQ(read.component, QStringLiteral("HHE"));
        EXPECT_EQ(read.station, QStringLiteral("ST01"));
        EXPECT_EQ(read.network, QStringLiteral("XX"));
        ASSERT_TRUE(read.azimuth && read.incidence);
        EXPECT_EQ(*read.azimuth, 90.0);
        ASSERT_EQ(read.samples.size(), written.samples.size());
        for (std::size_t i = 0; i < read.samples.size(); ++i)
            ASSERT_EQ(read.samples[i], double(float(written.samples[i])));
    }
}

TEST(SacRecord, UnsetFieldsStayUnset)
{
    SacTrace bare;
    bare.delta = 0.005;
    bare.samples = {1.0, 2.0, 3.0};
    SacTrace read;
    ASSERT_EQ(parseSacTrace(span(encodeSacTrace(bare)), read), QString());
    EXPECT_FALSE(read.start);
    EXPECT_FALSE(read.azimuth);
    EXPECT_FALSE(read.incidence);
    EXPECT_TRUE(read.component.isEmpty());
    EXPECT_TRUE(read.station.isEmpty());
}

TEST(SacRecord, AlphanumericFormIsRead)
{
    // The text form of a 4-sample file: 14 lines of floats, 8 of integers,
    // 8 of texts, then the samples.
    QByteArray text;
    for (int line = 0; line < 14; ++line) {
        for (int k = 0; k < 5; ++k) {
            const int word = line * 5 + k;
            text += QByteArray::number(word == 0 ? 0.02 : word == 5 ? 1.5 : -12345.0, 'f', 5).rightJustified(15);
        }
        text += '\n';
    }
    for (int line = 0; line < 8; ++line) {
        for (int k = 0; k < 5; ++k) {
            const int word = line * 5 + k;
            const int v = word == 0 ? 2020
                : word == 1         ? 32
                : word <= 5         ? 0
                : word == 6         ? 6
                : word == 9         ? 4
                : word == 15        ? 1
                : word == 35        ? 1
                                    : -12345;
            text += QByteArray::number(v).rightJustified(10);
        }
        text += '\n';
    }
    text += "STA1    -12345          \n";
    for (int line = 1; line < 8; ++line)
        text += line == 6 ? QByteArray("-12345  -12345  BHZ     \n") : QByteArray("-12345  -12345  -12345  \n");
    text += "  1.0  -2.5  3.25\n  4\n";
    SacTrace read;
    ASSERT_EQ(parseSacTrace(span(text), read), QString());
    EXPECT_DOUBLE_EQ(read.delta, 0.02);
    EXPECT_EQ(read.component, QStringLiteral("BHZ"));
    EXPECT_EQ(read.station, QStringLiteral("STA1"));
    ASSERT_TRUE(read.start);
    EXPECT_EQ(*read.start, QDateTime(QDate(2020, 2, 1), QTime(0, 0, 1, 500), QTimeZone::utc()));
    EXPECT_EQ(read.samples, (std::vector<double>{1.0, -2.5, 3.25, 4.0}));

    text.chop(3); // the last sample gone
    EXPECT_NE(parseSacTrace(span(text), read), QString());
}

TEST(SacRecord, DamagedFilesAreRefusedWithTheReason)
{
    QByteArray bytes = encodeSacTrace(sampleSac());
    SacTrace read;
    const QString truncated = parseSacTrace(span(bytes.left(bytes.size() - 4)), read);
    EXPECT_TRUE(truncated.contains(QStringLiteral("截断"))) << truncated.toStdString();

    QByteArray negative = bytes;
    negative[4 * 79] = char(0xFF); // NPTS = -255 + ...: negative
    negative[4 * 79 + 3] = char(0xFF);
    EXPECT_NE(parseSacTrace(span(negative), read), QString());

    QByteArray zeroDelta = bytes;
    std::fill_n(zeroDelta.data(), 4, 0);
    EXPECT_TRUE(parseSacTrace(span(zeroDelta), read).contains(QStringLiteral("DELTA")));

    QByteArray uneven = bytes;
    std::fill_n(uneven.data() + 4 * 105, 4, 0); // LEVEN false
    EXPECT_NE(parseSacTrace(span(uneven), read), QString());

    EXPECT_NE(parseSacTrace(span(bytes.left(100)), read), QString());
    EXPECT_FALSE(isBinarySac(span(bytes.left(100))));
}

TEST(MseedRecord, ThreeChannelsReadBackExactly)
{
    std::vector<MseedTrace> written(3);
    const char *codes[] = {"EHN", "EHE", "EHZ"};
    for (int k = 0; k < 3; ++k) {
        MseedTrace &t = written[std::size_t(k)];
        t.network = QStringLiteral("AB");
        t.station = QStringLiteral("P01");
        t.location = QStringLiteral("00");
        t.channel = QString::fromLatin1(codes[k]);
        t.sampleRate = 125.0;
        t.startMicros = 1700000000123400; // SEED times resolve 100 us
        t.samples = ramp(20000 + 0, 4000.0 * (k + 1));
    }
    written[1].samples[5] = 0.25; // not whole: the channel is written as 64-bit floats
    QString error;
    const QByteArray bytes = encodeMseed(written, &error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    EXPECT_EQ(bytes.size() % 4096, 0);
    ASSERT_TRUE(isMseed(span(bytes)));
    std::vector<MseedTrace> read;
    ASSERT_EQ(parseMseed(span(bytes), read), QString());
    ASSERT_EQ(read.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(read[std::size_t(k)].id(), written[std::size_t(k)].id());
        EXPECT_EQ(read[std::size_t(k)].sampleRate, 125.0);
        EXPECT_EQ(read[std::size_t(k)].startMicros, 1700000000123400);
        EXPECT_EQ(read[std::size_t(k)].samples, written[std::size_t(k)].samples);
    }
}

// The file as other tools open it: libmseed's own file reader finds the
// three channels whole, at their rate and start.
TEST(MseedRecord, LibraryFileReaderReadsTheWrittenFile)
{
    std::vector<MseedTrace> written(3);
    const char *codes[] = {"EHN", "EHE", "EHZ"};
    for (int k = 0; k < 3; ++k) {
        written[std::size_t(k)].network = QStringLiteral("XX");
        written[std::size_t(k)].station = QStringLiteral("STA");
        written[std::size_t(k)].location = QStringLiteral("00");
        written[std::size_t(k)].channel = QString::fromLatin1(codes[k]);
        written[std::size_t(k)].sampleRate = 100.0;
        written[std::size_t(k)].startMicros = 1765000000000000;
        written[std::size_t(k)].samples = ramp(12345, 2000.0);
    }
    QString error;
    const QByteArray bytes = encodeMseed(written, &error);
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("t.mseed")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    MSTraceGroup *group = nullptr;
    ASSERT_EQ(ms_readtraces(&group, f.fileName().toLocal8Bit().constData(), 0, -1.0, -1.0, 0, 1, 1, 0), MS_NOERROR);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->numtraces, 3);
    int seen = 0;
    for (MSTrace *t = group->traces; t; t = t->next, ++seen) {
        EXPECT_EQ(t->numsamples, 12345);
        EXPECT_EQ(t->samprate, 100.0);
        EXPECT_EQ(t->starttime, 1765000000000000);
        EXPECT_EQ(std::string(t->network), "XX");
        ASSERT_EQ(t->sampletype, 'i');
        EXPECT_EQ(static_cast<const std::int32_t *>(t->datasamples)[12344], std::int32_t(written[0].samples[12344]));
    }
    EXPECT_EQ(seen, 3);
    mst_freegroup(&group);
}

TEST(MseedRecord, RecordsOutOfOrderJoinButAGapIsRefused)
{
    MseedTrace t;
    t.network = QStringLiteral("AB");
    t.station = QStringLiteral("S");
    t.channel = QStringLiteral("EHZ");
    t.sampleRate = 100.0;
    t.startMicros = 0;
    t.samples = ramp(6000, 3000.0);
    QString error;
    const QByteArray bytes = encodeMseed({t}, &error);
    ASSERT_GT(bytes.size(), 3 * 4096);
    // Records swapped: read back in time order.
    QByteArray swapped = bytes.mid(4096, 4096) + bytes.left(4096) + bytes.mid(8192);
    std::vector<MseedTrace> read;
    ASSERT_EQ(parseMseed(span(swapped), read), QString());
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].samples, t.samples);

    // The second record left out: a gap, refused with where it is.
    const QByteArray gap = bytes.left(4096) + bytes.mid(8192);
    const QString why = parseMseed(span(gap), read);
    EXPECT_TRUE(why.contains(QStringLiteral("间断"))) << why.toStdString();
    EXPECT_TRUE(read.empty());
}

TEST(MseedRecord, DamagedBytesAreRefused)
{
    MseedTrace t;
    t.network = QStringLiteral("AB");
    t.station = QStringLiteral("S");
    t.channel = QStringLiteral("EHZ");
    t.sampleRate = 100.0;
    t.samples = ramp(3000, 3000.0);
    QString error;
    const QByteArray bytes = encodeMseed({t}, &error);
    std::vector<MseedTrace> read;
    EXPECT_TRUE(parseMseed(span(bytes.left(bytes.size() - 100)), read).contains(QStringLiteral("截断")));
    EXPECT_NE(parseMseed(span(QByteArray(5000, 'x')), read), QString());
    QByteArray broken = bytes;
    broken.replace(4096 + 6, 1, "?"); // the second record's quality indicator
    EXPECT_NE(parseMseed(span(broken), read), QString());
    EXPECT_FALSE(isMseed(span(QByteArray(64, '\0'))));

    // A record of 64-bit floats that claims more samples than its data
    // section holds: refused before anything is decoded.
    t.samples[0] = 0.5;
    const QByteArray floats = encodeMseed({t}, &error);
    QByteArray claims = floats.left(4096);
    claims[30] = char(0x02); // sample count 0x0258 = 600, big-endian
    claims[31] = char(0x58);
    const QString why = parseMseed(span(claims), read);
    EXPECT_TRUE(why.contains(QStringLiteral("600"))) << why.toStdString();
}

TEST(MseedRecord, WriterRefusesCodesSeedCannotHold)
{
    MseedTrace t;
    t.network = QStringLiteral("ABC");
    t.station = QStringLiteral("S");
    t.channel = QStringLiteral("EHZ");
    t.sampleRate = 100.0;
    t.samples = {1.0};
    QString error;
    EXPECT_TRUE(encodeMseed({t}, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    t.network = QStringLiteral("AB");
    t.station = QString::fromUtf8("测点");
    EXPECT_TRUE(encodeMseed({t}, &error).isEmpty());
}

TEST(Seg2Traces, TracesAreReadWholeBeyondTheImportBuffer)
{
    test::Seg2File file;
    file.strings.push_back("ACQUISITION_DATE 07/JAN/2013");
    file.strings.push_back("ACQUISITION_TIME 10:30:41");
    for (int k = 0; k < 3; ++k) {
        test::Seg2Trace trace = test::seg2Trace(2, ramp(6000, 100000.0 * (k + 1)));
        trace.strings = {"SAMPLE_INTERVAL 0.01", "DESCALING_FACTOR 0.5"};
        file.traces.push_back(trace);
    }
    const std::vector<std::uint8_t> bytes = test::seg2Bytes(file);
    std::vector<talvex::Seg2Trace> traces;
    std::optional<QDateTime> start;
    ASSERT_EQ(parseSeg2Traces(bytes, traces, &start), QString());
    ASSERT_EQ(traces.size(), 3u);
    EXPECT_DOUBLE_EQ(traces[0].interval, 0.01);
    ASSERT_EQ(traces[2].samples.size(), 6000u);
    EXPECT_EQ(traces[2].samples[4321], file.traces[2].values[4321] * 0.5);
    ASSERT_TRUE(start);
    EXPECT_EQ(*start, QDateTime(QDate(2013, 1, 7), QTime(10, 30, 41), QTimeZone::utc()));
}
