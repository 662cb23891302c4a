#pragma once
// A firmware upgrade file loaded and checked. The file is valid when its
// header check bytes add up to the header check value, the image bytes add up
// to the checksum, and the image holds at least the number of bytes that the
// header's size field announces (a size beyond the image, or below zero,
// would make the instrument wait for bytes that do not exist), and its
// version is a number: a NaN version compares as older than any instrument's
// and an infinite one as newer, so either would upgrade every instrument.

#include "kivaro/core/updateheader.h"

#include <QByteArray>
#include <QString>
#include <cmath>

namespace kivaro {

class UpdateFile {
public:
    enum class Status { Valid, CannotOpen, FormatError };

    static UpdateFile load(const QString &path);
    static UpdateFile fromBytes(const QByteArray &bytes);

    // A valid file's bytes for `image` (tests and the simulated instrument's
    // users build their files with it).
    static QByteArray build(const QString &name, float version, const QByteArray &image);
    // The image bytes summed as unsigned values in 32-bit arithmetic.
    static std::uint32_t imageSum(const QByteArray &image);

    Status status() const { return m_status; }
    bool isValid() const { return m_status == Status::Valid; }
    const UpdateHeader &header() const { return m_header; }
    // False when the header's version is NaN or infinite (the file is then
    // not valid).
    bool versionIsNumber() const { return std::isfinite(m_header.version); }
    // Everything after the header: file length − 64 bytes.
    const QByteArray &image() const { return m_image; }

    // The header values as the page shows them; the version with six
    // significant digits.
    QString sizeText() const { return QString::number(m_header.size); }
    QString versionText() const { return QString::number(double(m_header.version), 'g', 6); }
    QString checksumText() const { return QString::number(m_header.checksum); }

private:
    Status m_status = Status::CannotOpen;
    UpdateHeader m_header;
    QByteArray m_image;
};

} // namespace kivaro
