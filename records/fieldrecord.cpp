#include "records/fieldrecord.h"

#include "common/binaryio.h"
#include "common/gbk.h"
#include "common/messenger.h"
#include "records/seg2record.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace talvex {

namespace {

// Offsets of the twelve 16-bit fields, in the v2 and in the older layout.
constexpr std::size_t kV2Fields = 124;
constexpr std::size_t kOldFields = 17;

void readShortFields(const common::LeReader &r, std::size_t at, FieldRecordHeader &h)
{
    std::uint16_t v[12] = {};
    for (std::size_t i = 0; i < 12; ++i)
        r.u16(at + 2 * i, v[i]);
    h.channelCount = std::int16_t(v[0]);
    h.year = std::int16_t(v[1]);
    h.month = std::int16_t(v[2]);
    h.day = std::int16_t(v[3]);
    h.hour = std::int16_t(v[4]);
    h.minute = std::int16_t(v[5]);
    h.second = std::int16_t(v[6]);
    h.interval = v[7];
    h.sampleCount = v[8];
    h.delay = v[9];
    h.gain = v[10];
    h.triggerLevel = std::int16_t(v[11]);
}

void writeShortFields(common::LeWriter &w, const FieldRecordHeader &h)
{
    const std::uint16_t v[12] = {std::uint16_t(h.channelCount),
                                 std::uint16_t(h.year),
                                 std::uint16_t(h.month),
                                 std::uint16_t(h.day),
                                 std::uint16_t(h.hour),
                                 std::uint16_t(h.minute),
                                 std::uint16_t(h.second),
                                 h.interval,
                                 h.sampleCount,
                                 h.delay,
                                 h.gain,
                                 std::uint16_t(h.triggerLevel)};
    for (std::size_t i = 0; i < 12; ++i)
        w.u16(kV2Fields + 2 * i, v[i]);
}

} // namespace

void FieldRecord::clear()
{
    // The whole buffer is cleared, not only the part a point takes, so that
    // nothing of an earlier, longer record shows behind a shorter one.
    for (auto &ch : channels)
        ch.fill(0);
    channelInterval.fill(0.0f);
    layout = RecordLayout::Cwd;
    selectedChannel = 1;
    channelsRead = 0;
    samplesRead = 0;
    clipped = false;
    shortFile = false;
    notes.clear();
}

namespace {

// The header fields of a file's first bytes; fields the bytes do not reach
// stay zero.
FieldRecordHeader parseHeader(std::span<const std::uint8_t> bytes)
{
    const common::LeReader r(bytes);
    FieldRecordHeader h;
    h.tag.fill(0);
    r.bytes(0, std::span<char>(h.tag.data(), std::min<std::size_t>(4, bytes.size())));
    if (h.isV2()) {
        r.bytes(4,
                std::span<char>(h.siteName.data(), std::min<std::size_t>(80, bytes.size() > 4 ? bytes.size() - 4 : 0)));
        r.bytes(
            84,
            std::span<char>(h.holeName.data(), std::min<std::size_t>(40, bytes.size() > 84 ? bytes.size() - 84 : 0)));
        readShortFields(r, kV2Fields, h);
        r.f32(148, h.spare);
    } else {
        r.bytes(4,
                std::span<char>(h.siteName.data(), std::min<std::size_t>(9, bytes.size() > 4 ? bytes.size() - 4 : 0)));
        r.bytes(
            13,
            std::span<char>(h.holeName.data(), std::min<std::size_t>(4, bytes.size() > 13 ? bytes.size() - 13 : 0)));
        readShortFields(r, kOldFields, h);
        // The older layout keeps a 16-bit number where v2 has the spare float.
        std::uint16_t spare = 0;
        r.u16(41, spare);
        h.spare = float(spare);
    }
    return h;
}

} // namespace

