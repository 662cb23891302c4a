#include "common/platform/wmctrlprogramwindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("platform", text);
}
constexpr int kToolTimeoutMs = 3000;
} // namespace

WmctrlProgramWindows::WmctrlProgramWindows(const QString &wmctrl)
    : m_wmctrl(wmctrl.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("wmctrl")) : wmctrl)
{
}

bool WmctrlProgramWindows::closeWindow(const QString &title, QString *note)
{
    if (m_wmctrl.isEmpty()) {
        if (note)
            *note = tr("未安装 wmctrl，不能关闭窗口“%1”").arg(title);
        return false;
    }
    QProcess tool;
    // -F: the title must match exactly, not as a part of a longer title.
    tool.start(m_wmctrl, {QStringLiteral("-F"), QStringLiteral("-c"), title});
    if (!tool.waitForFinished(kToolTimeoutMs)) {
        tool.kill();
        tool.waitForFinished(kToolTimeoutMs);
        if (note)
            *note = tr("wmctrl 没有响应");
        return false;
    }
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        if (note)
            *note = tr("没有标题为“%1”的窗口").arg(title);
        return false;
    }
    return true;
}

bool WmctrlProgramWindows::startProgram(const QString &program, const QString &folder, QString *note)
{
    QString path;
    const QFileInfo local(QDir(folder).filePath(program));
    if (local.isFile() && local.isExecutable())
        path = local.absoluteFilePath();
    else
        path = QStandardPaths::findExecutable(program);
    if (path.isEmpty()) {
        if (note)
            *note = tr("找不到程序 %1").arg(program);
        return false;
    }
    if (!QProcess::startDetached(path, {}, folder)) {
        if (note)
            *note = tr("不能启动程序 %1").arg(program);
        return false;
    }
    return true;
}

} // namespace platform
