#include "common/binaryio.h"

#include <gtest/gtest.h>

using namespace common;

TEST(LeBinary, WritesLittleEndianAtOffsetsAndZeroFillsGaps)
{
    std::vector<std::uint8_t> buf;
    LeWriter w(buf);
    w.i16(4, -2);
    w.f32(8, 1.0f);
    w.u16(0, 0x1234);
    ASSERT_EQ(buf.size(), 12u);
    const std::vector<std::uint8_t> expected{0x34, 0x12, 0, 0, 0xFE, 0xFF, 0, 0, 0x00, 0x00, 0x80, 0x3F};
    EXPECT_EQ(buf, expected);
}

TEST(LeBinary, ReadsBackEveryFieldType)
{
    std::vector<std::uint8_t> buf;
    LeWriter w(buf);
    w.i8(0, -5);
    w.u16(1, 65535);
    w.i32(3, -123456789);
    w.f32(7, -0.1f);
    const char text[3] = {'a', 'b', 'c'};
    w.bytes(11, std::span<const char>(text, 3));

    LeReader r(buf);
    std::int8_t a = 0;
    std::uint16_t b = 0;
    std::int32_t c = 0;
    float d = 0;
    char t[3] = {};
    ASSERT_TRUE(r.i8(0, a) && r.u16(1, b) && r.i32(3, c) && r.f32(7, d) && r.bytes(11, std::span<char>(t, 3)));
    EXPECT_EQ(a, -5);
    EXPECT_EQ(b, 65535);
    EXPECT_EQ(c, -123456789);
    EXPECT_EQ(d, -0.1f);
    EXPECT_EQ(std::string(t, 3), "abc");
}

TEST(LeBinary, ReadPastEndFailsAndLeavesValue)
{
    const std::vector<std::uint8_t> buf{1, 2, 3};
    LeReader r(buf);
    std::int16_t v = 77;
    EXPECT_TRUE(r.i16(1, v));
    v = 77;
    EXPECT_FALSE(r.i16(2, v));
    EXPECT_EQ(v, 77);
    float f = 0;
    EXPECT_FALSE(r.f32(0, f));
    // Offsets near the top of the address range must not wrap around.
    EXPECT_FALSE(r.has(SIZE_MAX, 2));
    EXPECT_FALSE(r.has(2, SIZE_MAX));
}
