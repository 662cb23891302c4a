#include "records/seg2record.h"

#include "records/fieldrecord.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QTime>
#include <QTimeZone>
#include <algorithm>
#include <cctype>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

namespace talvex {

namespace {

constexpr std::uint64_t kDescriptorSize = 32; // fixed part of both descriptor blocks
// The file's strings are read up to this many bytes: the 16-bit string
// offsets cannot describe more than a few such strings anyway.
constexpr std::uint64_t kMaxFileStrings = 65536;

// Fields in the file's byte order.
class Order {
public:
    explicit Order(bool bigEndian) : m_big(bigEndian) {}

    bool bigEndian() const { return m_big; }

    std::uint16_t u16(const std::uint8_t *p) const
    {
        return m_big ? std::uint16_t((p[0] << 8) | p[1]) : std::uint16_t(p[0] | (p[1] << 8));
    }
    std::uint32_t u32(const std::uint8_t *p) const
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(p[m_big ? i : 3 - i]) << (8 * (3 - i));
        return v;
    }
    std::uint64_t u64(const std::uint8_t *p) const
    {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i)
            v |= std::uint64_t(p[m_big ? i : 7 - i]) << (8 * (7 - i));
        return v;
    }

private:
    bool m_big;
};

// Bytes of one sample per data format code whose samples have a whole
// number of bytes; 0 for code 3 (packed, see packedBytes) and codes not read.
std::uint64_t sampleBytes(std::uint8_t code)
{
    switch (code) {
    case 1: return 2;
    case 2: return 4;
    case 4: return 4;
    case 5: return 8;
    default: return 0;
    }
}

constexpr std::uint8_t kPacked20 = 3;

// Bytes that `count` samples of data format code `code` take; 0 for a code
// that is not read.
std::uint64_t dataBytes(std::uint8_t code, std::uint64_t count)
{
    if (code == kPacked20)
        return seg2Packed20Bytes(count);
    return count * sampleBytes(code);
}

