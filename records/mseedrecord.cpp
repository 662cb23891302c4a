#include "records/mseedrecord.h"

#include <libmseed.h>

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace talvex {

namespace {

constexpr int kRecordLength = 4096;
// libmseed's own messages go to stderr by default; the reader keeps the last
// one to add to its reason instead.
thread_local std::string lastLibraryMessage;

void keepMessage(char *message)
{
    lastLibraryMessage = message ? message : "";
    while (!lastLibraryMessage.empty() && (lastLibraryMessage.back() == '\n' || lastLibraryMessage.back() == '\r'))
        lastLibraryMessage.pop_back();
}

void quietLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { ms_loginit(keepMessage, nullptr, keepMessage, nullptr); });
}

QString timeText(std::int64_t micros)
{
    return QDateTime::fromMSecsSinceEpoch(micros / 1000, QTimeZone::utc())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

struct Piece {
    std::int64_t start = 0;
    std::vector<double> samples;
};

struct Channel {
    MseedTrace trace;
    std::vector<Piece> pieces;
};

// Why the samples a record announces cannot lie in its data section (or
// cannot be decoded here); empty when they can.
QString dataSectionProblem(const MSRecord &record)
{
    if (record.samplecnt == 0)
        return {};
    if (record.reclen < 64 || record.samplecnt < 0 || !record.fsdh)
        return QString::fromUtf8("的长度或采样数无效");
    // The header as libmseed holds it, in the machine's byte order: the
    // offset its decoder reads the samples from.
    const int dataOffset = record.fsdh->data_offset;
    if (dataOffset < 48 || dataOffset >= record.reclen)
        return QString::fromUtf8("的数据起点 %1 不在记录之内").arg(dataOffset);
    const std::int64_t room = record.reclen - dataOffset;
    std::int64_t most = 0;
    switch (record.encoding) {
    case DE_INT16: most = room / 2; break;
    case DE_INT32:
    case DE_FLOAT32: most = room / 4; break;
    case DE_FLOAT64: most = room / 8; break;
    case DE_STEIM1: most = room / 4 * 4; break;
    case DE_STEIM2: most = room / 4 * 7; break;
    case DE_ASCII: return QString::fromUtf8("存的是文字，不是采样值");
    default: return QString::fromUtf8("的数据编码 %1 不支持").arg(record.encoding);
    }
    if (record.samplecnt > most)
        return QString::fromUtf8("声称有 %1 个采样，数据段只容得下 %2 个").arg(record.samplecnt).arg(most);
    return {};
}

struct RecordDeleter {
    void operator()(MSRecord *r) const { msr_free(&r); }
};

} // namespace

QString MseedTrace::id() const
{
    return QStringLiteral("%1.%2.%3.%4").arg(network, station, location, channel);
}

bool isMseed(std::span<const std::uint8_t> firstBytes)
{
    quietLibrary();
    if (firstBytes.size() < 48)
        return false;
    const int length = ms_detect(reinterpret_cast<const char *>(firstBytes.data()),
                                 int(std::min<std::size_t>(firstBytes.size(), 1 << 20)));
    return length > 0 || (length == 0 && MS_ISVALIDHEADER(reinterpret_cast<const char *>(firstBytes.data())));
}

