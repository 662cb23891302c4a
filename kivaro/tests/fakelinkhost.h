#pragma once
// A LinkHost for protocol tests: records every write, timer start and stop,
// pause and close, and keeps whether the response timer would be running.
// Tests deliver timer expiries to the protocol themselves.

#include "kivaro/core/foldersink.h"
#include "kivaro/core/linkhost.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace kivaro::test {

class FakeLinkHost : public LinkHost {
public:
    bool write(const QByteArray &bytes) override
    {
        if (failWrites)
            return false;
        writes.append(bytes);
        events << QStringLiteral("write %1").arg(QString::fromLatin1(bytes.toHex()));
        return true;
    }
    void startTimer(int milliseconds) override
    {
        timerRunning = true;
        timerMs = milliseconds;
        timerStarts.append(milliseconds);
        events << QStringLiteral("start %1").arg(milliseconds);
    }
    void stopTimer() override
    {
        timerRunning = false;
        events << QStringLiteral("stop");
    }
    void closePort() override
    {
        open = false;
        ++closes;
        events << QStringLiteral("close");
    }
    void pause(int milliseconds) override
    {
        pauses.append(milliseconds);
        events << QStringLiteral("pause %1").arg(milliseconds);
    }

    QByteArray lastWrite() const { return writes.isEmpty() ? QByteArray() : writes.last(); }

    QList<QByteArray> writes;
    QList<int> timerStarts;
    QList<int> pauses;
    QStringList events;
    bool timerRunning = false;
    int timerMs = 0;
    bool open = true;
    int closes = 0;
    bool failWrites = false;
};

// Keeps downloaded folders and files in memory; folders listed in
// `refusedFolders` and files in `refusedFiles` cannot be made.
class MemoryFolderSink : public FolderSink {
public:
    bool makeFolder(const QString &folder) override
    {
        if (refusedFolders.contains(folder))
            return false;
        folders.insert(folder);
        return true;
    }
    bool writeFile(const QString &path, const QByteArray &bytes) override
    {
        if (refusedFiles.contains(path))
            return false;
        files[path] = bytes;
        return true;
    }

    QSet<QString> folders;
    QMap<QString, QByteArray> files;
    QSet<QString> refusedFolders;
    QSet<QString> refusedFiles;
};

} // namespace kivaro::test
