#include "common/installpaths.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>

// Set by the build from the install layout (GNUInstallDirs): the documentation
// and data folders relative to the folder the programs are installed in.
#ifndef SUITE_DOCDIR_FROM_BINDIR
#define SUITE_DOCDIR_FROM_BINDIR "../share/doc/site-seismic-suite"
#endif
#ifndef SUITE_DATADIR_FROM_BINDIR
#define SUITE_DATADIR_FROM_BINDIR "../share/site-seismic-suite"
#endif

namespace common {

namespace {

QString besideProgram(const QString &programFolder, const char *relative)
{
    return QDir::cleanPath(QDir(programFolder).absoluteFilePath(QString::fromUtf8(relative)));
}

void appendOnce(QStringList &folders, const QString &folder)
{
    if (!folder.isEmpty() && !folders.contains(folder))
        folders << folder;
}

} // namespace

QStringList documentFolders(const QString &programFolder)
{
    QStringList folders;
    appendOnce(folders, QDir::cleanPath(QDir(programFolder).absolutePath()));
    appendOnce(folders, besideProgram(programFolder, SUITE_DOCDIR_FROM_BINDIR));
    return folders;
}

QStringList translationFolders(const QString &programFolder)
{
    QStringList folders;
    appendOnce(folders, besideProgram(programFolder, "translations"));
    appendOnce(folders, besideProgram(programFolder, SUITE_DATADIR_FROM_BINDIR "/translations"));
    appendOnce(folders, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return folders;
}

QString findInFolders(const QStringList &folders, const QString &fileName)
{
    for (const QString &folder : folders) {
        QString path = QDir(folder).absoluteFilePath(fileName);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace common
