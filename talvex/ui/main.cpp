// talvex: the analysis window for borehole shear-wave tests.

#include "common/qttranslations.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/programicon.h"
#include "talvex/ui/songfont.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <cstdio>

#ifndef TALVEX_VERSION
#define TALVEX_VERSION "0.0.0"
#endif

namespace {

// Without a display Qt's window system plug-in stops the process with a
// crash report; say what is missing instead.
bool displayAvailable()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fprintf(stderr, "talvex: %s\n",
                     QString::fromUtf8("没有图形显示（DISPLAY 未设置），窗口无法打开；"
                                       "不用窗口查看视图可用 talvex-cli render。")
                         .toLocal8Bit()
                         .constData());
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("talvex"));
    QApplication::setOrganizationName(talvex::TalvexSettings::companyKey());
    QApplication::setApplicationVersion(QStringLiteral(TALVEX_VERSION));
    QApplication::setWindowIcon(talvex::programIcon());
    common::installQtTranslations(app);
    talvex::installSongFontSubstitution();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QString::fromUtf8("剪切波分析系统：打开一个剪切波数据文件 (*.qsw)，或从新建开始。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE.qsw"), QString::fromUtf8("启动时打开的数据文件"),
                                 QStringLiteral("[FILE.qsw]"));
    parser.process(app);
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "talvex: %s\n", QString::fromUtf8("只能打开一个数据文件").toLocal8Bit().constData());
        return 2;
    }

    talvex::TalvexSettings settings;
    talvex::SurveyDocument document;
    talvex::CMainFrame frame(document, settings);
    // A file named on the command line that cannot be opened ends the program
    // (its message has been shown).
    if (!files.isEmpty() && !frame.openDocument(files.first()))
        return 1;
    // Maximised; the geometry first covers the screen for desktops without a
    // window manager that would maximise it.
    if (const QScreen *screen = frame.screen())
        frame.setGeometry(screen->availableGeometry());
    frame.showMaximized();
    return app.exec();
}
