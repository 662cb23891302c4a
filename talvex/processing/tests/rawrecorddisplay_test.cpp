#include "talvex/processing/rawrecorddisplay.h"

#include "common/messenger.h"

#include <gtest/gtest.h>

using namespace talvex;

namespace {

FieldRecord recordOf(int channels, int samples)
{
    FieldRecord r;
    r.header.channelCount = std::int16_t(channels);
    r.header.sampleCount = std::uint16_t(samples);
    for (std::size_t c = 0; c < 4; ++c) {
        for (std::size_t i = 0; i < 4096; ++i)
            r.channels[c][i] = std::int16_t(i * 3 + c * 1000);
    }
    return r;
}

const QString compressedMsg = QString::fromUtf8("波形已压缩至最小 ！");
const QString expandedMsg = QString::fromUtf8("波形已扩展至最大！");

} // namespace

TEST(RawRecordDisplay, MessagesAreTheFixedTexts)
{
    EXPECT_EQ(RawRecordDisplay::fullyCompressedMessage(), compressedMsg);
    EXPECT_EQ(RawRecordDisplay::fullyExpandedMessage(), expandedMsg);
}

TEST(RawRecordDisplay, BeforeTheFirstRestoreLengthIsZeroAndBothRefuse)
{
    const FieldRecord record = recordOf(2, 4096);
    RawRecordDisplay d;
    common::RecordingMessenger m;
    EXPECT_EQ(d.length(), 0);
    EXPECT_FALSE(d.compressed());
    EXPECT_FALSE(d.CompressDisplay(record, m));
    EXPECT_FALSE(d.ExpandDisplay(record, m));
    EXPECT_EQ(m.messages, (QStringList{compressedMsg, expandedMsg}));
    EXPECT_EQ(d.length(), 0);
    EXPECT_FALSE(d.compressed()); // the display still shows the channel buffers
    EXPECT_EQ(d.buffer(0)[5], 0);
}

TEST(RawRecordDisplay, Compress4096To2048To1024ThenMessage)
{
    const FieldRecord record = recordOf(2, 4096);
    RawRecordDisplay d;
    common::RecordingMessenger m;
    d.RestoreDisplay(record);
    EXPECT_EQ(d.length(), 4096);
    EXPECT_FALSE(d.compressed());
    EXPECT_EQ(d.buffer(3)[4095], record.channels[3][4095]); // all four, all 4096 samples

    ASSERT_TRUE(d.CompressDisplay(record, m));
    EXPECT_EQ(d.length(), 2048);
    EXPECT_TRUE(d.compressed());
    // b[j] = b[2j] for j = 1 ... 2047; b[0] and the rest unchanged.
    EXPECT_EQ(d.buffer(0)[0], 0);
    EXPECT_EQ(d.buffer(0)[1], 6);
    EXPECT_EQ(d.buffer(1)[2047], 1000 + 3 * 4094);
    EXPECT_EQ(d.buffer(1)[2048], 1000 + 3 * 2048);
    // Channels past the record's count are not resampled.
    EXPECT_EQ(d.buffer(2)[1], 2000 + 3);

    ASSERT_TRUE(d.CompressDisplay(record, m));
    EXPECT_EQ(d.length(), 1024);
    EXPECT_EQ(d.buffer(0)[1], 12);
    EXPECT_EQ(d.buffer(0)[1023], 3 * 4092);
    EXPECT_TRUE(m.messages.isEmpty());

    EXPECT_FALSE(d.CompressDisplay(record, m));
    EXPECT_EQ(m.messages, QStringList{compressedMsg});
    EXPECT_EQ(d.length(), 1024);
}

TEST(RawRecordDisplay, Expand1024To512ThenMessage)
{
    const FieldRecord record = recordOf(1, 1024);
    RawRecordDisplay d;
    common::RecordingMessenger m;
    d.RestoreDisplay(record);
    EXPECT_EQ(d.length(), 1024);
    ASSERT_TRUE(d.ExpandDisplay(record, m));
    EXPECT_EQ(d.length(), 512);
    EXPECT_TRUE(d.compressed());
    // e = 1022, 1020, ..., 4: b[e] = b[e/2 + 1] (old values 3(e/2 + 1));
    // then odd j = 3 ... 1021 the mean of their neighbours.
    const auto &b = d.buffer(0);
    EXPECT_EQ(b[0], 0);
    EXPECT_EQ(b[1], 3);
    EXPECT_EQ(b[2], 6);
    EXPECT_EQ(b[4], 9); // old b[3]
    EXPECT_EQ(b[3], 7); // trunc((6 + 9) / 2)
    EXPECT_EQ(b[6], 12); // old b[4]
    EXPECT_EQ(b[5], 10); // trunc((9 + 12) / 2)
    EXPECT_EQ(b[1022], 3 * 512);
    EXPECT_EQ(b[1021], (3 * 511 + 3 * 512) / 2);
    EXPECT_EQ(b[1023], 3 * 1023); // j < L - 1 leaves the last sample
    EXPECT_EQ(d.buffer(1)[4], 1000 + 12); // channel 2 is not in the record

    EXPECT_FALSE(d.ExpandDisplay(record, m));
    EXPECT_EQ(m.messages, QStringList{expandedMsg});
    EXPECT_EQ(d.length(), 512);
}

TEST(RawRecordDisplay, ExpandRoundsTowardZeroAndRaisesShortLengthsTo512)
{
    FieldRecord record = recordOf(1, 1030);
    // Neighbours -3 and -6 around an odd position: mean -4.5 -> -4.
    record.channels[0].fill(0);
    record.channels[0][2] = -3;
    record.channels[0][3] = -6; // becomes b[4] (e = 4 takes b[3])
    RawRecordDisplay d;
    common::RecordingMessenger m;
    d.RestoreDisplay(record);
    ASSERT_TRUE(d.ExpandDisplay(record, m));
    EXPECT_EQ(d.buffer(0)[4], -6);
    EXPECT_EQ(d.buffer(0)[3], -4);
    EXPECT_EQ(d.length(), 515);

    // 1026 / 2 = 513 is raised to 512.
    record = recordOf(1, 1026);
    d.RestoreDisplay(record);
    ASSERT_TRUE(d.ExpandDisplay(record, m));
    EXPECT_EQ(d.length(), 512);
    // 1025 compresses no further.
    record = recordOf(1, 1025);
    d.RestoreDisplay(record);
    EXPECT_FALSE(d.CompressDisplay(record, m));
    EXPECT_EQ(d.length(), 1025);
}

TEST(RawRecordDisplay, RestoreAfterResamplingAndOverlongRecords)
{
    FieldRecord record = recordOf(4, 4096);
    RawRecordDisplay d;
    common::RecordingMessenger m;
    d.RestoreDisplay(record);
    ASSERT_TRUE(d.CompressDisplay(record, m));
    ASSERT_TRUE(d.ExpandDisplay(record, m));
    EXPECT_EQ(d.length(), 1024); // 4096 -> 2048 -> 1024
    d.RestoreDisplay(record);
    EXPECT_FALSE(d.compressed());
    EXPECT_EQ(d.length(), 4096);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(d.buffer(c), record.channels[std::size_t(c)]);

    // A header that claims more than the buffers hold: L stays within them,
    // so compressing never reads past sample 4095.
    record.header.sampleCount = 60000;
    record.header.channelCount = 9;
    d.RestoreDisplay(record);
    EXPECT_EQ(d.length(), 4096);
    ASSERT_TRUE(d.CompressDisplay(record, m));
    EXPECT_EQ(d.buffer(3)[2047], 3000 + 3 * 4094);
}
