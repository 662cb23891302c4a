// kivaro-cli: the instrument link without windows. Downloads projects from
// the instrument, uploads a firmware image, or checks an .update file, over
// the same exchanges and serial layer as KIVARO.

#include "kivaro/core/diskfoldersink.h"
#include "kivaro/core/downloadsession.h"
#include "kivaro/core/kivarosettings.h"
#include "kivaro/core/linkmessages.h"
#include "kivaro/core/updatefile.h"
#include "kivaro/core/updatesession.h"
#include "kivaro/serial/linkdriver.h"

#include "common/messenger.h"
#include "common/settingsstore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

using namespace kivaro;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void print(const QString &line)
{
    std::fprintf(stdout, "%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void printError(const QString &line)
{
    std::fprintf(stderr, "%s\n", line.toUtf8().constData());
    std::fflush(stderr);
}

const QString kUsage = QStringLiteral(
    "Usage:\n"
    "  kivaro-cli download (--device PATH | --port N) [--baud B] --save DIR [--projects NAME,...]\n"
    "  kivaro-cli upgrade (--device PATH | --port N) FILE.update\n"
    "  kivaro-cli check FILE.update\n"
    "\n"
    "download  without --projects lists the instrument number and its projects and downloads\n"
    "          nothing; with --projects copies those projects into DIR/<project>/.\n"
    "upgrade   checks FILE.update, asks the instrument for its version and uploads the image\n"
    "          when the file is newer (always at 19200 baud).\n"
    "check     shows the header of FILE.update and whether the file is intact.\n"
    "\n"
    "--port N maps COM N to a device through KIVARO's settings (section \"Devices\").\n"
    "Exit status: 0 done, 1 failed, 2 wrong command line.\n");

// The device for the command line's --device or --port.
CMSComm::DeviceResolver resolverFor(const QCommandLineParser &parser, int &portNumber, QString &error)
{
    portNumber = 1;
    if (parser.isSet("device")) {
        const QString device = parser.value("device");
        return [device](int) { return device; };
    }
    if (parser.isSet("port")) {
        bool ok = false;
        portNumber = parser.value("port").toInt(&ok);
        if (!ok || portNumber < 1 || portNumber > KivaroSettings::kPortCount) {
            error = QStringLiteral("--port takes 1 … %1").arg(KivaroSettings::kPortCount);
            return {};
        }
        return [](int n) {
            common::SettingsStore store(QStringLiteral("Qelvorn"), QStringLiteral("KIVARO"));
            return KivaroSettings(store).devicePath(n);
        };
    }
    error = QStringLiteral("give --device PATH or --port N");
    return {};
}

void addCommonOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(kUsage);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("command", "download, upgrade or check");
}

void addLinkOptions(QCommandLineParser &parser)
{
    parser.addOption({ "device", "Serial device (or pseudo-terminal) of the instrument.", "PATH" });
    parser.addOption({ "port", "Port COM N, mapped to a device by the settings.", "N" });
    parser.addOption({ "response-ms", "Response time-out in milliseconds (default 2000).", "MS" });
}

int intOption(const QCommandLineParser &parser, const QString &name, int fallback)
{
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    return parser.isSet(name) && ok && v > 0 ? v : fallback;
}

int runDownload(QCoreApplication &app, const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser);
    addLinkOptions(parser);
    parser.addOption({ "baud", "Baud rate (default 19200).", "B", "19200" });
    parser.addOption({ "save", "Folder that receives one sub-folder per project.", "DIR" });
    parser.addOption({ "projects", "Comma-separated projects to download.", "NAMES" });
    parser.process(arguments);

    int portNumber = 1;
    QString error;
    const auto resolver = resolverFor(parser, portNumber, error);
    bool baudOk = false;
    const int baud = parser.value("baud").toInt(&baudOk);
    if (!resolver || !baudOk || baud <= 0 || (parser.isSet("projects") && !parser.isSet("save"))) {
        printError(error.isEmpty()
                ? QStringLiteral("download needs a baud rate and, with --projects, --save DIR")
                : error);
        return kExitUsage;
    }

    common::ConsoleMessenger messenger;
    DiskFolderSink sink;
    LinkDriver driver(resolver, messenger);
    DownloadSession session(driver, sink, messenger);
    session.setResponseInterval(intOption(parser, "response-ms", DownloadSession::kResponseMs));
    driver.setReceiver([&](const QByteArray &b) { session.receive(b); }, [&] { session.timeout(); });

    QString lastStatus[3];
    QObject::connect(&session, &DownloadSession::progressChanged, [&] {
        for (int i = 0; i < 3; ++i) {
            const QString line = session.statusLine(DownloadSession::Bar(i));
            if (line != lastStatus[i] && session.state() != DownloadSession::State::Listed) {
                lastStatus[i] = line;
                print(line);
            }
        }
    });

    const QStringList wanted = parser.value("projects").split(u',', Qt::SkipEmptyParts);
    int exitCode = kExitFailed;
    QObject::connect(&session, &DownloadSession::finished, [&](DownloadSession::Outcome outcome) {
        switch (outcome) {
        case DownloadSession::Outcome::Listed: {
            print(QStringLiteral("仪器编号: %1").arg(session.instrumentNumber()));
            const QStringList names = session.projectNames();
            if (wanted.isEmpty()) {
                for (const QString &name : names)
                    print(QStringLiteral("工程: %1").arg(name));
                driver.closePort();
                exitCode = kExitOk;
                app.quit();
                return;
            }
            QList<int> selected;
            for (const QString &name : wanted) {
                const int index = int(names.indexOf(name));
                if (index < 0) {
                    printError(QStringLiteral("仪器里没有工程 \"%1\"").arg(name));
                    driver.closePort();
                    app.quit();
                    return;
                }
                selected.append(index);
            }
            QMetaObject::invokeMethod(
                &app, [&, selected] { session.startTransfer(selected, parser.value("save")); },
                Qt::QueuedConnection);
            return;
        }
        case DownloadSession::Outcome::NoProjects:
            print(QStringLiteral("仪器编号: %1").arg(session.instrumentNumber()));
            exitCode = wanted.isEmpty() ? kExitOk : kExitFailed;
            break;
        case DownloadSession::Outcome::Finished:
            exitCode = session.problemCount() == 0 ? kExitOk : kExitFailed;
            break;
        case DownloadSession::Outcome::TimedOut:
        case DownloadSession::Outcome::SerialFailed:
        case DownloadSession::Outcome::FolderFailed:
            exitCode = kExitFailed;
            break;
        }
        // Messages of the outcome are shown after this signal; quit once they are.
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });

    if (driver.open(portNumber, baud, false) != LinkDriver::OpenResult::Opened)
        return kExitFailed;
    session.startConnect();
    app.exec();
    return exitCode;
}

