#pragma once
// Writes downloaded projects to disk. A file is replaced atomically, so a
// failed write leaves an earlier copy of the same name as it was.

#include "kivaro/core/foldersink.h"

namespace kivaro {

class DiskFolderSink : public FolderSink {
public:
    bool makeFolder(const QString &folder) override;
    bool writeFile(const QString &path, const QByteArray &bytes) override;
};

} // namespace kivaro