double sampleAt(const std::uint8_t *p, std::uint8_t code, const Order &order)
{
    switch (code) {
    case 1: return double(std::int16_t(order.u16(p)));
    case 2: return double(std::int32_t(order.u32(p)));
    case 4: {
        const std::uint32_t bits = order.u32(p);
        float f = 0.0f;
        std::memcpy(&f, &bits, sizeof f);
        return double(f);
    }
    default: {
        const std::uint64_t bits = order.u64(p);
        double d = 0.0;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    }
}

// The strings of a descriptor block, keyword (in upper case) -> value; the
// first of a repeated keyword counts. A malformed offset ends the list.
using Strings = std::map<QByteArray, QByteArray>;

Strings parseStrings(std::span<const std::uint8_t> bytes, const Order &order, const QByteArray &terminator)
{
    Strings out;
    std::size_t at = 0;
    while (at + 2 <= bytes.size()) {
        const std::size_t next = order.u16(bytes.data() + at);
        if (next < 2 || next > bytes.size() - at)
            break;
        QByteArray text(reinterpret_cast<const char *>(bytes.data() + at + 2), qsizetype(next - 2));
        qsizetype end = text.indexOf('\0');
        if (!terminator.isEmpty()) {
            const qsizetype t = text.indexOf(terminator);
            if (t >= 0 && (end < 0 || t < end))
                end = t;
        }
        if (end >= 0)
            text.truncate(end);
        text = text.trimmed();
        qsizetype blank = 0;
        while (blank < text.size() && !std::isspace(static_cast<unsigned char>(text.at(blank))))
            ++blank;
        const QByteArray keyword = text.left(blank).toUpper();
        if (!keyword.isEmpty())
            out.emplace(keyword, text.mid(blank).trimmed());
        at += next;
    }
    return out;
}

// The first number of a string's value; false when it has none.
bool numberOf(const Strings &strings, const char *keyword, double &out)
{
    const auto it = strings.find(QByteArray(keyword));
    if (it == strings.end())
        return false;
    const QByteArray first = it->second.simplified().split(' ').value(0);
    bool ok = false;
    const double v = first.toDouble(&ok);
    if (!ok)
        return false;
    out = v;
    return true;
}

struct Trace {
    std::vector<double> values; // samples read into the buffer, before scaling
    double interval = 0.0; // µs
    double delay = 0.0; // ms
    double factor = 1.0; // DESCALING_FACTOR
    std::uint32_t samples = 0; // as the file announces
};

QString traceText(int trace, const QString &what)
{
    return QString::fromUtf8("第%1道%2").arg(trace).arg(what);
}

// Reads trace `number` (1-based) whose descriptor lies at `pointer`.
QString readTrace(std::uint64_t fileSize, const Seg2ReadAt &readAt, const Order &order, const QByteArray &terminator,
                  const Strings &fileStrings, int number, std::uint64_t pointer, std::uint64_t maxSamples, Trace &trace)
{
    std::array<std::uint8_t, kDescriptorSize> d{};
    if (pointer > fileSize || fileSize - pointer < kDescriptorSize)
        return traceText(number,
                         QString::fromUtf8("的道描述块位置%1超出文件末尾（文件共%2字节）").arg(pointer).arg(fileSize));
    if (!readAt(pointer, d))
        return QString::fromUtf8("读取文件失败");
    if (order.u16(d.data()) != kSeg2TraceBlockId)
        return traceText(number, QString::fromUtf8("的道描述块标识不是0x4422"));
    const std::uint64_t blockSize = order.u16(d.data() + 2);
    const std::uint64_t dataSize = order.u32(d.data() + 4);
    const std::uint32_t samples = order.u32(d.data() + 8);
    const std::uint8_t code = d[12];
    if (blockSize < kDescriptorSize)
        return traceText(number, QString::fromUtf8("的道描述块大小%1字节不正确").arg(blockSize));
    if (blockSize > fileSize - pointer)
        return traceText(number, QString::fromUtf8("的道描述块（%1字节）超出文件末尾").arg(blockSize));
    if (code != kPacked20 && sampleBytes(code) == 0)
        return traceText(number, QString::fromUtf8("的数据格式码%1无效").arg(code));
    if (samples == 0)
        return traceText(number, QString::fromUtf8("没有采样点"));
    const std::uint64_t needed = dataBytes(code, samples);
    if (dataSize < needed)
        return traceText(
            number,
            QString::fromUtf8("的数据块%1字节，少于%2个采样点所需的%3字节").arg(dataSize).arg(samples).arg(needed));
    const std::uint64_t data = pointer + blockSize;
    if (needed > fileSize - data)
        return traceText(number, QString::fromUtf8("的%1个采样点超出文件末尾").arg(samples));
    // The samples fit, but a data block announced beyond the end of the file
    // is not what a seismograph writes: the file is damaged or not SEG-2.
    if (dataSize > fileSize - data)
        return traceText(number,
                         QString::fromUtf8("的数据块（%1字节）超出文件末尾（数据块从第%2字节起，文件共%3字节）")
                             .arg(dataSize)
                             .arg(data)
                             .arg(fileSize));

    std::vector<std::uint8_t> strings(std::size_t(blockSize - kDescriptorSize));
    if (!strings.empty() && !readAt(pointer + kDescriptorSize, strings))
        return QString::fromUtf8("读取文件失败");
    const Strings own = parseStrings(strings, order, terminator);
    // A trace without its own interval or delay takes the file's.
    const auto lookup = [&](const char *keyword, double &out) {
        return numberOf(own, keyword, out) || numberOf(fileStrings, keyword, out);
    };

    double seconds = 0.0;
    if (!lookup("SAMPLE_INTERVAL", seconds) || !std::isfinite(seconds))
        return traceText(number, QString::fromUtf8("没有有效的采样间隔（SAMPLE_INTERVAL）"));
    trace.interval = seconds * 1e6;
    if (!(std::round(trace.interval) >= 1.0 && std::round(trace.interval) <= 65535.0))
        return traceText(number, QString::fromUtf8("的采样间隔%1秒不在1～65535微秒之间").arg(seconds, 0, 'g', 6));
    double delay = 0.0;
    if (lookup("DELAY", delay) && !(std::isfinite(delay) && std::fabs(delay) <= 3600.0))
        return traceText(number, QString::fromUtf8("的采样延时（DELAY）%1秒无效").arg(delay, 0, 'g', 6));
    trace.delay = delay * 1000.0;
    double factor = 1.0;
    if (numberOf(own, "DESCALING_FACTOR", factor) && std::isfinite(factor) && factor != 0.0)
        trace.factor = factor;

    trace.samples = samples;
    const std::size_t read = std::size_t(std::min<std::uint64_t>(samples, maxSamples));
    std::vector<std::uint8_t> raw(std::size_t(dataBytes(code, read)));
    if (!readAt(data, raw))
        return QString::fromUtf8("读取文件失败");
    trace.values.resize(read);
    if (code == kPacked20) {
        // Whole numbers of at most 31 bits: always finite.
        decodeSeg2Packed20(raw, order.bigEndian(), trace.values);
        return {};
    }
    const std::size_t width = std::size_t(sampleBytes(code));
    for (std::size_t i = 0; i < read; ++i) {
        const double v = sampleAt(raw.data() + i * width, code, order);
        if (!std::isfinite(v))
            return traceText(number, QString::fromUtf8("的第%1个采样点不是有效的数值").arg(i + 1));
        trace.values[i] = v;
    }
    return {};
}

bool allDigits(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A value from the file as a note shows it: printable ASCII, at most 40
// characters, anything else as '?'.
QString shownValue(const QByteArray &value)
{
    QString out;
    for (const char c : value.left(40))
        out += c >= 0x20 && c < 0x7F ? QLatin1Char(c) : QLatin1Char('?');
    return out;
}

// ACQUISITION_DATE as day/month/year: "07/JAN/2013", "7/MAR/2018"; the
// month by its English three-letter name (any case) or as a number, the year
// with four digits. False for anything else and for a day the calendar does
// not have (31/APR/2013).
bool acquisitionDate(const QByteArray &text, QDate &out)
{
    const QList<QByteArray> parts = text.trimmed().split('/');
    if (parts.size() != 3)
        return false;
    const QByteArray day = parts[0].trimmed();
    const QByteArray month = parts[1].trimmed().toUpper();
    const QByteArray year = parts[2].trimmed();
    if (day.size() > 2 || !allDigits(day) || year.size() != 4 || !allDigits(year))
        return false;
    static constexpr std::array<const char *, 12> names
        = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    int m = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (month == names[i])
            m = int(i) + 1;
    }
    if (m == 0 && month.size() <= 2 && allDigits(month))
        m = month.toInt();
    const QDate date(year.toInt(), m, day.toInt());
    if (!date.isValid())
        return false;
    out = date;
    return true;
}

// ACQUISITION_TIME as hours:minutes:seconds ("10:30:41"); a fraction of the
// second ("10:30:41.25") is dropped, as the header keeps whole seconds.
bool acquisitionTime(const QByteArray &text, QTime &out)
{
    const QList<QByteArray> parts = text.trimmed().split(':');
    if (parts.size() != 3)
        return false;
    QByteArray seconds = parts[2].trimmed();
    const qsizetype dot = seconds.indexOf('.');
    if (dot >= 0) {
        if (!(dot + 1 == seconds.size() || allDigits(seconds.mid(dot + 1))))
            return false;
        seconds.truncate(dot);
    }
    const QByteArray hours = parts[0].trimmed();
    const QByteArray minutes = parts[1].trimmed();
    for (const QByteArray *p : std::initializer_list<const QByteArray *>{&hours, &minutes, &seconds}) {
        if (p->size() > 2 || !allDigits(*p))
            return false;
    }
    const QTime time(hours.toInt(), minutes.toInt(), seconds.toInt());
    if (!time.isValid())
        return false;
    out = time;
    return true;
}

// The acquisition date and time of the file's strings into the header;
// a string that is there but cannot be read leaves its fields 0 and a note.
void readAcquisitionTime(const Strings &fileStrings, FieldRecord &record)
{
    FieldRecordHeader &h = record.header;
    if (const auto it = fileStrings.find("ACQUISITION_DATE"); it != fileStrings.end()) {
        QDate date;
        if (acquisitionDate(it->second, date)) {
            h.year = std::int16_t(date.year());
            h.month = std::int16_t(date.month());
            h.day = std::int16_t(date.day());
        } else {
            record.notes << QString::fromUtf8(
                                "采集日期（ACQUISITION_DATE）“%1”无法识别（应为日/月/年，如 07/JAN/2013），"
                                "没有读入")
                                .arg(shownValue(it->second));
        }
    }
    if (const auto it = fileStrings.find("ACQUISITION_TIME"); it != fileStrings.end()) {
        QTime time;
        if (acquisitionTime(it->second, time)) {
            h.hour = std::int16_t(time.hour());
            h.minute = std::int16_t(time.minute());
            h.second = std::int16_t(time.second());
        } else {
            record.notes << QString::fromUtf8("采集时间（ACQUISITION_TIME）“%1”无法识别（应为时:分:秒，如 10:30:41），"
                                              "没有读入")
                                .arg(shownValue(it->second));
        }
    }
}

template <std::size_t N>
void copyText(const Strings &strings, const char *keyword, std::array<char, N> &out)
{
    const auto it = strings.find(QByteArray(keyword));
    if (it == strings.end())
        return;
    std::memcpy(out.data(), it->second.constData(), std::min<std::size_t>(N, std::size_t(it->second.size())));
}

// What the file descriptor block and the traces hold.
struct Contents {
    std::array<std::uint8_t, kDescriptorSize> descriptor{};
    std::uint64_t traceCount = 0; // as the file announces
    Strings fileStrings;
    std::vector<Trace> traces;
};

// Reads the file descriptor block, the file's strings and the first
// `maxTraces` traces, each up to `maxSamples` samples.
QString readContents(std::uint64_t fileSize, const Seg2ReadAt &readAt, std::uint64_t maxTraces,
                     std::uint64_t maxSamples, Contents &contents)
{
    auto &d = contents.descriptor;
    if (fileSize < kDescriptorSize)
        return QString::fromUtf8("文件只有%1字节，短于32字节的文件描述块").arg(fileSize);
    if (!readAt(0, d))
        return QString::fromUtf8("读取文件失败");
    if (!isSeg2Record(d))
        return QString::fromUtf8("文件描述块标识不是0x3A55");
    const Order order(d[0] == 0x3A);
    const std::uint64_t pointerBlock = order.u16(d.data() + 4);
    const std::uint64_t traces = order.u16(d.data() + 6);
    if (traces == 0)
        return QString::fromUtf8("文件中没有数据道");
    if (pointerBlock < traces * 4)
        return QString::fromUtf8("道指针子块%1字节，放不下%2个道指针").arg(pointerBlock).arg(traces);
    if (pointerBlock > fileSize - kDescriptorSize)
        return QString::fromUtf8("道指针子块超出文件末尾");
    QByteArray terminator;
    if (d[8] == 1 || d[8] == 2)
        terminator = QByteArray(reinterpret_cast<const char *>(d.data() + 9), d[8]);

    std::vector<std::uint8_t> pointerBytes(std::size_t(traces * 4));
    if (!readAt(kDescriptorSize, pointerBytes))
        return QString::fromUtf8("读取文件失败");
    std::vector<std::uint64_t> pointers(static_cast<std::size_t>(traces));
    std::uint64_t stringsEnd = fileSize;
    for (std::size_t t = 0; t < pointers.size(); ++t) {
        pointers[t] = order.u32(pointerBytes.data() + 4 * t);
        if (pointers[t] > fileSize || fileSize - pointers[t] < kDescriptorSize)
            return traceText(
                int(t) + 1,
                QString::fromUtf8("的道描述块位置%1超出文件末尾（文件共%2字节）").arg(pointers[t]).arg(fileSize));
        if (pointers[t] >= kDescriptorSize + pointerBlock)
            stringsEnd = std::min(stringsEnd, pointers[t]);
    }
    // The file's strings lie between the pointer sub-block and the first trace.
    const std::uint64_t stringsAt = kDescriptorSize + pointerBlock;
    std::vector<std::uint8_t> stringBytes(
        std::size_t(stringsEnd > stringsAt ? std::min(stringsEnd - stringsAt, kMaxFileStrings) : 0));
    if (!stringBytes.empty() && !readAt(stringsAt, stringBytes))
        return QString::fromUtf8("读取文件失败");
    contents.fileStrings = parseStrings(stringBytes, order, terminator);
    contents.traceCount = traces;

    contents.traces.resize(std::size_t(std::min<std::uint64_t>(traces, maxTraces)));
    for (std::size_t t = 0; t < contents.traces.size(); ++t) {
        QString reason = readTrace(fileSize, readAt, order, terminator, contents.fileStrings, int(t) + 1, pointers[t],
                                   maxSamples, contents.traces[t]);
        if (!reason.isEmpty())
            return reason;
    }
    return {};
}

QString parse(std::uint64_t fileSize, const Seg2ReadAt &readAt, FieldRecord &record)
{
    Contents contents;
    if (QString reason = readContents(fileSize, readAt, kRecordChannels, kRecordSamples, contents); !reason.isEmpty())
        return reason;
    const auto &d = contents.descriptor;
    const std::uint64_t traces = contents.traceCount;
    const Strings &fileStrings = contents.fileStrings;
    std::vector<Trace> &read = contents.traces;

    // Descaling factors matter only when they differ between the traces.
    const bool sameFactor
        = std::all_of(read.begin(), read.end(), [&](const Trace &t) { return t.factor == read.front().factor; });
    double largest = 0.0;
    for (Trace &t : read) {
        for (double &v : t.values) {
            if (!sameFactor)
                v *= t.factor;
            largest = std::max(largest, std::fabs(v));
        }
    }
    if (!std::isfinite(largest))
        return QString::fromUtf8("采样值乘以各道的换算系数（DESCALING_FACTOR）后超出数值范围");
    // Whole numbers that all fit 16 bits are the instrument's own counts:
    // kept as they are.
    const bool asIs = std::all_of(read.begin(), read.end(), [](const Trace &t) {
        return std::all_of(t.values.begin(), t.values.end(),
                           [](double v) { return v == std::trunc(v) && v >= -32768.0 && v <= 32767.0; });
    });

    record.layout = RecordLayout::Seg2;
    // Nothing of an earlier record stays in the header (its date above all).
    record.header = FieldRecordHeader{};
    FieldRecordHeader &h = record.header;
    std::copy_n(d.begin(), 4, h.tag.begin());
    readAcquisitionTime(fileStrings, record);
    copyText(fileStrings, "JOB_ID", h.siteName);
    copyText(fileStrings, "LINE_ID", h.holeName);
    h.channelCount = std::int16_t(std::min<std::uint64_t>(traces, 32767));
    std::uint32_t longest = 0;
    for (std::size_t t = 0; t < read.size(); ++t) {
        const Trace &trace = read[t];
        longest = std::max(longest, trace.samples);
        record.channelInterval[t] = float(trace.interval);
        std::int16_t *out = record.channels[t].data();
        for (std::size_t i = 0; i < trace.values.size(); ++i) {
            const double v = asIs ? trace.values[i] : trace.values[i] / largest * 32767.0;
            out[i] = std::int16_t(std::clamp(std::lround(v), -32768L, 32767L));
        }
        record.samplesRead = std::max(record.samplesRead, int(trace.values.size()));
    }
    // Channels the file has no trace for keep the first trace's interval, as
    // a .CWD record gives all four channels its one interval.
    for (std::size_t c = read.size(); c < record.channelInterval.size(); ++c)
        record.channelInterval[c] = record.channelInterval[0];
    record.channelsRead = int(read.size());
    record.clipped = traces > kRecordChannels || longest > std::uint32_t(kRecordSamples);
    h.sampleCount = std::uint16_t(std::min<std::uint32_t>(longest, 65535));
    h.interval = std::uint16_t(std::lround(read.front().interval));
    // The delay goes to the points as it is; the 16-bit header field (that of
    // a .CWD record) holds whole ms from 0 to 65535 only.
    const double delay = read.front().delay;
    if (std::round(delay) >= 0.0 && std::round(delay) <= 65535.0) {
        h.delay = std::uint16_t(std::round(delay));
    } else {
        h.delay = 0;
        record.notes << (delay < 0.0 ? QString::fromUtf8("采样延时为 %1 ms（负值：记录从激发前 %2 ms 开始）。"
                                                         ".CWD 文件头的延时字段只能存 0～65535 ms，那里记为 0；"
                                                         "导入测点时用 %1 ms")
                                           .arg(delay, 0, 'g', 6)
                                           .arg(-delay, 0, 'g', 6)
                                     : QString::fromUtf8("采样延时为 %1 ms，超出 .CWD 文件头的延时字段能存的 "
                                                         "0～65535 ms，那里记为 0；导入测点时用 %1 ms")
                                           .arg(delay, 0, 'g', 6));
    }
    h.gain = 1;
    record.delay = float(delay);
    record.gain = 1;
    record.channelGain.fill(1);
    return {};
}

} // namespace