int runUpgrade(QCoreApplication &app, const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser);
    addLinkOptions(parser);
    parser.addOption({ "block-response-ms", "Time-out after a data block (default 20000).", "MS" });
    parser.addPositionalArgument("file", "The .update file.");
    parser.process(arguments);

    int portNumber = 1;
    QString error;
    const auto resolver = resolverFor(parser, portNumber, error);
    if (!resolver || parser.positionalArguments().size() != 2) {
        printError(error.isEmpty() ? QStringLiteral("upgrade needs one .update file") : error);
        return kExitUsage;
    }
    common::ConsoleMessenger messenger;
    const QString path = parser.positionalArguments().at(1);
    const UpdateFile file = UpdateFile::load(path);
    if (file.status() == UpdateFile::Status::CannotOpen) {
        messenger.show(messages::cannotOpenFile(path), common::MessageKind::Error);
        return kExitFailed;
    }
    if (!file.isValid()) {
        messenger.show(messages::badUpdateFile(), common::MessageKind::Error);
        return kExitFailed;
    }

    LinkDriver driver(resolver, messenger);
    UpdateSession session(driver, messenger);
    session.setResponseIntervals(intOption(parser, "response-ms", UpdateSession::kResponseMs),
        intOption(parser, "block-response-ms", UpdateSession::kBlockResponseMs));
    driver.setReceiver([&](const QByteArray &b) { session.receive(b); }, [&] { session.timeout(); });
    QObject::connect(&session, &UpdateSession::progressChanged, [&] { print(session.statusLine()); });
    int exitCode = kExitFailed;
    QObject::connect(&session, &UpdateSession::finished, [&](UpdateSession::Outcome outcome) {
        exitCode = outcome == UpdateSession::Outcome::Upgraded
                || outcome == UpdateSession::Outcome::InstrumentNewer
                || outcome == UpdateSession::Outcome::InstrumentSame
            ? kExitOk
            : kExitFailed;
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });

    const int baud = KivaroSettings::baudRate(KivaroSettings::kUpgradeBaudIndex);
    if (driver.open(portNumber, baud, true) != LinkDriver::OpenResult::Opened)
        return kExitFailed;
    session.start(
        UpdatePlan::fromShownText(file.sizeText(), file.versionText(), file.checksumText(), file.image()));
    app.exec();
    return exitCode;
}

int runCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    addCommonOptions(parser);
    parser.addPositionalArgument("file", "The .update file.");
    parser.process(arguments);
    if (parser.positionalArguments().size() != 2) {
        printError(QStringLiteral("check needs one .update file"));
        return kExitUsage;
    }
    const QString path = parser.positionalArguments().at(1);
    const UpdateFile file = UpdateFile::load(path);
    if (file.status() == UpdateFile::Status::CannotOpen) {
        printError(messages::cannotOpenFile(path));
        return kExitFailed;
    }
    print(QStringLiteral("文件大小: %1").arg(file.sizeText()));
    print(QStringLiteral("程序版本: %1").arg(file.versionText()));
    print(QStringLiteral("程 序 名: %1").arg(file.header().name));
    print(QStringLiteral("校 验 码: %1").arg(file.checksumText()));
    if (!file.isValid()) {
        printError(messages::badUpdateFile());
        return kExitFailed;
    }
    print(QStringLiteral("文件完好"));
    return kExitOk;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivaro-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));

    const QStringList arguments = QCoreApplication::arguments();
    const QString command = arguments.value(1);
    if (command == u"download")
        return runDownload(app, arguments);
    if (command == u"upgrade")
        return runUpgrade(app, arguments);
    if (command == u"check")
        return runCheck(arguments);

    QCommandLineParser parser;
    addCommonOptions(parser);
    parser.process(arguments); // handles --help and --version
    printError(kUsage);
    return kExitUsage;
}
