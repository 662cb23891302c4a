#pragma once
// A small SEG-2 writer for the tests: one descriptor per trace with its
// strings, the data right behind it, in either byte order. Data format 3
// (20-bit packed) is written from explicit mantissa/exponent pairs, so that
// a test states the exact bits a seismograph would have written.

#include "records/seg2record.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace talvex::test {

struct Seg2Trace {
    std::uint8_t format = 1; // 1 int16, 2 int32, 3 20-bit packed, 4 float32, 5 float64
    std::vector<double> values; // formats 1, 2, 4, 5
    std::vector<std::pair<int, int>> packed; // format 3: (16-bit mantissa, 4-bit exponent) per sample
    // Format 3: write the last group whole (10 bytes) even when it holds
    // fewer than four samples.
    bool padLastGroup = false;
    std::vector<std::string> strings{"SAMPLE_INTERVAL 0.000125", "DELAY 0.002"};
};

struct Seg2File {
    bool bigEndian = false;
    std::vector<std::string> strings{"JOB_ID site", "LINE_ID hole"};
    std::vector<Seg2Trace> traces;
};

class Seg2Out {
public:
    Seg2Out(std::vector<std::uint8_t> &bytes, bool big) : m_bytes(bytes), m_big(big) {}
    void put(std::size_t at, std::uint64_t v, int width)
    {
        if (m_bytes.size() < at + std::size_t(width))
            m_bytes.resize(at + std::size_t(width), 0);
        for (int i = 0; i < width; ++i)
            m_bytes[at + std::size_t(m_big ? width - 1 - i : i)] = std::uint8_t(v >> (8 * i));
    }
    // Strings at `at`, each with its offset and a zero terminator, then the
    // closing zero offset; returns the end.
    std::size_t strings(std::size_t at, const std::vector<std::string> &list)
    {
        for (const std::string &s : list) {
            put(at, s.size() + 3, 2);
            m_bytes.resize(std::max(m_bytes.size(), at + s.size() + 3), 0);
            std::memcpy(m_bytes.data() + at + 2, s.data(), s.size());
            at += s.size() + 3;
        }
        put(at, 0, 2);
        return at + 2;
    }

private:
    std::vector<std::uint8_t> &m_bytes;
    bool m_big;
};

// The 20-bit packed data of `samples`: per group of four one word of
// exponents (the first sample's in the top four bits), then the mantissas;
// a last group of r < 4 samples takes 2 + 2r bytes unless `pad`.
inline std::vector<std::uint8_t> packed20Bytes(const std::vector<std::pair<int, int>> &samples, bool big, bool pad)
{
    std::vector<std::uint8_t> b;
    Seg2Out out(b, big);
    std::size_t at = 0;
    for (std::size_t g = 0; g < samples.size(); g += 4) {
        const std::size_t n = std::min<std::size_t>(4, samples.size() - g);
        std::uint16_t exponents = 0;
        for (std::size_t k = 0; k < n; ++k)
            exponents |= std::uint16_t((samples[g + k].second & 0xF) << (12 - 4 * k));
        out.put(at, exponents, 2);
        for (std::size_t k = 0; k < n; ++k)
            out.put(at + 2 + 2 * k, std::uint16_t(std::int16_t(samples[g + k].first)), 2);
        at += pad ? 10 : 2 + 2 * n;
        b.resize(at, 0);
    }
    return b;
}

inline std::vector<std::uint8_t> seg2Bytes(const Seg2File &file)
{
    std::vector<std::uint8_t> b;
    Seg2Out out(b, file.bigEndian);
    const std::size_t n = file.traces.size();
    out.put(0, kSeg2FileBlockId, 2);
    out.put(2, 1, 2); // revision
    out.put(4, 4 * n, 2);
    out.put(6, n, 2);
    out.put(8, 1, 1); // string terminator: one zero byte
    out.put(11, 1, 1); // line terminator: '\n'
    out.put(12, '\n', 1);
    std::size_t at = out.strings(32 + 4 * n, file.strings);
    for (std::size_t t = 0; t < n; ++t) {
        const Seg2Trace &trace = file.traces[t];
        at = (at + 3) / 4 * 4;
        out.put(32 + 4 * t, at, 4);
        const std::size_t block = (out.strings(at + 32, trace.strings) - at + 3) / 4 * 4;
        out.put(at, kSeg2TraceBlockId, 2);
        out.put(at + 2, block, 2);
        out.put(at + 12, trace.format, 1);
        at += block;
        if (trace.format == 3) {
            const std::vector<std::uint8_t> data = packed20Bytes(trace.packed, file.bigEndian, trace.padLastGroup);
            out.put(at - block + 4, data.size(), 4);
            out.put(at - block + 8, trace.packed.size(), 4);
            b.resize(at, 0);
            b.insert(b.end(), data.begin(), data.end());
            at += data.size();
            continue;
        }
        const int width = trace.format == 1 ? 2 : trace.format == 5 ? 8 : 4;
        out.put(at - block + 4, trace.values.size() * std::size_t(width), 4);
        out.put(at - block + 8, trace.values.size(), 4);
        for (const double v : trace.values) {
            std::uint64_t bits = 0;
            if (trace.format == 4) {
                const float f = float(v);
                std::uint32_t u = 0;
                std::memcpy(&u, &f, 4);
                bits = u;
            } else if (trace.format == 5) {
                std::memcpy(&bits, &v, 8);
            } else {
                bits = std::uint64_t(std::int64_t(v));
            }
            out.put(at, bits, width);
            at += std::size_t(width);
        }
    }
    b.resize(at, 0);
    return b;
}

inline Seg2Trace seg2Trace(std::uint8_t format, std::vector<double> values)
{
    Seg2Trace t;
    t.format = format;
    t.values = std::move(values);
    return t;
}

inline Seg2Trace packedTrace(std::vector<std::pair<int, int>> samples)
{
    Seg2Trace t;
    t.format = 3;
    t.packed = std::move(samples);
    return t;
}

} // namespace talvex::test
