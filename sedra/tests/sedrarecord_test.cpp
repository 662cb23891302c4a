// The record file as the microtremor program writes and reads it, and the
// text export.

#include "sedra/core/sedrarecord.h"

#include "common/binaryio.h"
#include "common/fixedtext.h"
#include "common/gbk.h"

#include <gtest/gtest.h>

namespace {

sedra::SedraRecord threeByThousand()
{
    sedra::SedraRecord r;
    r.header.channelCount = 3;
    r.header.interval = 8000;
    r.header.sampleCount = 1024;
    r.header.year = 2026;
    r.header.month = 12;
    r.header.day = 7;
    common::storeFixedText(r.header.siteName, "A");
    common::storeFixedText(r.header.holeName, "3");
    r.spareWord = 1;
    r.channels.channelCount = 3;
    r.channels.sampleCount = 1024;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 1024; ++i)
            r.channels.working[std::size_t(c)][std::size_t(i)] = std::int16_t(c * 10000 + i - 500);
    return r;
}

TEST(SedraRecordFile, ThreeChannelsOf1024Samples)
{
    const auto r = threeByThousand();
    const auto bytes = sedra::encodeSedraRecord(r, 0.0f);
    ASSERT_EQ(bytes.size(), 6400u);
    EXPECT_EQ(bytes[0], 'v');
    EXPECT_EQ(bytes[1], '2');
    EXPECT_EQ(bytes[2], 0);
    EXPECT_EQ(bytes[3], 0);
    EXPECT_EQ(bytes[4], 'A');
    EXPECT_EQ(bytes[84], '3');
    common::LeReader rd(bytes);
    std::int16_t v = 0;
    rd.i16(124, v);
    EXPECT_EQ(v, 3);
    std::uint16_t u = 0;
    rd.u16(140, u);
    EXPECT_EQ(u, 1024);
    float spare = -1.0f;
    rd.f32(148, spare);
    EXPECT_EQ(spare, 0.0f);
    for (std::size_t at = 152; at < 256; ++at)
        ASSERT_EQ(bytes[at], 0) << at;
    // Interleaved by sample: sample 1 of channel 2 at 256 + (1 * 3 + 2) * 2.
    rd.i16(256 + (1 * 3 + 2) * 2, v);
    EXPECT_EQ(v, 20000 + 1 - 500);

    // The document store writes the word held at 148 as a float.
    const auto stored = sedra::encodeSedraRecord(r, float(r.spareWord));
    common::LeReader rs(stored);
    rs.f32(148, spare);
    EXPECT_EQ(spare, 1.0f);

    sedra::SedraRecord back;
    ASSERT_FALSE(sedra::decodeSedraRecord(bytes, back));
    EXPECT_EQ(back.siteName(), "A");
    EXPECT_EQ(back.testPoint(), "3");
    EXPECT_EQ(back.channels.channelCount, 3);
    EXPECT_EQ(back.channels.sampleCount, 1024);
    EXPECT_EQ(back.channels.sampleInterval, 8000);
    EXPECT_EQ(back.channels.working, r.channels.working);
    EXPECT_EQ(back.channels.unfiltered, r.channels.working);
}

TEST(SedraRecordFile, OlderHeader)
{
    std::vector<std::uint8_t> b(256 + 2 * 2 * 2, 0);
    common::LeWriter w(b);
    w.bytes(0, std::span<const char>("v1\0\0", 4));
    w.bytes(4, std::span<const char>("SITENAMEX", 9)); // 9 bytes, no zero
    w.bytes(13, std::span<const char>("P12Z", 4));
    const std::uint16_t fields[12] = {2, 2020, 5, 6, 7, 8, 9, 4000, 2, 10, 100, 0};
    for (int i = 0; i < 12; ++i)
        w.u16(17 + 2 * std::size_t(i), fields[i]);
    w.u16(41, 7);
    w.i16(256, 11);
    w.i16(258, -22);
    w.i16(260, 33);
    w.i16(262, -44);
    sedra::SedraRecord r;
    ASSERT_FALSE(sedra::decodeSedraRecord(b, r));
    EXPECT_FALSE(r.header.isV2());
    EXPECT_EQ(r.siteName(), "SITENAME"); // the ninth byte forced to zero
    EXPECT_EQ(r.testPoint(), "P12");
    EXPECT_EQ(r.spareWord, 7);
    EXPECT_EQ(r.header.interval, 4000);
    EXPECT_EQ(r.header.delay, 10);
    EXPECT_EQ(r.header.gain, 100);
    ASSERT_TRUE(r.recordedAt());
    EXPECT_EQ(*r.recordedAt(), QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9)));
    EXPECT_EQ(r.channels.working[0][0], 11);
    EXPECT_EQ(r.channels.working[1][0], -22);
    EXPECT_EQ(r.channels.working[0][1], 33);
    EXPECT_EQ(r.channels.unfiltered[1][1], -44);
}

TEST(SedraRecordFile, HostileHeadersStayInsideTheRecord)
{
    std::vector<std::uint8_t> b(300, 0);
    common::LeWriter w(b);
    w.bytes(0, std::span<const char>("v2\0\0", 4));
    w.i16(124, 64); // channels
    w.u16(140, 60000); // samples
    w.i16(126, 0); // year 0: no valid date
    sedra::SedraRecord r;
    ASSERT_FALSE(sedra::decodeSedraRecord(b, r));
    EXPECT_EQ(r.channels.channelCount, 4);
    EXPECT_EQ(r.channels.sampleCount, 4096);
    EXPECT_FALSE(r.recordedAt());
    w.i16(124, 0);
    ASSERT_FALSE(sedra::decodeSedraRecord(b, r));
    EXPECT_EQ(r.channels.channelCount, 0);
    // Not a record at all: refused with a reason, the record kept.
    for (const std::int16_t channels : {std::int16_t(-5), std::int16_t(65), std::int16_t(8279)}) {
        w.i16(124, channels);
        const auto why = sedra::decodeSedraRecord(b, r);
        ASSERT_TRUE(why) << channels;
        EXPECT_TRUE(why->contains(QString::number(channels)));
    }
    EXPECT_EQ(r.channels.sampleCount, 4096);
    EXPECT_TRUE(sedra::decodeSedraRecord(std::vector<std::uint8_t>(255, 0), r));
}

TEST(SedraRecordText, HeadingAndCommaTerminatedValues)
{
    auto r = threeByThousand();
    const QByteArray text = sedra::sedraRecordText(r);
    const QList<QByteArray> lines = text.split('\n');
    ASSERT_EQ(lines.size(), 5); // heading, three channels, nothing after the last CR LF
    EXPECT_EQ(common::decodeGbk(lines[0]),
              QStringLiteral("数据格式为：第一道波形数据，第二道波形数据，第三道波形数据\r"));
    EXPECT_TRUE(lines[0].endsWith('\r'));
    for (int c = 1; c <= 3; ++c) {
        ASSERT_TRUE(lines[c].endsWith(",\r")) << c;
        EXPECT_EQ(lines[c].count(','), 1024);
    }
    EXPECT_TRUE(lines[1].startsWith("-500,-499,"));
    EXPECT_TRUE(lines[3].startsWith("19500,"));
    EXPECT_TRUE(lines[4].isEmpty());
}

} // namespace