bool isSeg2Record(std::span<const std::uint8_t> firstBytes)
{
    if (firstBytes.size() < 2)
        return false;
    const std::uint16_t le = std::uint16_t(firstBytes[0] | (firstBytes[1] << 8));
    const std::uint16_t be = std::uint16_t((firstBytes[0] << 8) | firstBytes[1]);
    return le == kSeg2FileBlockId || be == kSeg2FileBlockId;
}

QString parseSeg2Record(std::uint64_t fileSize, const Seg2ReadAt &readAt, FieldRecord &record)
{
    record.clear();
    QString reason = parse(fileSize, readAt, record);
    if (!reason.isEmpty())
        record.clear();
    return reason;
}

std::uint64_t seg2Packed20Bytes(std::uint64_t count)
{
    const std::uint64_t rest = count % 4;
    return count / 4 * 10 + (rest == 0 ? 0 : 2 + 2 * rest);
}

bool decodeSeg2Packed20(std::span<const std::uint8_t> bytes, bool bigEndian, std::span<double> out)
{
    if (bytes.size() < seg2Packed20Bytes(out.size()))
        return false;
    const Order order(bigEndian);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const std::uint8_t *group = bytes.data() + i / 4 * 10;
        const std::size_t k = i % 4;
        const int exponent = (order.u16(group) >> (12 - 4 * k)) & 0xF;
        const auto mantissa = std::int16_t(order.u16(group + 2 + 2 * k));
        out[i] = std::ldexp(double(mantissa), exponent);
    }
    return true;
}

