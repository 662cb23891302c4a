// talvex-manualshots: draws the pictures of talvex's user manual from the
// real window, offscreen, on the sample hole: the window in each display
// mode and every dialog the commands open. Run at build time; any picture
// that cannot be made fails the run.
//
//   talvex-manualshots SURVEY.qsw RECORD.cwd OUTDIR

#include "common/messenger.h"
#include "common/widgets/screenshots.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/dialogs/filedialogs.h"
#include "talvex/ui/dialogs/folderimportprogressdialog.h"
#include "talvex/ui/songfont.h"
#include "talvex/ui/view/ctalvexview.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace talvex;

int main(int argc, char *argv[])
{
    common::ScreenshotRun shots(argc, argv, QStringLiteral("talvex-manualshots"), 3, "SURVEY.qsw RECORD.cwd OUTDIR");
    if (shots.failed())
        return shots.failed();
    installSongFontSubstitution();
    const QString surveyPath = shots.words()[0];
    const QString recordPath = shots.words()[1];
    const auto picture = [&shots](const char *name) { return shots.picture(name); };
    const auto note = [&shots](const QString &error) { shots.note(error); };

    // The program's settings stay untouched: these go to a scratch file.
    QTemporaryDir scratch;
    TalvexSettings settings(scratch.filePath(QStringLiteral("talvex.ini")));
    SurveyDocument document;
    common::RecordingMessenger messenger;
    CMainFrame frame(document, settings);
    frame.setMessenger(messenger);
    frame.setSaveQuestion([](const QString &) { return QMessageBox::No; });
    frame.setUrlOpener([](const QUrl &) { return true; });
    // The single-record import reads the sample's record; the other file
    // dialogs are cancelled.
    frame.setFileChooser([&](FileDialogKind kind, const QString &) {
        return kind == FileDialogKind::ImportRecord ? recordPath : QString();
    });
    frame.resize(1280, 860);
    frame.show();
    if (!frame.openDocument(surveyPath)) {
        std::fprintf(stderr, "talvex-manualshots: cannot open %s: %s\n", qPrintable(surveyPath),
                     qPrintable(messenger.last()));
        return 1;
    }
    QCoreApplication::processEvents();
    CtalvexView &view = frame.view();
    const auto run = [&frame](CommandId id) { frame.action(id)->trigger(); };
    const auto window = [&](const char *name) { note(common::saveScreenshot(frame, picture(name))); };
    // Some commands wait for the suggestions the background worker makes.
    const auto waitEnabled = [&frame](CommandId id) {
        QElapsedTimer clock;
        clock.start();
        while (!frame.action(id)->isEnabled() && clock.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    };
    const auto dialog = [&](CommandId id, const char *name) {
        waitEnabled(id);
        if (!frame.action(id)->isEnabled())
            note(QStringLiteral("命令 %1 不可用").arg(QString::fromLatin1(name)));
        else
            note(common::screenshotModal([&] { run(id); }, picture(name)));
    };

    // The display modes, on point 10 of the sample with the time cursor near its arrival.
    view.showPoint(10);
    view.MoveTimeCursor(520);
    window("window-multitrace");
    run(CommandId::ToggleArrivalSuggestions);
    window("window-suggestions");
    run(CommandId::ToggleArrivalSuggestions);
    view.toggleSingleTrace();
    window("window-singletrace");
    run(CommandId::ShowSpectrum);
    window("window-spectrum");
    view.showMultiTrace();
    run(CommandId::ImportRecord); // reads the record and shows it
    window("window-rawrecord");
    view.showVelocityHistogram();
    window("window-histogram");
    view.showTimeDistance();
    window("window-timedistance");
    view.showMultiTrace();
    view.showPoint(10);
    run(CommandId::ToggleArrivalSuggestions);

    // The dialogs, each as its command opens it.
    dialog(CommandId::FileNew, "dialog-newsurvey");
    dialog(CommandId::EditHoleParameters, "dialog-hole");
    dialog(CommandId::EditPointParameters, "dialog-point");
    dialog(CommandId::EditLayers, "dialog-layers");
    dialog(CommandId::EnterSurveyLog, "dialog-surveylog");
    dialog(CommandId::ImportFolder, "dialog-channel");
    {
        // The progress of a folder import as it stands while the records are
        // read (it shows itself only for an import that takes a while).
        FolderImportProgressDialog progress(&frame);
        progress.report(12, 40);
        progress.show();
        QCoreApplication::processEvents();
        note(common::saveScreenshot(progress, picture("dialog-importprogress")));
    }
    dialog(CommandId::DigitalFilter, "dialog-filter");
    dialog(CommandId::SmoothTrace, "dialog-smooth");
    dialog(CommandId::AcceptAllArrivalSuggestions, "dialog-acceptall");
    view.showVelocityHistogram(); // the layer commands act in the histogram
    dialog(CommandId::SuggestLayers, "dialog-suggestlayers");
    view.showMultiTrace();
    // The interval check stays open beside the window.
    waitEnabled(CommandId::ReviewIntervals);
    run(CommandId::ReviewIntervals);
    QCoreApplication::processEvents();
    bool intervalsShown = false;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget != &frame && widget->isVisible() && qobject_cast<QDialog *>(widget)) {
            note(common::saveScreenshot(*widget, picture("dialog-intervals")));
            window("window-intervals"); // the flagged points marked in the view
            widget->close();
            intervalsShown = true;
        }
    }
    if (!intervalsShown)
        note(QStringLiteral("层间时间检查没有打开"));
    dialog(CommandId::ShowResults, "dialog-results");
    dialog(CommandId::ShowSoilIndices, "dialog-soilindices");
    dialog(CommandId::PageSetup, "dialog-pagesetup");
    dialog(CommandId::FilePrintPreview, "dialog-printpreview");
    dialog(CommandId::About, "dialog-about");

    return shots.finish();
}
