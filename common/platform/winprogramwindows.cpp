#include "common/platform/winprogramwindows.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>
#include <shellapi.h>

namespace platform {

bool WinProgramWindows::closeWindow(const QString &title, QString *note)
{
    HWND window = FindWindowW(nullptr, reinterpret_cast<LPCWSTR>(title.utf16()));
    if (!window) {
        if (note)
            *note = QCoreApplication::translate("platform", "没有标题为“%1”的窗口").arg(title);
        return false;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    return true;
}

bool WinProgramWindows::startProgram(const QString &program, const QString &folder, QString *note)
{
    QString file = program;
    if (!file.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        file += QLatin1String(".exe");
    const QString path = QDir::toNativeSeparators(QDir(folder).filePath(file));
    const QString dir = QDir::toNativeSeparators(folder);
    const auto result
        = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, reinterpret_cast<LPCWSTR>(path.utf16()), L"",
                                                  reinterpret_cast<LPCWSTR>(dir.utf16()), SW_SHOWNORMAL));
    if (result <= 32) {
        if (note)
            *note = QCoreApplication::translate("platform", "不能启动程序 %1").arg(program);
        return false;
    }
    return true;
}

} // namespace platform
