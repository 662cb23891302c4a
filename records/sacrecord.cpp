#include "records/sacrecord.h"

#include <QList>
#include <QTimeZone>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace talvex {

namespace {

// Word positions in the header: floats 0...69, integers 70...109 (given
// here relative to 70), texts from byte 440 in 8-byte slots.
constexpr int kDelta = 0;
constexpr int kBegin = 5;
constexpr int kEnd = 6;
constexpr int kAzimuth = 57;
constexpr int kIncidence = 58;
constexpr int kFloatCount = 70;
constexpr int kYear = 0;
constexpr int kJulianDay = 1;
constexpr int kHour = 2;
constexpr int kMinute = 3;
constexpr int kSecond = 4;
constexpr int kMillisecond = 5;
constexpr int kVersion = 6;
constexpr int kPoints = 9;
constexpr int kFileType = 15;
constexpr int kEvenlySpaced = 35;
constexpr int kIntCount = 40;
constexpr int kTextOffset = 440;
constexpr int kStationSlot = 0;
constexpr int kHoleSlot = 3;
constexpr int kComponentSlot = 20;
constexpr int kNetworkSlot = 21;
constexpr int kTextSlots = 24;
constexpr int kTimeSeries = 1; // IFTYPE ITIME
constexpr int kUndefinedInt = -12345;

struct Header {
    std::array<float, kFloatCount> f{};
    std::array<std::int32_t, kIntCount> i{};
    std::array<QByteArray, kTextSlots> k;
};

std::uint32_t word(const std::uint8_t *p, bool big)
{
    return big ? (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3]
               : (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

void putWord(QByteArray &out, std::uint32_t v, bool big)
{
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    if (big)
        out.append(b[3]).append(b[2]).append(b[1]).append(b[0]);
    else
        out.append(b, 4);
}

bool isSet(float v)
{
    return std::isfinite(v) && v != kSacUndefined;
}

QString text(const QByteArray &slot)
{
    const QString t = QString::fromLatin1(slot).trimmed();
    return t.startsWith(QLatin1String("-12345")) ? QString() : t;
}

// Which of the two byte orders reads a header version of 6 or 7; nothing
// when neither does.
std::optional<bool> byteOrder(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < std::size_t(kSacHeaderBytes))
        return std::nullopt;
    const std::uint8_t *v = bytes.data() + 4 * (kFloatCount + kVersion);
    for (const bool big : {false, true}) {
        const std::uint32_t n = word(v, big);
        if (n == 6 || n == 7)
            return big;
    }
    return std::nullopt;
}

// Turns the header and samples into `trace`, checking what the reader
// relies on.
QString fill(const Header &h, std::vector<double> samples, SacTrace &trace)
{
    if (h.i[kFileType] != kUndefinedInt && h.i[kFileType] != kTimeSeries)
        return QString::fromUtf8("不是时间序列（IFTYPE 为 %1）").arg(h.i[kFileType]);
    if (h.i[kEvenlySpaced] == 0)
        return QString::fromUtf8("采样不是等间隔的（LEVEN 为假）");
    const float delta = h.f[kDelta];
    if (!isSet(delta) || !(delta > 0.0f))
        return QString::fromUtf8("采样间隔 DELTA 无效（%1）").arg(double(delta));
    trace = SacTrace{};
    trace.delta = double(delta);
    // DELTA is a 32-bit float: 0.01 reads 0.0099999998. Intervals that are
    // a whole number of microseconds within the float's precision are taken
    // as that number, so that files of one instrument agree exactly.
    const double micro = std::round(trace.delta * 1e6);
    if (micro >= 1.0 && std::fabs(micro - trace.delta * 1e6) <= trace.delta * 1e6 * 1e-6)
        trace.delta = micro * 1e-6;
    if (isSet(h.f[kAzimuth]))
        trace.azimuth = double(h.f[kAzimuth]);
    if (isSet(h.f[kIncidence]))
        trace.incidence = double(h.f[kIncidence]);
    trace.component = text(h.k[kComponentSlot]);
    trace.station = text(h.k[kStationSlot]);
    trace.network = text(h.k[kNetworkSlot]);
    trace.location = text(h.k[kHoleSlot]);
    const auto &n = h.i;
    if (n[kYear] != kUndefinedInt && n[kJulianDay] != kUndefinedInt) {
        if (n[kYear] < 1 || n[kYear] > 9999 || n[kJulianDay] < 1 || n[kJulianDay] > 366 || n[kHour] < 0 || n[kHour] > 23
            || n[kMinute] < 0 || n[kMinute] > 59 || n[kSecond] < 0 || n[kSecond] > 60 || n[kMillisecond] < 0
            || n[kMillisecond] > 999)
            return QString::fromUtf8("参考时间（NZYEAR 等）无效");
        QDateTime t(QDate(n[kYear], 1, 1).addDays(n[kJulianDay] - 1), QTime(n[kHour], n[kMinute], 0), QTimeZone::utc());
        t = t.addMSecs(qint64(n[kSecond]) * 1000 + n[kMillisecond]);
        const float b = h.f[kBegin];
        if (isSet(b)) {
            if (std::fabs(b) > 1e9f)
                return QString::fromUtf8("起始时间 B 无效（%1）").arg(double(b));
            t = t.addMSecs(qint64(std::llround(double(b) * 1000.0)));
        }
        trace.start = t;
    }
    for (const double v : samples)
        if (!std::isfinite(v))
            return QString::fromUtf8("采样值中有无效的数值");
    trace.samples = std::move(samples);
    return {};
}

QString parseBinary(std::span<const std::uint8_t> bytes, bool big, SacTrace &trace)
{
    Header h;
    const std::uint8_t *p = bytes.data();
    for (int w = 0; w < kFloatCount; ++w)
        h.f[std::size_t(w)] = std::bit_cast<float>(word(p + 4 * w, big));
    for (int w = 0; w < kIntCount; ++w)
        h.i[std::size_t(w)] = std::int32_t(word(p + 4 * (kFloatCount + w), big));
    for (int s = 0; s < kTextSlots; ++s)
        h.k[std::size_t(s)] = QByteArray(reinterpret_cast<const char *>(p + kTextOffset + 8 * s), 8);
    const std::int64_t points = h.i[kPoints];
    if (points < 1)
        return QString::fromUtf8("采样点数 NPTS 为 %1").arg(points);
    const std::uint64_t available = (bytes.size() - kSacHeaderBytes) / 4;
    if (std::uint64_t(points) > available)
        return QString::fromUtf8("文件被截断：头段说有 %1 个采样点，文件只容得下 %2 个").arg(points).arg(available);
    std::vector<double> samples(static_cast<std::size_t>(points));
    const std::uint8_t *data = p + kSacHeaderBytes;
    for (std::size_t s = 0; s < samples.size(); ++s)
        samples[s] = double(std::bit_cast<float>(word(data + 4 * s, big)));
    return fill(h, std::move(samples), trace);
}

// The alphanumeric form: numbers in free form separated by blanks, texts in
// their fixed columns.
QString parseText(std::span<const std::uint8_t> bytes, SacTrace &trace)
{
    const QByteArray all(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    const QList<QByteArray> lines = all.split('\n');
    constexpr int kFloatLines = 14;
    constexpr int kIntLines = 8;
    constexpr int kTextLines = 8;
    if (lines.size() < kFloatLines + kIntLines + kTextLines)
        return QString::fromUtf8("文件太短，不是 SAC 文件");
    Header h;
    int line = 0;
    const auto numbers = [&](int count, auto &&store) -> bool {
        int got = 0;
        while (got < count && line < lines.size()) {
            for (const QByteArray &field : lines[line].simplified().split(' ')) {
                if (field.isEmpty())
                    continue;
                if (got >= count || !store(got++, field))
                    return false;
            }
            ++line;
        }
        return got == count;
    };
    if (!numbers(kFloatCount, [&](int w, const QByteArray &f) {
            bool ok = false;
            h.f[std::size_t(w)] = f.toFloat(&ok);
            return ok;
        }))
        return QString::fromUtf8("不是 SAC 文件（头段的浮点数不能读）");
    if (!numbers(kIntCount, [&](int w, const QByteArray &f) {
            bool ok = false;
            h.i[std::size_t(w)] = f.toInt(&ok);
            return ok;
        }))
        return QString::fromUtf8("不是 SAC 文件（头段的整数不能读）");
    if (h.i[kVersion] != 6 && h.i[kVersion] != 7)
        return QString::fromUtf8("不是 SAC 文件（头段版本 NVHDR 为 %1）").arg(h.i[kVersion]);
    if (lines.size() < line + kTextLines)
        return QString::fromUtf8("文件被截断（头段的文字行不全）");
    QByteArray texts;
    for (int t = 0; t < kTextLines; ++t, ++line) {
        QByteArray l = lines[line];
        if (l.endsWith('\r'))
            l.chop(1);
        texts += l.leftJustified(24, ' ', true);
    }
    for (int s = 0; s < kTextSlots; ++s)
        h.k[std::size_t(s)] = texts.mid(8 * s, 8);
    const std::int64_t points = h.i[kPoints];
    if (points < 1)
        return QString::fromUtf8("采样点数 NPTS 为 %1").arg(points);
    // Each sample takes at least two characters: a count beyond that cannot
    // be in the file.
    if (std::uint64_t(points) > bytes.size() / 2)
        return QString::fromUtf8("文件被截断：头段说有 %1 个采样点").arg(points);
    std::vector<double> samples;
    samples.reserve(std::size_t(points));
    if (!numbers(int(points), [&](int, const QByteArray &f) {
            bool ok = false;
            samples.push_back(f.toDouble(&ok));
            return ok;
        }))
        return QString::fromUtf8("文件被截断或有不能读的采样值：头段说有 %1 个采样点，读到 %2 个")
            .arg(points)
            .arg(samples.size());
    return fill(h, std::move(samples), trace);
}

} // namespace

bool isBinarySac(std::span<const std::uint8_t> bytes)
{
    return byteOrder(bytes).has_value();
}

QString parseSacTrace(std::span<const std::uint8_t> bytes, SacTrace &trace)
{
    if (const auto big = byteOrder(bytes))
        return parseBinary(bytes, *big, trace);
    return parseText(bytes, trace);
}

QByteArray encodeSacTrace(const SacTrace &trace, bool bigEndian)
{
    Header h;
    h.f.fill(kSacUndefined);
    h.i.fill(kUndefinedInt);
    h.k.fill(QByteArray("-12345  "));
    h.f[kDelta] = float(trace.delta);
    h.f[kBegin] = 0.0f;
    h.f[kEnd] = float(trace.delta * double(trace.samples.empty() ? 0 : trace.samples.size() - 1));
    if (trace.azimuth)
        h.f[kAzimuth] = float(*trace.azimuth);
    if (trace.incidence)
        h.f[kIncidence] = float(*trace.incidence);
    if (trace.start) {
        const QDateTime t = trace.start->toUTC();
        h.i[kYear] = t.date().year();
        h.i[kJulianDay] = t.date().dayOfYear();
        h.i[kHour] = t.time().hour();
        h.i[kMinute] = t.time().minute();
        h.i[kSecond] = t.time().second();
        h.i[kMillisecond] = t.time().msec();
    }
    h.i[kVersion] = 6;
    h.i[kPoints] = std::int32_t(trace.samples.size());
    h.i[kFileType] = kTimeSeries;
    h.i[kEvenlySpaced] = 1;
    const auto slot = [](const QString &v) { return v.toLatin1().leftJustified(8, ' ', true); };
    if (!trace.station.isEmpty())
        h.k[kStationSlot] = slot(trace.station);
    h.k[kStationSlot + 1] = h.k[kStationSlot + 2] = QByteArray("-12345  ");
    if (!trace.location.isEmpty())
        h.k[kHoleSlot] = slot(trace.location);
    if (!trace.component.isEmpty())
        h.k[kComponentSlot] = slot(trace.component);
    if (!trace.network.isEmpty())
        h.k[kNetworkSlot] = slot(trace.network);

    QByteArray out;
    out.reserve(kSacHeaderBytes + 4 * qsizetype(trace.samples.size()));
    for (const float v : h.f)
        putWord(out, std::bit_cast<std::uint32_t>(v), bigEndian);
    for (const std::int32_t v : h.i)
        putWord(out, std::uint32_t(v), bigEndian);
    for (const QByteArray &k : h.k)
        out += k;
    for (const double v : trace.samples)
        putWord(out, std::bit_cast<std::uint32_t>(float(v)), bigEndian);
    return out;
}

} // namespace talvex
