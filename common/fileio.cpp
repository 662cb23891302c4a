#include "common/fileio.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace common {

FileError readWholeFile(const QString &path, std::vector<std::uint8_t> &out, std::uint64_t maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, file.errorString()};
    const qint64 size = qint64(std::min<std::uint64_t>(std::uint64_t(std::max<qint64>(file.size(), 0)), maxBytes));
    out.assign(std::size_t(size > 0 ? size : 0), 0);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(reinterpret_cast<char *>(out.data()) + done, size - done);
        if (n < 0)
            return {false, file.errorString()};
        if (n == 0)
            break; // the file shrank while we read it
        done += n;
    }
    out.resize(std::size_t(done));
    return {};
}

FileError writeFileAtomically(const QString &path, const char *data, std::size_t size)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    std::size_t done = 0;
    while (done < size) {
        const qint64 n = file.write(data + done, qint64(size - done));
        if (n <= 0) {
            const QString why = file.errorString();
            file.cancelWriting();
            return {false, why};
        }
        done += std::size_t(n);
    }
    if (!file.commit())
        return {false, file.errorString()};
    return {};
}

} // namespace common
