// SEDRA-manualshots: draws the pictures of SEDRA's user manual from the
// real window, offscreen, with the simulated card (its switches from
// SEDRA_SIM, as for sedra-cli): the window before and after one microtremor
// acquisition, the wait window while the card records, and every dialog the
// commands open. Then the H/V mode on a long recording from the simulated
// card's microtremor model (its switches from SEDRA_SIM_HV): the dialog that
// starts it, the window while the windows come in and when the data are
// enough, the save dialog at its end, the result with a window rejected by
// hand, and the H/V print page. Run at build time; any picture that cannot
// be made fails the run.
//
//   SEDRA-manualshots OUTDIR

#include "common/messenger.h"
#include "common/settingsstore.h"
#include "common/widgets/screenshots.h"
#include "sedra/card/simulatedcard.h"
#include "sedra/render/hvpainter.h"
#include "sedra/ui/cmainframe.h"
#include "sedra/ui/hvview.h"
#include "sedra/ui/waitdialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>

using namespace sedra;

namespace {

// Runs the event loop until `done` holds or `seconds` have passed; returns
// whether it holds.
bool waitFor(const std::function<bool()> &done, int seconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    return true;
}

// The H/V print page as its PDF holds it (a whole A4 page), `width`
// pixels wide.
QString savePagePicture(const HvView &view, const QString &title, int width, const QString &path)
{
    const QSizeF page(2100, 2970); // 0.1 mm
    QImage image(width, int(width * page.height() / page.width()), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setWindow(QRect(0, 0, int(page.width()), int(page.height())));
        painter.setViewport(QRect(0, 0, image.width(), image.height()));
        HvPainter::drawPage(painter, page, view.record(), view.result(), title, 1.0);
    }
    return image.save(path, "PNG") ? QString() : QStringLiteral("不能写出 %1").arg(path);
}

} // namespace

