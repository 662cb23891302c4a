// KIVARO-manualshots: draws the pictures of KIVARO's user manual from the
// real window, offscreen, connected to the simulated instrument
// (instrument-sim on a pseudo-terminal) that serves the sample's records:
// the download page before connecting, with the instrument's projects and
// after the transfer, the upgrade page and the About box. Run at build
// time; any picture that cannot be made fails the run.
//
//   KIVARO-manualshots INSTRUMENT-SIM PROJECTS-DIR OUTDIR

#include "common/messenger.h"
#include "common/settingsstore.h"
#include "common/widgets/screenshots.h"
#include "kivaro/core/kivarosettings.h"
#include "kivaro/ui/clinkdialog.h"
#include "kivaro/ui/csenddialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

using namespace kivaro;

namespace {

// Lets the window work until `done` holds or `ms` have passed.
bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

} // namespace

int main(int argc, char *argv[])
{
    common::ScreenshotRun shots(argc, argv, QStringLiteral("KIVARO-manualshots"), 3,
                                "INSTRUMENT-SIM PROJECTS-DIR OUTDIR");
    if (shots.failed())
        return shots.failed();
    const QStringList &args = shots.words();
    const auto picture = [&shots](const char *name) { return shots.picture(name); };
    const auto note = [&shots](const QString &text) { shots.note(text); };

    // The simulated instrument says its pseudo-terminal on its first line.
    QProcess instrument;
    instrument.start(args[0],
                     {QStringLiteral("--pty"), QStringLiteral("--projects"), args[1], QStringLiteral("--number"),
                      QStringLiteral("SIM-0001")});
    QString device;
    if (instrument.waitForStarted(5000)) {
        while (!instrument.canReadLine() && instrument.waitForReadyRead(5000)) {}
        const QString first = QString::fromUtf8(instrument.readLine()).trimmed();
        if (first.startsWith(QStringLiteral("PTY ")))
            device = first.mid(4);
    }
    if (device.isEmpty()) {
        std::fprintf(stderr, "KIVARO-manualshots: the simulated instrument did not start\n");
        return 1;
    }

    QTemporaryDir scratch;
    common::SettingsStore store(scratch.filePath(QStringLiteral("kivaro.ini")));
    KivaroSettings settings(store);
    settings.setDevicePath(1, device);
    // The records go to a folder of the scratch folder, named as a user would
    // name it (the page shows the name, not where the build ran).
    QDir::setCurrent(scratch.path());
    settings.save(LinkSettings{0, 1, QStringLiteral("仪器数据/")});
    common::RecordingMessenger messenger;
    CLinkDialog dialog(settings, messenger);
    dialog.show();
    CSendDialog *page = dialog.sendPage();
    note(common::saveScreenshot(dialog, picture("window-download")));

    page->connectButton()->click();
    if (!waitFor([page] { return page->projectList()->count() > 0; }, 10000)) {
        note(QStringLiteral("仪器没有列出工程：%1").arg(messenger.last()));
        instrument.terminate();
        instrument.waitForFinished(3000);
        return shots.finish();
    }
    for (int i = 0; i < page->projectList()->count(); ++i)
        page->projectList()->item(i)->setCheckState(Qt::Checked);
    note(common::saveScreenshot(dialog, picture("window-projects")));
    page->startButton()->click();
    if (!waitFor([page] { return page->connectButton()->isEnabled(); }, 30000))
        note(QStringLiteral("传输没有结束"));
    note(common::saveScreenshot(dialog, picture("window-downloaded")));

    dialog.sheet()->setCurrentIndex(1);
    note(common::saveScreenshot(dialog, picture("window-upgrade")));
    dialog.sheet()->setCurrentIndex(0);

    QAction *about = nullptr;
    for (QAction *action : dialog.findChildren<QAction *>())
        if (action->text().startsWith(QStringLiteral("关于")))
            about = action;
    if (!about)
        note(QStringLiteral("没有“关于”命令"));
    else
        note(common::screenshotModal([about] { about->trigger(); }, picture("dialog-about"), {}, false, &dialog));

    instrument.terminate();
    instrument.waitForFinished(3000);
    dialog.reject();
    return shots.finish();
}
