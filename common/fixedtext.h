#pragma once
// Fixed-size text fields of the suite's records and files. A field is an
// array of bytes (code page 936 text). Storing fills the array with zero
// bytes, then copies at most the array's size from the start of the text, so
// a text as long as the field fills it without a terminating zero. Reading
// stops at the end of the array or at the first zero byte, whichever comes
// first.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace common {

void storeFixedText(std::span<char> field, std::string_view bytes);
std::string readFixedText(std::span<const char> field);

template <std::size_t N>
void storeFixedText(std::array<char, N> &field, std::string_view bytes)
{
    storeFixedText(std::span<char>(field), bytes);
}

template <std::size_t N>
std::string readFixedText(const std::array<char, N> &field)
{
    return readFixedText(std::span<const char>(field));
}

} // namespace common
