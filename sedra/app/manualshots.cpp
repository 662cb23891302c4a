// SEDRA-manualshots: draws the pictures of SEDRA's user manual from the
// real window, offscreen, with the simulated card (its switches from
// SEDRA_SIM, as for sedra-cli): the window before and after one microtremor
// acquisition, the wait window while the card records, and every dialog the
// commands open. Run at build time; any picture that cannot be made fails
// the run.
//
//   SEDRA-manualshots OUTDIR

#include "common/messenger.h"
#include "common/qttranslations.h"
#include "common/settingsstore.h"
#include "common/widgets/screenshots.h"
#include "sedra/card/simulatedcard.h"
#include "sedra/ui/cmainframe.h"
#include "sedra/ui/waitdialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace sedra;

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SEDRA-manualshots"));
    common::installQtTranslations(app); // Qt's own buttons in Chinese, as in the program
    QApplication::setApplicationVersion(QStringLiteral(SEDRA_VERSION)); // the About box shows it
    const QStringList args = QApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: SEDRA-manualshots OUTDIR\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "SEDRA-manualshots: cannot make %s\n", qPrintable(out.path()));
        return 1;
    }
    const auto picture
        = [&out](const char *name) { return out.filePath(QString::fromLatin1(name) + QStringLiteral(".png")); };

    // The card records in real time, so that the wait window shows its progress.
    QString switches = qEnvironmentVariable("SEDRA_SIM", QStringLiteral("freq=2.0/3.5/6.0,noise=0.2,seed=7"));
    switches += QStringLiteral(",realtime");
    QString error;
    const std::optional<SimulatedCardOptions> options = SimulatedCardOptions::parse(switches, &error);
    if (!options) {
        std::fprintf(stderr, "SEDRA-manualshots: SEDRA_SIM: %s\n", error.toUtf8().constData());
        return 2;
    }

    QStringList errors;
    const auto note = [&errors](const QString &text) {
        if (!text.isEmpty())
            errors << text;
    };

    QTemporaryDir scratch;
    common::SettingsStore store(scratch.filePath(QStringLiteral("sedra.ini")));
    common::RecordingMessenger messenger;
    CMainFrame frame(store, messenger);
    frame.setFileChooser([](CMainFrame::FileRequest, const QString &, QString *) { return QString(); });
    frame.resize(1200, 800);
    frame.show();
    frame.attachCard(std::make_unique<SimulatedCard>(*options), QString(), nullptr);
    QCoreApplication::processEvents();
    note(common::saveScreenshot(frame, picture("window-empty")));

    frame.parameters().channel = 3;
    frame.parameters().projectName = QStringLiteral("示例工程");
    frame.parameters().testSit = QStringLiteral("1");
    note(common::screenshotModal([&] { frame.runCommand(CommandId::Configure); }, picture("dialog-configure")));

    // The wait window, once a fifth of the samples are in.
    bool waitShot = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        WaitDialog *wait = frame.waitDialog();
        if (waitShot || !wait->isVisible() || wait->progressBar()->value() < wait->progressBar()->maximum() / 5)
            return;
        note(common::saveScreenshot(*wait, picture("dialog-wait")));
        waitShot = true;
    });
    watch.start(50);
    if (!frame.startSampling())
        note(QStringLiteral("采集没有完成：%1").arg(messenger.last()));
    watch.stop();
    if (!waitShot)
        note(QStringLiteral("等待窗口没有出现"));
    note(common::saveScreenshot(frame, picture("window-acquired")));

    note(common::screenshotModal([&] { frame.runCommand(CommandId::PrintSettings); }, picture("dialog-printsettings")));
    note(common::screenshotModal([&] { frame.runCommand(CommandId::DigitalFilter); }, picture("dialog-filter")));
    // The preview opens small; at this size its whole toolbar shows.
    note(common::screenshotModal([&] { frame.runCommand(CommandId::PrintPreview); }, picture("dialog-printpreview"),
                                 [](QWidget &preview) { preview.resize(860, 700); }));
    note(common::screenshotModal([&] { frame.runCommand(CommandId::About); }, picture("dialog-about")));

    for (const QString &text : errors)
        std::fprintf(stderr, "SEDRA-manualshots: %s\n", text.toUtf8().constData());
    return errors.isEmpty() ? 0 : 1;
}