void parseFieldRecord(std::span<const std::uint8_t> bytes, FieldRecord &record, std::uint64_t fileSize)
{
    fileSize = std::max<std::uint64_t>(fileSize == UINT64_MAX ? bytes.size() : fileSize, bytes.size());
    record.clear();
    const FieldRecordHeader h = parseHeader(bytes);
    record.header = h;

    const int fileChannels = std::max<int>(h.channelCount, 0);
    const int fileSamples = h.sampleCount;
    record.channelsRead = std::min(fileChannels, kRecordChannels);
    record.samplesRead = std::min(fileSamples, kRecordSamples);
    record.clipped = fileChannels > kRecordChannels || fileSamples > kRecordSamples;

    // Samples are interleaved by sample over all the file's channels; the
    // channels past the fourth are stepped over.
    const std::size_t stride = std::size_t(fileChannels) * 2;
    const std::size_t available = bytes.size() > kRecordDataOffset ? bytes.size() - kRecordDataOffset : 0;
    const std::uint8_t *data = bytes.data() + std::min(bytes.size(), kRecordDataOffset);
    const auto readSamples = [&] {
        for (int i = 0; i < record.samplesRead; ++i) {
            const std::size_t row = std::size_t(i) * stride;
            for (int c = 0; c < record.channelsRead; ++c) {
                const std::size_t at = row + std::size_t(c) * 2;
                if (at + 2 > available)
                    return false;
                record.channels[std::size_t(c)][std::size_t(i)] = std::int16_t(common::loadU16(data + at));
            }
        }
        return true;
    };
    // Short when the buffer's part of the samples is not all there, or when
    // the file as a whole ends before every sample its header announces
    // (the buffer may hold only the first 4096 of them).
    const std::uint64_t announced = std::uint64_t(kRecordDataOffset) + std::uint64_t(fileSamples) * stride;
    record.shortFile = !readSamples() || fileSize < announced;
    record.delay = float(h.delay);
    record.gain = std::int16_t(h.gain);
    record.channelInterval.fill(float(h.interval));
    record.channelGain.fill(int(h.gain));
}

QString implausibleRecordReason(const FieldRecordHeader &h, std::uint64_t fileSize)
{
    if (fileSize < kRecordDataOffset)
        return QString::fromUtf8("文件只有%1字节，短于256字节的文件头").arg(fileSize);
    if (h.channelCount < 1 || h.channelCount > kMaxPlausibleChannels)
        return QString::fromUtf8("通道数%1不在1～%2之间").arg(h.channelCount).arg(kMaxPlausibleChannels);
    if (h.sampleCount < 1 || h.sampleCount > kMaxPlausibleSamples)
        return QString::fromUtf8("每通道采样点数%1不在1～%2之间").arg(h.sampleCount).arg(kMaxPlausibleSamples);
    if (h.interval == 0)
        return QString::fromUtf8("采样间隔为0");
    return {};
}

QString shownFileName(const QByteArray &nativeName)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(nativeName);
    if (!utf8.hasError())
        return text;
    return common::decodeGbk(nativeName);
}

