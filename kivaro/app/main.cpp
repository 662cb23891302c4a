// KIVARO, the instrument link utility: runs the link window until it closes.

#include "kivaro/core/kivarosettings.h"
#include "kivaro/ui/clinkdialog.h"
#include "common/widgets/messageboxmessenger.h"

#include "common/qttranslations.h"
#include "common/settingsstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Qelvorn"));
    QApplication::setApplicationName(QStringLiteral("KIVARO"));
    QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    common::installQtTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("通过串口从仪器下载工程数据,并升级仪器内的程序。\n"
                       "串口 COM 1 … COM 8 按设置中 [Devices] 一节的 COM1 … COM8 对应到设备。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("显示本帮助"));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption({QStringLiteral("settings"), QStringLiteral("把设置保存在这个 INI 文件中,而不是用户的设置里"),
                      QStringLiteral("FILE")});
    parser.addOption(
        {QStringLiteral("grab"), QStringLiteral("把每一页的图像存为 PREFIX-<n>.png 后退出"), QStringLiteral("PREFIX")});
    // A wrong command line ends with status 2, as in the command-line tools.
    const auto wrongCommandLine = [](const QString &error) {
        std::fprintf(stderr, "KIVARO: %s\n", error.toUtf8().constData());
        return 2;
    };
    if (!parser.parse(QApplication::arguments()))
        return wrongCommandLine(parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return wrongCommandLine(QStringLiteral("多余的参数 \"%1\"").arg(parser.positionalArguments().first()));

    std::unique_ptr<common::SettingsStore> store = parser.isSet(QStringLiteral("settings"))
        ? std::make_unique<common::SettingsStore>(parser.value(QStringLiteral("settings")))
        : std::make_unique<common::SettingsStore>(QStringLiteral("Qelvorn"), QStringLiteral("KIVARO"));
    kivaro::KivaroSettings settings(*store);
    common::MessageBoxMessenger messenger(QStringLiteral("KIVARO"));
    kivaro::CLinkDialog dialog(settings, messenger);
    messenger.setParent(&dialog);

    bool grabFailed = false;
    if (parser.isSet(QStringLiteral("grab"))) {
        const QString prefix = parser.value(QStringLiteral("grab"));
        dialog.show();
        QTimer::singleShot(300, &dialog, [&] {
            for (int i = 0; i < dialog.sheet()->count(); ++i) {
                dialog.sheet()->setCurrentIndex(i);
                const QString path = QStringLiteral("%1-%2.png").arg(prefix).arg(i + 1);
                if (!dialog.grab().save(path)) {
                    std::fprintf(stderr, "KIVARO: %s\n",
                                 QStringLiteral("不能写文件 %1").arg(path).toUtf8().constData());
                    grabFailed = true;
                }
            }
            dialog.reject();
        });
    }
    dialog.exec();
    return grabFailed ? 1 : 0;
}