QString parseSeg2Traces(std::span<const std::uint8_t> bytes, std::vector<Seg2Trace> &traces,
                        std::optional<QDateTime> *start)
{
    traces.clear();
    if (start)
        start->reset();
    const auto readAt = [bytes](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > bytes.size() || bytes.size() - offset < out.size())
            return false;
        std::copy_n(bytes.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
        return true;
    };
    Contents contents;
    if (QString reason = readContents(bytes.size(), readAt, UINT64_MAX, UINT64_MAX, contents); !reason.isEmpty())
        return reason;
    for (const Trace &t : contents.traces) {
        Seg2Trace out;
        out.interval = t.interval * 1e-6;
        out.delay = t.delay * 1e-3;
        out.samples = t.values;
        for (double &v : out.samples) {
            v *= t.factor;
            if (!std::isfinite(v)) {
                traces.clear();
                return QString::fromUtf8("采样值乘以换算系数（DESCALING_FACTOR）后超出数值范围");
            }
        }
        traces.push_back(std::move(out));
    }
    const auto date = contents.fileStrings.find("ACQUISITION_DATE");
    const auto time = contents.fileStrings.find("ACQUISITION_TIME");
    QDate d;
    QTime t;
    if (start && date != contents.fileStrings.end() && time != contents.fileStrings.end()
        && acquisitionDate(date->second, d) && acquisitionTime(time->second, t))
        *start = QDateTime(d, t, QTimeZone::utc());
    return {};
}

QString parseSeg2Record(std::span<const std::uint8_t> bytes, FieldRecord &record)
{
    const auto readAt = [bytes](std::uint64_t offset, std::span<std::uint8_t> out) {
        if (offset > bytes.size() || bytes.size() - offset < out.size())
            return false;
        std::copy_n(bytes.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
        return true;
    };
    return parseSeg2Record(bytes.size(), readAt, record);
}

} // namespace talvex
