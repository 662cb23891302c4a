// talvex-cli: batch front-end of the shear-wave analysis program.

#include "common/cli/program.h"
#include "common/qttranslations.h"
#include "talvex/cli/commands.h"
#include "records/fieldrecord.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

// Qt's own notes about the platform (no runtime folder for the offscreen
// platform) are not the program's messages; its warnings still show.
void qtMessages(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtDebugMsg || type == QtInfoMsg || text.startsWith(QStringLiteral("QStandardPaths:")))
        return;
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

std::vector<cli::Command> commands()
{
    std::vector<cli::Command> list;
    cli::addSurveyCommands(list);
    cli::addParameterCommands(list);
    cli::addProcessCommands(list);
    cli::addAnalysisCommands(list);
    cli::addRenderCommands(list);
    cli::addReportCommands(list);
    cli::addSiteCommands(list);
    cli::addAutoPickCommands(list);
    cli::addIntervalCommands(list);
    cli::addBatchCommands(list);
    return list;
}

} // namespace

int main(int argc, char **argv)
{
    const cli::Program program(QStringLiteral("talvex-cli"), QStringLiteral(TALVEX_VERSION), commands());

    // Only the commands that draw start Qt Gui (offscreen: no screen is
    // needed); the others start faster without it.
    std::unique_ptr<QCoreApplication> app;
    if (program.needsGui(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(qtMessages);
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(program.name());
    QCoreApplication::setApplicationVersion(QStringLiteral(TALVEX_VERSION));
    common::installQtTranslations(*app);

    // A file name copied from Windows may be GBK bytes: shown decoded, opened as given.
    return program.run(argc, argv, [](const QByteArray &word) { return talvex::shownFileName(word); });
}
