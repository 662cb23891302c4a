// KIVARO, the instrument link utility: runs the link window until it closes.

#include "kivaro/core/kivarosettings.h"
#include "kivaro/ui/clinkdialog.h"
#include "kivaro/ui/messageboxmessenger.h"

#include "common/settingsstore.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Qelvorn"));
    QApplication::setApplicationName(QStringLiteral("KIVARO"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Downloads the instrument's projects and upgrades its program over a serial line.\n"
                       "Ports COM 1 … COM 8 map to devices through the settings (section \"Devices\")."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(
        { "settings", "Keep the settings in this INI file instead of the user's store.", "FILE" });
    parser.addOption({ "grab", "Save a picture of each page to PREFIX-<n>.png and quit.", "PREFIX" });
    parser.process(app);

    std::unique_ptr<common::SettingsStore> store = parser.isSet("settings")
        ? std::make_unique<common::SettingsStore>(parser.value("settings"))
        : std::make_unique<common::SettingsStore>(QStringLiteral("Qelvorn"), QStringLiteral("KIVARO"));
    kivaro::KivaroSettings settings(*store);
    kivaro::MessageBoxMessenger messenger;
    kivaro::CLinkDialog dialog(settings, messenger);
    messenger.setParent(&dialog);

    if (parser.isSet("grab")) {
        const QString prefix = parser.value("grab");
        dialog.show();
        QTimer::singleShot(300, &dialog, [&] {
            for (int i = 0; i < dialog.sheet()->count(); ++i) {
                dialog.sheet()->setCurrentIndex(i);
                dialog.grab().save(QStringLiteral("%1-%2.png").arg(prefix).arg(i + 1));
            }
            dialog.reject();
        });
    }
    dialog.exec();
    return 0;
}
