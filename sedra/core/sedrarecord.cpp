#include "sedra/core/sedrarecord.h"

#include "common/binaryio.h"
#include "common/fixedtext.h"
#include "common/gbk.h"

#include <algorithm>

namespace sedra {

namespace {
constexpr int kMaxFileChannels = 64;
} // namespace

QString SedraRecord::siteName() const
{
    return common::decodeGbk(QByteArray::fromStdString(common::readFixedText(header.siteName)));
}

QString SedraRecord::testPoint() const
{
    return common::decodeGbk(QByteArray::fromStdString(common::readFixedText(header.holeName)));
}

std::optional<QDateTime> SedraRecord::recordedAt() const
{
    const auto &h = header;
    if (h.year < 1900 || h.month < 1 || h.month > 12 || h.day < 1 || h.day > 31 || h.hour < 0 || h.hour > 23
        || h.minute < 0 || h.minute > 59 || h.second < 0 || h.second > 59)
        return std::nullopt;
    const QDate date(h.year, h.month, h.day);
    if (!date.isValid())
        return std::nullopt;
    return QDateTime(date, QTime(h.hour, h.minute, h.second));
}

QString missingDataReason(const SedraRecord &record)
{
    const int channels = std::clamp(record.channels.channelCount, 0, kRecordChannels);
    const int samples = std::clamp(record.channels.sampleCount, 0, kRecordSamples);
    if (channels == 0 || samples == 0)
        return QStringLiteral("没有采样数据（%1 道，每道 %2 个采样）").arg(channels).arg(samples);
    for (int c = 0; c < channels; ++c) {
        const auto &w = record.channels.working[std::size_t(c)];
        if (std::any_of(w.begin(), w.begin() + samples, [](std::int16_t v) { return v != 0; }))
            return {};
    }
    return QStringLiteral("所有采样都是 0，没有可用的波形");
}

std::vector<std::uint8_t> encodeSedraRecord(const SedraRecord &record, float spare)
{
    talvex::FieldRecordData data;
    data.header = record.header;
    data.header.spare = spare;
    const int channels = std::clamp(record.channels.channelCount, 0, kRecordChannels);
    const int samples = std::clamp(record.channels.sampleCount, 0, kRecordSamples);
    for (int c = 0; c < channels; ++c) {
        const auto &w = record.channels.working[std::size_t(c)];
        data.channels.emplace_back(w.begin(), w.begin() + samples);
    }
    std::vector<std::uint8_t> bytes = talvex::encodeFieldRecordV2(data);
    // A record without channels still states its sample count.
    if (channels == 0 && bytes.size() >= 142)
        common::storeU16(bytes.data() + 140, std::uint16_t(samples));
    return bytes;
}

std::optional<QString> decodeSedraRecord(std::span<const std::uint8_t> bytes, SedraRecord &record, QStringList *notes,
                                         std::uint64_t fileSize)
{
    if (bytes.size() < talvex::kRecordDataOffset)
        return QStringLiteral("文件太短，不是数据文件");
    talvex::FieldRecord parsed;
    talvex::parseFieldRecord(bytes, parsed, fileSize);
    // More channels than any instrument has: the bytes are no record.
    if (parsed.header.channelCount < 0 || parsed.header.channelCount > kMaxFileChannels)
        return QStringLiteral("不是有效的数据文件（通道数 %1）").arg(parsed.header.channelCount);
    if (notes) {
        if (parsed.header.sampleCount > kRecordSamples)
            *notes << QStringLiteral("文件头中的采样长度为 %1，超过 %2，每道只读入前 %2 个采样。")
                          .arg(parsed.header.sampleCount)
                          .arg(kRecordSamples);
        if (parsed.header.channelCount > kRecordChannels)
            *notes << QStringLiteral("文件头中的通道数为 %1，超过 %2，只读入前 %2 道。")
                          .arg(parsed.header.channelCount)
                          .arg(kRecordChannels);
        if (parsed.shortFile && parsed.channelsRead > 0 && parsed.samplesRead > 0)
            *notes << QStringLiteral("文件在文件头所说的全部采样之前就结束了，缺少的采样按 0 读入。");
    }
    SedraRecord out;
    out.header = parsed.header;
    if (out.header.isV2()) {
        // The float at 148 is read and not used; the word held there is the
        // float's low half.
        out.spareWord = std::int16_t(bytes.size() >= 150 ? common::loadU16(bytes.data() + 148) : 0);
    } else {
        out.header.siteName[8] = 0;
        out.header.holeName[3] = 0;
        out.spareWord = std::int16_t(std::uint16_t(parsed.header.spare));
    }
    out.header.spare = 0.0f;
    out.channels.channelCount = parsed.channelsRead;
    out.channels.sampleCount = parsed.samplesRead;
    out.channels.sampleInterval = out.header.interval;
    for (int c = 0; c < kRecordChannels; ++c) {
        out.channels.unfiltered[std::size_t(c)] = parsed.channels[std::size_t(c)];
        out.channels.working[std::size_t(c)] = parsed.channels[std::size_t(c)];
    }
    record = out;
    return std::nullopt;
}

QByteArray sedraRecordText(const SedraRecord &record)
{
    QByteArray out = common::encodeGbk(QStringLiteral("数据格式为：第一道波形数据，第二道波形数据，第三道波形数据\r\n"))
                         .value_or(QByteArray());
    const int channels = std::clamp(record.channels.channelCount, 0, kRecordChannels);
    const int samples = std::clamp(record.channels.sampleCount, 0, kRecordSamples);
    for (int c = 0; c < channels; ++c) {
        const auto &w = record.channels.working[std::size_t(c)];
        for (int i = 0; i < samples; ++i) {
            out += QByteArray::number(w[std::size_t(i)]);
            out += ',';
        }
        out += "\r\n";
    }
    return out;
}

} // namespace sedra
