#pragma once
// Little-endian reading and writing of the fixed-layout fields that the
// suite's files and wire formats are made of. Every field is read or written
// at an explicit offset, never by copying a struct, so the layout is the same
// on every compiler and platform.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace common {

// Reads fields from a byte buffer the caller owns. Each read names its
// offset. A read that would pass the end of the buffer returns false and
// leaves the destination untouched, so a truncated file is detected rather
// than read as garbage.
class LeReader {
public:
    explicit LeReader(std::span<const std::uint8_t> data) : m_data(data) {}

    std::size_t size() const { return m_data.size(); }
    bool has(std::size_t offset, std::size_t length) const;

    bool i8(std::size_t offset, std::int8_t &out) const;
    bool u8(std::size_t offset, std::uint8_t &out) const;
    bool i16(std::size_t offset, std::int16_t &out) const;
    bool u16(std::size_t offset, std::uint16_t &out) const;
    bool i32(std::size_t offset, std::int32_t &out) const;
    bool u32(std::size_t offset, std::uint32_t &out) const;
    bool f32(std::size_t offset, float &out) const;
    // Copies `out.size()` raw bytes starting at `offset`.
    bool bytes(std::size_t offset, std::span<std::uint8_t> out) const;
    bool bytes(std::size_t offset, std::span<char> out) const;

    // Unchecked accessors for hot loops whose range the caller checked with has().
    std::int16_t i16At(std::size_t offset) const;
    float f32At(std::size_t offset) const;
    const std::uint8_t *data() const { return m_data.data(); }

private:
    std::span<const std::uint8_t> m_data;
};

// Writes fields into a growing byte buffer. Writing past the current end
// grows the buffer and fills any gap with zero bytes, so a layout with
// reserved areas comes out zero-filled.
class LeWriter {
public:
    explicit LeWriter(std::vector<std::uint8_t> &out) : m_out(out) {}

    void i8(std::size_t offset, std::int8_t v);
    void u8(std::size_t offset, std::uint8_t v);
    void i16(std::size_t offset, std::int16_t v);
    void u16(std::size_t offset, std::uint16_t v);
    void i32(std::size_t offset, std::int32_t v);
    void u32(std::size_t offset, std::uint32_t v);
    void f32(std::size_t offset, float v);
    void bytes(std::size_t offset, std::span<const std::uint8_t> v);
    void bytes(std::size_t offset, std::span<const char> v);
    // Makes the buffer at least `size` bytes long (zero-filled).
    void reserveTo(std::size_t size);

    std::size_t size() const { return m_out.size(); }

private:
    std::uint8_t *at(std::size_t offset, std::size_t length);
    std::vector<std::uint8_t> &m_out;
};

// Raw little-endian helpers on a pointer, for callers that already checked the range.
inline std::uint16_t loadU16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t loadU32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
inline void storeU16(std::uint8_t *p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}
inline void storeU32(std::uint8_t *p, std::uint32_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
    p[2] = std::uint8_t(v >> 16);
    p[3] = std::uint8_t(v >> 24);
}

} // namespace common
