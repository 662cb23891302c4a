#include "common/manualfiles.h"

#include "common/installpaths.h"
#include "common/messenger.h"

#include <QDir>
#include <QFileInfo>

#ifndef SUITE_BUILD_MANUAL_DIR
#define SUITE_BUILD_MANUAL_DIR ""
#endif

namespace common {

QStringList manualFolders(const QString &programFolder)
{
    const QString program = QDir::cleanPath(QDir(programFolder).absolutePath());
    // The program's folder first, then the installed documentation folder.
    QStringList folders = documentFolders(programFolder);
    // A program that runs from the build tree reads the manuals built there,
    // before any installed ones.
    const QString built = QString::fromUtf8(SUITE_BUILD_MANUAL_DIR);
    const QString buildRoot = QFileInfo(built).dir().absoluteFilePath(QStringLiteral(".."));
    if (!built.isEmpty() && program.startsWith(QDir::cleanPath(buildRoot) + QLatin1Char('/')))
        folders.insert(folders.indexOf(program) + 1, built);
    folders.removeDuplicates();
    return folders;
}

QString manualFileName(const QString &program, ManualForm form)
{
    return form == ManualForm::Pdf ? program + QStringLiteral(".pdf") : program + QStringLiteral("/index.html");
}

QString findManual(const QString &program, ManualForm form, const QString &programFolder)
{
    for (const QString &folder : manualFolders(programFolder)) {
        QString path = QDir(folder).filePath(manualFileName(program, form));
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

bool openManual(const QString &program, ManualForm form, const QString &programFolder,
                const std::function<bool(const QString &path)> &open, Messenger &messenger)
{
    const QString path = findManual(program, form, programFolder);
    if (path.isEmpty()) {
        const QString expected = QDir(programFolder).filePath(manualFileName(program, form));
        messenger.show(
            QStringLiteral("用户手册 %1 不存在，请重新执行一遍安装程序！").arg(QDir::toNativeSeparators(expected)),
            MessageKind::Warning);
        return false;
    }
    if (open(path))
        return true;
    messenger.show(QStringLiteral("没有可以打开文件 %1 的程序").arg(QDir::toNativeSeparators(path)),
                   MessageKind::Warning);
    return false;
}

} // namespace common
