#include "kivaro/core/downloadsession.h"
#include "kivaro/core/linkmessages.h"
#include "kivaro/tests/fakelinkhost.h"

#include "common/gbk.h"

#include <QDir>
#include <gtest/gtest.h>

using kivaro::DownloadSession;
using kivaro::test::FakeLinkHost;
using kivaro::test::field;
using kivaro::test::i16;
using kivaro::test::i32;
using kivaro::test::MemoryFolderSink;
using kivaro::test::pattern;
using Bar = DownloadSession::Bar;
using State = DownloadSession::State;

namespace {

class DownloadSessionTest : public ::testing::Test {
protected:
    // Feeds `bytes` in pieces of `piece` bytes.
    void feed(const QByteArray &bytes, int piece = 0)
    {
        if (piece <= 0) {
            session.receive(bytes);
            return;
        }
        for (qsizetype i = 0; i < bytes.size(); i += piece)
            session.receive(bytes.mid(i, piece));
    }
    void connectTo(const QList<QByteArray> &names, int piece = 0)
    {
        session.startConnect();
        feed(field("K-0042", 9), piece);
        feed(i16(qint16(names.size())), piece);
        QByteArray all;
        for (const QByteArray &n : names)
            all += field(n, 8);
        feed(all, piece);
    }
    // Answers one file: name, size, contents acknowledged block by block.
    void serveFile(const QByteArray &name, const QByteArray &contents, int piece = 0)
    {
        ASSERT_EQ(host.lastWrite(), QByteArray("@"));
        feed(field(name, 12), piece);
        ASSERT_EQ(host.lastWrite(), QByteArray("$"));
        const qsizetype next = host.writes.size();
        feed(i32(qint32(contents.size())), piece);
        ASSERT_EQ(host.writes.value(next), QByteArray("*"));
        for (qsizetype at = 0; at < contents.size(); at += 1024)
            feed(contents.mid(at, 1024), piece);
    }

    FakeLinkHost host;
    MemoryFolderSink sink;
    common::RecordingMessenger messenger;
    DownloadSession session{host, sink, messenger};
};

TEST_F(DownloadSessionTest, ConnectionGathersRepliesArrivingByteByByte)
{
    connectTo({"ALPHA", QByteArray("\xb9\xa4\xb3\xcc", 4), "ABCDEFGH"}, 1);

    EXPECT_EQ(host.writes, (QList<QByteArray>{"?", "!", "#"}));
    EXPECT_EQ(session.instrumentNumber(), QStringLiteral("K-0042"));
    EXPECT_EQ(session.projectNames(), (QStringList{"ALPHA", QStringLiteral("工程"), "ABCDEFGH"}));
    EXPECT_EQ(session.state(), State::Listed);
    EXPECT_FALSE(session.connectEnabled());
    EXPECT_TRUE(session.startEnabled());
    EXPECT_FALSE(host.timerRunning) << "no timer once the list is shown";
    EXPECT_TRUE(host.open);
    // Each command starts the 2000 ms timer, and the first byte of its reply stops it.
    EXPECT_EQ(host.events.mid(0, 3), (QStringList{"write 3f", "start 2000", "stop"}));
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(DownloadSessionTest, ZeroProjectsEndsTheConnectionAtOnce)
{
    connectTo({});
    EXPECT_EQ(host.writes, (QList<QByteArray>{"?", "!", "#"}));
    EXPECT_FALSE(host.open);
    EXPECT_FALSE(host.timerRunning);
    EXPECT_TRUE(session.connectEnabled());
    EXPECT_FALSE(session.startEnabled());
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::noProjectsOnInstrument()});
}

