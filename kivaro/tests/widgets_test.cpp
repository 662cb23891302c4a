// The link window's pages: enabling rules, the settings kept between runs,
// the save folder a first start offers, and both pages driven over a
// pseudo-terminal.

#include "kivaro/core/linkmessages.h"
#include "kivaro/core/updatefile.h"
#include "kivaro/tests/fakelinkhost.h"
#include "kivaro/ui/clinkdialog.h"
#include "kivaro/ui/csenddialog.h"
#include "kivaro/ui/cupdatedialog.h"

#include "common/qttranslations.h"
#include "common/settingsstore.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <limits>
#include <QtTest>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace kivaro;
using kivaro::test::le;

class WidgetsTest : public QObject {
    Q_OBJECT
private slots:
    void firstRunShowsDefaults();
    void settingsAreWrittenAtClose();
    void upgradeStartFollowsTheFileCheck();
    void downloadPageOverPseudoTerminal();
    void upgradeControlsRestWhileItRuns();
    void qtDialogsSpeakChinese();
    void helpOpensTheManual();
};

void WidgetsTest::firstRunShowsDefaults()
{
    QTemporaryDir dir;
    common::SettingsStore store(dir.filePath("k.ini"));
    KivaroSettings settings(store);
    common::RecordingMessenger messenger;
    CLinkDialog dialog(settings, messenger);

    QCOMPARE(dialog.windowTitle(), QStringLiteral("KIVARO 数据传输程序"));
    QCOMPARE(dialog.sheet()->tabText(0), QStringLiteral("仪器数据传输"));
    QCOMPARE(dialog.sheet()->tabText(1), QStringLiteral("升级仪器内程序"));
    CSendDialog *send = dialog.sendPage();
    QCOMPARE(send->portList()->currentText(), QStringLiteral("COM 1"));
    QCOMPARE(send->baudList()->currentText(), QStringLiteral("19200"));
    // Downloads go to a folder in the user's documents, shown in the page.
    QCOMPARE(send->savePath(), KivaroSettings::defaultSavePath());
    QCOMPARE(send->pathField()->text(), KivaroSettings::defaultSavePath());
    QVERIFY(send->connectButton()->isEnabled());
    QVERIFY(!send->startButton()->isEnabled());
    CUpdateDialog *update = dialog.updatePage();
    QCOMPARE(update->portList()->currentText(), QStringLiteral("COM 1"));
    QCOMPARE(update->baudList()->currentText(), QStringLiteral("19200"));
    QVERIFY(!update->baudList()->isEnabled());
    QVERIFY(!update->startButton()->isEnabled());
}

void WidgetsTest::settingsAreWrittenAtClose()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("k.ini");
    {
        common::SettingsStore store(ini);
        KivaroSettings settings(store);
        common::RecordingMessenger messenger;
        CLinkDialog dialog(settings, messenger);
        CSendDialog *send = dialog.sendPage();
        send->portList()->setCurrentIndex(2);
        send->baudList()->setCurrentIndex(3);
        dialog.updatePage()->portList()->setCurrentIndex(5); // not kept
        // The browser opens at the save folder, or at its nearest existing
        // parent while the folder is not made yet.
        QString openedAt;
        const QString chosen = dir.filePath("data");
        QDir().mkpath(chosen);
        send->setFolderChooser([&](const QString &start) {
            openedAt = start;
            return chosen;
        });
        send->chooseFolder();
        QCOMPARE(openedAt, CSendDialog::browseStart(KivaroSettings::defaultSavePath()));
        QCOMPARE(send->savePath(), chosen + "/");
        QCOMPARE(send->pathField()->text(), chosen + "/");
        send->setFolderChooser([&](const QString &start) { // cancelled
            openedAt = start;
            return QString();
        });
        send->chooseFolder();
        QCOMPARE(openedAt, chosen);
        QCOMPARE(send->savePath(), chosen + "/");
        QCOMPARE(CSendDialog::browseStart(chosen + "/not/yet/made/"), chosen);
        dialog.reject();
    }
    common::SettingsStore store(ini);
    QCOMPARE(store.readInt("Settings", QStringLiteral("通讯口"), -1), 2);
    QCOMPARE(store.readInt("Settings", QStringLiteral("波特率"), -1), 3);
    QCOMPARE(store.readText("Settings", QStringLiteral("保存路径"), QString()), dir.filePath("data") + "/");

    KivaroSettings settings(store);
    common::RecordingMessenger messenger;
    CLinkDialog again(settings, messenger);
    QCOMPARE(again.sendPage()->portList()->currentText(), QStringLiteral("COM 3"));
    QCOMPARE(again.sendPage()->baudList()->currentText(), QStringLiteral("57600"));
    QCOMPARE(again.updatePage()->portList()->currentText(), QStringLiteral("COM 3"));
    QCOMPARE(again.updatePage()->baudList()->currentText(), QStringLiteral("19200"));
    QCOMPARE(CSendDialog::withTrailingSeparator("/"), QStringLiteral("/"));
    QCOMPARE(CSendDialog::withTrailingSeparator("C:\\"), QStringLiteral("C:\\"));
}

