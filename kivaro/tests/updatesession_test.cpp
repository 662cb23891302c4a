#include "kivaro/core/linkmessages.h"
#include "kivaro/core/updatefile.h"
#include "kivaro/core/updatesession.h"
#include "kivaro/tests/fakelinkhost.h"

#include <gtest/gtest.h>

using kivaro::UpdateFile;
using kivaro::UpdatePlan;
using kivaro::UpdateSession;
using kivaro::test::FakeLinkHost;
using kivaro::test::i16;
using UpdateState = UpdateSession::State;

namespace {

QByteArray sessionImage(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + 3) & 0xff);
    return b;
}
// The plan as the page builds it: from the shown text of a loaded file.
UpdatePlan planFor(float version, const QByteArray &img)
{
    const UpdateFile file = UpdateFile::fromBytes(UpdateFile::build("FW", version, img));
    EXPECT_TRUE(file.isValid());
    return UpdatePlan::fromShownText(file.sizeText(), file.versionText(), file.checksumText(), file.image());
}

class UpdateSessionTest : public ::testing::Test {
protected:
    // Runs the exchange up to the first block request.
    void acceptUpgrade(const UpdatePlan &plan, qint16 instrumentVersion = 90)
    {
        session.start(plan);
        session.receive(i16(instrumentVersion));
        ASSERT_EQ(host.lastWrite(), QByteArray("y"));
        session.receive("y");
        ASSERT_EQ(session.state(), UpdateState::WaitBlockRequest);
    }

    FakeLinkHost host;
    common::RecordingMessenger messenger;
    UpdateSession session{host, messenger};
};

TEST_F(UpdateSessionTest, VersionRepliesAreComparedInSinglePrecision)
{
    struct Case {
        qint16 reply;
        float fileVersion;
        bool upgrades;
        QString message;
    };
    const Case cases[] = {
        {100, 1.0f, false, kivaro::messages::instrumentSame()},
        {101, 1.01f, false, kivaro::messages::instrumentSame()},
        {120, 1.2f, true, QString()}, // 120 × 0.01 rounds just below 1.2
        {121, 1.2f, false, kivaro::messages::instrumentNewer()},
        {120, 1.19999993f, true, QString()}, // shown and used as 1.2
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.reply);
        FakeLinkHost h;
        common::RecordingMessenger m;
        UpdateSession s(h, m);
        s.start(planFor(c.fileVersion, sessionImage(10)));
        EXPECT_EQ(h.writes, QList<QByteArray>{"?"});
        s.receive(i16(c.reply).left(1));
        s.receive(i16(c.reply).mid(1));
        if (c.upgrades) {
            EXPECT_EQ(h.lastWrite(), QByteArray("y"));
            EXPECT_EQ(s.state(), UpdateState::WaitConfirm);
            EXPECT_TRUE(h.open);
        } else {
            EXPECT_EQ(h.lastWrite(), QByteArray("n"));
            EXPECT_EQ(s.state(), UpdateState::Idle);
            EXPECT_FALSE(h.open);
            EXPECT_FALSE(h.timerRunning);
            EXPECT_EQ(m.messages, QStringList{c.message});
        }
    }
}

TEST_F(UpdateSessionTest, WholeBlocksEndWithoutAFurtherReply)
{
    const QByteArray img = sessionImage(3 * 1024);
    acceptUpgrade(planFor(2.0f, img));
    const quint32 sum = UpdateFile::imageSum(img);
    QByteArray announcement = QByteArray::fromHex("000c0000");
    for (int i = 0; i < 4; ++i)
        announcement.append(char((sum >> (8 * i)) & 0xff));
    EXPECT_EQ(host.lastWrite(), announcement);
    EXPECT_EQ(host.pauses, QList<int>{100});
    EXPECT_EQ(session.bar().maximum, 3);

    host.writes.clear();
    session.receive("g");
    EXPECT_EQ(host.timerMs, 20000);
    EXPECT_EQ(session.statusLine(), QStringLiteral("传送进度: 已传送 0 字节,共有 3072 字节."));
    session.receive("g");
    EXPECT_TRUE(host.open);
    session.receive("g");
    EXPECT_EQ(host.writes, (QList<QByteArray>{img.left(1024), img.mid(1024, 1024), img.mid(2048)}));
    EXPECT_EQ(host.pauses, (QList<int>{100, 100, 100, 100}));
    EXPECT_FALSE(host.open);
    EXPECT_FALSE(host.timerRunning);
    EXPECT_EQ(session.bytesSent(), 3072);
    EXPECT_EQ(session.bar().value, 3);
    EXPECT_EQ(session.statusLine(), QStringLiteral("传送进度: 已传送 2048 字节,共有 3072 字节."));
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::upgradeFinished()});

    // A second upgrade starts from an empty bar and the first status line.
    host.open = true;
    session.start(planFor(2.0f, img));
    EXPECT_EQ(session.bar(), (kivaro::ProgressBarState{0, 3, 0}));
    EXPECT_EQ(session.statusLine(), UpdateSession::initialStatus());
}

TEST_F(UpdateSessionTest, ShortLastBlockAndEmptyImage)
{
    const QByteArray img = sessionImage(1025);
    acceptUpgrade(planFor(2.0f, img));
    host.writes.clear();
    host.timerStarts.clear();
    session.receive("g");
    session.receive("g");
    EXPECT_EQ(host.writes, (QList<QByteArray>{img.left(1024), img.mid(1024)}));
    EXPECT_EQ(host.timerStarts, QList<int>{20000});
    EXPECT_EQ(session.state(), UpdateState::Idle);

    FakeLinkHost h;
    common::RecordingMessenger m;
    UpdateSession s(h, m);
    s.start(planFor(2.0f, QByteArray()));
    s.receive(i16(100));
    s.receive("y");
    EXPECT_EQ(h.lastWrite(), QByteArray(8, '\0'));
    s.receive("g");
    EXPECT_EQ(h.lastWrite(), QByteArray());
    EXPECT_EQ(s.state(), UpdateState::Idle);
    EXPECT_EQ(m.messages, QStringList{kivaro::messages::upgradeFinished()});
}

TEST_F(UpdateSessionTest, BlocksNeverReadBeyondTheImage)
{
    UpdatePlan plan = planFor(2.0f, sessionImage(100));
    plan.size = 2000; // as if the shown size had been larger than the image
    acceptUpgrade(plan);
    host.writes.clear();
    session.receive("g");
    session.receive("g");
    EXPECT_EQ(host.writes, (QList<QByteArray>{plan.image, QByteArray()}));
}

TEST_F(UpdateSessionTest, WrongRepliesAndSilenceTimeOut)
{
    session.start(planFor(2.0f, sessionImage(10)));
    session.receive(i16(100));
    session.receive("x"); // not the confirmation
    EXPECT_EQ(session.state(), UpdateState::WaitConfirm);
    EXPECT_TRUE(host.timerRunning);
    session.timeout();
    EXPECT_EQ(session.state(), UpdateState::Idle);
    EXPECT_FALSE(host.open);
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::noResponse()});

    messenger.clear();
    acceptUpgrade(planFor(2.0f, sessionImage(2000)));
    session.receive("g");
    EXPECT_EQ(host.timerMs, 20000);
    session.timeout();
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::noResponse()});
    session.timeout(); // stale
    EXPECT_EQ(messenger.messages.size(), 1);
}

} // namespace
