// sedra-cli end to end with the simulated card: acquisition with its port
// log, analysis, exports, and the refusals of a wrong command line or a
// card that does not answer.

#include "common/fileio.h"
#include "sedra/core/threecomponentreader.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun cli(const QStringList &args, const QString &card = "sim", const QString &sim = "freq=2.0/3.5/6.0,seed=7")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SEDRA_CARD", card);
    env.insert("SEDRA_SIM", sim);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SEDRA_CLI), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

class SedraCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
};

TEST_F(SedraCli, AcquireLogsEveryPortAccessAndSaves)
{
    const CliRun r = cli({"acquire", path("a.cwd"), "--channels=3", "--samples", "1024", "--site", "工地A", "--point",
                          "3", "--port-log", path("ports.log")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("保存本次数据成功！"));
    EXPECT_TRUE(r.out.contains("卓越周期 0.51 s"));
    EXPECT_EQ(QFile(path("a.cwd")).size(), 6400);

    QFile log(path("ports.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_GT(lines.size(), 11);
    EXPECT_EQ(lines[0], "R 0x324 13655"); // detection
    EXPECT_EQ(lines[1], "W 0x300 8000");
    EXPECT_EQ(lines[2], "W 0x304 0");
    EXPECT_EQ(lines[3], "W 0x30C 0");
    EXPECT_EQ(lines[4], "W 0x314 3");
    EXPECT_EQ(lines[5], "W 0x308 5");
    EXPECT_EQ(lines[10], "W 0x310 1");
    int data = 0, ready = 0;
    for (const QByteArray &l : lines) {
        data += l.startsWith("R 0x314 ");
        ready += l.startsWith("R 0x318 ") && (l.split(' ').value(2).toInt() & 1);
    }
    EXPECT_EQ(data, 4 + 3 * 1024);
    EXPECT_EQ(ready, 1024);
    EXPECT_EQ(lines[lines.size() - 2], "W 0x310 0");

    const CliRun a = cli({"analyze", path("a.cwd"), "--json"});
    ASSERT_EQ(a.exitCode, 0) << a.err.toStdString();
    const QJsonArray channels = QJsonDocument::fromJson(a.out).object()["channels"].toArray();
    ASSERT_EQ(channels.size(), 3);
    EXPECT_NEAR(channels[0].toObject()["peakFrequency"].toDouble(), 1.953125, 1e-6);
    EXPECT_NEAR(channels[0].toObject()["period"].toDouble(), 0.512, 1e-6);
    EXPECT_NEAR(channels[1].toObject()["peakFrequency"].toDouble(), 3.5, 0.13);

    ASSERT_EQ(cli({"export-text", path("a.cwd"), path("a.txt")}).exitCode, 0);
    EXPECT_GT(QFile(path("a.txt")).size(), 3 * 1024 * 2);
    ASSERT_EQ(cli({"snapshot", path("a.cwd"), path("s.bmp")}).exitCode, 0);
    EXPECT_EQ(QFile(path("s.bmp_2.bmp")).size(), 960054);
    ASSERT_EQ(cli({"print", path("a.cwd"), path("p.pdf")}).exitCode, 0);
    EXPECT_GT(QFile(path("p.pdf")).size(), 1000);
}

TEST_F(SedraCli, CardFailuresLeaveNothing)
{
    CliRun r = cli({"acquire", path("never.cwd"), "--port-log", path("never.log")}, "sim", "never-ready");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("没有响应"));
    EXPECT_FALSE(QFile::exists(path("never.cwd")));
    QFile log(path("never.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().endsWith("W 0x310 0\n")); // the card was stopped

    r = cli({"acquire", path("absent.cwd")}, "sim", "absent");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(path("absent.cwd")));
    EXPECT_EQ(cli({"detect"}, "none").exitCode, 1);
    EXPECT_EQ(cli({"detect"}, "sim", "absent").exitCode, 1);
    EXPECT_EQ(cli({"detect"}).exitCode, 0);
    EXPECT_EQ(cli({"detect"}, "sim", "warp-speed").exitCode, 1);
}

TEST_F(SedraCli, WrongCommandLinesAreRefused)
{
    const QString out = path("x.cwd");
    for (const QStringList &args : QList<QStringList>{{},
                                                      {"frobnicate"},
                                                      {"acquire"},
                                                      {"acquire", out, "extra"},
                                                      {"acquire", out, "--channels", "5"},
                                                      {"acquire", out, "--channels=2", "--channels=3"},
                                                      {"acquire", out, "--samples", "1000"},
                                                      {"acquire", out, "--gain", "7"},
                                                      {"acquire", out, "--interval", "0"},
                                                      {"acquire", out, "--unknown"},
                                                      {"acquire", out, "--site", "😀"},
                                                      {"analyze", out, "--json", "--json"},
                                                      {"detect", "--card", "serial"}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));

    const CliRun help = cli({"acquire", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char *option :
         {"--channels", "--samples", "--interval", "--delay", "--gain", "--site", "--point", "--port-log", "--card"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    EXPECT_TRUE(help.out.contains("默认：8000"));
    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("sedra-cli "));
}

TEST_F(SedraCli, FilesThatAreNoRecord)
{
    EXPECT_EQ(cli({"analyze", path("missing.cwd")}).exitCode, 1);
    ASSERT_TRUE(common::writeFileAtomically(path("text.cwd"), QByteArray(300, 'W')).ok);
    const CliRun r = cli({"analyze", path("text.cwd")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("不是有效的数据文件"));
    ASSERT_EQ(cli({"acquire", path("a.cwd")}).exitCode, 0);
    EXPECT_EQ(cli({"snapshot", path("a.cwd"), path("no/such/dir.bmp")}).exitCode, 1);
    EXPECT_EQ(cli({"print", path("a.cwd"), path("no/such/dir.pdf")}).exitCode, 1);
}

// A record without samples (what a cancelled acquisition used to leave) and
// one whose samples are all zeros are refused by every command that
// analyses or draws them, and nothing is written.
TEST_F(SedraCli, RecordsWithoutDataAreRefused)
{
    ASSERT_EQ(cli({"acquire", path("a.cwd"), "--channels=3"}).exitCode, 0);
    QFile acquired(path("a.cwd"));
    ASSERT_TRUE(acquired.open(QIODevice::ReadOnly));
    QByteArray zeros = acquired.readAll();
    zeros.replace(256, zeros.size() - 256, QByteArray(zeros.size() - 256, '\0'));
    ASSERT_TRUE(common::writeFileAtomically(path("zeros.cwd"), zeros).ok);
    ASSERT_TRUE(common::writeFileAtomically(path("empty.cwd"), QByteArray(256, '\0')).ok);

    for (const QString &file : {path("zeros.cwd"), path("empty.cwd")}) {
        for (const QStringList &args : QList<QStringList>{{"analyze", file},
                                                          {"analyze", file, "--json"},
                                                          {"print", file, path("out.pdf")},
                                                          {"snapshot", file, path("out.bmp")}}) {
            const CliRun r = cli(args);
            EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
            EXPECT_TRUE(r.err.contains("不能处理")) << r.err.toStdString();
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        }
    }
    EXPECT_TRUE(cli({"analyze", path("zeros.cwd")}).err.contains("所有采样都是 0"));
    EXPECT_TRUE(cli({"analyze", path("empty.cwd")}).err.contains("没有采样数据"));
    EXPECT_FALSE(QFile::exists(path("out.pdf")));
    EXPECT_FALSE(QFile::exists(path("out.bmp")));
}

} // namespace

TEST_F(SedraCli, LongAcquisitionWritesOneMiniSeedFile)
{
    const QString out = path("long.mseed");
    const CliRun r = cli({"acquire", "--minutes", "10", "--mseed", out, "--interval", "10000", "--site", "lake",
                          "--point", "P1", "--components", "2,1,3"},
                         "sim", "hv:f0=2.0,a0=4,damping=0.15,transients=4,seed=1,fast");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("各块之间没有间断")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("LA.P1.00")) << r.out.toStdString();
    const sedra::ThreeComponentReadResult read = sedra::readThreeComponent({out});
    ASSERT_TRUE(read.ok()) << read.error.toStdString();
    EXPECT_EQ(read.record.sampleCount(), 60000u);
    EXPECT_DOUBLE_EQ(read.record.sampleInterval, 0.01);
    EXPECT_EQ(read.record.network, QStringLiteral("LA"));
    EXPECT_EQ(read.record.station, QStringLiteral("P1"));
    ASSERT_TRUE(read.record.start);
    EXPECT_LT(std::abs(read.record.start->secsTo(QDateTime::currentDateTimeUtc())), 120);
}

TEST_F(SedraCli, LongAcquisitionCommandLinesAreCheckedBeforeTheCard)
{
    const QString out = path("x.mseed");
    const QString sim = "hv:seed=1,fast";
    const QList<QStringList> wrong{
        {"acquire", "--minutes", "5", "--mseed", out},
        {"acquire", "--minutes", "61", "--mseed", out},
        {"acquire", "--minutes", "abc", "--mseed", out},
        {"acquire", "--minutes", "10"},
        {"acquire", "--mseed", out},
        {"acquire", path("a.cwd"), "--minutes", "10", "--mseed", out},
        {"acquire", "--minutes", "10", "--mseed", out, "--samples", "1024"},
        {"acquire", "--minutes", "10", "--mseed", out, "--components", "1,1,3"},
        {"acquire", "--minutes", "10", "--mseed", out, "--components", "1,2"},
        {"acquire", path("a.cwd"), "--components", "1,2,3"},
        {"acquire"},
    };
    for (const QStringList &args : wrong) {
        const CliRun r = cli(args, "sim", sim);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    // A card that stops answering: failure, nothing written.
    const CliRun stuck = cli({"acquire", "--minutes", "10", "--mseed", out}, "sim", "hv:fast,never-ready");
    EXPECT_EQ(stuck.exitCode, 1);
    EXPECT_TRUE(stuck.err.contains("未保留")) << stuck.err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}
