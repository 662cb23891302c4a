// The register sequence of one acquisition against a recording fake card,
// detection, gain codes and code conversion.

#include "sedra/card/acquisitioncard.h"
#include "sedra/card/cardregisters.h"
#include "sedra/card/recordingportio.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace {

using sedra::PortAccess;

// A card that answers reads from queues (or a fixed value per port).
class FakeCard : public sedra::PortIo {
public:
    std::uint16_t read16(std::uint16_t port) override
    {
        auto &queue = m_queued[port];
        if (!queue.empty()) {
            const std::uint16_t v = queue.front();
            queue.pop_front();
            return v;
        }
        const auto fixed = m_fixed.find(port);
        return fixed == m_fixed.end() ? 0xFFFF : fixed->second;
    }
    void write16(std::uint16_t, std::uint16_t) override {}

    std::map<std::uint16_t, std::deque<std::uint16_t>> m_queued;
    std::map<std::uint16_t, std::uint16_t> m_fixed;
};

sedra::ReadyLimit generous()
{
    return {std::chrono::milliseconds(5000), std::chrono::milliseconds(5000)};
}

TEST(AcquireRecord, ExactRegisterOrderForThreeChannels)
{
    FakeCard card;
    card.m_fixed[sedra::card::kStatusPort] = 0x0001;
    // Data words count up, with the two upper bits set that must be dropped.
    for (int k = 0; k < 4 + 3 * 1024; ++k)
        card.m_queued[sedra::card::kDataPort].push_back(std::uint16_t(0xC000 | (k & 0x3FFF)));
    sedra::RecordingPortIo io(&card);
    sedra::AcquisitionParameters p;
    p.interval = 8000;
    p.delay = 20;
    p.gain = 10;
    p.samples = 1024;
    p.channels = 3;
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    raw[0][1024] = 77; // beyond N: untouched
    raw[3][5] = 55; // channel past C: untouched
    const auto result = sedra::AcquireRecord(io, p, raw, nullptr, generous());
    ASSERT_EQ(result.outcome, sedra::AcquisitionOutcome::Done);
    EXPECT_EQ(result.samplesRead, 1024);

    std::vector<PortAccess> expected = {
        {true, 0x300, 8000}, {true, 0x304, 20}, {true, 0x30C, 1}, {true, 0x314, 3}, {true, 0x308, 5},
    };
    for (int k = 0; k < 4; ++k)
        expected.push_back({false, 0x314, std::uint16_t(0xC000 | k)});
    expected.push_back({true, 0x310, 1});
    int word = 4;
    for (int i = 0; i < 1024; ++i) {
        expected.push_back({false, 0x318, 1});
        for (int ch = 0; ch < 3; ++ch, ++word)
            expected.push_back({false, 0x314, std::uint16_t(0xC000 | word)});
    }
    expected.push_back({true, 0x310, 0});
    ASSERT_EQ(io.accesses().size(), expected.size());
    EXPECT_TRUE(io.accesses() == expected);

    EXPECT_EQ(raw[0][0], 4);
    EXPECT_EQ(raw[1][0], 5);
    EXPECT_EQ(raw[2][1023], std::int16_t((4 + 3 * 1024 - 1) & 0x3FFF));
    EXPECT_EQ(raw[0][1024], 77);
    EXPECT_EQ(raw[3][5], 55);
    EXPECT_EQ(io.logText().left(26),
              QByteArray("W 0x300 8000\nW 0x304 20\n"
                         "W "));
}

TEST(AcquireRecord, WaitsForTheReadyBitAmongOtherBits)
{
    FakeCard card;
    // Not ready twice (other bits set), then ready with other bits set.
    card.m_queued[sedra::card::kStatusPort] = {0xFFFE, 0x0000, 0x8003};
    card.m_fixed[sedra::card::kDataPort] = 9000;
    sedra::RecordingPortIo io(&card);
    sedra::AcquisitionParameters p;
    p.samples = 1;
    p.channels = 1;
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    EXPECT_EQ(sedra::AcquireRecord(io, p, raw, nullptr, generous()).outcome, sedra::AcquisitionOutcome::Done);
    int polls = 0;
    for (const auto &a : io.accesses())
        polls += a.port == 0x318;
    EXPECT_EQ(polls, 3);
    EXPECT_EQ(raw[0][0], 9000);
}

TEST(AcquireRecord, CardThatNeverBecomesReadyIsStopped)
{
    FakeCard card;
    card.m_fixed[sedra::card::kStatusPort] = 0xFFFE;
    sedra::RecordingPortIo io(&card);
    sedra::AcquisitionParameters p;
    p.interval = 100;
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    const auto started = std::chrono::steady_clock::now();
    const auto result
        = sedra::AcquireRecord(io, p, raw, nullptr, {std::chrono::milliseconds(300), std::chrono::milliseconds(300)});
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(300));
    EXPECT_EQ(result.outcome, sedra::AcquisitionOutcome::NeverReady);
    EXPECT_EQ(result.samplesRead, 0);
    ASSERT_FALSE(io.accesses().empty());
    EXPECT_EQ(io.accesses().back(), (PortAccess{true, 0x310, 0}));
    // After a short spin the poll is paced, not millions of reads.
    EXPECT_LT(io.accesses().size(), 200000u);

    // Stalling half-way also stops, with what was read reported.
    FakeCard stalls;
    stalls.m_queued[sedra::card::kStatusPort] = {1, 1};
    stalls.m_fixed[sedra::card::kStatusPort] = 0;
    sedra::RecordingPortIo io2(&stalls);
    const auto half
        = sedra::AcquireRecord(io2, p, raw, nullptr, {std::chrono::milliseconds(30), std::chrono::milliseconds(30)});
    EXPECT_EQ(half.outcome, sedra::AcquisitionOutcome::NeverReady);
    EXPECT_EQ(half.samplesRead, 2);
    EXPECT_EQ(io2.accesses().back(), (PortAccess{true, 0x310, 0}));
}

