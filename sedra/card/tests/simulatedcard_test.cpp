// The simulated card against the acquisition sequence, and its switches.

#include "sedra/card/acquisitioncard.h"
#include "sedra/card/cardbackend.h"
#include "sedra/card/cardregisters.h"
#include "sedra/card/recordingportio.h"
#include "sedra/card/simulatedcard.h"
#ifndef Q_OS_WIN
#include "sedra/card/linuxportio.h"
#endif

#include <cerrno>

#include <gtest/gtest.h>

#include <atomic>

namespace {

sedra::ReadyLimit shortLimit()
{
    return {std::chrono::milliseconds(50), std::chrono::milliseconds(50)};
}

TEST(SimulatedCard, AnswersTheProtocol)
{
    sedra::SimulatedCard card;
    EXPECT_TRUE(sedra::DetectCard(card));
    sedra::AcquisitionParameters p;
    p.channels = 3;
    p.gain = 10;
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    const auto result = sedra::AcquireRecord(card, p, raw, nullptr, shortLimit());
    ASSERT_EQ(result.outcome, sedra::AcquisitionOutcome::Done);
    EXPECT_EQ(card.interval(), 8000);
    EXPECT_EQ(card.gainCode(), 1);
    EXPECT_FALSE(card.running());
    EXPECT_EQ(card.setsDelivered(), 1024);
    // Codes are 14-bit; converted, they follow the noiseless tremor closely
    // at gain 10 (amplitude 6000 codes, noise 20 %).
    double error = 0.0, power = 0.0;
    for (int i = 0; i < 1024; ++i) {
        ASSERT_LE(raw[0][std::size_t(i)], 16383);
        const int v = sedra::convertRawCode(raw[0][std::size_t(i)]);
        const int clean = card.sampleValue(i, 0);
        error += double(v - clean) * (v - clean);
        power += double(clean) * clean;
    }
    EXPECT_LT(error, 0.2 * power);
    EXPECT_GT(power, 1024.0 * 1000.0 * 1000.0);
}

TEST(SimulatedCard, SameSeedSameRecord)
{
    sedra::SimulatedCardOptions o;
    o.seed = 7;
    sedra::SimulatedCard a(o), b(o);
    o.seed = 8;
    sedra::SimulatedCard c(o);
    std::array<sedra::RecordChannel, sedra::kRecordChannels> ra{}, rb{}, rc{};
    sedra::AcquireRecord(a, {}, ra, nullptr, shortLimit());
    sedra::AcquireRecord(b, {}, rb, nullptr, shortLimit());
    sedra::AcquireRecord(c, {}, rc, nullptr, shortLimit());
    EXPECT_EQ(ra, rb);
    EXPECT_NE(ra, rc);
}

TEST(SimulatedCard, Switches)
{
    QString error;
    auto o = sedra::SimulatedCardOptions::parse("freq=2.0/3.5/6.0,noise=0.2,seed=7,ready-every=3", &error);
    ASSERT_TRUE(o) << error.toStdString();
    EXPECT_EQ(o->frequencies, (std::vector<float>{2.0f, 3.5f, 6.0f}));
    EXPECT_EQ(o->seed, 7u);
    EXPECT_EQ(o->readyEvery, 3);

    sedra::SimulatedCard every3(*o);
    sedra::RecordingPortIo io(&every3);
    sedra::AcquisitionParameters p;
    p.samples = 10;
    p.channels = 1;
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    ASSERT_EQ(sedra::AcquireRecord(io, p, raw, nullptr, shortLimit()).outcome, sedra::AcquisitionOutcome::Done);
    int polls = 0;
    for (const auto &a : io.accesses())
        polls += a.port == sedra::card::kStatusPort;
    EXPECT_EQ(polls, 30);

    auto absent = sedra::SimulatedCardOptions::parse("absent", &error);
    ASSERT_TRUE(absent);
    sedra::SimulatedCard none(*absent);
    EXPECT_FALSE(sedra::DetectCard(none));

    auto never = sedra::SimulatedCardOptions::parse("never-ready", &error);
    ASSERT_TRUE(never);
    sedra::SimulatedCard stuck(*never);
    EXPECT_TRUE(sedra::DetectCard(stuck));
    EXPECT_EQ(sedra::AcquireRecord(stuck, p, raw, nullptr, shortLimit()).outcome,
              sedra::AcquisitionOutcome::NeverReady);
    EXPECT_FALSE(stuck.running());

    for (const char *bad : {"freq=abc", "noise=-1", "ready-every=0", "seed=x", "bogus", "absent=1", "freq"})
        EXPECT_FALSE(sedra::SimulatedCardOptions::parse(bad, &error)) << bad;
    EXPECT_TRUE(error.contains("freq"));
}

// Against a card paced by the clock the poll sleeps between sets: a busy
// poll looks thousands of times per set, this one a handful. Every set is
// read and the progress counter follows.
TEST(SimulatedCard, RealTimeAcquisitionPollsSparingly)
{
    sedra::SimulatedCardOptions o;
    o.realtime = true;
    sedra::SimulatedCard card(o);
    sedra::AcquisitionParameters p;
    p.interval = 2000;
    p.samples = 100;
    p.channels = 2;
    std::array<sedra::RecordChannel, sedra::kRecordChannels> raw{};
    std::atomic<int> progress{-1};
    const auto result = sedra::AcquireRecord(card, p, raw, nullptr, sedra::readyLimitFor(p), &progress);
    ASSERT_EQ(result.outcome, sedra::AcquisitionOutcome::Done);
    EXPECT_EQ(card.setsDelivered(), 100);
    EXPECT_EQ(progress.load(), 100);
    EXPECT_LT(card.statusPolls(), 100 * 60) << card.statusPolls();
}

TEST(CardBackend, EnvironmentOverridesTheSetting)
{
    qunsetenv("SEDRA_CARD");
    QString error;
    EXPECT_EQ(sedra::selectCard("sim", &error)->backend, sedra::CardBackend::Simulated);
    EXPECT_EQ(sedra::selectCard("junk", &error)->backend, sedra::CardBackend::Ports);
    qputenv("SEDRA_CARD", "none");
    EXPECT_EQ(sedra::selectCard("sim", &error)->backend, sedra::CardBackend::None);
    qputenv("SEDRA_CARD", "serial");
    EXPECT_FALSE(sedra::selectCard("sim", &error));
    EXPECT_TRUE(error.contains("serial"));
    qunsetenv("SEDRA_CARD");

    QString note;
    EXPECT_EQ(sedra::openCard({sedra::CardBackend::None, {}}, ".", &note), nullptr);
    EXPECT_TRUE(note.isEmpty());
    EXPECT_EQ(sedra::openCard({sedra::CardBackend::Simulated, "warp"}, ".", &note), nullptr);
    EXPECT_TRUE(note.contains("warp"));
    EXPECT_NE(sedra::openCard({sedra::CardBackend::Simulated, "seed=3"}, ".", &note), nullptr);
}

#ifndef Q_OS_WIN
// A refused port request names its real cause, not always missing root.
TEST(CardBackend, PortRefusalNamesTheCause)
{
    EXPECT_TRUE(sedra::portAccessRefusal(EPERM).contains("权限"));
    EXPECT_TRUE(sedra::portAccessRefusal(ENOSYS).contains("不支持"));
    EXPECT_TRUE(sedra::portAccessRefusal(EINVAL).contains("无效"));
    EXPECT_TRUE(sedra::portAccessRefusal(ENOMEM).contains("内存"));
    for (const int code : {EINVAL, ENOMEM, ENOSYS, EIO})
        EXPECT_FALSE(sedra::portAccessRefusal(code).contains("root")) << code;
    EXPECT_TRUE(sedra::portAccessRefusal(9999).contains("9999"));
    // Whatever this machine answers, the note is the card's port and a
    // Chinese cause.
    QString note;
    if (!sedra::openCard({sedra::CardBackend::Ports, {}}, ".", &note)) {
        EXPECT_TRUE(note.startsWith("不能访问采集卡端口") || note.startsWith("本机不能")) << note.toStdString();
    }
}
#endif

} // namespace
