// The download of one 1 MiB file from the simulated instrument over a
// pseudo-terminal, connection included: through KIVARO's download page (a
// shown window that paints its progress) and through kivaro-cli. The window
// should take at most about 1.5 times as long as the command line; run both
// under one display (offscreen by default, or Xvfb with QT_QPA_PLATFORM=xcb)
// and compare the two times.

#include "kivaro/core/downloadsession.h"
#include "kivaro/core/kivarosettings.h"
#include "kivaro/ui/clinkdialog.h"
#include "kivaro/ui/csenddialog.h"

#include "common/messenger.h"
#include "common/settingsstore.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kFileBytes = 1024 * 1024;

// instrument-sim serving one project "BIG" with one file of kFileBytes.
class Instrument {
public:
    explicit Instrument(const QString &served)
    {
        m_process.start(QStringLiteral(INSTRUMENT_SIM),
                        {QStringLiteral("--pty"), QStringLiteral("--projects"), served});
        if (!m_process.waitForStarted(5000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {}
        const QString first = QString::fromUtf8(m_process.readLine()).trimmed();
        if (first.startsWith(QStringLiteral("PTY ")))
            m_device = first.mid(4);
    }
    ~Instrument()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
    QString device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};

struct Setup {
    Setup()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("served/BIG")));
        QFile file(dir.filePath(QStringLiteral("served/BIG/big.cwd")));
        if (file.open(QIODevice::WriteOnly)) {
            QByteArray bytes(kFileBytes, '\0');
            for (int i = 0; i < kFileBytes; ++i)
                bytes[i] = char((i * 131 + (i >> 9)) & 0xff);
            file.write(bytes);
        }
        file.close();
        instrument = std::make_unique<Instrument>(dir.filePath(QStringLiteral("served")));
    }
    QTemporaryDir dir;
    std::unique_ptr<Instrument> instrument;
};

std::unique_ptr<Setup> g_setup;

bool downloadedInFull(const QString &saveFolder)
{
    return QFileInfo(saveFolder + QStringLiteral("/BIG/big.cwd")).size() == kFileBytes;
}

// Runs the event loop until `session` finishes with some outcome; false after 60 s.
bool waitForOutcome(kivaro::DownloadSession &session, kivaro::DownloadSession::Outcome &outcome)
{
    QEventLoop loop;
    bool ended = false;
    const auto connection = QObject::connect(&session, &kivaro::DownloadSession::finished, &loop,
                                             [&](kivaro::DownloadSession::Outcome o) {
                                                 outcome = o;
                                                 ended = true;
                                                 loop.quit();
                                             });
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return ended;
}

void BM_DownloadWindow(benchmark::State &state)
{
    const QString save = g_setup->dir.filePath(QStringLiteral("window"));
    common::SettingsStore store(g_setup->dir.filePath(QStringLiteral("kivaro.ini")));
    kivaro::KivaroSettings settings(store);
    settings.setDevicePath(1, g_setup->instrument->device());
    settings.save(kivaro::LinkSettings{0, 1, save + QDir::separator()});
    common::RecordingMessenger messenger;
    kivaro::CLinkDialog dialog(settings, messenger);
    dialog.show();
    kivaro::CSendDialog *page = dialog.sendPage();

    for (auto _ : state) {
        using Outcome = kivaro::DownloadSession::Outcome;
        Outcome outcome = Outcome::TimedOut;
        page->connectButton()->click();
        if (!waitForOutcome(page->session(), outcome) || outcome != Outcome::Listed
            || page->projectList()->count() != 1) {
            state.SkipWithError("the instrument did not list its project");
            break;
        }
        page->projectList()->item(0)->setCheckState(Qt::Checked);
        page->startButton()->click();
        if (!waitForOutcome(page->session(), outcome) || outcome != Outcome::Finished) {
            state.SkipWithError("the transfer did not finish");
            break;
        }
    }
    if (!downloadedInFull(save))
        state.SkipWithError("the file did not arrive in full");
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}

void BM_DownloadCli(benchmark::State &state)
{
    const QString save = g_setup->dir.filePath(QStringLiteral("cli"));
    for (auto _ : state) {
        QProcess cli;
        cli.start(QStringLiteral(KIVARO_CLI),
                  {QStringLiteral("download"), QStringLiteral("--device"), g_setup->instrument->device(),
                   QStringLiteral("--save"), save, QStringLiteral("--projects"), QStringLiteral("BIG")});
        if (!cli.waitForFinished(60000) || cli.exitCode() != 0) {
            state.SkipWithError("kivaro-cli failed");
            break;
        }
    }
    if (!downloadedInFull(save))
        state.SkipWithError("the file did not arrive in full");
    state.SetBytesProcessed(state.iterations() * kFileBytes);
}

BENCHMARK(BM_DownloadCli)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_DownloadWindow)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_setup = std::make_unique<Setup>();
    if (g_setup->instrument->device().isEmpty()) {
        std::fprintf(stderr, "instrument-sim did not start\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_setup.reset();
    return 0;
}