void WidgetsTest::upgradeStartFollowsTheFileCheck()
{
    QTemporaryDir dir;
    common::RecordingMessenger messenger;
    CUpdateDialog page(
        0, [](int) { return QString(); }, messenger);
    QByteArray bytes = UpdateFile::build("FW", 1.19999993f, QByteArray(50, 'x'));
    const auto save = [&](const QString &name, const QByteArray &content) {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return f.fileName();
    };
    page.setFileChooser([&] { return save("good.update", bytes); });
    page.chooseFile();
    QVERIFY(page.startButton()->isEnabled());
    QCOMPARE(page.versionField()->text(), QStringLiteral("1.2"));
    QVERIFY(messenger.messages.isEmpty());

    bytes[32] = char(bytes[32] + 1); // header check value
    page.loadFile(save("bad.update", bytes));
    QVERIFY(!page.startButton()->isEnabled());
    QCOMPARE(messenger.last(), messages::badUpdateFile());

    page.loadFile(save("good2.update", UpdateFile::build("FW", 2.0f, QByteArray(5, 'y'))));
    QVERIFY(page.startButton()->isEnabled());
    // A version that is no number: every sum holds, but nothing may be sent.
    page.loadFile(save("nan.update", UpdateFile::build("FW", std::numeric_limits<float>::quiet_NaN(), "z")));
    QVERIFY(!page.startButton()->isEnabled());
    QCOMPARE(messenger.last(), messages::badUpdateFile());
    page.loadFile(dir.filePath("missing.update"));
    QVERIFY(!page.startButton()->isEnabled());
    QCOMPARE(messenger.last(), messages::cannotOpenFile(dir.filePath("missing.update")));
}

namespace {
// Reads from the instrument's end of the pseudo-terminal until `count` bytes came.
QByteArray readInstrumentEnd(int fd, int count)
{
    QByteArray got;
    for (int i = 0; i < 200 && got.size() < count; ++i) {
        QCoreApplication::processEvents();
        char buffer[256];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, n);
        else
            QTest::qWait(5);
    }
    return got;
}
} // namespace

void WidgetsTest::downloadPageOverPseudoTerminal()
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    QTemporaryDir dir;
    common::SettingsStore store(dir.filePath("k.ini"));
    KivaroSettings settings(store);
    settings.setDevicePath(1, QString::fromLocal8Bit(name));
    settings.save(LinkSettings{0, 1, dir.filePath("save") + "/"});
    common::RecordingMessenger messenger;
    CLinkDialog dialog(settings, messenger);
    CSendDialog *page = dialog.sendPage();

    page->connectButton()->click();
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("?"));
    QVERIFY(::write(master, "K-1\0\0\0\0\0\0", 9) == 9);
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("!"));
    QVERIFY(::write(master, le(2, 2).constData(), 2) == 2);
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("#"));
    QVERIFY(::write(master, "P1\0\0\0\0\0\0P2\0\0\0\0\0\0", 16) == 16);
    QTRY_COMPARE(page->projectList()->count(), 2);
    QVERIFY(page->startButton()->isEnabled());
    QVERIFY(!page->connectButton()->isEnabled());

    page->connectInstrument(); // the port is open already
    QCOMPARE(messenger.last(), messages::cannotOpenPort());
    page->startButton()->click();
    QCOMPARE(messenger.last(), messages::noProjectChosen());

    page->projectList()->item(1)->setCheckState(Qt::Checked);
    page->startButton()->click();
    QVERIFY(!page->startButton()->isEnabled());
    QCOMPARE(readInstrumentEnd(master, 9), QByteArray("P2\0\0\0\0\0\0(", 9));

    // The response timer runs out: the port closes and 开始传输 opens it again.
    page->session().timeout();
    QCOMPARE(messenger.last(), messages::noResponse());
    QVERIFY(!page->driver().isOpen());
    QVERIFY(page->startButton()->isEnabled());
    QVERIFY(page->connectButton()->isEnabled());
    page->startButton()->click();
    QVERIFY(page->driver().isOpen());
    QCOMPARE(readInstrumentEnd(master, 9), QByteArray("P2\0\0\0\0\0\0(", 9));
    QVERIFY(::write(master, le(1, 2).constData(), 2) == 2);
    QCOMPARE(readInstrumentEnd(master, 2), QByteArray("<@"));
    QVERIFY(::write(master, "a.cwd\0\0\0\0\0\0\0", 12) == 12);
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("$"));
    QVERIFY(::write(master, le(5, 4).constData(), 4) == 4);
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("*"));
    QVERIFY(::write(master, "hello", 5) == 5);
    QTRY_VERIFY(page->connectButton()->isEnabled());
    QVERIFY(!page->startButton()->isEnabled());
    QCOMPARE(messenger.last(), messages::transferFinishedIn(dir.filePath("save") + "/"));
    QFile saved(dir.filePath("save/P2/a.cwd"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), QByteArray("hello"));
    QVERIFY(!page->driver().isOpen());
    QCOMPARE(page->progressBar(DownloadSession::Bar::Projects)->value(), 1);
    QCOMPARE(page->statusLabel(DownloadSession::Bar::Files)->text(), QStringLiteral("文件数量: 1/1"));

    // Connecting again clears the bars and status lines of the transfer before.
    page->connectButton()->click();
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("?"));
    for (const auto bar :
         {DownloadSession::Bar::Projects, DownloadSession::Bar::Files, DownloadSession::Bar::CurrentFile})
        QTRY_COMPARE(page->progressBar(bar)->value(), 0);
    QCOMPARE(page->statusLabel(DownloadSession::Bar::Projects)->text(), QStringLiteral("工程数量: 0/0"));
    QCOMPARE(page->statusLabel(DownloadSession::Bar::CurrentFile)->text(), QStringLiteral("当前文件: 0/0"));
    page->session().timeout();
    ::close(slave);
    ::close(master);
}