QString parseMseed(std::span<const std::uint8_t> bytes, std::vector<MseedTrace> &traces)
{
    quietLibrary();
    traces.clear();
    if (bytes.size() > std::size_t(INT32_MAX))
        return QString::fromUtf8("文件太大（超过 2 GB）");
    // libmseed takes the record through a non-const pointer.
    std::vector<char> buffer(bytes.begin(), bytes.end());
    std::vector<Channel> channels;
    std::map<QString, std::size_t> byId;
    std::size_t offset = 0;
    int recordNumber = 0;
    while (offset < buffer.size()) {
        ++recordNumber;
        MSRecord *raw = nullptr;
        lastLibraryMessage.clear();
        const int left = int(buffer.size() - offset);
        // The header first: libmseed 2 trusts a record's sample count when it
        // copies uncompressed samples, so the count is checked against the
        // record's data section before the samples are decoded.
        int status = msr_parse(buffer.data() + offset, left, &raw, 0, 0, 0);
        std::unique_ptr<MSRecord, RecordDeleter> record(raw);
        if (status == 0 && record) {
            if (QString why = dataSectionProblem(*record); !why.isEmpty())
                return QString::fromUtf8("第 %1 个记录（第 %2 字节起）%3").arg(recordNumber).arg(offset).arg(why);
            raw = nullptr;
            status = msr_parse(buffer.data() + offset, left, &raw, 0, 1, 0);
            record.reset(raw);
        }
        const QString detail = lastLibraryMessage.empty()
            ? QString()
            : QString::fromUtf8("（%1）").arg(QString::fromLocal8Bit(lastLibraryMessage));
        if (status > 0)
            return QString::fromUtf8("文件被截断：第 %1 个记录还缺 %2 字节").arg(recordNumber).arg(status);
        if (status < 0 || !record) {
            if (recordNumber == 1)
                return QString::fromUtf8("不是 miniSEED 文件%1").arg(detail);
            return QString::fromUtf8("第 %1 个记录（第 %2 字节起）不是有效的 miniSEED 记录%3")
                .arg(recordNumber)
                .arg(offset)
                .arg(detail);
        }
        if (record->reclen <= 0 || std::size_t(record->reclen) > buffer.size() - offset)
            return QString::fromUtf8("第 %1 个记录的长度无效").arg(recordNumber);
        offset += std::size_t(record->reclen);
        if (record->samplecnt == 0)
            continue; // a record without data (log or detection records)
        MseedTrace id;
        id.network = QString::fromLatin1(record->network);
        id.station = QString::fromLatin1(record->station);
        id.location = QString::fromLatin1(record->location);
        id.channel = QString::fromLatin1(record->channel);
        if (!(record->samprate > 0.0) || !std::isfinite(record->samprate))
            return QString::fromUtf8("通道 %1 的采样率无效（第 %2 个记录）").arg(id.id()).arg(recordNumber);
        if (record->numsamples != record->samplecnt || !record->datasamples)
            return QString::fromUtf8("通道 %1 第 %2 个记录的数据不能解码%3").arg(id.id()).arg(recordNumber).arg(detail);
        Piece piece;
        piece.start = record->starttime;
        piece.samples.resize(std::size_t(record->numsamples));
        for (std::size_t i = 0; i < piece.samples.size(); ++i) {
            double v = 0.0;
            switch (record->sampletype) {
            case 'i': v = double(static_cast<const std::int32_t *>(record->datasamples)[i]); break;
            case 'f': v = double(static_cast<const float *>(record->datasamples)[i]); break;
            case 'd': v = static_cast<const double *>(record->datasamples)[i]; break;
            default:
                return QString::fromUtf8("通道 %1 第 %2 个记录存的是文字，不是采样值").arg(id.id()).arg(recordNumber);
            }
            if (!std::isfinite(v))
                return QString::fromUtf8("通道 %1 第 %2 个记录中有无效的采样值").arg(id.id()).arg(recordNumber);
            piece.samples[i] = v;
        }
        const auto [at, added] = byId.emplace(id.id(), channels.size());
        if (added) {
            id.sampleRate = record->samprate;
            channels.push_back({id, {}});
        }
        Channel &channel = channels[at->second];
        if (std::fabs(channel.trace.sampleRate - record->samprate) > channel.trace.sampleRate * 1e-4)
            return QString::fromUtf8("通道 %1 的采样率在第 %2 个记录处从 %3 Hz 变为 %4 Hz")
                .arg(id.id())
                .arg(recordNumber)
                .arg(channel.trace.sampleRate)
                .arg(record->samprate);
        channel.pieces.push_back(std::move(piece));
    }
    if (channels.empty())
        return QString::fromUtf8("文件中没有采样数据");

    std::vector<MseedTrace> joined;
    for (Channel &channel : channels) {
        auto &pieces = channel.pieces;
        std::stable_sort(pieces.begin(), pieces.end(),
                         [](const Piece &a, const Piece &b) { return a.start < b.start; });
        const double period = 1e6 / channel.trace.sampleRate;
        MseedTrace &trace = channel.trace;
        trace.startMicros = pieces.front().start;
        std::size_t total = 0;
        for (const Piece &p : pieces)
            total += p.samples.size();
        trace.samples.reserve(total);
        for (const Piece &p : pieces) {
            const double expected = double(trace.startMicros) + double(trace.samples.size()) * period;
            const double off = double(p.start) - expected;
            if (std::fabs(off) >= period / 2.0)
                return QString::fromUtf8("通道 %1 在 %2 处有%3 %4 s（第 %5 个采样之后），不是连续的记录")
                    .arg(trace.id(), timeText(std::int64_t(expected)),
                         off > 0 ? QString::fromUtf8("间断") : QString::fromUtf8("重叠"))
                    .arg(std::fabs(off) / 1e6, 0, 'g', 6)
                    .arg(trace.samples.size());
            trace.samples.insert(trace.samples.end(), p.samples.begin(), p.samples.end());
        }
        pieces.clear();
        joined.push_back(std::move(trace));
    }
    traces = std::move(joined);
    return {};
}

