// talvex-cli: batch front-end of the shear-wave analysis program.

#include "common/qttranslations.h"
#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"
#include "records/fieldrecord.h"

#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

void printUsage(const std::vector<cli::Command> &commands, FILE *out)
{
    QString text = QStringLiteral("用法：talvex-cli 命令 参数…\n\n命令：\n");
    qsizetype width = 0;
    for (const auto &c : commands)
        width = std::max(width, c.name.size());
    for (const auto &c : commands)
        text += QStringLiteral("  ") + c.name.leftJustified(width) + QStringLiteral("  ") + c.summary
            + QLatin1Char('\n');
    text += QStringLiteral("\n“talvex-cli 命令 --help”列出该命令的参数和选项。\n"
                           "  --help     显示本帮助\n"
                           "  --version  显示程序版本\n\n"
                           "退出状态：0 完成；1 操作被拒绝或失败；2 命令行有误。\n");
    std::fputs(text.toUtf8().constData(), out);
}

// Qt's own notes about the platform (no runtime folder for the offscreen
// platform) are not the program's messages; its warnings still show.
void qtMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith(QStringLiteral("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

} // namespace

int main(int argc, char **argv)
{
    // Only render, figures and report draw (with Qt Gui, offscreen: no screen is needed); the
    // other commands start faster without it.
    std::unique_ptr<QCoreApplication> app;
    if (argc >= 2
        && (std::strcmp(argv[1], "render") == 0 || std::strcmp(argv[1], "figures") == 0
            || std::strcmp(argv[1], "report") == 0 || std::strcmp(argv[1], "batch") == 0)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(qtMessages);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("talvex-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TALVEX_VERSION));
    common::installQtTranslations(*app);

    // The words as the system gave them: a file name copied from Windows may
    // be GBK bytes, which are shown decoded and opened as they are.
    std::vector<QByteArray> native;
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        native.emplace_back(argv[i]);
        arguments << talvex::shownFileName(native.back());
    }

    std::vector<cli::Command> commands;
    cli::addSurveyCommands(commands);
    cli::addParameterCommands(commands);
    cli::addProcessCommands(commands);
    cli::addAnalysisCommands(commands);
    cli::addRenderCommands(commands);
    cli::addReportCommands(commands);
    cli::addSiteCommands(commands);
    cli::addAutoPickCommands(commands);
    cli::addIntervalCommands(commands);
    cli::addBatchCommands(commands);

    if (argc < 2) {
        printUsage(commands, stderr);
        return cli::kExitUsage;
    }
    const QString name = arguments[1];
    if (name == QStringLiteral("--help") || name == QStringLiteral("-h") || name == QStringLiteral("help")) {
        printUsage(commands, stdout);
        return 0;
    }
    if (name == QStringLiteral("--version")) {
        std::printf("talvex-cli %s\n", TALVEX_VERSION);
        return 0;
    }
    for (const auto &command : commands) {
        if (command.name != name)
            continue;
        try {
            const cli::Args args(command, arguments, native);
            if (args.helpRequested()) {
                std::fputs(command.helpText().toUtf8().constData(), stdout);
                return 0;
            }
            if (args.wordCount() < command.minWords)
                throw cli::Failure(QStringLiteral("缺少参数（用法：talvex-cli %1）").arg(command.synopsis),
                                   cli::kExitUsage);
            return command.run(args);
        } catch (const cli::Failure &e) {
            std::fprintf(stderr, "talvex-cli %s：%s\n", name.toUtf8().constData(), e.what());
            return e.exitCode;
        }
    }
    std::fprintf(stderr, "talvex-cli：没有命令 “%s”（见 talvex-cli --help）\n", name.toUtf8().constData());
    return cli::kExitUsage;
}
