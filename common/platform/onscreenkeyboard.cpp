#include "common/platform/onscreenkeyboard.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

bool startOnScreenKeyboard(const QString &program, QString *error)
{
#ifdef Q_OS_WIN
    const QString chosen = program.isEmpty() ? QStringLiteral("osk.exe") : program;
#else
    const QString chosen = program.isEmpty() ? QStringLiteral("onboard") : program;
#endif
    const QString found = QStandardPaths::findExecutable(chosen);
    if (found.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("platform", "找不到屏幕键盘程序 %1").arg(chosen);
        return false;
    }
    if (!QProcess::startDetached(found, {})) {
        if (error)
            *error = QCoreApplication::translate("platform", "不能启动屏幕键盘程序 %1").arg(chosen);
        return false;
    }
    return true;
}

} // namespace platform
