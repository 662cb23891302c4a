#include "common/jsonwriter.h"

#include "common/numberformat.h"

#include <cmath>
#include <cstdio>

namespace common {

void JsonWriter::separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_hasItem.empty()) {
        if (m_hasItem.back())
            m_out += ',';
        m_hasItem.back() = true;
    }
}

JsonWriter &JsonWriter::beginObject()
{
    separate();
    m_out += '{';
    m_hasItem.push_back(false);
    return *this;
}

JsonWriter &JsonWriter::endObject()
{
    m_out += '}';
    m_hasItem.pop_back();
    return *this;
}

JsonWriter &JsonWriter::beginArray()
{
    separate();
    m_out += '[';
    m_hasItem.push_back(false);
    return *this;
}

JsonWriter &JsonWriter::endArray()
{
    m_out += ']';
    m_hasItem.pop_back();
    return *this;
}

JsonWriter &JsonWriter::key(std::string_view name)
{
    value(name);
    m_out += ':';
    m_afterKey = true;
    return *this;
}

JsonWriter &JsonWriter::value(std::string_view utf8)
{
    separate();
    m_out += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"': m_out += "\\\""; break;
        case '\\': m_out += "\\\\"; break;
        case '\n': m_out += "\\n"; break;
        case '\r': m_out += "\\r"; break;
        case '\t': m_out += "\\t"; break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                m_out += buf;
            } else {
                m_out += c;
            }
        }
    }
    m_out += '"';
    return *this;
}

JsonWriter &JsonWriter::value(float v)
{
    if (!std::isfinite(v))
        return null();
    separate();
    m_out += formatShortest(v);
    return *this;
}

JsonWriter &JsonWriter::value(double v)
{
    if (!std::isfinite(v))
        return null();
    separate();
    m_out += formatShortest(v);
    return *this;
}

JsonWriter &JsonWriter::value(std::int64_t v)
{
    separate();
    m_out += std::to_string(v);
    return *this;
}

JsonWriter &JsonWriter::value(bool v)
{
    separate();
    m_out += v ? "true" : "false";
    return *this;
}

JsonWriter &JsonWriter::null()
{
    separate();
    m_out += "null";
    return *this;
}

} // namespace common
