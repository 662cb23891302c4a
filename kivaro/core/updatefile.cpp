#include "kivaro/core/updatefile.h"

#include <QFile>

namespace kivaro {

UpdateFile UpdateFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return UpdateFile();
    return fromBytes(file.readAll());
}

UpdateFile UpdateFile::fromBytes(const QByteArray &bytes)
{
    UpdateFile f;
    f.m_status = Status::FormatError;
    const auto data = std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                                    std::size_t(bytes.size()));
    const auto header = UpdateHeader::read(data);
    if (!header)
        return f;
    f.m_header = *header;
    f.m_image = bytes.mid(qsizetype(UpdateHeader::kLength));
    const bool sumMatches = imageSum(f.m_image) == std::uint32_t(f.m_header.checksum);
    const bool sizeFits = f.m_header.size >= 0 && f.m_header.size <= f.m_image.size();
    if (f.m_header.headerCheckPasses() && sumMatches && sizeFits && f.versionIsNumber())
        f.m_status = Status::Valid;
    return f;
}

QByteArray UpdateFile::build(const QString &name, float version, const QByteArray &image)
{
    UpdateHeader h;
    h.size = std::int32_t(image.size());
    h.version = version;
    h.checksum = std::int32_t(imageSum(image));
    h.name = name;
    h.checkBytes = {0x12, -0x34, 0x56, 0x07};
    h.checkValue = 0x12 - 0x34 + 0x56 + 0x07;
    std::vector<std::uint8_t> out;
    h.write(out);
    return QByteArray(reinterpret_cast<const char *>(out.data()), qsizetype(out.size())) + image;
}

std::uint32_t UpdateFile::imageSum(const QByteArray &image)
{
    std::uint32_t sum = 0;
    for (const char c : image)
        sum += std::uint8_t(c);
    return sum;
}

} // namespace kivaro
