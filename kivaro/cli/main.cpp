// kivaro-cli: the instrument link without windows. Downloads projects from
// the instrument, uploads a firmware image, checks an .update file or builds
// one, over the same exchanges and serial layer as KIVARO.

#include "kivaro/core/diskfoldersink.h"
#include "kivaro/core/downloadsession.h"
#include "kivaro/core/kivarosettings.h"
#include "kivaro/core/linkmessages.h"
#include "kivaro/core/updatefile.h"
#include "kivaro/core/updatesession.h"
#include "kivaro/serial/linkdriver.h"

#include "common/cli/program.h"
#include "common/fileio.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "common/qttranslations.h"
#include "common/settingsstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unistd.h>

using namespace kivaro;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const QString kProgram = QStringLiteral("kivaro-cli");

// The largest image make-update takes: far above any instrument's program,
// small enough to hold in memory.
constexpr qint64 kMaxImageBytes = 64 * 1024 * 1024;

void print(const QString &text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

void printError(const QString &text)
{
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    std::fflush(stderr);
}

// How download shows its progress. On a terminal: one line, the three
// status lines side by side, rewritten in place as blocks arrive. Otherwise
// (a log file, a pipe): a line when a file or a project is complete, not one
// per kB of every file.
class DownloadProgress {
public:
    explicit DownloadProgress(bool terminal) : m_terminal(terminal) {}

    void update(const DownloadSession &session)
    {
        if (m_terminal) {
            const QString line = combined(session);
            if (line == m_shown)
                return;
            m_shown = line;
            // Back to the line's start, the line, the rest of the old one erased.
            std::fprintf(stdout, "\r%s\x1b[K", line.toUtf8().constData());
            std::fflush(stdout);
            m_open = true;
            return;
        }
        for (const DownloadSession::Bar bar : {DownloadSession::Bar::Projects, DownloadSession::Bar::Files}) {
            const QString line = session.statusLine(bar);
            if (line != m_last[int(bar)]) {
                m_last[int(bar)] = line;
                print(line);
            }
        }
    }
    // Ends the line rewritten in place, so that what is printed next starts
    // on a line of its own.
    void endLine()
    {
        if (!m_open)
            return;
        std::fputc('\n', stdout);
        std::fflush(stdout);
        m_open = false;
    }
    // The starting "0/0" lines are not printed.
    void startFrom(const DownloadSession &session)
    {
        for (int i = 0; i < 3; ++i)
            m_last[i] = session.statusLine(DownloadSession::Bar(i));
        m_shown = combined(session);
    }

private:
    static QString combined(const DownloadSession &session)
    {
        QStringList parts;
        for (int i = 0; i < 3; ++i)
            parts << session.statusLine(DownloadSession::Bar(i));
        return parts.join(QStringLiteral("  "));
    }

    bool m_terminal;
    bool m_open = false;
    QString m_shown;
    QString m_last[3];
};

// The console's messages, each on a line of its own below the progress line.
class ProgressMessenger : public common::Messenger {
public:
    explicit ProgressMessenger(DownloadProgress &progress) : m_progress(progress) {}
    void show(const QString &text, common::MessageKind kind = common::MessageKind::Information) override
    {
        m_progress.endLine();
        m_console.show(text, kind);
    }
    bool ask(const QString &text, const QString &caption = QString()) override
    {
        m_progress.endLine();
        return m_console.ask(text, caption);
    }

private:
    DownloadProgress &m_progress;
    common::ConsoleMessenger m_console;
};

// Why a file whose version is no number is refused (besides the format message).
QString versionNotANumber(const UpdateFile &file)
{
    return QStringLiteral("程序版本 %1 不是有效的数(make-update 只接受大于 0、不超过 327.67 的版本)")
        .arg(file.versionText());
}

// A wrong command line: the program prints it with where to read more, exit status 2.
cli::Failure usage(const QString &text)
{
    return cli::Failure(text, kExitUsage);
}

// The value of option `name` as a whole number in [minimum, maximum].
int intValue(const cli::Args &command, const QString &name, int minimum, int maximum)
{
    bool ok = false;
    const QString text = command.textOr(name, QString());
    const int v = text.toInt(&ok);
    if (!ok || v < minimum || v > maximum)
        throw usage(
            QStringLiteral("--%1 应为 %2 … %3 的整数,不是 \"%4\"").arg(name).arg(minimum).arg(maximum).arg(text));
    return v;
}

// The options of the commands that talk to the instrument.
std::vector<cli::OptionSpec> linkOptions()
{
    return {
        {QStringLiteral("device"), QStringLiteral("PATH"),
         QStringLiteral("仪器所接的串口设备或伪终端,如 /dev/ttyUSB0;与 --port 二选一")},
        {QStringLiteral("port"), QStringLiteral("N"),
         QStringLiteral("串口 COM N(1 … 8),按 KIVARO 设置的 [Devices] 一节对应到设备;\n"
                        "无设置时 COM 1-4 为 /dev/ttyS0-3,COM 5-8 为 /dev/ttyUSB0-3")},
        {QStringLiteral("response-ms"), QStringLiteral("MS"), QStringLiteral("等待仪器应答的时限,单位毫秒;默认 2000")}};
}

// The port of the command line: a device named by --device, or COM N of --port.
struct LinkChoice {
    int portNumber = 1;
    QString device; // set for --device
};

LinkChoice linkChoice(const cli::Args &command)
{
    const bool device = command.has(QStringLiteral("device"));
    const bool port = command.has(QStringLiteral("port"));
    if (device == port) {
        throw usage(device ? QStringLiteral("--device 与 --port 只能给一个")
                           : QStringLiteral("缺少 --device PATH 或 --port N(仪器所接的串口)"));
    }
    LinkChoice choice;
    if (device) {
        choice.device = command.textOr(QStringLiteral("device"), QString());
        if (choice.device.isEmpty())
            throw usage(QStringLiteral("--device 的设备名为空"));
        return choice;
    }
    choice.portNumber = intValue(command, QStringLiteral("port"), 1, KivaroSettings::kPortCount);
    return choice;
}

// Gives the driver the device of the choice; a device given by its path is
// named by that path in the serial layer's messages.
void connectDriver(LinkDriver &driver, const LinkChoice &choice)
{
    if (!choice.device.isEmpty())
        driver.comm().setPortLabel(choice.device);
}

CMSComm::DeviceResolver resolverFor(const LinkChoice &choice)
{
    if (!choice.device.isEmpty())
        return [device = choice.device](int) { return device; };
    return [](int n) {
        common::SettingsStore store(QStringLiteral("Qelvorn"), QStringLiteral("KIVARO"));
        return KivaroSettings(store).devicePath(n);
    };
}

int milliseconds(const cli::Args &command, const QString &name, int fallback)
{
    if (!command.has(name))
        return fallback;
    return intValue(command, name, 1, 3600 * 1000);
}

int runDownload(const cli::Args &command)
{
    QCoreApplication &app = *QCoreApplication::instance();

    const auto choice = linkChoice(command);
    const auto responseMs = milliseconds(command, QStringLiteral("response-ms"), DownloadSession::kResponseMs);
    int baud = KivaroSettings::baudRate(1);
    if (command.has(QStringLiteral("baud"))) {
        const QString text = command.textOr(QStringLiteral("baud"), QString());
        if (!KivaroSettings::baudNames().contains(text))
            throw usage(QStringLiteral("--baud 只能是 %1,不是 \"%2\"")
                            .arg(KivaroSettings::baudNames().join(QStringLiteral("、")), text));
        baud = text.toInt();
    }
    QStringList wanted;
    if (command.has(QStringLiteral("projects"))) {
        for (const QString &project :
             command.textOr(QStringLiteral("projects"), QString()).split(u',', Qt::SkipEmptyParts)) {
            if (!wanted.contains(project))
                wanted.append(project);
        }
        if (wanted.isEmpty())
            throw usage(QStringLiteral("--projects 没有给出工程名"));
        if (!command.has(QStringLiteral("save")) || command.textOr(QStringLiteral("save"), QString()).isEmpty())
            throw usage(QStringLiteral("给 --projects 时必须用 --save DIR 给出保存文件夹"));
    } else if (command.has(QStringLiteral("save"))) {
        throw usage(QStringLiteral("--save 只和 --projects 一起使用(不给 --projects 时只列出工程)"));
    }

    DownloadProgress progress(isatty(fileno(stdout)) == 1);
    ProgressMessenger messenger(progress);
    DiskFolderSink sink;
    LinkDriver driver(resolverFor(choice), messenger);
    connectDriver(driver, choice);
    DownloadSession session(driver, sink, messenger);
    session.setResponseInterval(responseMs);
    driver.setReceiver([&](const QByteArray &b) { session.receive(b); }, [&] { session.timeout(); });

    progress.startFrom(session);
    QObject::connect(&session, &DownloadSession::progressChanged, [&] {
        if (session.state() != DownloadSession::State::Listed)
            progress.update(session);
    });

    int exitCode = kExitFailed;
    QObject::connect(&session, &DownloadSession::finished, [&](DownloadSession::Outcome outcome) {
        progress.endLine();
        switch (outcome) {
        case DownloadSession::Outcome::Listed: {
            print(QStringLiteral("仪器编号: %1").arg(session.instrumentNumber()));
            const QStringList names = session.projectNames();
            if (wanted.isEmpty()) {
                for (const QString &project : names)
                    print(QStringLiteral("工程: %1").arg(project));
                driver.closePort();
                exitCode = kExitOk;
                app.quit();
                return;
            }
            QList<int> selected;
            for (const QString &project : wanted) {
                const int index = int(names.indexOf(project));
                if (index < 0) {
                    printError(QStringLiteral("仪器里没有工程 \"%1\"(仪器里的工程: %2)")
                                   .arg(project, names.join(QStringLiteral(", "))));
                    driver.closePort();
                    app.quit();
                    return;
                }
                selected.append(index);
            }
            const QString save = command.textOr(QStringLiteral("save"), QString());
            QMetaObject::invokeMethod(
                &app, [&session, selected, save] { session.startTransfer(selected, save); }, Qt::QueuedConnection);
            return;
        }
        case DownloadSession::Outcome::NoProjects:
            print(QStringLiteral("仪器编号: %1").arg(session.instrumentNumber()));
            exitCode = wanted.isEmpty() ? kExitOk : kExitFailed;
            break;
        case DownloadSession::Outcome::Finished: exitCode = session.problemCount() == 0 ? kExitOk : kExitFailed; break;
        case DownloadSession::Outcome::TimedOut:
        case DownloadSession::Outcome::SerialFailed:
        case DownloadSession::Outcome::FolderFailed: exitCode = kExitFailed; break;
        }
        // Messages of the outcome are shown after this signal; quit once they are.
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });

    if (driver.open(choice.portNumber, baud, false) != LinkDriver::OpenResult::Opened)
        return kExitFailed;
    session.startConnect();
    app.exec();
    return exitCode;
}

int runUpgrade(const cli::Args &command)
{
    QCoreApplication &app = *QCoreApplication::instance();
    const auto choice = linkChoice(command);
    const auto responseMs = milliseconds(command, QStringLiteral("response-ms"), UpdateSession::kResponseMs);
    const auto blockMs = milliseconds(command, QStringLiteral("block-response-ms"), UpdateSession::kBlockResponseMs);

    common::ConsoleMessenger messenger;
    const QString path = command.words().value(0);
    const UpdateFile file = UpdateFile::load(path);
    if (file.status() == UpdateFile::Status::CannotOpen) {
        messenger.show(messages::cannotOpenFile(path), common::MessageKind::Error);
        return kExitFailed;
    }
    if (!file.isValid()) {
        messenger.show(messages::badUpdateFile(), common::MessageKind::Error);
        if (!file.versionIsNumber())
            messenger.show(versionNotANumber(file), common::MessageKind::Error);
        return kExitFailed;
    }

    LinkDriver driver(resolverFor(choice), messenger);
    connectDriver(driver, choice);
    UpdateSession session(driver, messenger);
    session.setResponseIntervals(responseMs, blockMs);
    driver.setReceiver([&](const QByteArray &b) { session.receive(b); }, [&] { session.timeout(); });
    QObject::connect(&session, &UpdateSession::progressChanged, [&] { print(session.statusLine()); });
    int exitCode = kExitFailed;
    QObject::connect(&session, &UpdateSession::finished, [&](UpdateSession::Outcome outcome) {
        exitCode = outcome == UpdateSession::Outcome::Upgraded || outcome == UpdateSession::Outcome::InstrumentNewer
                || outcome == UpdateSession::Outcome::InstrumentSame
            ? kExitOk
            : kExitFailed;
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });

    const int baud = KivaroSettings::baudRate(KivaroSettings::kUpgradeBaudIndex);
    if (driver.open(choice.portNumber, baud, true) != LinkDriver::OpenResult::Opened)
        return kExitFailed;
    session.start(UpdatePlan::fromShownText(file.sizeText(), file.versionText(), file.checksumText(), file.image()));
    app.exec();
    return exitCode;
}

int runCheck(const cli::Args &command)
{
    const QString path = command.words().value(0);
    const UpdateFile file = UpdateFile::load(path);
    if (file.status() == UpdateFile::Status::CannotOpen) {
        printError(messages::cannotOpenFile(path));
        return kExitFailed;
    }
    if (!file.isValid()) {
        printError(messages::badUpdateFile());
        if (!file.versionIsNumber())
            printError(versionNotANumber(file));
        return kExitFailed;
    }
    print(QStringLiteral("文件大小: %1").arg(file.sizeText()));
    print(QStringLiteral("程序版本: %1").arg(file.versionText()));
    print(QStringLiteral("程 序 名: %1").arg(file.header().name));
    print(QStringLiteral("校 验 码: %1").arg(file.checksumText()));
    print(QStringLiteral("文件完好"));
    return kExitOk;
}

int runMakeUpdate(const cli::Args &command)
{

    if (!command.has(QStringLiteral("name")))
        throw usage(QStringLiteral("缺少 --name T(程序名)"));
    if (!command.has(QStringLiteral("version")))
        throw usage(QStringLiteral("缺少 --version V(程序版本)"));
    const QString programName = command.textOr(QStringLiteral("name"), QString());
    const auto encoded = common::encodeGbk(programName);
    if (!encoded)
        throw usage(QStringLiteral("程序名中的字符 \"%1\" 不能用 GBK 保存").arg(common::unencodableGbk(programName)));
    if (encoded->isEmpty())
        throw usage(QStringLiteral("程序名不能为空"));
    if (encoded->size() > qsizetype(UpdateHeader::kNameText))
        throw usage(QStringLiteral("程序名 \"%1\" 有 %2 字节(GBK),最多 %3 字节")
                        .arg(programName, QString::number(encoded->size()), QString::number(UpdateHeader::kNameText)));
    if (encoded->contains('\0'))
        throw usage(QStringLiteral("程序名不能含有零字节"));
    bool ok = false;
    const QString versionText = command.textOr(QStringLiteral("version"), QString());
    const double version = versionText.toDouble(&ok);
    // The instrument reports its version as a signed 16-bit number of hundredths.
    if (!ok || !std::isfinite(version) || version <= 0.0 || version > 327.67)
        throw usage(QStringLiteral("--version 应为大于 0、不超过 327.67 的数,如 1.2,不是 \"%1\"").arg(versionText));

    const QString imagePath = command.words().value(0);
    const QString outPath = command.words().value(1);
    const QFileInfo image(imagePath);
    if (!image.isFile()) {
        printError(messages::cannotOpenFile(imagePath));
        return kExitFailed;
    }
    if (image.size() > kMaxImageBytes) {
        printError(QStringLiteral("映像文件 %1 有 %2 字节,超过 %3 字节的上限")
                       .arg(imagePath, QString::number(image.size()), QString::number(kMaxImageBytes)));
        return kExitFailed;
    }
    if (QFileInfo(outPath).isDir()) {
        printError(QStringLiteral("%1 是文件夹,不能写成升级文件").arg(outPath));
        return kExitFailed;
    }
    if (QFileInfo::exists(outPath) && !command.has(QStringLiteral("force"))) {
        printError(QStringLiteral("%1 已经存在,没有改动;要覆盖它请加 --force").arg(outPath));
        return kExitFailed;
    }
    if (QFileInfo(outPath).canonicalFilePath() == image.canonicalFilePath()) {
        printError(QStringLiteral("升级文件不能写在映像文件 %1 上").arg(imagePath));
        return kExitFailed;
    }
    std::vector<std::uint8_t> bytes;
    const common::FileError read = common::readWholeFile(imagePath, bytes, std::uint64_t(kMaxImageBytes));
    if (!read.ok) {
        printError(messages::cannotOpenFile(imagePath) + QStringLiteral(": ") + read.message);
        return kExitFailed;
    }
    if (bytes.empty()) {
        printError(QStringLiteral("映像文件 %1 是空的").arg(imagePath));
        return kExitFailed;
    }
    const QByteArray imageBytes(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    const QByteArray file = UpdateFile::build(programName, float(version), imageBytes);
    // What the upgrade page will read back must be what was asked for.
    const UpdateFile check = UpdateFile::fromBytes(file);
    if (!check.isValid() || check.header().name != programName || check.image() != imageBytes) {
        printError(messages::badUpdateFile());
        return kExitFailed;
    }
    const common::FileError written = common::writeFileAtomically(outPath, file);
    if (!written.ok) {
        printError(QStringLiteral("不能写文件 %1: %2").arg(outPath, written.message));
        return kExitFailed;
    }
    print(QStringLiteral("已写升级文件 %1: 文件大小 %2, 程序版本 %3, 程序名 %4, 校验码 %5")
              .arg(outPath, check.sizeText(), check.versionText(), check.header().name, check.checksumText()));
    return kExitOk;
}

std::vector<cli::Command> commands()
{
    const cli::WordSpec updateFile{QStringLiteral("FILE.update"), QStringLiteral("仪器程序升级文件")};
    std::vector<cli::OptionSpec> download = linkOptions();
    download.push_back(
        {QStringLiteral("baud"), QStringLiteral("B"),
         QStringLiteral("波特率,可选 %1;默认 19200").arg(KivaroSettings::baudNames().join(QStringLiteral("、")))});
    download.push_back({QStringLiteral("save"), QStringLiteral("DIR"),
                        QStringLiteral("保存文件夹,每个工程存入其下同名的子文件夹;给 --projects 时必须给出")});
    download.push_back({QStringLiteral("projects"), QStringLiteral("NAME,..."),
                        QStringLiteral("要下载的工程名,以逗号分隔,按仪器里的写法")});
    std::vector<cli::OptionSpec> upgrade = linkOptions();
    upgrade.push_back({QStringLiteral("block-response-ms"), QStringLiteral("MS"),
                       QStringLiteral("每传完一块 1024 字节后等待仪器应答的时限,单位毫秒;默认 20000")});

    std::vector<cli::Command> list;
    list.push_back({QStringLiteral("download"),
                    QStringLiteral("download (--device PATH | --port N) [--baud B] [--save DIR --projects NAME,...] "
                                   "[--response-ms MS]"),
                    QStringLiteral("列出仪器里的工程,或把选中的工程下载到保存文件夹"),
                    QStringLiteral("不给 --projects 时列出仪器编号和仪器里的工程,不下载任何文件;\n"
                                   "给出 --projects 时把这些工程逐个字节复制到 DIR/<工程名>/ 下,同名文件被覆盖。"),
                    download, 0, 0, runDownload});
    list.push_back(
        {QStringLiteral("upgrade"),
         QStringLiteral("upgrade (--device PATH | --port N) [--response-ms MS] [--block-response-ms MS] FILE.update"),
         QStringLiteral("把 .update 文件中的程序升级到仪器(仪器程序较旧时)"),
         QStringLiteral("检查 FILE.update,询问仪器里程序的版本,文件较新时把程序映像传给仪器。\n"
                        "升级总是以 19200 波特率进行。仪器里的程序不比文件旧时不升级,也算完成。"),
         upgrade,
         1,
         1,
         runUpgrade,
         false,
         {updateFile}});
    list.push_back({QStringLiteral("check"),
                    QStringLiteral("check FILE.update"),
                    QStringLiteral("显示 .update 文件的文件头并检查文件是否完好"),
                    QStringLiteral("显示 FILE.update 的文件大小、程序版本、程序名和校验码,并检查文件是否完好。\n"
                                   "文件损坏时只报告错误。"),
                    {},
                    1,
                    1,
                    runCheck,
                    false,
                    {updateFile}});
    list.push_back(
        {QStringLiteral("make-update"),
         QStringLiteral("make-update IMAGE --name T --version V [--force] OUT.update"),
         QStringLiteral("用程序映像文件生成 .update 升级文件"),
         QStringLiteral("把程序映像文件 IMAGE 加上 64 字节的文件头写成升级文件 OUT.update:\n"
                        "文件头记下映像的字节数、程序版本、校验码(映像各字节之和)和程序名。"),
         {{QStringLiteral("name"), QStringLiteral("T"), QStringLiteral("程序名,最多 12 字节 GBK(6 个汉字);必须给出")},
          {QStringLiteral("version"), QStringLiteral("V"),
           QStringLiteral("程序版本,如 1.2;大于 0、不超过 327.67(仪器以百分之一为单位比较);必须给出")},
          {QStringLiteral("force"), QString(), QStringLiteral("OUT.update 已存在时覆盖它;默认不覆盖")}},
         2,
         2,
         runMakeUpdate,
         false,
         {{QStringLiteral("IMAGE"), QStringLiteral("仪器程序的映像文件,原样传给仪器")},
          {QStringLiteral("OUT.update"), QStringLiteral("要写的升级文件")}}});
    return list;
}

} // namespace

int main(int argc, char *argv[])
{
    const cli::Program program(kProgram, QStringLiteral(PROJECT_VERSION), commands(), cli::Program::Punctuation::Ascii);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(kProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    common::installQtTranslations(app);
    return program.run(argc, argv);
}
