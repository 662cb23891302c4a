#include "common/fixedtext.h"

#include <algorithm>
#include <cstring>

namespace common {

void storeFixedText(std::span<char> field, std::string_view bytes)
{
    std::fill(field.begin(), field.end(), '\0');
    const std::size_t n = std::min(field.size(), bytes.size());
    if (n > 0)
        std::memcpy(field.data(), bytes.data(), n);
}

std::string readFixedText(std::span<const char> field)
{
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

} // namespace common