int main(int argc, char *argv[])
{
    common::ScreenshotRun shots(argc, argv, QStringLiteral("SEDRA-manualshots"), 1, "OUTDIR");
    if (shots.failed())
        return shots.failed();
    QApplication::setApplicationVersion(QStringLiteral(SEDRA_VERSION)); // the About box shows it
    const auto picture = [&shots](const char *name) { return shots.picture(name); };
    const auto note = [&shots](const QString &text) { shots.note(text); };

    // The card records in real time, so that the wait window shows its progress.
    QString switches = qEnvironmentVariable("SEDRA_SIM", QStringLiteral("freq=2.0/3.5/6.0,noise=0.2,seed=7"));
    switches += QStringLiteral(",realtime");
    QString error;
    const std::optional<SimulatedCardOptions> options = SimulatedCardOptions::parse(switches, &error);
    if (!options) {
        std::fprintf(stderr, "SEDRA-manualshots: SEDRA_SIM: %s\n", error.toUtf8().constData());
        return 2;
    }

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

    // The H/V mode on a long recording of the microtremor model, 20 minutes
    // simulated in seconds. Its save dialog proposes a file in the working
    // folder, so that is a new one.
    const QString hvSwitches
        = qEnvironmentVariable("SEDRA_SIM_HV", QStringLiteral("hv:f0=2.0,a0=4,damping=0.15,transients=4,seed=1,fast"));
    const std::optional<SimulatedCardOptions> hvOptions = SimulatedCardOptions::parse(hvSwitches, &error);
    if (!hvOptions || !hvOptions->hv) {
        std::fprintf(stderr, "SEDRA-manualshots: SEDRA_SIM_HV: %s\n",
                     (hvOptions ? QStringLiteral("不是地脉动模型（应以 hv: 开头）") : error).toUtf8().constData());
        return 2;
    }
    QTemporaryDir hvFolder;
    const QString site = hvFolder.filePath(QStringLiteral("示例工程"));
    if (!QDir().mkpath(site) || !QDir::setCurrent(site)) {
        std::fprintf(stderr, "SEDRA-manualshots: 不能建立工作文件夹 %s\n", qPrintable(site));
        return 1;
    }
    common::SettingsStore hvStore(scratch.filePath(QStringLiteral("sedra-hv.ini")));
    common::RecordingMessenger hvMessenger;
    CMainFrame hv(hvStore, hvMessenger);
    hv.setFileChooser([](CMainFrame::FileRequest, const QString &, QString *) { return QString(); });
    hv.resize(1400, 860);
    hv.show();
    hv.attachCard(std::make_unique<SimulatedCard>(*hvOptions), QString(), nullptr);
    hv.parameters().sampinterval = 10000; // 100 Hz
    hv.parameters().projectName = QStringLiteral("示例工程");
    hv.parameters().testSit = QStringLiteral("H1");
    QCoreApplication::processEvents();

    // While recording: once a few windows are in, and when the indicator
    // first says the data are enough. The status bar is the last thing a
    // completed block updates, so the picture is taken then.
    bool liveShot = false, enoughShot = false;
    QObject::connect(hv.statusBar(), &QStatusBar::messageChanged, [&](const QString &message) {
        if (!hv.hvView()->isLive() || !message.startsWith(QStringLiteral("长时间采集：已采集")))
            return;
        if (!liveShot && hv.hvView()->result().windows.size() >= 3) {
            note(common::saveScreenshot(hv, picture("window-hv-live")));
            liveShot = true;
        }
        if (!enoughShot && hv.hvView()->dataSufficient()) {
            note(common::saveScreenshot(hv, picture("window-hv-enough")));
            enoughShot = true;
        }
    });
    // The save dialog the end of the recording opens: the real one, drawn
    // whenever it comes and accepted with the name it proposes, so that the
    // record is written as miniSEED into the working folder.
    hv.setFileChooser({});
    bool saveShot = false;
    QTimer saveWatch;
    QObject::connect(&saveWatch, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (!saveShot) {
            dialog->resize(760, 460);
            note(common::saveScreenshot(*dialog, picture("dialog-hv-save")));
            saveShot = true;
        }
        // Any save dialog is accepted, as its 保存 button does: none may be
        // left waiting for a hand that never comes.
        static_cast<QDialog *>(dialog)->accept();
    });
    saveWatch.start(50);
    note(common::screenshotModal([&] { hv.runCommand(CommandId::HvRecording); }, picture("dialog-hv-minutes"), {},
                                 true));
    if (!hv.hvRecording())
        note(QStringLiteral("长时间采集没有开始：%1").arg(hvMessenger.last()));
    else if (!waitFor([&] { return !hv.hvView()->isLive() && saveShot; }, 300))
        note(QStringLiteral("长时间采集在 300 s 内没有结束，或结束时没有出现保存对话框"));
    saveWatch.stop();
    if (!liveShot || !enoughShot)
        note(QStringLiteral("长时间采集中没有画出%1")
                 .arg(liveShot ? QStringLiteral("数据已足够的窗口") : QStringLiteral("采集中的窗口")));
    if (saveShot && hvMessenger.last() != QStringLiteral("保存文件成功"))
        note(QStringLiteral("长时间采集的记录没有保存：%1").arg(hvMessenger.last()));
    // The dialog that opens a three-component record, in the folder the
    // record was saved to; cancelled, the recording's result stays.
    note(common::screenshotModal([&] { hv.runCommand(CommandId::OpenThreeComponent); }, picture("dialog-hv-open"),
                                 [](QWidget &dialog) { dialog.resize(760, 460); }));
    hv.setFileChooser([](CMainFrame::FileRequest, const QString &, QString *) { return QString(); });

    // The finished recording: the first window in use rejected by hand, a Vs
    // for the depth.
    const HvResult &hvResult = hv.hvView()->result();
    int toggled = -1;
    for (std::size_t i = 0; i < hvResult.windows.size() && toggled < 0; ++i)
        if (hvResult.windows[i].used)
            toggled = int(i);
    if (toggled < 0 || !hv.hvView()->toggleWindow(toggled))
        note(QStringLiteral("H/V 结果中没有可以手动剔除的窗口"));
    hv.hvView()->vsEdit()->setValue(200);
    hv.hvView()->vsSigmaEdit()->setValue(0.1);
    note(common::saveScreenshot(hv, picture("window-hv-result")));
    note(savePagePicture(*hv.hvView(), hv.document().printInfo().header, 1000, picture("page-hv")));
    note(common::screenshotModal([&] { hv.runCommand(CommandId::PrintPreview); }, picture("dialog-hv-printpreview"),
                                 [](QWidget &preview) { preview.resize(860, 700); }));

    return shots.finish();
}
