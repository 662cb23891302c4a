// kivaro-cli against the simulated instrument through a pseudo-terminal:
// downloaded folders are compared byte for byte with what the instrument
// served, and uploaded images with the file's image.

#include "kivaro/core/linkmessages.h"
#include "kivaro/core/updatefile.h"
#include "kivaro/tests/fakelinkhost.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <pty.h>
#include <unistd.h>
#include <limits>
#include <gtest/gtest.h>

namespace {

using kivaro::test::pattern;

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
        m_process.start(QStringLiteral(INSTRUMENT_SIM), QStringList{"--pty"} + arguments);
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {}
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
    SimulatedInstrument sim({"--projects", m_served, "--number", "K-77"});
    ASSERT_FALSE(sim.device().isEmpty());
    const CliRun run = cli({"download", "--device", sim.device(), "--baud", "38400"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The instrument number and one line per project, and nothing else.
    EXPECT_EQ(run.out, QStringLiteral("仪器编号: K-77\n工程: ABCDEFGH\n工程: NOFILES\n工程: P1\n工程: 工地二号\n"));
    // A save folder without projects would download nothing: refused with the reason.
    const CliRun saveOnly = cli({"download", "--device", sim.device(), "--save", path("dl")});
    EXPECT_EQ(saveOnly.exitCode, 2);
    EXPECT_TRUE(saveOnly.err.contains("--projects"));
    EXPECT_FALSE(QFileInfo::exists(path("dl")));
}

TEST_F(CliEndToEnd, DownloadsProjectsByteForByteFromRepliesInPieces)
{
    SimulatedInstrument sim({"--projects", m_served, "--split", "300", "--split-gap-ms", "2"});
    const CliRun run = cli({"download", "--device", sim.device(), "--save", path("dl"), "--projects",
                            QStringLiteral("P1,工地二号,ABCDEFGH,NOFILES")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(kivaro::messages::transferFinishedIn(path("dl") + "/"))) << run.out.toStdString();
    EXPECT_EQ(tree(path("dl")), tree(m_served));

    // A second download overwrites what the first one wrote.
    writeFile(path("dl") + "/P1/1&3A.cwd", "stale");
    const CliRun again = cli({"download", "--device", sim.device(), "--save", path("dl"), "--projects", "P1"});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(tree(path("dl")), tree(m_served));
}

TEST_F(CliEndToEnd, DownloadProgressIsALinePerFileInALogAndOneLineInPlaceOnATerminal)
{
    SimulatedInstrument sim({"--projects", m_served});
    // Output to a pipe: no line per kB, a line per file and per project.
    const CliRun run = cli({"download", "--device", sim.device(), "--save", path("dl"), "--projects", "P1"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.filter(QStringLiteral("当前文件")).size(), 0) << run.out.toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("文件数量")),
              QStringList(
                  {QStringLiteral("文件数量: 1/3"), QStringLiteral("文件数量: 2/3"), QStringLiteral("文件数量: 3/3")}))
        << run.out.toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("工程数量")), QStringList{QStringLiteral("工程数量: 1/1")});
    EXPECT_FALSE(run.out.contains('\r'));

    // Output to a terminal: one line rewritten in place, the end message below it.
    int master = -1;
    int slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    QProcess p;
    p.setStandardOutputFile(QString::fromLocal8Bit(name));
    p.start(QStringLiteral(KIVARO_CLI),
            {"download", "--device", sim.device(), "--save", path("dl2"), "--projects", "P1"});
    ASSERT_TRUE(p.waitForFinished(30000));
    ::close(slave);
    QByteArray bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, qsizetype(n));
    ::close(master);
    EXPECT_EQ(p.exitCode(), 0);
    const QString shown = QString::fromUtf8(bytes);
    // The terminal turns each line end into "\r\n"; the updates in place are a bare "\r".
    const QStringList shownLines = shown.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    const QStringList progress = shownLines.filter(QStringLiteral("文件数量"));
    ASSERT_EQ(progress.size(), 1) << shown.toStdString();
    EXPECT_GE(progress[0].count('\r'), 3) << shown.toStdString();
    EXPECT_TRUE(progress[0].contains(QStringLiteral("工程数量: 1/1  文件数量: 3/3"))) << shown.toStdString();
    const QString afterProgress = shown.mid(shown.lastIndexOf(QStringLiteral("\x1b[K")) + 3);
    EXPECT_TRUE(afterProgress.startsWith(QStringLiteral("\r\n"))) << shown.toStdString();
    EXPECT_TRUE(QString(afterProgress)
                    .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                    .contains(kivaro::messages::transferFinishedIn(path("dl2") + "/")))
        << shown.toStdString();
    EXPECT_EQ(tree(path("dl2") + "/P1"), tree(m_served + "/P1"));
}

