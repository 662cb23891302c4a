#include "common/qttranslations.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace common {

void installQtTranslations(QCoreApplication &app)
{
    // The programs' own texts are Chinese whatever the system's language;
    // Qt's dialogs follow the default locale for dates and names.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    // qtbase_zh_CN covers the file dialogs and message boxes; the serial port
    // module has its own catalogue. A missing catalogue is skipped.
    for (const QString &name : {QStringLiteral("qtbase_zh_CN"), QStringLiteral("qtserialport_zh_CN")}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(name, folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

} // namespace common
