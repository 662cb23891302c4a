#include "talvex/ui/programfiles.h"

#include "common/installpaths.h"
#include "common/manualfiles.h"
#include "common/messenger.h"

#include <QDir>
#include <QFileInfo>

#ifndef TALVEX_SUPPORT_URL
#define TALVEX_SUPPORT_URL "https://www.qelvorn.com/"
#endif

namespace talvex {

const char *const kHelpFileName = "Qelvorntalvex.chm";
const char *const kHelpManualFileName = "Vantorel用户手册.html";
const char *const kManualFileName = "Vantorel用户手册.pdf";
const char *const kSupportAddress = TALVEX_SUPPORT_URL;

QString programDocumentPath(ProgramDocument document, const QString &programFolder)
{
    const char *name = document == ProgramDocument::Help ? kHelpFileName : kManualFileName;
    return QDir(programFolder).absoluteFilePath(QString::fromUtf8(name));
}

QString missingDocumentMessage(ProgramDocument document, const QString &path)
{
    const QString what = QString::fromUtf8(document == ProgramDocument::Help ? "帮助文件 " : "用户手册 ");
    return what + QDir::toNativeSeparators(path)
        + QString::fromUtf8(" 不存在，请将此文件拷贝到程序所在的子目录或者重新执行一遍安装程序！");
}

bool openProgramDocument(ProgramDocument document, const QString &programFolder,
                         const std::function<bool(const QString &path)> &open, common::Messenger &messenger)
{
    // Beside the program first (the build folder, a copied installation),
    // then the installed package's documentation folder.
    const QStringList folders = common::documentFolders(programFolder);
    QStringList names{QString::fromUtf8(document == ProgramDocument::Help ? kHelpFileName : kManualFileName)};
    if (document == ProgramDocument::Help)
        names << QString::fromUtf8(kHelpManualFileName);
    QStringList candidates;
    for (const QString &name : names)
        for (const QString &folder : folders)
            candidates << QDir(folder).absoluteFilePath(name);
    // Then the manual the suite builds, where the build or the installation put it.
    const QString built = common::findManual(
        QStringLiteral("talvex"),
        document == ProgramDocument::Help ? common::ManualForm::Html : common::ManualForm::Pdf, programFolder);
    if (!built.isEmpty())
        candidates << built;
    QString unopened;
    for (const QString &candidate : candidates) {
        if (!QFileInfo(candidate).isFile())
            continue;
        if (open(candidate))
            return true;
        if (unopened.isEmpty())
            unopened = candidate;
    }
    if (unopened.isEmpty()) {
        // Name the document where an installed program keeps it, else beside
        // the program.
        QString folder = programFolder;
        for (const QString &candidate : folders)
            if (candidate != folders.constFirst() && QFileInfo(candidate).isDir())
                folder = candidate;
        messenger.show(missingDocumentMessage(document, programDocumentPath(document, folder)),
                       common::MessageKind::Warning);
    } else {
        messenger.show(QString::fromUtf8("没有可以打开文件 %1 的程序").arg(QDir::toNativeSeparators(unopened)),
                       common::MessageKind::Warning);
    }
    return false;
}

} // namespace talvex