TEST_F(CliEndToEnd, MisbehavingInstrumentEndsInTheTimeOutMessage)
{
    const QStringList misbehaviours[] = {
        {"--silent-after", "5"}, // falls silent inside the first project
        {"--short-reply", "2"}, // the project count stops short
        {"--garbage-reply", "7"}, // the first file's size runs long
    };
    for (const QStringList &mis : misbehaviours) {
        SCOPED_TRACE(mis.join(' ').toStdString());
        SimulatedInstrument sim(QStringList{"--projects", m_served} + mis);
        const CliRun run = cli(
            {"download", "--device", sim.device(), "--save", path("dl"), "--projects", "P1", "--response-ms", "200"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(kivaro::messages::noResponse())) << run.err.toStdString();
    }
    // A device given by its path is named as itself, not as a port number.
    const CliRun unknown = cli({"download", "--device", "/nonexistent/tty"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("/nonexistent/tty")) << unknown.err.toStdString();
    EXPECT_FALSE(unknown.err.contains("COM")) << unknown.err.toStdString();
}

TEST_F(CliEndToEnd, UpgradesWhenTheFileIsNewer)
{
    for (const int size : {1025, 2048, 0}) {
        SCOPED_TRACE(size);
        const QByteArray image = pattern(size, 9);
        writeFile(path("fw.update"), kivaro::UpdateFile::build("FW", 1.2f, image));
        QFile::remove(path("kept"));

        SimulatedInstrument older({"--mode", "upgrade", "--instrument-version", "120", "--image-out", path("kept")});
        const CliRun run = cli({"upgrade", "--device", older.device(), path("fw.update")});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(kivaro::messages::upgradeFinished()));
        ASSERT_TRUE(older.waitForOutput(QStringLiteral("UPLOADED %1 bytes").arg(size)));
        QFile kept(path("kept"));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), image);
    }

    SimulatedInstrument newer({"--mode", "upgrade", "--instrument-version", "130"});
    const CliRun skip = cli({"upgrade", "--device", newer.device(), path("fw.update")});
    EXPECT_EQ(skip.exitCode, 0);
    EXPECT_TRUE(skip.out.contains(kivaro::messages::instrumentNewer()));
}

TEST_F(CliEndToEnd, ChecksUpdateFiles)
{
    QByteArray file = kivaro::UpdateFile::build("FW", 1.5f, pattern(100, 1));
    writeFile(path("good.update"), file);
    const CliRun good = cli({"check", path("good.update")});
    EXPECT_EQ(good.exitCode, 0);
    EXPECT_TRUE(good.out.contains(QStringLiteral("程序版本: 1.5")));
    file[70] = char(file[70] + 1);
    writeFile(path("bad.update"), file);
    // A damaged file gets the error alone, not header values that look valid.
    const CliRun bad = cli({"check", path("bad.update")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err.trimmed(), kivaro::messages::badUpdateFile());
    EXPECT_TRUE(bad.out.isEmpty()) << bad.out.toStdString();
    EXPECT_EQ(cli({"upgrade", "--device", "/dev/null", path("bad.update")}).exitCode, 1);
}

TEST_F(CliEndToEnd, AVersionThatIsNoNumberIsRefusedByCheckAndBeforeUpgrading)
{
    for (const float version : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        SCOPED_TRACE(version);
        writeFile(path("odd.update"), kivaro::UpdateFile::build("FW", version, pattern(100, 1)));
        const CliRun check = cli({"check", path("odd.update")});
        EXPECT_EQ(check.exitCode, 1);
        EXPECT_TRUE(check.err.startsWith(kivaro::messages::badUpdateFile())) << check.err.toStdString();
        EXPECT_TRUE(check.err.contains(QStringLiteral("程序版本"))) << check.err.toStdString();
        EXPECT_FALSE(check.out.contains(QStringLiteral("文件完好")));

        // An instrument that would take any newer file gets nothing.
        QFile::remove(path("kept"));
        SimulatedInstrument older({"--mode", "upgrade", "--instrument-version", "100", "--image-out", path("kept")});
        const CliRun run = cli({"upgrade", "--device", older.device(), path("odd.update")});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains(kivaro::messages::badUpdateFile())) << run.err.toStdString();
        EXPECT_FALSE(older.waitForOutput(QStringLiteral("UPLOADED")));
        EXPECT_FALSE(QFile::exists(path("kept")));
    }
}

