#include "kivaro/core/updateheader.h"

#include "common/binaryio.h"
#include "common/fixedtext.h"
#include "common/gbk.h"

namespace kivaro {

std::optional<UpdateHeader> UpdateHeader::read(std::span<const std::uint8_t> bytes)
{
    const common::LeReader in(bytes);
    if (!in.has(0, kLength))
        return std::nullopt;
    UpdateHeader h;
    in.i32(0, h.size);
    in.f32(4, h.version);
    in.i32(8, h.checksum);
    std::array<char, kNameText> name{};
    in.bytes(12, std::span<char>(name));
    h.name = common::decodeGbk(common::readFixedText(name));
    for (std::size_t i = 0; i < h.checkBytes.size(); ++i)
        in.i8(28 + i, h.checkBytes[i]);
    in.i32(32, h.checkValue);
    return h;
}

void UpdateHeader::write(std::vector<std::uint8_t> &out) const
{
    common::LeWriter w(out);
    w.reserveTo(kLength);
    w.i32(0, size);
    w.f32(4, version);
    w.i32(8, checksum);
    std::array<char, 16> field{};
    const QByteArray encoded = common::encodeGbk(name).value_or(QByteArray());
    common::storeFixedText(std::span<char>(field.data(), kNameText),
                           std::string_view(encoded.constData(), std::size_t(encoded.size())));
    w.bytes(12, std::span<const char>(field));
    for (std::size_t i = 0; i < checkBytes.size(); ++i)
        w.i8(28 + i, checkBytes[i]);
    w.i32(32, checkValue);
}

bool UpdateHeader::headerCheckPasses() const
{
    const int sum = int(checkBytes[0]) + int(checkBytes[1]) + int(checkBytes[2]) + int(checkBytes[3]);
    return sum == checkValue;
}

} // namespace kivaro