namespace {

void appendRecord(char *record, int length, void *out)
{
    static_cast<QByteArray *>(out)->append(record, length);
}

bool asciiCode(const QString &code, int maxLength)
{
    if (code.size() > maxLength)
        return false;
    return std::all_of(code.begin(), code.end(), [](QChar c) { return c.unicode() > 32 && c.unicode() < 127; });
}

} // namespace

QByteArray encodeMseed(const std::vector<MseedTrace> &traces, QString *error)
{
    quietLibrary();
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    QByteArray out;
    for (const MseedTrace &trace : traces) {
        if (!asciiCode(trace.network, 2) || !asciiCode(trace.station, 5) || trace.station.isEmpty()
            || !asciiCode(trace.location, 2) || !asciiCode(trace.channel, 3) || trace.channel.isEmpty())
            return fail(QString::fromUtf8("台网、台站、位置或通道代码“%1”不符合 SEED 规定").arg(trace.id()));
        if (!(trace.sampleRate > 0.0) || !std::isfinite(trace.sampleRate))
            return fail(QString::fromUtf8("通道 %1 的采样率无效").arg(trace.id()));
        if (trace.samples.empty())
            return fail(QString::fromUtf8("通道 %1 没有采样值").arg(trace.id()));
        // Steim-2 keeps differences of up to 30 bits: whole samples within
        // ±2^28 always fit.
        const bool whole = std::all_of(trace.samples.begin(), trace.samples.end(),
                                       [](double v) { return v == std::trunc(v) && std::fabs(v) < 268435456.0; });
        MSTrace *mst = mst_init(nullptr);
        if (!mst)
            return fail(QString::fromUtf8("内存不足"));
        std::unique_ptr<MSTrace, void (*)(MSTrace *)> guard(mst, [](MSTrace *t) { mst_free(&t); });
        const auto copyCode = [](char *to, const QString &code) {
            const QByteArray b = code.toLatin1();
            std::memset(to, 0, 11);
            std::memcpy(to, b.constData(), std::size_t(std::min<qsizetype>(b.size(), 10)));
        };
        copyCode(mst->network, trace.network);
        copyCode(mst->station, trace.station);
        copyCode(mst->location, trace.location);
        copyCode(mst->channel, trace.channel);
        mst->dataquality = 'D';
        mst->starttime = trace.startMicros;
        mst->samprate = trace.sampleRate;
        const std::size_t n = trace.samples.size();
        mst->datasamples = std::malloc(n * (whole ? sizeof(std::int32_t) : sizeof(double)));
        if (!mst->datasamples)
            return fail(QString::fromUtf8("内存不足"));
        if (whole) {
            auto *p = static_cast<std::int32_t *>(mst->datasamples);
            for (std::size_t i = 0; i < n; ++i)
                p[i] = std::int32_t(trace.samples[i]);
            mst->sampletype = 'i';
        } else {
            std::memcpy(mst->datasamples, trace.samples.data(), n * sizeof(double));
            mst->sampletype = 'd';
        }
        mst->numsamples = std::int64_t(n);
        mst->samplecnt = std::int64_t(n);
        mst->endtime = trace.startMicros + std::int64_t(std::llround(double(n - 1) * 1e6 / trace.sampleRate));
        std::int64_t packed = 0;
        const int records = mst_pack(mst, appendRecord, &out, kRecordLength, whole ? DE_STEIM2 : DE_FLOAT64, 1, &packed,
                                     1, 0, nullptr);
        if (records < 0 || packed != std::int64_t(n))
            return fail(QString::fromUtf8("通道 %1 不能写成 miniSEED 记录").arg(trace.id()));
    }
    return out;
}

} // namespace talvex
