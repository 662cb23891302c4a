// The window with a simulated card, offscreen: one acquisition from start to
// saved file and snapshots, the refusals around it, the dialogs' rules, the
// settings and the start-up checks.

#include "common/messenger.h"
#include "common/platform/singleinstance.h"
#include "common/settingsstore.h"
#include "sedra/card/simulatedcard.h"
#include "sedra/core/sedrasettings.h"
#include "sedra/core/startupcheck.h"
#include "sedra/render/bandpainter.h"
#include "sedra/ui/cdeploydlg.h"
#include "sedra/ui/clvbodlg.h"
#include "sedra/ui/cmainframe.h"
#include "sedra/ui/csedraview.h"
#include "sedra/ui/hvview.h"
#include "sedra/ui/waitdialog.h"
#include "sedra/core/threecomponentreader.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStatusBar>
#include <QProgressBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>
#include <set>

using namespace sedra;

class SedraUiTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldCurrent;

    std::unique_ptr<common::SettingsStore> freshStore(const QString &name)
    {
        return std::make_unique<common::SettingsStore>(m_dir.filePath(name + ".ini"));
    }

    static std::unique_ptr<PortIo> simulated(const QString &switches)
    {
        QString error;
        auto options = SimulatedCardOptions::parse(switches, &error);
        return std::make_unique<SimulatedCard>(*options);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_oldCurrent = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCurrent); }

    void acquisitionEndToEnd()
    {
        auto store = freshStore("e2e");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(!frame.action(CommandId::StartSampling)->isEnabled());
        frame.attachCard(simulated("freq=2.0/3.5/6.0,seed=7"), QString(), nullptr);
        QVERIFY(frame.cardPresent());
        QVERIFY(frame.action(CommandId::StartSampling)->isEnabled());
        QVERIFY(frame.action(CommandId::Configure)->isEnabled());
        frame.parameters().channel = 3;
        frame.parameters().projectName = "A";
        frame.parameters().testSit = "3";

        // The wait window shows while the card works and closes at its end.
        bool waitShown = false;
        QTimer probe;
        connect(&probe, &QTimer::timeout, this, [&] { waitShown = waitShown || frame.waitDialog()->isVisible(); });
        probe.start(1);
        QVERIFY(frame.startSampling());
        probe.stop();
        QVERIFY(!frame.waitDialog()->isVisible());
        QVERIFY(messenger.questions.isEmpty()); // nothing unsaved before the first one
        const SedraDocument &doc = frame.document();
        QCOMPARE(doc.record().channels.sampleCount, 1024);
        QVERIFY(!doc.isSaved());
        QCOMPARE(QString::asprintf("%.2f", double(doc.spectra().peakFrequency[0])), QString("1.95"));
        QCOMPARE(periodText(doc.spectra().peakFrequency[0]), QString("0.51"));

        // A second start asks; No keeps the first record.
        const auto first = doc.record().channels.working;
        messenger.answers = {false};
        QVERIFY(!frame.startSampling());
        QCOMPARE(messenger.questions.last(), QString("当前数据未保存是否继续采样？"));
        QVERIFY(doc.record().channels.working == first);

        // Save acquisition: folder A below the current one, name 3&0.cwd.
        QString proposed;
        frame.setFileChooser([&](CMainFrame::FileRequest, const QString &p, QString *) {
            proposed = p;
            return p;
        });
        frame.saveAcquisition();
        QCOMPARE(QFileInfo(proposed).fileName(), QString("3&0.cwd"));
        QCOMPARE(QFileInfo(proposed).dir().dirName(), QString("A"));
        QCOMPARE(QFile(proposed).size(), qint64(256 + 3 * 1024 * 2));
        QCOMPARE(messenger.last(), QString("保存本次数据成功！"));
        QVERIFY(doc.isSaved());
        frame.saveAcquisition();
        QCOMPARE(QFileInfo(proposed).fileName(), QString("3&1.cwd"));

        // Snapshots: four files, the counter in the proposed name.
        frame.setFileChooser([&](CMainFrame::FileRequest, const QString &p, QString *) {
            proposed = p;
            return m_dir.filePath(QFileInfo(p).fileName());
        });
        frame.snapshot();
        QCOMPARE(QFileInfo(proposed).fileName(), QString("sedraimg(0).bmp"));
        QCOMPARE(messenger.last(), QString("保存文件成功"));
        QCOMPARE(QFile(m_dir.filePath("sedraimg(0).bmp_3.bmp")).size(), qint64(960054));
        frame.snapshot();
        QCOMPARE(QFileInfo(proposed).fileName(), QString("sedraimg(1).bmp"));

        // Text export names the file .txt once.
        frame.setFileChooser(
            [&](CMainFrame::FileRequest, const QString &, QString *) { return m_dir.filePath("wave.txt"); });
        frame.exportText();
        QVERIFY(QFile::exists(m_dir.filePath("wave.txt")));
        QVERIFY(!QFile::exists(m_dir.filePath("wave.txt.txt")));

        // A click in band 0 sets its cursor; the arrow keys move it.
        const QRectF area = frame.view()->bandArea();
        QTest::mouseClick(frame.view(), Qt::LeftButton, {},
                          QPoint(int(area.left() + area.width() / 4), int(area.top() + 5)));
        QVERIFY(doc.cursors()[0].active);
        const double before = doc.cursors()[0].point;
        QTest::keyClick(frame.view(), Qt::Key_Right);
        QVERIFY(doc.cursors()[0].point > before);
        const QImage shot = frame.grab().toImage();
        QVERIFY(!shot.isNull());
        shot.save(m_dir.filePath("window.png"));
        if (qEnvironmentVariableIsSet("SEDRA_UI_SHOT"))
            shot.save(qEnvironmentVariable("SEDRA_UI_SHOT"));
    }

    // In the window every trace stays inside its band, above the strip of
    // ticks and axis labels at the band's bottom, which holds the labels.
    // The window's actions, menus and toolbar come from the command table;
    // every command is bound to a handler, and one without is reported.
    // 帮助主题 (F1) opens the HTML manual, 用户手册 the PDF; a missing one is said.
    void helpOpensTheManual()
    {
        auto store = freshStore(QStringLiteral("help"));
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        QTemporaryDir folder;
        QStringList opened;
        frame.setProgramFolder(folder.path());
        frame.setDocumentOpener([&](const QString &path) {
            opened << path;
            return true;
        });
        QCOMPARE(frame.action(CommandId::HelpTopics)->shortcut(), QKeySequence(Qt::Key_F1));
        frame.runCommand(CommandId::UserManual);
        QVERIFY(opened.isEmpty());
        QVERIFY2(messenger.last().contains(QStringLiteral("用户手册")) && messenger.last().contains("SEDRA.pdf"),
                 qPrintable(messenger.last()));

        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("SEDRA")));
        for (const char *name : {"SEDRA.pdf", "SEDRA/index.html"}) {
            QFile file(folder.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        frame.runCommand(CommandId::HelpTopics);
        frame.runCommand(CommandId::UserManual);
        QCOMPARE(opened, (QStringList{folder.filePath("SEDRA/index.html"), folder.filePath("SEDRA.pdf")}));
    }

    void commandsComeFromTheTable()
    {
        auto store = freshStore(QStringLiteral("commands"));
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);

        std::set<CommandId> ids;
        for (const CommandInfo &info : allCommands()) {
            QVERIFY2(ids.insert(info.id).second, info.caption);
            QVERIFY2(*info.caption && *info.statusPrompt, info.caption);
            if (info.id == CommandId::RecentFiles)
                continue;
            QAction *a = frame.action(info.id);
            QVERIFY2(a, info.caption);
            QCOMPARE(a->text(), QString::fromUtf8(info.caption));
            QCOMPARE(a->statusTip(), QString::fromUtf8(info.statusPrompt));
            QCOMPARE(a->isCheckable(), info.checkable);
        }
        QVERIFY(!frame.action(CommandId::None));
        QVERIFY(frame.unhandledCommands().empty());
        QVERIFY(frame.doublyBoundCommands().empty());
        QCOMPARE(frame.action(CommandId::Open)->shortcut(), QKeySequence(QKeySequence::Open));
        QCOMPARE(frame.action(CommandId::Print)->shortcut(), QKeySequence(QKeySequence::Print));

        QStringList bar;
        for (QAction *a : frame.menuBar()->actions())
            bar.append(a->text());
        QCOMPARE(bar,
                 QStringList({QStringLiteral("文件(&F)"), QStringLiteral("查看(&V)"), QStringLiteral("配置参数(&C)"),
                              QStringLiteral("开始采集数据(&S)"), QStringLiteral("工具(&T)"),
                              QStringLiteral("键盘(&K)"), QStringLiteral("H/V(&Y)"), QStringLiteral("帮助(&H)")}));
        QStringList file;
        for (QAction *a : frame.menuBar()->actions().constFirst()->menu()->actions())
            file.append(a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(file.size(), 15);
        QCOMPARE(file.at(12), QStringLiteral("最近文件"));
        QCOMPARE(file.constLast(), QStringLiteral("退出(&X)"));

        // Without a card or a record the card and save commands stay grey.
        QVERIFY(!frame.action(CommandId::StartSampling)->isEnabled());
        QVERIFY(!frame.action(CommandId::Save)->isEnabled());
        QVERIFY(!frame.action(CommandId::SaveAs)->isEnabled());
        QVERIFY(frame.action(CommandId::Open)->isEnabled());

        // The option commands carry their state both ways.
        const bool info = frame.document().printInfo().showTestInfo;
        QCOMPARE(frame.action(CommandId::PrintInfo)->isChecked(), info);
        frame.action(CommandId::PrintInfo)->trigger();
        QCOMPARE(frame.document().printInfo().showTestInfo, !info);
        const bool smart = frame.parameters().keyboard != 0;
        frame.action(CommandId::SmartKeyboard)->trigger();
        QCOMPARE(frame.parameters().keyboard != 0, !smart);
        frame.action(CommandId::StatusBar)->trigger();
        QVERIFY(frame.statusBar()->isHidden());
        frame.action(CommandId::StatusBar)->trigger();
        QVERIFY(!frame.statusBar()->isHidden());

        // A command's prompt gives way to the window's text again.
        QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("就绪"));
        frame.statusBar()->showMessage(QString::fromUtf8(commandInfo(CommandId::Open).statusPrompt));
        frame.statusBar()->clearMessage();
        QCOMPARE(frame.statusBar()->currentMessage(), QStringLiteral("就绪"));

        // The place of the recent files runs nothing of its own.
        messenger.clear();
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(".*最近文件.*")));
        frame.runCommand(CommandId::RecentFiles);
        QCOMPARE(messenger.kinds, QList<common::MessageKind>({common::MessageKind::Warning}));
    }

    void windowKeepsTracesOffTheirLabels()
    {
        auto store = freshStore("bands");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        frame.resize(1000, 700);
        frame.show();
        frame.attachCard(simulated("freq=2.0/3.5/6.0,seed=7"), QString(), nullptr);
        frame.parameters().channel = 3;
        QVERIFY(frame.startSampling());
        CSEDRAView *view = frame.view();
        const QImage image = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const qreal ratio = image.devicePixelRatio();
        const QRectF area = view->bandArea();
        const BandOptions options = view->bandOptions();
        const QRgb traceColors[] = {BandPainter::kWaveColor.rgb(), BandPainter::kSpectrumColor.rgb()};
        for (int b = 0; b < kBands; ++b) {
            const QRectF band = BandPainter::bandRect(area, b);
            const QRectF trace = BandPainter::traceRect(band, options, options.font);
            QVERIFY(trace.bottom() < band.bottom() - QFontMetricsF(options.font).height());
            int inTrace = 0, inStrip = 0, labelInk = 0;
            for (int y = int(band.top() * ratio); y < int(band.bottom() * ratio); ++y) {
                for (int x = int(band.left() * ratio); x < int(band.right() * ratio); ++x) {
                    const QRgb px = image.pixel(x, y);
                    const bool traceInk = px == traceColors[b % 2];
                    const bool inside = y <= trace.bottom() * ratio + 1;
                    if (traceInk)
                        ++(inside ? inTrace : inStrip);
                    else if (!inside && qGray(px) < 100)
                        ++labelInk;
                }
            }
            QVERIFY2(inTrace > 0, qPrintable(QString("band %1 has no trace").arg(b)));
            QVERIFY2(inStrip == 0,
                     qPrintable(QString("band %1: %2 trace pixels in the label strip").arg(b).arg(inStrip)));
            QVERIFY2(labelInk > 0, qPrintable(QString("band %1: no label in its strip").arg(b)));
        }
        // No trace ink outside the band area at all.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!area.adjusted(-1, -1, 1, 1).contains(QPointF(x / ratio, y / ratio)))
                    QVERIFY(image.pixel(x, y) != traceColors[0] && image.pixel(x, y) != traceColors[1]);
    }

    void waitWindowTimeTexts()
    {
        using std::chrono::milliseconds;
        QCOMPARE(WaitDialog::durationText(milliseconds(0)), QString("0 秒"));
        QCOMPARE(WaitDialog::durationText(milliseconds(8192)), QString("9 秒"));
        QCOMPARE(WaitDialog::durationText(milliseconds(268431)), QString("4 分 29 秒"));
        WaitDialog wait;
        wait.setProgress(512, 1024, milliseconds(4096));
        QCOMPARE(wait.progressBar()->maximum(), 1024);
        QCOMPARE(wait.progressBar()->value(), 512);
        QCOMPARE(wait.progressText(), QString("已采集 512 / 1024 个采样，剩余时间约 5 秒"));
    }

    void cardThatNeverBecomesReady()
    {
        auto store = freshStore("never");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        frame.attachCard(simulated("never-ready"), QString(), nullptr);
        frame.setReadyLimit({std::chrono::milliseconds(100), std::chrono::milliseconds(100)});
        QVERIFY(!frame.startSampling());
        QVERIFY(messenger.last().contains("没有响应"));
        QVERIFY(!frame.document().record().hasSamples());
        QVERIFY(frame.document().isSaved());
        QVERIFY(frame.action(CommandId::StartSampling)->isEnabled());
    }

    void cancelStopsTheCard()
    {
        auto store = freshStore("cancel");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        auto card = simulated("realtime");
        auto *sim = static_cast<SimulatedCard *>(card.get());
        frame.attachCard(std::move(card), QString(), nullptr);
        frame.parameters().sampinterval = 60000; // a minute for 1024 samples
        // The wait window counts the samples in and the time left; cancel
        // once it has shown some progress (or after five seconds).
        int shownMaximum = 0, shownValue = 0;
        QString shownText;
        QElapsedTimer waited;
        waited.start();
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            WaitDialog *w = frame.waitDialog();
            if (!w->isVisible())
                return;
            shownMaximum = w->progressBar()->maximum();
            shownValue = w->progressBar()->value();
            shownText = w->progressText();
            if (shownValue >= 2 || waited.elapsed() > 5000)
                w->reject();
        });
        watch.start(20);
        QVERIFY(!frame.startSampling());
        watch.stop();
        QCOMPARE(shownMaximum, 1024);
        QVERIFY(shownValue >= 2);
        QVERIFY2(shownText.contains("/ 1024") && shownText.contains("剩余时间约 1 分"), qPrintable(shownText));
        QVERIFY(!sim->running());
        QVERIFY(!frame.document().record().hasSamples());

        // Nothing to save: refused before any dialog, no file written.
        frame.parameters().projectName = "C";
        bool asked = false;
        frame.setFileChooser([&](CMainFrame::FileRequest, const QString &p, QString *) {
            asked = true;
            return p;
        });
        frame.saveAcquisition();
        QVERIFY(!asked);
        QCOMPARE(messenger.last(), SedraDocument::noAcquiredDataMessage());
        QVERIFY(!QDir(m_dir.filePath("C")).exists());
        // The document refuses as well when asked directly.
        QVERIFY(!frame.document().saveAcquisition(m_dir.filePath("c.cwd"), messenger));
        QVERIFY(!QFile::exists(m_dir.filePath("c.cwd")));
    }

    void noCardGreysAcquisitionAndReleasesTheInstance()
    {
        auto store = freshStore("none");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        const QString name = "sedra-ui-test-" + QUuid::createUuid().toString(QUuid::Id128);
        platform::SingleInstance instance(name);
        QVERIFY(instance.claim());
        frame.attachCard(simulated("absent"), QString(), &instance);
        QVERIFY(!frame.cardPresent());
        QVERIFY(!frame.action(CommandId::StartSampling)->isEnabled());
        QVERIFY(!frame.action(CommandId::Configure)->isEnabled());
        QVERIFY(!instance.isClaimed());
        QVERIFY(!frame.startSampling());
        // A backend that could not be opened says why, once.
        CMainFrame other(*store, messenger);
        other.attachCard(nullptr, "不能访问采集卡端口", nullptr);
        QCOMPARE(messenger.last(), QString("不能访问采集卡端口"));
    }

    void startupRefusals()
    {
        common::RecordingMessenger messenger;
        const QString name = "sedra-ui-test-" + QUuid::createUuid().toString(QUuid::Id128);
        const QString shearWave = "sedra-ui-test-tlv-" + QUuid::createUuid().toString(QUuid::Id128);
        platform::SingleInstance first(name);
        QCOMPARE(checkStartup(first, shearWave, messenger), StartupDecision::Run);
        QSignalSpy woken(&first, &platform::SingleInstance::activationRequested);
        platform::SingleInstance second(name);
        QCOMPARE(checkStartup(second, shearWave, messenger), StartupDecision::HandedOver);
        QTRY_COMPARE(woken.count(), 1);
        QVERIFY(messenger.messages.isEmpty()); // no message for a second start

        platform::SingleInstance shearWaveProgram(shearWave);
        QVERIFY(shearWaveProgram.claim());
        platform::SingleInstance third(name + "-x");
        QCOMPARE(checkStartup(third, shearWave, messenger), StartupDecision::ShearWaveHeld);
        QCOMPARE(messenger.last(),
                 QString("剪切波采集分析系统已经在运行!\n请关闭剪切波采集分析系统后再次运行地脉动采集分析系统!"));
        QVERIFY(!third.isClaimed());
    }

    void settingsDefaultsAndRoundTrip()
    {
        auto store = freshStore("settings");
        const SedraParameters fresh = SedraSettings::load(*store);
        QCOMPARE(fresh.channel, 4);
        QCOMPARE(fresh.opamtime, 1);
        QCOMPARE(fresh.samplenth, 1024);
        QCOMPARE(int(fresh.sampinterval), 8000);
        QCOMPARE(int(fresh.delayTime), 0);
        QCOMPARE(fresh.keyboard, 1);
        SedraParameters p = fresh;
        p.projectName = "工地";
        p.samplenth = 2048;
        p.keyboard = 0;
        SedraSettings::save(*store, p);
        QVERIFY(store->contains("SEDRA试验参数", "Keyborad"));
        QCOMPARE(SedraSettings::load(*store), p);
        // The window writes the parameters back when it goes.
        {
            common::RecordingMessenger m;
            CMainFrame frame(*store, m);
            QCOMPARE(frame.parameters().samplenth, 2048);
            frame.parameters().opamtime = 100;
        }
        QCOMPARE(SedraSettings::load(*store).opamtime, 100);
    }

    void deployDialogRules()
    {
        SedraParameters p;
        p.opamtime = 10;
        p.samplenth = 3000;
        CDeployDlg dialog(p);
        QCOMPARE(dialog.gainBox()->currentText(), QString("10"));
        QCOMPARE(dialog.lengthBox()->currentText(), QString("1024"));
        if (qEnvironmentVariableIsSet("SEDRA_UI_SHOT_DIR")) {
            const QDir shots(qEnvironmentVariable("SEDRA_UI_SHOT_DIR"));
            dialog.grab().save(shots.filePath("cdeploydlg.png"));
            CLVBODLG(FilterSettings{}).grab().save(shots.filePath("clvbodlg.png"));
            WaitDialog wait;
            wait.setText("正在采集。。。");
            wait.grab().save(shots.filePath("wait.png"));
        }
        dialog.intervalEdit()->setText("65535");
        dialog.siteEdit()->setText(QString(100, QChar(u'工')));
        dialog.lengthBox()->setCurrentIndex(1);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(int(dialog.parameters().sampinterval), 65535);
        QCOMPARE(dialog.parameters().samplenth, 2048);
        QCOMPARE(dialog.parameters().projectName.size(), 39); // 78 bytes of GBK
        CDeployDlg again(dialog.parameters());
        QCOMPARE(again.lengthBox()->currentText(), QString("2048"));

        // Values the card cannot take are refused with the range, as
        // sedra-cli refuses them; nothing wraps to 16 bits.
        const struct {
            const char *interval;
            const char *delay;
            const char *range;
        } refused[] = {{"70000", "0", "1 到 65535"}, {"0", "0", "1 到 65535"},        {"-1", "0", "1 到 65535"},
                       {"8000", "-1", "0 到 65535"}, {"8000", "65536", "0 到 65535"}, {"8000", "abc", "0 到 65535"}};
        for (const auto &r : refused) {
            CDeployDlg bad(p);
            bad.intervalEdit()->setText(r.interval);
            bad.delayEdit()->setText(r.delay);
            QString shown;
            QTimer::singleShot(0, this, [&shown] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    shown = box->text();
                    box->close();
                }
            });
            bad.accept();
            QVERIFY2(bad.result() != int(QDialog::Accepted), r.interval);
            QVERIFY2(shown.contains(r.range), qPrintable(shown));
            QCOMPARE(bad.parameters(), p);
        }
    }

    void storedParametersOutsideTheirRangesFallBack()
    {
        auto store = freshStore("ranges");
        store->writeInt(SedraSettings::section(), "Sampinterval", 0);
        store->writeInt(SedraSettings::section(), "DelayTime", 70000);
        const SedraParameters p = SedraSettings::load(*store);
        QCOMPARE(int(p.sampinterval), 8000);
        QCOMPARE(int(p.delayTime), 0);
        store->writeInt(SedraSettings::section(), "Sampinterval", 70000);
        QCOMPARE(int(SedraSettings::load(*store).sampinterval), 8000);
    }

    // A record acquired without a site name and named afterwards in
    // 配置参数 is saved with that name.
    void siteNamedAfterTheAcquisitionIsSaved()
    {
        auto store = freshStore("named-later");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        frame.attachCard(simulated("seed=3"), QString(), nullptr);
        frame.parameters().keyboard = 0;
        frame.parameters().projectName.clear();
        frame.parameters().testSit = "7";
        QVERIFY(frame.startSampling());
        frame.saveAcquisition();
        QCOMPARE(messenger.last(), QString("请在配置参数选项中输入工地名称 ！"));

        QTimer::singleShot(0, this, [] {
            auto *dialog = qobject_cast<CDeployDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->siteEdit()->setText("后来的工地");
            dialog->accept();
        });
        frame.configure();
        QCOMPARE(frame.parameters().projectName, QString("后来的工地"));
        QCOMPARE(frame.document().record().siteName(), QString("后来的工地"));

        QString saved;
        frame.setFileChooser([&](CMainFrame::FileRequest, const QString &p, QString *) { return saved = p; });
        frame.saveAcquisition();
        QCOMPARE(messenger.last(), QString("保存本次数据成功！"));
        SedraDocument reread;
        QVERIFY(reread.load(saved, messenger));
        QCOMPARE(reread.record().siteName(), QString("后来的工地"));
        QCOMPARE(reread.printInfo().siteName, QString("后来的工地"));
    }

    // The window's own file dialogs: a folder proposed is the folder shown
    // (not its parent), a file proposed is named in its folder.
    void fileDialogsStartWhereTheyPropose()
    {
        auto store = freshStore("dialogs");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        const QString folder = m_dir.filePath("工作文件夹");
        QVERIFY(QDir().mkpath(folder));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder));
        QString shownFolder, shownFile;
        const auto look = [&] {
            QTimer::singleShot(0, this, [&] {
                auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                shownFolder = dialog->directory().absolutePath();
                shownFile = dialog->selectedFiles().value(0);
                dialog->reject();
            });
        };
        look();
        frame.runCommand(CommandId::OpenThreeComponent);
        QCOMPARE(shownFolder, QDir(folder).absolutePath());
        look();
        frame.runCommand(CommandId::SaveAs);
        QCOMPARE(shownFolder, QDir(folder).absolutePath());
        QCOMPARE(QFileInfo(shownFile).fileName(), QString("SEDRA.cwd"));
        QVERIFY(QDir::setCurrent(before));
    }

    void filterDialogFirstOpening()
    {
        FilterSettings settings;
        CLVBODLG dialog(settings);
        QCOMPARE(dialog.lowPassEdit()->text(), QString("10"));
        QCOMPARE(dialog.highPassEdit()->text(), QString("2"));
        QCOMPARE(dialog.kindGroup()->checkedId(), 0);
        QVERIFY(!dialog.channelBox(0)->isChecked());
        dialog.kindGroup()->button(2)->setChecked(true);
        dialog.channelBox(1)->setChecked(true);
        dialog.accept();
        QVERIFY(dialog.settings().pending);
        QCOMPARE(dialog.settings().channelMask, 2);
        QCOMPARE(dialog.settings().storedKind, 3);
    }

    void printSetCancelKeepsTextButAppliesRightValues()
    {
        PrintInfo current;
        PrintInfo edited = current;
        edited.header = "新页眉";
        edited.showRightValues = true;
        const PrintInfo kept = applyPrintSet(current, edited, false);
        QCOMPARE(kept.header, QString("采样数据图表"));
        QVERIFY(kept.showRightValues);
        QCOMPARE(applyPrintSet(current, edited, true).header, QString("新页眉"));
    }

    // H/V from the window: a text record read through the three-component
    // reader switches to the H/V view, a file that is no record is refused
    // with its reason, and the page printed in H/V mode is the H/V page.
    void hvModeFromAFile()
    {
        auto store = freshStore("hvfile");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        frame.resize(1400, 820);
        QVERIFY(!frame.hvMode());
        QVERIFY(!frame.action(CommandId::HvStop)->isEnabled());

        QFile bad(m_dir.filePath("bad.txt"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("1 2\n3 4\n");
        bad.close();
        QVERIFY(!frame.openThreeComponent({bad.fileName()}));
        QCOMPARE(messenger.kinds.last(), common::MessageKind::Error);
        QVERIFY(messenger.last().startsWith(QStringLiteral("不能读取三分量记录：")));
        QVERIFY(!frame.hvMode());

        QFile text(m_dir.filePath("hv.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        QByteArray body("# dt = 0.01\n");
        std::uint64_t state = 7;
        const auto noise = [&] {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            return double(state >> 11) * 0x1.0p-53 - 0.5;
        };
        for (int i = 0; i < 6 * 60 * 100; ++i)
            body += QByteArray::number(noise()) + ' ' + QByteArray::number(noise()) + ' ' + QByteArray::number(noise())
                + '\n';
        text.write(body);
        text.close();
        frame.setFileChooser([&](CMainFrame::FileRequest request, const QString &, QString *filter) {
            if (request == CMainFrame::FileRequest::Snapshot) {
                *filter = QStringLiteral("打印页面 PDF 文件 (*.pdf)");
                return m_dir.filePath("hvpage.pdf");
            }
            return request == CMainFrame::FileRequest::OpenThreeComponent ? text.fileName() : QString();
        });
        frame.action(CommandId::OpenThreeComponent)->trigger();
        QVERIFY(frame.hvMode());
        QVERIFY(frame.action(CommandId::HvMode)->isChecked());
        QCOMPARE(frame.hvView()->result().windows.size(), std::size_t(6));
        if (qEnvironmentVariableIsSet("SEDRA_HV_SHOT"))
            frame.grab().save(qEnvironmentVariable("SEDRA_HV_SHOT"));
        QCOMPARE(static_cast<QStackedWidget *>(frame.centralWidget())->currentWidget(), frame.hvView());

        // The PDF in H/V mode is the H/V page: written whole.
        frame.runCommand(CommandId::Snapshot);
        QCOMPARE(messenger.last(), QStringLiteral("保存文件成功"));
        QFile pdf(m_dir.filePath("hvpage.pdf"));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.readAll().contains("%%EOF"));

        frame.action(CommandId::HvMode)->trigger();
        QVERIFY(!frame.hvMode());
        QCOMPARE(static_cast<QStackedWidget *>(frame.centralWidget())->currentWidget(), frame.view());
    }

    // A long recording from the simulated microtremor card analysed while it
    // grows, in the window, and saved as miniSEED when it ends.
    void hvLiveRecordingEndToEnd()
    {
        auto store = freshStore("hvlive");
        common::RecordingMessenger messenger;
        CMainFrame frame(*store, messenger);
        frame.resize(1400, 820);
        frame.attachCard(simulated("hv:f0=2.0,a0=4,damping=0.15,transients=2,seed=5,fast"), QString(), nullptr);
        QVERIFY(frame.action(CommandId::HvRecording)->isEnabled());
        frame.parameters().sampinterval = 10000; // 100 Hz
        const QString saved = m_dir.filePath("live.mseed");
        frame.setFileChooser([&](CMainFrame::FileRequest request, const QString &, QString *) {
            return request == CMainFrame::FileRequest::SaveMiniSeed ? saved : QString();
        });
        std::vector<std::size_t> windows;
        connect(frame.hvView(), &HvView::resultChanged, this,
                [&] { windows.push_back(frame.hvView()->result().windows.size()); });
        QVERIFY(frame.startHvRecording(15));
        QVERIFY(frame.hvMode());
        QVERIFY(frame.hvRecording());
        QVERIFY(!frame.action(CommandId::HvRecording)->isEnabled());
        QVERIFY(!frame.action(CommandId::StartSampling)->isEnabled());
        QVERIFY(frame.action(CommandId::HvStop)->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!frame.hvRecording(), 60000);
        QVERIFY(!frame.action(CommandId::HvStop)->isEnabled());

        QCOMPARE(frame.hvView()->result().windows.size(), std::size_t(15));
        QVERIFY(std::fabs(frame.hvView()->result().f0 - 2.0) < 0.15);
        // Updated window by window while recording, not once at the end.
        QVERIFY(std::count(windows.begin(), windows.end(), std::size_t(7)) >= 1);
        QVERIFY(frame.hvView()->dataSufficient());
        QVERIFY(!frame.hvView()->isLive());
        QVERIFY(frame.hvView()->sufficiencyIndicator()->text().startsWith(QStringLiteral("数据已足够")));
        // A hand mark after the recording is kept by a later velocity change.
        QVERIFY(frame.hvView()->toggleWindow(2));
        frame.hvView()->vsEdit()->setValue(300);
        QCOMPARE(frame.hvView()->result().windows[2].manual, ManualMark::Reject);
        QVERIFY(frame.hvView()->result().depth.has_value());

        QCOMPARE(messenger.last(), QStringLiteral("保存文件成功"));
        const ThreeComponentReadResult back = readThreeComponent({saved});
        QVERIFY2(back.ok(), qPrintable(back.error));
        QCOMPARE(back.record.sampleCount(), std::size_t(15 * 60 * 100));
        QCOMPARE(back.record.components[2], frame.hvView()->record().components[2]);
    }
};

QTEST_MAIN(SedraUiTest)
#include "ui_test.moc"
