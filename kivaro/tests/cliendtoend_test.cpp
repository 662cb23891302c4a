// kivaro-cli against the simulated instrument through a pseudo-terminal:
// downloaded folders are compared byte for byte with what the instrument
// served, and uploaded images with the file's image.

#include "kivaro/core/linkmessages.h"
#include "kivaro/core/updatefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray pattern(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 131 + seed * 7 + (i >> 8)) & 0xff);
    return b;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every file below `root` by relative path, and every folder.
QMap<QString, QByteArray> tree(const QString &root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        QFile f(path);
        if (QFileInfo(path).isDir())
            entries[rel + "/"] = QByteArray();
        else if (f.open(QIODevice::ReadOnly))
            entries[rel] = f.readAll();
    }
    return entries;
}

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class SimulatedInstrument {
public:
    explicit SimulatedInstrument(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(INSTRUMENT_SIM), QStringList { "--pty" } + arguments);
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) { }
        const QString first = QString::fromUtf8(m_process.readLine()).trimmed();
        if (first.startsWith("PTY "))
            m_device = first.mid(4);
    }
    ~SimulatedInstrument()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
    QString device() const { return m_device; }
    // Waits up to five seconds for a line of output holding `text`.
    bool waitForOutput(const QString &text)
    {
        for (int i = 0; i < 50 && !m_output.contains(text); ++i) {
            m_process.waitForReadyRead(100);
            m_output += QString::fromUtf8(m_process.readAllStandardOutput());
        }
        return m_output.contains(text);
    }

private:
    QProcess m_process;
    QString m_device;
    QString m_output;
};

CliRun cli(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(KIVARO_CLI), arguments);
    CliRun run;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
    }
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

class CliEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_served = m_dir.filePath("served");
        writeFile(m_served + "/P1/1&3A.cwd", pattern(3000, 1));
        writeFile(m_served + "/P1/1&3B.cwd", pattern(2048, 2));
        writeFile(m_served + "/P1/empty.cwd", QByteArray());
        writeFile(m_served + QStringLiteral("/工地二号/x.cwd"), pattern(1025, 3));
        writeFile(m_served + "/ABCDEFGH/a.cwd", pattern(10, 4));
        QDir().mkpath(m_served + "/NOFILES");
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QString m_served;
};

TEST_F(CliEndToEnd, ListsTheInstrumentWithoutDownloading)
{
    SimulatedInstrument sim({ "--projects", m_served, "--number", "K-77" });
    ASSERT_FALSE(sim.device().isEmpty());
    const CliRun run = cli({ "download", "--device", sim.device(), "--baud", "38400", "--save", path("dl") });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("仪器编号: K-77")));
    for (const QString &name :
        { QStringLiteral("P1"), QStringLiteral("工地二号"), QStringLiteral("ABCDEFGH") })
        EXPECT_TRUE(run.out.contains(QStringLiteral("工程: ") + name)) << run.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("dl")));
}

TEST_F(CliEndToEnd, DownloadsProjectsByteForByteFromRepliesInPieces)
{
    SimulatedInstrument sim({ "--projects", m_served, "--split", "300", "--split-gap-ms", "2" });
    const CliRun run = cli({ "download", "--device", sim.device(), "--save", path("dl"), "--projects",
        QStringLiteral("P1,工地二号,ABCDEFGH,NOFILES") });
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(kivaro::messages::transferFinished()));
    EXPECT_EQ(tree(path("dl")), tree(m_served));

    // A second download overwrites what the first one wrote.
    writeFile(path("dl") + "/P1/1&3A.cwd", "stale");
    const CliRun again
        = cli({ "download", "--device", sim.device(), "--save", path("dl"), "--projects", "P1" });
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(tree(path("dl")), tree(m_served));
}

TEST_F(CliEndToEnd, MisbehavingInstrumentEndsInTheTimeOutMessage)
{
    const QStringList misbehaviours[] = {
        { "--silent-after", "5" }, // falls silent inside the first project
        { "--short-reply", "2" }, // the project count stops short
        { "--garbage-reply", "7" }, // the first file's size runs long
    };
    for (const QStringList &mis : misbehaviours) {
        SCOPED_TRACE(mis.join(' ').toStdString());
        SimulatedInstrument sim(QStringList { "--projects", m_served } + mis);
        const CliRun run = cli({ "download", "--device", sim.device(), "--save", path("dl"), "--projects",
            "P1", "--response-ms", "200" });
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(kivaro::messages::noResponse())) << run.err.toStdString();
    }
    const CliRun unknown = cli({ "download", "--device", "/nonexistent/tty", "--save", path("dl") });
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("/nonexistent/tty"));
}

TEST_F(CliEndToEnd, UpgradesWhenTheFileIsNewer)
{
    for (const int size : { 1025, 2048, 0 }) {
        SCOPED_TRACE(size);
        const QByteArray image = pattern(size, 9);
        writeFile(path("fw.update"), kivaro::UpdateFile::build("FW", 1.2f, image));
        QFile::remove(path("kept"));

        SimulatedInstrument older(
            { "--mode", "upgrade", "--instrument-version", "120", "--image-out", path("kept") });
        const CliRun run = cli({ "upgrade", "--device", older.device(), path("fw.update") });
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(kivaro::messages::upgradeFinished()));
        ASSERT_TRUE(older.waitForOutput(QStringLiteral("UPLOADED %1 bytes").arg(size)));
        QFile kept(path("kept"));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), image);
    }

    SimulatedInstrument newer({ "--mode", "upgrade", "--instrument-version", "130" });
    const CliRun skip = cli({ "upgrade", "--device", newer.device(), path("fw.update") });
    EXPECT_EQ(skip.exitCode, 0);
    EXPECT_TRUE(skip.out.contains(kivaro::messages::instrumentNewer()));
}

TEST_F(CliEndToEnd, ChecksUpdateFiles)
{
    QByteArray file = kivaro::UpdateFile::build("FW", 1.5f, pattern(100, 1));
    writeFile(path("good.update"), file);
    const CliRun good = cli({ "check", path("good.update") });
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_TRUE(good.out.contains(QStringLiteral("程序版本: 1.5")));
    file[70] = char(file[70] + 1);
    writeFile(path("bad.update"), file);
    const CliRun bad = cli({ "check", path("bad.update") });
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(kivaro::messages::badUpdateFile()));
    EXPECT_EQ(cli({ "upgrade", "--device", "/dev/null", path("bad.update") }).exitCode, 1);
    EXPECT_EQ(cli({ "nonsense" }).exitCode, 2);
    EXPECT_EQ(cli({ "--version" }).exitCode, 0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
