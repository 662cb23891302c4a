#pragma once
// Qt's own Chinese texts for its standard dialogs (file dialogs, the OK and
// Cancel buttons of message boxes) and the Chinese (China) locale for the
// dates, sizes and names they show, so that every window speaks Chinese.

#include <QCoreApplication>

namespace common {

// Makes Chinese (China) the default locale (QLocale::setDefault: dates and
// file sizes in the file dialogs, the week days of calendars), then loads
// Qt's zh_CN translations (qtbase_zh_CN and the modules it lists) from the
// first folder of translationFolders (installpaths.h) that holds each, and
// installs them on `app`. Call once at start, after
// the application object exists and before any window is shown. When the
// translations are not installed, Qt's English texts stay; the locale is set
// all the same.
void installQtTranslations(QCoreApplication &app);

} // namespace common