void WidgetsTest::upgradeControlsRestWhileItRuns()
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    QVERIFY(::openpty(&master, &slave, name, nullptr, nullptr) == 0);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    QTemporaryDir dir;
    QFile file(dir.filePath("fw.update"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(UpdateFile::build("FW", 1.5f, QByteArray(2000, 'q')));
    file.close();

    common::RecordingMessenger messenger;
    const QString device = QString::fromLocal8Bit(name);
    CUpdateDialog page(
        0, [device](int) { return device; }, messenger);
    page.loadFile(file.fileName());
    page.startButton()->click();
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("?"));
    QVERIFY(::write(master, le(100, 2).constData(), 2) == 2);
    QCOMPARE(readInstrumentEnd(master, 1), QByteArray("y"));
    QCOMPARE(page.session().state(), UpdateSession::State::WaitConfirm);

    // 开始升级, the file chooser and the port list rest while the upgrade
    // runs; a press that comes anyway leaves the exchange as it is, without a message.
    QVERIFY(!page.startButton()->isEnabled());
    QVERIFY(!page.browseButton()->isEnabled());
    QVERIFY(!page.portList()->isEnabled());
    page.startUpgrade();
    QVERIFY(messenger.messages.isEmpty());
    QCOMPARE(page.session().state(), UpdateSession::State::WaitConfirm);
    QVERIFY(::write(master, "y", 1) == 1);
    QTRY_COMPARE(page.session().state(), UpdateSession::State::WaitBlockRequest);
    QCOMPARE(readInstrumentEnd(master, 8).left(4), le(2000, 4));
    QVERIFY(::write(master, "g", 1) == 1);
    QCOMPARE(readInstrumentEnd(master, 1024), QByteArray(1024, 'q'));
    QVERIFY(::write(master, "g", 1) == 1);
    QCOMPARE(readInstrumentEnd(master, 976), QByteArray(976, 'q'));
    QTRY_COMPARE(page.session().state(), UpdateSession::State::Idle);

    // Done: the same file may be sent again.
    QCOMPARE(messenger.messages, QStringList{messages::upgradeFinished()});
    QVERIFY(page.startButton()->isEnabled());
    QVERIFY(page.browseButton()->isEnabled());
    QVERIFY(page.portList()->isEnabled());
    ::close(slave);
    ::close(master);
}

// 帮助主题 (F1) opens the HTML manual, 用户手册 the PDF; a missing one is said.
void WidgetsTest::helpOpensTheManual()
{
    QTemporaryDir dir;
    common::SettingsStore store(dir.filePath("k.ini"));
    KivaroSettings settings(store);
    common::RecordingMessenger messenger;
    CLinkDialog dialog(settings, messenger);
    QStringList opened;
    dialog.setProgramFolder(dir.path());
    dialog.setDocumentOpener([&](const QString &path) {
        opened << path;
        return true;
    });
    QCOMPARE(dialog.helpTopicsAction()->shortcut(), QKeySequence(Qt::Key_F1));
    dialog.helpTopicsAction()->trigger();
    QVERIFY(opened.isEmpty());
    QVERIFY2(messenger.last().contains("KIVARO/index.html"), qPrintable(messenger.last()));

    QVERIFY(QDir(dir.path()).mkpath("KIVARO"));
    for (const char *name : {"KIVARO.pdf", "KIVARO/index.html"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    dialog.helpTopicsAction()->trigger();
    dialog.userManualAction()->trigger();
    QCOMPARE(opened, (QStringList{dir.filePath("KIVARO/index.html"), dir.filePath("KIVARO.pdf")}));
}

void WidgetsTest::qtDialogsSpeakChinese()
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + "/qtbase_zh_CN.qm"))
        QSKIP("Qt's Chinese translations are not installed (scripts/setup.sh installs them)");
    common::installQtTranslations(*QCoreApplication::instance());
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    QCOMPARE(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    QCOMPARE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
}

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
