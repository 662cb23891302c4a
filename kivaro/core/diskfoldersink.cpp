#include "kivaro/core/diskfoldersink.h"

#include "common/fileio.h"

#include <QDir>

namespace kivaro {

bool DiskFolderSink::makeFolder(const QString &folder)
{
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

bool DiskFolderSink::writeFile(const QString &path, const QByteArray &bytes)
{
    return common::writeFileAtomically(path, bytes).ok;
}

} // namespace kivaro
