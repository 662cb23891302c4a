#include "common/binaryio.h"

#include <bit>
#include <cstring>

namespace common {

bool LeReader::has(std::size_t offset, std::size_t length) const
{
    return offset <= m_data.size() && length <= m_data.size() - offset;
}

bool LeReader::i8(std::size_t offset, std::int8_t &out) const
{
    if (!has(offset, 1))
        return false;
    out = std::int8_t(m_data[offset]);
    return true;
}

bool LeReader::u8(std::size_t offset, std::uint8_t &out) const
{
    if (!has(offset, 1))
        return false;
    out = m_data[offset];
    return true;
}

bool LeReader::i16(std::size_t offset, std::int16_t &out) const
{
    if (!has(offset, 2))
        return false;
    out = std::int16_t(loadU16(m_data.data() + offset));
    return true;
}

bool LeReader::u16(std::size_t offset, std::uint16_t &out) const
{
    if (!has(offset, 2))
        return false;
    out = loadU16(m_data.data() + offset);
    return true;
}

bool LeReader::i32(std::size_t offset, std::int32_t &out) const
{
    if (!has(offset, 4))
        return false;
    out = std::int32_t(loadU32(m_data.data() + offset));
    return true;
}

bool LeReader::u32(std::size_t offset, std::uint32_t &out) const
{
    if (!has(offset, 4))
        return false;
    out = loadU32(m_data.data() + offset);
    return true;
}

bool LeReader::f32(std::size_t offset, float &out) const
{
    if (!has(offset, 4))
        return false;
    out = std::bit_cast<float>(loadU32(m_data.data() + offset));
    return true;
}

bool LeReader::bytes(std::size_t offset, std::span<std::uint8_t> out) const
{
    if (!has(offset, out.size()))
        return false;
    if (!out.empty())
        std::memcpy(out.data(), m_data.data() + offset, out.size());
    return true;
}

bool LeReader::bytes(std::size_t offset, std::span<char> out) const
{
    return bytes(offset, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t *>(out.data()), out.size()));
}

std::int16_t LeReader::i16At(std::size_t offset) const
{
    return std::int16_t(loadU16(m_data.data() + offset));
}

float LeReader::f32At(std::size_t offset) const
{
    return std::bit_cast<float>(loadU32(m_data.data() + offset));
}

std::uint8_t *LeWriter::at(std::size_t offset, std::size_t length)
{
    if (m_out.size() < offset + length)
        m_out.resize(offset + length, 0);
    return m_out.data() + offset;
}

void LeWriter::i8(std::size_t offset, std::int8_t v)
{
    *at(offset, 1) = std::uint8_t(v);
}
void LeWriter::u8(std::size_t offset, std::uint8_t v)
{
    *at(offset, 1) = v;
}
void LeWriter::i16(std::size_t offset, std::int16_t v)
{
    storeU16(at(offset, 2), std::uint16_t(v));
}
void LeWriter::u16(std::size_t offset, std::uint16_t v)
{
    storeU16(at(offset, 2), v);
}
void LeWriter::i32(std::size_t offset, std::int32_t v)
{
    storeU32(at(offset, 4), std::uint32_t(v));
}
void LeWriter::u32(std::size_t offset, std::uint32_t v)
{
    storeU32(at(offset, 4), v);
}
void LeWriter::f32(std::size_t offset, float v)
{
    storeU32(at(offset, 4), std::bit_cast<std::uint32_t>(v));
}

void LeWriter::bytes(std::size_t offset, std::span<const std::uint8_t> v)
{
    std::uint8_t *p = at(offset, v.size());
    if (!v.empty())
        std::memcpy(p, v.data(), v.size());
}

void LeWriter::bytes(std::size_t offset, std::span<const char> v)
{
    bytes(offset, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t *>(v.data()), v.size()));
}

void LeWriter::reserveTo(std::size_t size)
{
    if (m_out.size() < size)
        m_out.resize(size, 0);
}

} // namespace common
