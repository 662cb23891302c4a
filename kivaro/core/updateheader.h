#pragma once
// The 64-byte header of a firmware upgrade file (".update"), all integers
// little-endian:
//   0  int32    image size: the number of image bytes sent to the instrument
//   4  float32  program version, e.g. 1.2
//   8  int32    checksum: sum of the image bytes (each 0…255) in 32-bit arithmetic
//  12  16 bytes program name; bytes 0…11 hold GBK text ending at the first zero
//  28  4 × int8 header check bytes c0 … c3
//  32  int32    header check value: c0 + c1 + c2 + c3 (signed bytes)
//  36  28 bytes not used
// The firmware image follows from offset 64 to the end of the file.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kivaro {

struct UpdateHeader {
    static constexpr std::size_t kLength = 64;
    static constexpr std::size_t kNameText = 12;

    std::int32_t size = 0;
    float version = 0.0f;
    std::int32_t checksum = 0;
    QString name;
    std::array<std::int8_t, 4> checkBytes{};
    std::int32_t checkValue = 0;

    // Reads the header from the start of `bytes`; nothing when fewer than 64 bytes.
    static std::optional<UpdateHeader> read(std::span<const std::uint8_t> bytes);
    // Writes the 64 header bytes at the start of `out` (grown as needed).
    void write(std::vector<std::uint8_t> &out) const;

    // True when the check bytes add up to the check value.
    bool headerCheckPasses() const;
};

} // namespace kivaro
