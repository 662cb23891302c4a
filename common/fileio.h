#pragma once
// Whole-file reading and crash-safe writing. A document is written to a
// temporary file in the target's folder and renamed into place only when
// every byte is on disk, so a failed save (disk full, no permission) leaves
// the previous file as it was.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace common {

struct FileError {
    bool ok = true;
    QString message; // what went wrong, in Chinese (systemerror.h), without the path
};

// Reads the whole file, or its first `maxBytes` bytes when it is longer (a
// format with a known largest size need not hold a huge hostile file in
// memory). On failure returns ok = false with the reason.
FileError readWholeFile(const QString &path, std::vector<std::uint8_t> &out, std::uint64_t maxBytes = UINT64_MAX);

// Replaces `path` with `data` atomically (temporary file + rename).
FileError writeFileAtomically(const QString &path, const char *data, std::size_t size);
inline FileError writeFileAtomically(const QString &path, const std::vector<std::uint8_t> &data)
{
    return writeFileAtomically(path, reinterpret_cast<const char *>(data.data()), data.size());
}
inline FileError writeFileAtomically(const QString &path, const QByteArray &data)
{
    return writeFileAtomically(path, data.constData(), std::size_t(data.size()));
}

} // namespace common