TEST_F(DownloadSessionTest, TransfersProjectsFileByFile)
{
    connectTo({"P1", "ABCDEFGH", "EMPTY"});
    const QByteArray big = pattern(3000, 1);
    const QByteArray exact = pattern(2048, 2);
    host.writes.clear();
    session.startTransfer({0, 1, 2}, QStringLiteral("/save/"));

    EXPECT_EQ(host.lastWrite(), QByteArray("P1\0\0\0\0\0\0(", 9));
    EXPECT_FALSE(session.startEnabled());
    EXPECT_FALSE(session.connectEnabled());
    EXPECT_EQ(session.statusLine(Bar::Projects), QStringLiteral("工程数量: 1/3"));
    feed(i16(2));
    EXPECT_EQ(host.writes.mid(1, 2), (QList<QByteArray>{"<", "@"}));
    EXPECT_EQ(session.bar(Bar::Files).maximum, 2);

    // A 3000-byte file: acknowledged after 1024 and 2048 bytes, written at 3000.
    feed(field("1&3A.cwd", 12));
    feed(i32(3000));
    EXPECT_EQ(session.bar(Bar::CurrentFile), (kivaro::ProgressBarState{0, 3, 0}));
    const qsizetype before = host.writes.size();
    feed(big.left(1024));
    EXPECT_EQ(host.lastWrite(), QByteArray(","));
    EXPECT_EQ(session.statusLine(Bar::CurrentFile), QStringLiteral("当前文件: 1 k/2 k"));
    feed(big.mid(1024, 1000), 7); // a block in small pieces
    feed(big.mid(2024, 24));
    feed(big.mid(2048));
    EXPECT_EQ(host.writes.mid(before), (QList<QByteArray>{",", ",", "@"}));
    EXPECT_EQ(session.statusLine(Bar::CurrentFile), QStringLiteral("当前文件: 2 k/2 k"));
    EXPECT_EQ(session.bar(Bar::CurrentFile).value, 3);
    EXPECT_EQ(sink.files.value("/save/P1/1&3A.cwd"), big);

    // A file of exactly two blocks: one acknowledgement, none after the last block.
    const qsizetype beforeExact = host.writes.size();
    serveFile("1&3B.cwd", exact);
    EXPECT_EQ(host.writes.mid(beforeExact), (QList<QByteArray>{"$", "*", ",", "ABCDEFGH("}));
    EXPECT_EQ(sink.files.value("/save/P1/1&3B.cwd"), exact);
    EXPECT_EQ(session.statusLine(Bar::Files), QStringLiteral("文件数量: 2/2"));

    // The eight-character name went out without padding; its project holds an empty file.
    feed(i16(1));
    serveFile("EMPTY.CWD", QByteArray()); // complete without a byte
    EXPECT_TRUE(sink.files.contains("/save/ABCDEFGH/EMPTY.CWD"));
    EXPECT_TRUE(sink.files.value("/save/ABCDEFGH/EMPTY.CWD").isEmpty());
    EXPECT_EQ(host.lastWrite(), QByteArray("EMPTY\0\0\0(", 9));

    // A project with no files: '<' and straight on to the end.
    feed(i16(0));
    EXPECT_EQ(host.lastWrite(), QByteArray("<"));
    EXPECT_EQ(session.state(), State::Idle);
    EXPECT_FALSE(host.open);
    EXPECT_FALSE(host.timerRunning);
    EXPECT_TRUE(session.connectEnabled());
    EXPECT_FALSE(session.startEnabled());
    EXPECT_EQ(session.bar(Bar::Projects), (kivaro::ProgressBarState{0, 3, 3}));
    // The end message says where the files went.
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::transferFinishedIn("/save/")});
    EXPECT_EQ(sink.folders, (QSet<QString>{"/save/P1/", "/save/ABCDEFGH/", "/save/EMPTY/"}));

    // Connecting again starts from empty bars and status lines, not from this transfer's.
    host.open = true;
    session.startConnect();
    for (const Bar bar : {Bar::Projects, Bar::Files, Bar::CurrentFile})
        EXPECT_EQ(session.bar(bar), kivaro::ProgressBarState());
    EXPECT_EQ(session.statusLine(Bar::Projects), QStringLiteral("工程数量: 0/0"));
    EXPECT_EQ(session.statusLine(Bar::Files), QStringLiteral("文件数量: 0/0"));
    EXPECT_EQ(session.statusLine(Bar::CurrentFile), QStringLiteral("当前文件: 0/0"));
}

