#include "common/fileio.h"

#include "common/systemerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

namespace common {

namespace {

// The failure of `file`'s last operation in Chinese, from the error code the
// system left (cleared before each operation) or else Qt's error kind.
FileError failure(const QFileDevice &file, int code)
{
    return {false, fileErrorText(file.error(), code)};
}

} // namespace

FileError readWholeFile(const QString &path, std::vector<std::uint8_t> &out, std::uint64_t maxBytes)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return failure(file, errno);
    const qint64 size = qint64(std::min<std::uint64_t>(std::uint64_t(std::max<qint64>(file.size(), 0)), maxBytes));
    out.assign(std::size_t(size > 0 ? size : 0), 0);
    qint64 done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = file.read(reinterpret_cast<char *>(out.data()) + done, size - done);
        if (n < 0)
            return failure(file, errno);
        if (n == 0)
            break; // the file shrank while we read it
        done += n;
    }
    out.resize(std::size_t(done));
    return {};
}

FileError writeFileAtomically(const QString &path, const char *data, std::size_t size)
{
    // QSaveFile refuses an existing file it may not write to without a
    // system error code; say so ourselves.
    const QFileInfo existing(path);
    if (existing.exists() && existing.isFile() && !existing.isWritable())
        return {false, QStringLiteral("已有的文件不可写入（没有写入权限）")};
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        return failure(file, errno);
    std::size_t done = 0;
    while (done < size) {
        errno = 0;
        const qint64 n = file.write(data + done, qint64(size - done));
        if (n <= 0) {
            FileError why = failure(file, errno);
            file.cancelWriting();
            return why;
        }
        done += std::size_t(n);
    }
    errno = 0;
    if (!file.commit())
        return failure(file, errno);
    return {};
}

} // namespace common
