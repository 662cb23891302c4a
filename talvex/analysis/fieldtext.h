#pragma once
// Texts typed into the dialogs, stored into the fixed-size GBK fields of the
// survey's records.

#include "common/fixedtext.h"
#include "common/gbk.h"

#include <QString>
#include <array>
#include <optional>
#include <string>

namespace common {
class Messenger;
}

namespace talvex {

// Bytes a layer description may take (the field has 160, the last one a zero).
inline constexpr std::size_t kDescriptionBytes = 159;

// Cuts GBK bytes to at most `maxBytes`, at a character boundary so that no
// half of a two-byte character is stored.
std::string cutGbk(std::string bytes, std::size_t maxBytes);

// Encodes `text` as GBK and cuts it to `maxBytes`. When GBK cannot hold a
// character of the text, shows a message naming the field (`label`) and the
// characters, and returns nothing: the text is refused rather than stored
// with substitutes.
std::optional<std::string> encodeFieldText(const QString &text, std::size_t maxBytes, const QString &label,
                                           common::Messenger &messenger);

// The GBK bytes of a fixed field as text.
template <std::size_t N>
QString fieldText(const std::array<char, N> &field)
{
    return common::decodeGbk(common::readFixedText(field));
}

} // namespace talvex
