#pragma once
// Qt's own Chinese texts for its standard dialogs (file dialogs, the OK and
// Cancel buttons of message boxes), so that every window speaks Chinese.

#include <QCoreApplication>

namespace common {

// Loads Qt's zh_CN translations (qtbase_zh_CN and the modules it lists) from
// Qt's translations folder and installs them on `app`. Call once at start,
// after the application object exists and before any window is shown. When the
// translations are not installed, Qt's English texts stay; nothing else
// changes.
void installQtTranslations(QCoreApplication &app);

} // namespace common
