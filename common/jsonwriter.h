#pragma once
// A small streaming JSON writer. Floats are written with the shortest text
// that reads back to the same 32-bit value (not widened to double first);
// values that JSON cannot hold (NaN, infinities) are written as null.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class JsonWriter {
public:
    JsonWriter &beginObject();
    JsonWriter &endObject();
    JsonWriter &beginArray();
    JsonWriter &endArray();
    JsonWriter &key(std::string_view name);

    JsonWriter &value(std::string_view utf8);
    JsonWriter &value(const char *utf8) { return value(std::string_view(utf8)); }
    JsonWriter &value(float v);
    JsonWriter &value(double v);
    JsonWriter &value(std::int64_t v);
    JsonWriter &value(int v) { return value(std::int64_t(v)); }
    JsonWriter &value(unsigned v) { return value(std::int64_t(v)); }
    JsonWriter &value(bool v);
    JsonWriter &null();

    template <typename T>
    JsonWriter &field(std::string_view name, T v)
    {
        key(name);
        return value(v);
    }

    const std::string &text() const { return m_out; }

private:
    void separate();
    std::string m_out;
    // Per open container: whether something was written in it yet.
    std::vector<bool> m_hasItem;
    bool m_afterKey = false;
};

} // namespace common
