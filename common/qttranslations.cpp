#include "common/qttranslations.h"

#include "common/installpaths.h"

#include <QLocale>
#include <QTranslator>

namespace common {

void installQtTranslations(QCoreApplication &app)
{
    // The programs' own texts are Chinese whatever the system's language;
    // Qt's dialogs follow the default locale for dates and names.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Beside the program and in the package's data folder first (catalogues
    // shipped with the suite win), then Qt's own folder.
    const QStringList folders = translationFolders(QCoreApplication::applicationDirPath());
    // qtbase_zh_CN covers the file dialogs and message boxes; the serial port
    // module has its own catalogue. A missing catalogue is skipped.
    for (const QString &name : {QStringLiteral("qtbase_zh_CN"), QStringLiteral("qtserialport_zh_CN")}) {
        const QString path = findInFolders(folders, name + QStringLiteral(".qm"));
        auto *translator = new QTranslator(&app);
        if (!path.isEmpty() && translator->load(path))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace common