TEST_F(DownloadSessionTest, NothingTickedIsRefused)
{
    connectTo({"P1"});
    host.writes.clear();
    session.startTransfer({}, QString());
    EXPECT_TRUE(host.writes.isEmpty());
    EXPECT_TRUE(host.open);
    EXPECT_TRUE(session.startEnabled());
    EXPECT_EQ(messenger.last(), kivaro::messages::noProjectChosen());
}

TEST_F(DownloadSessionTest, SilenceTimesOutAndClosesThePort)
{
    session.startConnect();
    session.receive(QByteArray()); // an event that brought nothing leaves the timer running
    ASSERT_TRUE(host.timerRunning);
    session.timeout();
    EXPECT_FALSE(host.open);
    EXPECT_TRUE(session.connectEnabled());
    EXPECT_FALSE(session.startEnabled());
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::noResponse()});

    // In the transfer phase 开始传输 is offered again.
    messenger.clear();
    host.open = true;
    connectTo({"P1"});
    session.startTransfer({0}, QString());
    feed(i16(1));
    session.timeout();
    EXPECT_TRUE(session.connectEnabled());
    EXPECT_TRUE(session.startEnabled());
    EXPECT_EQ(messenger.messages, QStringList{kivaro::messages::noResponse()});
}

TEST_F(DownloadSessionTest, RepliesThatStopShortOrRunLongTimeOut)
{
    session.startConnect();
    feed(field("K", 9).left(5));
    EXPECT_TRUE(host.timerRunning) << "a reply cut short is guarded by the timer";
    feed(QByteArray(2, 'x'));
    session.timeout();
    EXPECT_EQ(messenger.last(), kivaro::messages::noResponse());
    EXPECT_FALSE(host.open);

    messenger.clear();
    host.open = true;
    session.startConnect();
    feed(field("K", 9) + "junk");
    EXPECT_EQ(host.writes.last(), QByteArray("?")) << "a long reply is not acted on";
    EXPECT_TRUE(host.timerRunning);
    session.timeout();
    EXPECT_EQ(messenger.last(), kivaro::messages::noResponse());

    // File data that passes a block boundary without stopping on it.
    messenger.clear();
    host.open = true;
    connectTo({"P1"});
    session.startTransfer({0}, QString());
    feed(i16(1));
    feed(field("A.CWD", 12));
    feed(i32(3000));
    feed(pattern(1030, 0));
    EXPECT_EQ(host.lastWrite(), QByteArray("*"));
    EXPECT_TRUE(host.timerRunning);
    session.timeout();
    EXPECT_TRUE(sink.files.isEmpty());
    EXPECT_EQ(messenger.last(), kivaro::messages::noResponse());
}

TEST_F(DownloadSessionTest, TimeOutCountsSilenceAfterTheLastPieceUntilTheReplyRunsLong)
{
    session.startConnect();
    host.timerStarts.clear();
    feed(QByteArray(3, 'K'), 1);
    EXPECT_EQ(host.timerStarts, (QList<int>{2000, 2000, 2000}));
    feed(QByteArray(7, 'x')); // ten bytes of nine: can no longer match
    feed(QByteArray(5, 'x'), 1);
    EXPECT_EQ(host.timerStarts.size(), 3) << "a reply running long does not put the time-out off";
    EXPECT_TRUE(host.timerRunning);
    session.timeout();
    EXPECT_EQ(messenger.last(), kivaro::messages::noResponse());
}

TEST_F(DownloadSessionTest, StrayBytesAndStaleExpiriesAreIgnored)
{
    connectTo({"P1"});
    const qsizetype events = host.events.size();
    session.receive("extra");
    session.timeout();
    EXPECT_EQ(host.events.size(), events);
    EXPECT_TRUE(host.open);
    EXPECT_EQ(session.state(), State::Listed);
    EXPECT_TRUE(messenger.messages.isEmpty());
}