namespace {

// An open file read by its native name; closed when it goes out of scope.
class NativeFile {
public:
    explicit NativeFile(const QByteArray &nativePath)
    {
#ifdef Q_OS_UNIX
        // Non-blocking, so that a pipe with a record's name does not wait for
        // a writer; only a regular file is taken.
        m_fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat st {};
        if (m_fd >= 0 && (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (m_fd >= 0)
            m_size = std::uint64_t(st.st_size);
#else
        m_file.setFileName(QFile::decodeName(nativePath));
        if (m_file.open(QIODevice::ReadOnly))
            m_size = std::uint64_t(m_file.size());
#endif
    }
    ~NativeFile()
    {
#ifdef Q_OS_UNIX
        if (m_fd >= 0)
            ::close(m_fd);
#endif
    }
    NativeFile(const NativeFile &) = delete;
    NativeFile &operator=(const NativeFile &) = delete;

    bool isOpen() const
    {
#ifdef Q_OS_UNIX
        return m_fd >= 0;
#else
        return m_file.isOpen();
#endif
    }
    std::uint64_t size() const
    {
        return m_size;
    }

    // Fills `out` with the bytes at `offset`; false when they are not all there.
    bool readAt(std::uint64_t offset, std::span<std::uint8_t> out)
    {
        std::size_t got = 0;
        while (got < out.size()) {
#ifdef Q_OS_UNIX
            const ssize_t n = ::pread(m_fd, out.data() + got, out.size() - got, off_t(offset + got));
            if (n < 0 && errno == EINTR)
                continue;
#else
            if (!m_file.seek(qint64(offset + got)))
                return false;
            const qint64 n = m_file.read(reinterpret_cast<char *>(out.data() + got), qint64(out.size() - got));
#endif
            if (n <= 0)
                return false;
            got += std::size_t(n);
        }
        return true;
    }

    // Appends up to `count` bytes from the current position to `out`.
    void read(std::size_t count, std::vector<std::uint8_t> &out)
    {
        const std::size_t start = out.size();
        out.resize(start + count);
        std::size_t got = 0;
        while (got < count) {
#ifdef Q_OS_UNIX
            const ssize_t n = ::read(m_fd, out.data() + start + got, count - got);
            if (n < 0 && errno == EINTR)
                continue;
#else
            const qint64 n = m_file.read(reinterpret_cast<char *>(out.data() + start + got), qint64(count - got));
#endif
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        out.resize(start + got);
    }

private:
#ifdef Q_OS_UNIX
    int m_fd = -1;
#else
    QFile m_file;
#endif
    std::uint64_t m_size = 0;
};

} // namespace

bool LoadFieldRecord(const QByteArray &nativePath, const QString &shownName, FieldRecord &record, QString *error)
{
    const auto fail = [&](const QString &message) {
        record.clear();
        if (error)
            *error = message;
        return false;
    };
    NativeFile file(nativePath);
    if (!file.isOpen())
        return fail(QString::fromUtf8("不能打开文件 ") + shownName);
    // Read the header, then only as much of the samples as the buffer can
    // take, whatever size the file claims or has.
    std::vector<std::uint8_t> bytes;
    file.read(kRecordDataOffset, bytes);
    if (isSeg2Record(bytes)) {
        const QString reason = parseSeg2Record(
            std::max<std::uint64_t>(file.size(), bytes.size()),
            [&file](std::uint64_t offset, std::span<std::uint8_t> out) { return file.readAt(offset, out); }, record);
        if (!reason.isEmpty())
            return fail(QString::fromUtf8("%1 不是有效的SEG-2数据文件：%2").arg(shownName, reason));
        return true;
    }
    const FieldRecordHeader header = parseHeader(bytes);
    const QString reason = implausibleRecordReason(header, std::max<std::uint64_t>(file.size(), bytes.size()));
    if (!reason.isEmpty())
        return fail(QString::fromUtf8("%1 不是有效的波速测试现场数据文件：%2").arg(shownName, reason));
    const std::size_t want
        = std::size_t(header.channelCount) * std::size_t(std::min<int>(header.sampleCount, kRecordSamples)) * 2;
    file.read(want, bytes);
    parseFieldRecord(bytes, record, file.size());
    return true;
}

bool ReadFieldRecord(const QString &path, FieldRecord &record, common::Messenger &messenger)
{
    QString error;
    if (LoadFieldRecord(QFile::encodeName(path), path, record, &error))
        return true;
    messenger.show(error, common::MessageKind::Error);
    return false;
}

std::vector<std::uint8_t> encodeFieldRecordV2(const FieldRecordData &record)
{
    FieldRecordHeader h = record.header;
    const std::size_t channels = std::min<std::size_t>(record.channels.size(), kRecordChannels);
    std::size_t samples = 0;
    for (std::size_t c = 0; c < channels; ++c)
        samples = std::max(samples, record.channels[c].size());
    samples = std::min<std::size_t>(samples, 65535);
    h.channelCount = std::int16_t(channels);
    h.sampleCount = std::uint16_t(samples);

    std::vector<std::uint8_t> out(kRecordDataOffset + samples * channels * 2, 0);
    common::LeWriter w(out);
    const char tag[4] = {'v', '2', '\0', '\0'};
    w.bytes(0, std::span<const char>(tag, 4));
    w.bytes(4, std::span<const char>(h.siteName));
    w.bytes(84, std::span<const char>(h.holeName));
    writeShortFields(w, h);
    w.f32(148, h.spare);
    std::uint8_t *p = out.data() + kRecordDataOffset;
    for (std::size_t i = 0; i < samples; ++i) {
        for (std::size_t c = 0; c < channels; ++c) {
            const auto &ch = record.channels[c];
            common::storeU16(p, std::uint16_t(i < ch.size() ? ch[i] : 0));
            p += 2;
        }
    }
    return out;
}

common::FileError writeFieldRecordV2(const QString &path, const FieldRecordData &record)
{
    return common::writeFileAtomically(path, encodeFieldRecordV2(record));
}

} // namespace talvex
