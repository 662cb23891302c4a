#pragma once
// What the link tests share: a LinkHost that records every write, timer
// start and stop, pause and close, and keeps whether the response timer would
// be running (tests deliver timer expiries to the protocol themselves); a
// folder sink in memory; and the bytes of the instrument's replies.

#include "kivaro/core/foldersink.h"
#include "kivaro/core/linkhost.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

namespace kivaro::test {

// `v` as `bytes` little-endian bytes (two's complement for negative values).
inline QByteArray le(qint64 v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b.append(char((quint64(v) >> (8 * i)) & 0xff));
    return b;
}
inline QByteArray i16(qint16 v)
{
    return le(v, 2);
}
inline QByteArray i32(qint32 v)
{
    return le(v, 4);
}
// `text` in a zero-filled field of `size` bytes (cut at `size`).
inline QByteArray field(const QByteArray &text, int size)
{
    QByteArray f = text.left(size);
    f.append(QByteArray(size - f.size(), '\0'));
    return f;
}
// File contents that differ by position and by `seed`.
inline QByteArray pattern(int size, int seed)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 131 + seed * 7 + (i >> 8)) & 0xff);
    return b;
}

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
