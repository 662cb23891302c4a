#pragma once
// Records for the record tests: channel ramps and files written byte for byte.

#include "records/fieldrecord.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace talvex::recordtest {

// A record whose sample i of channel c is c * 1000 + i (wrapped to 16 bits).
inline FieldRecordData ramp(int channels, int samples)
{
    FieldRecordData r;
    r.header.interval = 50;
    r.header.delay = 7;
    r.header.gain = 100;
    for (int c = 0; c < channels; ++c) {
        std::vector<std::int16_t> ch(static_cast<std::size_t>(samples));
        for (int i = 0; i < samples; ++i)
            ch[std::size_t(i)] = std::int16_t((c * 1000 + i) % 30000);
        r.channels.push_back(ch);
    }
    return r;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

inline void writeBytes(const QString &path, const std::vector<std::uint8_t> &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()));
}

} // namespace talvex::recordtest
