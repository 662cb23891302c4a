#pragma once
// Where downloaded projects go: one folder per project, each file written
// whole. The program writes to disk; the fuzzer keeps everything in memory.

#include <QByteArray>
#include <QString>

namespace kivaro {

class FolderSink {
public:
    virtual ~FolderSink() = default;
    // Creates `folder` and every missing folder above it. True when it exists afterwards.
    virtual bool makeFolder(const QString &folder) = 0;
    // Creates or replaces `path` with `bytes`. False when the file cannot be written.
    virtual bool writeFile(const QString &path, const QByteArray &bytes) = 0;
};

} // namespace kivaro