TEST_F(CliEndToEnd, MakeUpdateBuildsAFileTheInstrumentTakes)
{
    const QByteArray image = pattern(2500, 5);
    writeFile(path("fw.bin"), image);
    const CliRun made
        = cli({"make-update", path("fw.bin"), "--name", QStringLiteral("主程序"), "--version=1.25", path("fw.update")});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    const kivaro::UpdateFile file = kivaro::UpdateFile::load(path("fw.update"));
    ASSERT_TRUE(file.isValid());
    EXPECT_EQ(file.image(), image);
    EXPECT_EQ(file.header().name, QStringLiteral("主程序"));
    EXPECT_EQ(file.versionText(), "1.25");
    EXPECT_EQ(cli({"check", path("fw.update")}).exitCode, 0);

    SimulatedInstrument older({"--mode", "upgrade", "--instrument-version", "124", "--image-out", path("kept")});
    EXPECT_EQ(cli({"upgrade", "--device", older.device(), path("fw.update")}).exitCode, 0);
    ASSERT_TRUE(older.waitForOutput(QStringLiteral("UPLOADED 2500 bytes")));

    // Refused: an existing file without --force, a name GBK cannot hold or
    // longer than its 12 bytes, a version the instrument cannot compare, an
    // empty image. The existing file stays as it was.
    const QByteArray before = tree(m_dir.path()).value("fw.update");
    const struct {
        QStringList arguments;
        int exitCode;
        QString says;
    } refusals[] = {
        {{"--name", "FW", "--version", "2"}, 1, "--force"},
        {{"--name", QStringLiteral("一二三四五六七"), "--version", "2"}, 2, QStringLiteral("14 字节")},
        {{"--name", QStringLiteral("aก"), "--version", "2"}, 2, "GBK"},
        {{"--name", "FW", "--version", "0"}, 2, "--version"},
        {{"--name", "FW", "--version", "400"}, 2, "--version"},
        {{"--name", "FW", "--version", "x", "--force"}, 2, "--version"},
        {{"--version", "2", "--force"}, 2, "--name"},
    };
    for (const auto &r : refusals) {
        SCOPED_TRACE(r.arguments.join(' ').toStdString());
        const CliRun run
            = cli(QStringList{"make-update", path("fw.bin")} + r.arguments + QStringList{path("fw.update")});
        EXPECT_EQ(run.exitCode, r.exitCode);
        EXPECT_TRUE(run.err.contains(r.says)) << run.err.toStdString();
    }
    writeFile(path("empty.bin"), QByteArray());
    EXPECT_EQ(cli({"make-update", path("empty.bin"), "--name", "FW", "--version", "2", "--force", path("fw.update")})
                  .exitCode,
              1);
    EXPECT_EQ(tree(m_dir.path()).value("fw.update"), before);
    EXPECT_EQ(
        cli({"make-update", path("fw.bin"), "--name", "FW", "--version", "2", "--force", path("fw.update")}).exitCode,
        0);
    EXPECT_NE(tree(m_dir.path()).value("fw.update"), before);
}

TEST_F(CliEndToEnd, CommandLineIsStrictAndExplainsItself)
{
    writeFile(path("fw.update"), kivaro::UpdateFile::build("FW", 1.5f, pattern(100, 1)));
    const struct {
        QStringList arguments;
        QString says;
    } wrong[] = {
        {{}, QStringLiteral("缺少命令")},
        {{"nonsense"}, "nonsense"},
        {{"download"}, "--device"},
        {{"download", "--device", "/dev/null", "--bogus"}, "--bogus"},
        {{"download", "--device", "/dev/null", "extra"}, "extra"},
        {{"download", "--device", "/dev/null", "--baud", "9600", "--baud", "9600"}, "--baud"},
        {{"download", "--device", "/dev/null", "--baud", "12345"}, "12345"},
        {{"download", "--device", "/dev/null", "--port", "2"}, "--port"},
        {{"download", "--port", "9"}, "--port"},
        {{"download", "--device", "/dev/null", "--projects", "P1"}, "--save"},
        {{"download", "--device", "/dev/null", "--response-ms", "soon"}, "--response-ms"},
        {{"upgrade", "--device", "/dev/null"}, "FILE.update"},
        {{"check", path("fw.update"), path("fw.update")}, path("fw.update")},
        {{"check", "--device", "/dev/null", path("fw.update")}, "--device"},
    };
    for (const auto &w : wrong) {
        SCOPED_TRACE(w.arguments.join(' ').toStdString());
        const CliRun run = cli(w.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(w.says)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }

    // --name=value is --name value (make-update above takes --version=1.25 too).
    SimulatedInstrument sim({"--projects", m_served});
    EXPECT_EQ(cli({"download", "--device=" + sim.device(), "--baud=57600"}).exitCode, 0);

    // Each command's help lists every option once, with one usage line.
    const QMap<QString, QStringList> options{
        {"download", {"--device", "--port", "--baud", "--save", "--projects", "--response-ms", "--version"}},
        {"upgrade", {"--device", "--port", "--response-ms", "--block-response-ms", "FILE.update"}},
        {"check", {"FILE.update", "--version"}},
        {"make-update", {"--name", "--version", "--force", "IMAGE", "OUT.update"}},
    };
    for (auto it = options.cbegin(); it != options.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const CliRun help = cli({it.key(), "--help"});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_EQ(help.out.count(QStringLiteral("用法:")), 1) << help.out.toStdString();
        for (const QString &option : it.value())
            EXPECT_TRUE(help.out.contains(option)) << option.toStdString();
    }
    EXPECT_TRUE(cli({"download", "--help"}).out.contains(QStringLiteral("默认 19200")));
    const CliRun version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("kivaro-cli " + QStringLiteral(PROJECT_VERSION))) << version.out.toStdString();
    EXPECT_EQ(cli({"check", "--version"}).out, version.out);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
