#include "tools/instrument-sim/siminstrument.h"

#include <gtest/gtest.h>

using instrumentsim::SimFile;
using instrumentsim::SimInstrument;
using instrumentsim::SimProject;

namespace {

QByteArray joined(const QList<QByteArray> &replies)
{
    QByteArray all;
    for (const QByteArray &r : replies)
        all += r;
    return all;
}

SimInstrument downloadInstrument()
{
    SimInstrument sim(SimInstrument::Mode::Download);
    sim.setNumber("N1");
    sim.setProjects(
        {SimProject{"P1", {SimFile{"A.CWD", QByteArray(2048, 'a')}, SimFile{"B.CWD", "b"}}}, SimProject{"?EMPTY", {}}});
    return sim;
}

TEST(SimInstrument, ServesAFileOfWholeBlocksWithoutAThirdBlock)
{
    SimInstrument sim = downloadInstrument();
    EXPECT_EQ(joined(sim.feed("?")), QByteArray("N1\0\0\0\0\0\0\0", 9));
    EXPECT_EQ(joined(sim.feed("!")), QByteArray("\x02\x00", 2));
    EXPECT_EQ(joined(sim.feed("#")).size(), 16);
    EXPECT_EQ(joined(sim.feed(QByteArray("P1\0\0\0\0\0\0(", 9))), QByteArray("\x02\x00", 2));
    EXPECT_TRUE(sim.feed("<").isEmpty());
    EXPECT_EQ(joined(sim.feed("@")), QByteArray("A.CWD\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(joined(sim.feed("$")), QByteArray("\x00\x08\x00\x00", 4));
    EXPECT_EQ(joined(sim.feed("*")), QByteArray(1024, 'a'));
    EXPECT_EQ(joined(sim.feed(",")), QByteArray(1024, 'a'));
    // A ',' after the last block of a file of whole blocks is not answered.
    EXPECT_TRUE(sim.feed(",").isEmpty());
    EXPECT_EQ(joined(sim.feed("@")), QByteArray("B.CWD\0\0\0\0\0\0\0", 12));
}

TEST(SimInstrument, TellsProjectRequestsFromSingleCommands)
{
    SimInstrument sim = downloadInstrument();
    sim.feed("?");
    sim.feed("!");
    sim.feed("#");
    // A project whose name starts with a command byte, sent in one piece.
    EXPECT_EQ(joined(sim.feed(QByteArray("?EMPTY\0\0(", 9))), QByteArray("\x00\x00", 2));
    // A lone '?' where a request may come is a command once the line is quiet.
    EXPECT_TRUE(sim.feed("?").isEmpty());
    EXPECT_EQ(joined(sim.quiet()), QByteArray("N1\0\0\0\0\0\0\0", 9));
}

TEST(SimInstrument, KeepsAnUploadedImage)
{
    SimInstrument sim(SimInstrument::Mode::Upgrade);
    sim.setVersion(120);
    EXPECT_EQ(joined(sim.feed("?")), QByteArray("\x78\x00", 2));
    EXPECT_EQ(joined(sim.feed("y")), QByteArray("y"));
    const QByteArray image(1025, '\x01');
    EXPECT_EQ(joined(sim.feed(QByteArray("\x01\x04\x00\x00\x01\x04\x00\x00", 8))), QByteArray("g"));
    EXPECT_EQ(joined(sim.feed(image.left(1000))), QByteArray());
    EXPECT_EQ(joined(sim.feed(image.mid(1000, 24))), QByteArray("g"));
    EXPECT_TRUE(sim.feed(image.mid(1024)).isEmpty());
    EXPECT_EQ(sim.takeUpload(), image);
    EXPECT_FALSE(sim.takeUpload().has_value());
}

} // namespace
