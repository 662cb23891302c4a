// SEDRA, the microtremor acquisition and analysis program.

#include "common/platform/programwindows.h"
#include "common/platform/singleinstance.h"
#include "common/qttranslations.h"
#include "common/settingsstore.h"
#include "sedra/card/cardbackend.h"
#include "sedra/core/sedrasettings.h"
#include "sedra/core/startupcheck.h"
#include "sedra/ui/cmainframe.h"
#include "common/messenger.h"
#include "common/widgets/messageboxmessenger.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("SEDRA"));
    QApplication::setApplicationVersion(QStringLiteral(SEDRA_VERSION));
    common::installQtTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("地脉动采集分析系统"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("settings"), QStringLiteral("设置保存在此 INI 文件中，而不是用户的设置中。"),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("instance"), QStringLiteral("单实例名称（默认 SEDRAProgram；测试用）。"),
                      QStringLiteral("NAME"), QStringLiteral("SEDRAProgram")});
    parser.addOption(
        {QStringLiteral("grab"), QStringLiteral("窗口显示后保存截图到 FILE（PNG）并退出。"), QStringLiteral("FILE")});
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("要打开的数据文件 (*.cwd)"),
                                 QStringLiteral("[FILE.cwd]"));
    parser.process(app);

    // Not beside the shear-wave acquisition program; a second start brings
    // the running one to the front and ends.
    platform::SingleInstance instance(parser.value(QStringLiteral("instance")));
    {
        common::MessageBoxMessenger startupMessenger(QStringLiteral("地脉动"), nullptr, QStringLiteral("提示"));
        switch (sedra::checkStartup(instance, QStringLiteral("TLVProgram"), startupMessenger)) {
        case sedra::StartupDecision::Run: break;
        case sedra::StartupDecision::ShearWaveHeld: return 1;
        case sedra::StartupDecision::HandedOver: return 0;
        }
    }

    const std::unique_ptr<platform::ProgramWindows> windows = platform::createProgramWindows();
    QString note;
    windows->closeWindow(QStringLiteral("Voltora"), &note);

    std::unique_ptr<common::SettingsStore> store = parser.isSet(QStringLiteral("settings"))
        ? std::make_unique<common::SettingsStore>(parser.value(QStringLiteral("settings")))
        : std::make_unique<common::SettingsStore>(sedra::SedraSettings::company(), sedra::SedraSettings::application());

    // A screenshot run (--grab) prints its messages instead of waiting for
    // someone to close a message box, and declines every question.
    const bool grabbing = parser.isSet(QStringLiteral("grab"));
    common::MessageBoxMessenger boxes(QStringLiteral("地脉动"), nullptr, QStringLiteral("提示"));
    common::ConsoleMessenger console(false);
    common::Messenger &messenger = grabbing ? static_cast<common::Messenger &>(console) : boxes;
    bool cardPresent = false;
    {
        sedra::CMainFrame frame(*store, messenger);
        boxes.setParent(&frame);
        QObject::connect(&instance, &platform::SingleInstance::activationRequested, &frame, [&frame] {
            frame.setWindowState((frame.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
            frame.raise();
            frame.activateWindow();
        });
        const QString programFolder = QCoreApplication::applicationDirPath();
        QString cardNote;
        std::unique_ptr<sedra::PortIo> io;
        if (const auto selection = sedra::selectCard(sedra::SedraSettings::cardBackend(*store), &cardNote))
            io = sedra::openCard(*selection, programFolder, &cardNote);
        if (grabbing) {
            frame.resize(1200, 800);
            frame.show();
        } else {
            frame.showMaximized();
        }
        frame.attachCard(std::move(io), cardNote, &instance);
        cardPresent = frame.cardPresent();
        if (!parser.positionalArguments().isEmpty())
            frame.openFile(parser.positionalArguments().constFirst());
        if (grabbing) {
            const QString shot = parser.value(QStringLiteral("grab"));
            QTimer::singleShot(500, &frame, [&frame, shot] {
                frame.grab().save(shot);
                QApplication::quit();
            });
        }
        app.exec();
    }

    // At the end the sibling program comes back, when this one had the card.
    if (cardPresent && !windows->startProgram(QStringLiteral("Voltora"), QCoreApplication::applicationDirPath(), &note))
        std::fprintf(stderr, "%s\n", note.toLocal8Bit().constData());
    return 0;
}
