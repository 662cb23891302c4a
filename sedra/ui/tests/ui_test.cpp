// The window with a simulated card, offscreen: one acquisition from start to
// saved file and snapshots, the refusals around it, the dialogs' rules, the
// settings and the start-up checks.

#include "common/messenger.h"
#include "common/platform/singleinstance.h"
#include "common/settingsstore.h"
#include "sedra/card/simulatedcard.h"
#include "sedra/core/sedrasettings.h"
#include "sedra/core/startupcheck.h"
#include "sedra/ui/cdeploydlg.h"
#include "sedra/ui/clvbodlg.h"
#include "sedra/ui/cmainframe.h"
#include "sedra/ui/csedraview.h"
#include "sedra/ui/waitdialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUuid>

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
        QVERIFY(!frame.action("start")->isEnabled());
        frame.attachCard(simulated("freq=2.0/3.5/6.0,seed=7"), QString(), nullptr);
        QVERIFY(frame.cardPresent());
        QVERIFY(frame.action("start")->isEnabled());
        QVERIFY(frame.action("configure")->isEnabled());
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
        QVERIFY(frame.action("start")->isEnabled());
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
        QTimer::singleShot(200, frame.waitDialog(), [&frame] { frame.waitDialog()->reject(); });
        QVERIFY(!frame.startSampling());
        QVERIFY(!sim->running());
        QVERIFY(!frame.document().record().hasSamples());
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
        QVERIFY(!frame.action("start")->isEnabled());
        QVERIFY(!frame.action("configure")->isEnabled());
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
        dialog.intervalEdit()->setText("70000");
        dialog.siteEdit()->setText(QString(100, QChar(u'工')));
        dialog.lengthBox()->setCurrentIndex(1);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(int(dialog.parameters().sampinterval), 70000 - 65536);
        QCOMPARE(dialog.parameters().samplenth, 2048);
        QCOMPARE(dialog.parameters().projectName.size(), 39); // 78 bytes of GBK
        CDeployDlg again(dialog.parameters());
        QCOMPARE(again.lengthBox()->currentText(), QString("2048"));

        CDeployDlg bad(p);
        bad.delayEdit()->setText("abc");
        QTimer::singleShot(0, this, [] {
            if (QWidget *box = QApplication::activeModalWidget())
                box->close();
        });
        bad.accept();
        QVERIFY(bad.result() != int(QDialog::Accepted));
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
};

QTEST_MAIN(SedraUiTest)
#include "ui_test.moc"