TEST(AcquireRecord, CancelStopsTheCard)
{
    FakeCard card;
    card.m_fixed[sedra::card::kStatusPort] = 0;
    sedra::RecordingPortIo io(&card);
    std::atomic<bool> cancel{true};
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    const auto result = sedra::AcquireRecord(io, {}, raw, &cancel, generous());
    EXPECT_EQ(result.outcome, sedra::AcquisitionOutcome::Cancelled);
    EXPECT_EQ(io.accesses().back(), (PortAccess{true, 0x310, 0}));
}

// The ready poll sleeps until shortly before a set is due, naps near it,
// yields only for intervals too short to nap in, and paces a silent card.
TEST(ReadyPoll, PausesFollowTheDueMoment)
{
    using us = std::chrono::microseconds;
    const us interval(8000);
    EXPECT_EQ(sedra::readyPollPause(us(8000), us(0), interval), us(7500));
    EXPECT_EQ(sedra::readyPollPause(us(60000), us(0), us(60000)), us(20000)); // a cancel is seen
    EXPECT_EQ(sedra::readyPollPause(us(300), us(7700), interval), us(50));
    EXPECT_EQ(sedra::readyPollPause(us(-100), us(8100), interval), us(50)); // late: keep looking
    EXPECT_EQ(sedra::readyPollPause(us(-10000), us(18001), interval), us(1000)); // silent card
    // 200 us: sleep while more than a quarter interval remains, then yield.
    EXPECT_EQ(sedra::readyPollPause(us(200), us(0), us(200)), us(150));
    EXPECT_EQ(sedra::readyPollPause(us(100), us(100), us(200)), us(0));
}

TEST(ReadyPoll, TimeLeftFromTheSamplesAndTheInterval)
{
    using ms = std::chrono::milliseconds;
    sedra::AcquisitionParameters p;
    p.samples = 1024;
    p.interval = 8000;
    p.delay = 100;
    EXPECT_EQ(sedra::acquisitionTimeLeft(p, 0, ms(0)), ms(8192 + 100));
    EXPECT_EQ(sedra::acquisitionTimeLeft(p, 0, ms(60)), ms(8192 + 40));
    EXPECT_EQ(sedra::acquisitionTimeLeft(p, 512, ms(4000)), ms(4096));
    EXPECT_EQ(sedra::acquisitionTimeLeft(p, 1024, ms(9000)), ms(0));
    p.interval = 65535;
    p.samples = 4096;
    EXPECT_EQ(sedra::acquisitionTimeLeft(p, 0, ms(200)), ms(268431)); // 4096 * 65.535 ms, delay over
}

TEST(AcquireRecord, GainCodesWrittenToRegisterThree)
{
    for (const auto &[gain, code] : {std::pair{1, 0}, {10, 1}, {100, 2}, {5, 0}, {0, 0}, {1000, 0}}) {
        FakeCard card;
        card.m_fixed[sedra::card::kStatusPort] = 1;
        sedra::RecordingPortIo io(&card);
        sedra::AcquisitionParameters p;
        p.gain = gain;
        p.samples = 1;
        std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
        sedra::AcquireRecord(io, p, raw, nullptr, generous());
        EXPECT_EQ(io.accesses()[2], (PortAccess{true, 0x30C, std::uint16_t(code)})) << gain;
    }
}

TEST(DetectCard, IdentificationBitsDecide)
{
    EXPECT_TRUE(sedra::isCardIdentification(0x0550));
    EXPECT_TRUE(sedra::isCardIdentification(0xF55F));
    EXPECT_TRUE(sedra::isCardIdentification(0x0AA0));
    EXPECT_TRUE(sedra::isCardIdentification(0x3AA9));
    EXPECT_FALSE(sedra::isCardIdentification(0xFFFF));
    EXPECT_FALSE(sedra::isCardIdentification(0x0000));
    EXPECT_FALSE(sedra::isCardIdentification(0x0055));

    FakeCard card;
    card.m_fixed[sedra::card::kIdentPort] = 0xC55C;
    sedra::RecordingPortIo io(&card);
    EXPECT_TRUE(sedra::DetectCard(io));
    ASSERT_EQ(io.accesses().size(), 1u);
    EXPECT_EQ(io.accesses()[0].port, 0x324);
    FakeCard empty; // every read 0xFFFF
    EXPECT_FALSE(sedra::DetectCard(empty));
}

TEST(ConvertRawCodes, FourteenBitTwosComplement)
{
    std::int16_t codes[] = {0, 8191, 8192, 16383, 4096, 12288};
    sedra::ConvertRawCodes(codes, 6);
    EXPECT_EQ(codes[0], 0);
    EXPECT_EQ(codes[1], 8191);
    EXPECT_EQ(codes[2], -8192);
    EXPECT_EQ(codes[3], -1);
    EXPECT_EQ(codes[4], 4096);
    EXPECT_EQ(codes[5], -4096);
    EXPECT_FLOAT_EQ(sedra::sampleToMillivolts(4096), 2500.0f);
    EXPECT_FLOAT_EQ(sedra::sampleToMillivolts(1), 0.6103515625f);
}

} // namespace