TEST_F(DownloadSessionTest, HostileNamesNeverLeaveTheProjectFolder)
{
    connectTo({"..", "a/b", "   ", "C:x", "GOOD"});
    session.startTransfer({0, 1, 2, 3, 4}, QStringLiteral("/save/"));
    // Four projects are skipped before anything is asked of the instrument.
    EXPECT_EQ(host.lastWrite(), QByteArray("GOOD\0\0\0\0(", 9));
    EXPECT_EQ(messenger.messages.size(), 4);
    EXPECT_EQ(messenger.messages.first(), kivaro::messages::unsafeProjectName(".."));

    messenger.clear();
    feed(i16(5));
    const QList<QByteArray> names{"../evil.cwd", "..\\evil.cwd", "C:evil.cwd", "/etc/passwd", "ok.cwd"};
    for (const QByteArray &name : names)
        serveFile(name, pattern(10, 3));
    EXPECT_EQ(sink.files.keys(), QStringList{"/save/GOOD/ok.cwd"});
    EXPECT_EQ(sink.folders, QSet<QString>{"/save/GOOD/"});
    EXPECT_EQ(messenger.messages.size(), 5); // four refused files, then the end
    EXPECT_EQ(messenger.messages.first(), kivaro::messages::unsafeFileName("GOOD", "../evil.cwd"));
    EXPECT_EQ(messenger.last(), kivaro::messages::transferFinishedIn("/save/"));
    EXPECT_EQ(session.problemCount(), 8);
}

TEST_F(DownloadSessionTest, FolderThatCannotBeMadeGivesTheOperatorAWayBack)
{
    connectTo({"P1", "P2"});
    sink.refusedFolders.insert("/ro/P2/");
    session.startTransfer({0, 1}, QStringLiteral("/ro"));
    feed(i16(1));
    serveFile("A.CWD", "abc");
    EXPECT_EQ(sink.files.value("/ro/P1/A.CWD"), QByteArray("abc"));
    EXPECT_EQ(messenger.last(), kivaro::messages::cannotCreateFolder("/ro/P2/"));
    EXPECT_FALSE(host.open);
    EXPECT_FALSE(host.timerRunning);
    EXPECT_TRUE(session.connectEnabled());
    EXPECT_TRUE(session.startEnabled());
}

TEST_F(DownloadSessionTest, FileThatCannotBeWrittenIsSkipped)
{
    connectTo({"P1"});
    sink.refusedFiles.insert("P1/A.CWD");
    session.startTransfer({0}, QString());
    feed(i16(2));
    serveFile("A.CWD", "first");
    EXPECT_EQ(messenger.last(), kivaro::messages::cannotCreateFile("P1/A.CWD"));
    serveFile("B.CWD", "second");
    EXPECT_EQ(sink.files.value("P1/B.CWD"), QByteArray("second"));
    EXPECT_EQ(session.problemCount(), 1);
}

TEST_F(DownloadSessionTest, RefusedWriteAbandonsTheExchange)
{
    connectTo({"P1"});
    host.failWrites = true;
    session.startTransfer({0}, QString());
    EXPECT_EQ(session.state(), State::Idle);
    EXPECT_FALSE(host.open);
    EXPECT_TRUE(session.connectEnabled());
}

TEST(DownloadSessionPaths, ProjectFolderJoinsWithOneSeparator)
{
    EXPECT_EQ(DownloadSession::projectFolder("", "P"), "P/");
    EXPECT_EQ(DownloadSession::projectFolder("/d/", "P"), "/d/P/");
    EXPECT_EQ(DownloadSession::projectFolder("/d", "P"), "/d/P/");
    EXPECT_EQ(DownloadSession::projectFolder("C:\\data\\", "P"), "C:\\data\\P/");
    // An empty save path is the current folder, named in full at the end.
    EXPECT_EQ(DownloadSession::savedFolder(""), QDir::currentPath() + "/");
    EXPECT_EQ(DownloadSession::savedFolder("/d"), "/d/");
}

} // namespace
