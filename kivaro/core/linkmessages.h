#pragma once
// The fixed messages of the link pages, shared by the windows and kivaro-cli.

#include <QString>

namespace kivaro::messages {

inline QString cannotOpenPort()
{
    return QStringLiteral("不能打开串口");
}

inline QString noResponse()
{
    return QStringLiteral("仪器没有响应计算机的请求，原因有可能是：\n"
                          "1、仪器与计算机没有连接好。\n"
                          "2、连接电缆不是插在所选择的串口上。\n"
                          "3、仪器没有处于联机等待状态。\n"
                          "4、仪器与计算机所使用的波特率不一致.");
}

inline QString noProjectChosen()
{
    return QStringLiteral("你没有选中要传送的工地名，请重新操作！");
}
inline QString noProjectsOnInstrument()
{
    return QStringLiteral("仪器里没有工程数据。");
}
inline QString transferFinished()
{
    return QStringLiteral("数据传输结束!!");
}
// The end of a transfer, naming the folder that received the projects.
inline QString transferFinishedIn(const QString &folder)
{
    return transferFinished() + QStringLiteral("\n文件保存在 ") + folder;
}

inline QString cannotCreateFolder(const QString &path)
{
    return QStringLiteral("创建子目录 ") + path + QStringLiteral(" 失败!");
}
inline QString cannotCreateFile(const QString &path)
{
    return QStringLiteral("创建文件 ") + path + QStringLiteral(" 失败!!");
}
inline QString unsafeProjectName(const QString &name)
{
    return QStringLiteral("仪器发来的工程名\"") + name
        + QStringLiteral("\"不能用作文件夹名(为空或含有路径符号)，跳过该工程。");
}
inline QString unsafeFileName(const QString &project, const QString &name)
{
    return QStringLiteral("工程\"") + project + QStringLiteral("\"中仪器发来的文件名\"") + name
        + QStringLiteral("\"不能用作文件名(为空或含有路径符号)，该文件没有保存。");
}

inline QString cannotOpenFile(const QString &path)
{
    return QStringLiteral("不能打开文件 ") + path;
}
inline QString badUpdateFile()
{
    return QStringLiteral("文件格式错误,这不是一个有效的仪器升级程序!");
}
inline QString instrumentNewer()
{
    return QStringLiteral("仪器里现有的程序比准备升级的文件版本要新,不需要升级!");
}
inline QString instrumentSame()
{
    return QStringLiteral("仪器里现有的程序准备升级的文件版本一样,不需要升级!");
}
inline QString upgradeFinished()
{
    return QStringLiteral("仪器里程序升级完毕!");
}

} // namespace kivaro::messages
