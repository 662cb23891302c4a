#include "talvex/survey/fieldrecord.h"

#include "common/binaryio.h"
#include "common/messenger.h"

#include <QFile>
#include <algorithm>

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
    const std::uint16_t v[12] = {std::uint16_t(h.channelCount), std::uint16_t(h.year), std::uint16_t(h.month),
                                 std::uint16_t(h.day), std::uint16_t(h.hour), std::uint16_t(h.minute),
                                 std::uint16_t(h.second), h.interval, h.sampleCount, h.delay, h.gain,
                                 std::uint16_t(h.triggerLevel)};
    for (std::size_t i = 0; i < 12; ++i)
        w.u16(kV2Fields + 2 * i, v[i]);
}

bool setTrace(SurveyData &survey, const FieldRecord &record, int point, int channel, bool positive)
{
    if (point < 1 || std::size_t(point) > survey.points.size() || channel < 1 || channel > kRecordChannels)
        return false;
    const std::size_t c = std::size_t(channel - 1);
    TlvOne pt = survey.points[std::size_t(point - 1)];
    pt.interval = record.channelInterval[c];
    pt.delay = record.delay;
    pt.gain = record.gain;
    Trace &trace = positive ? pt.positive : pt.negative;
    std::copy_n(record.channels[c].begin(), kTraceLength, trace.begin());
    survey.points[std::size_t(point - 1)] = pt;
    survey.markModified();
    return true;
}

} // namespace

void FieldRecord::clear()
{
    // The whole buffer is cleared, not only the part a point takes, so that
    // nothing of an earlier, longer record shows behind a shorter one.
    for (auto &ch : channels)
        ch.fill(0);
    channelInterval.fill(0.0f);
    selectedChannel = 1;
    channelsRead = 0;
    samplesRead = 0;
    clipped = false;
    shortFile = false;
}

void parseFieldRecord(std::span<const std::uint8_t> bytes, FieldRecord &record)
{
    record.clear();
    const common::LeReader r(bytes);
    FieldRecordHeader h;
    h.tag.fill(0);
    r.bytes(0, std::span<char>(h.tag.data(), std::min<std::size_t>(4, bytes.size())));
    if (h.isV2()) {
        r.bytes(4, std::span<char>(h.siteName.data(), std::min<std::size_t>(80, bytes.size() > 4 ? bytes.size() - 4 : 0)));
        r.bytes(84, std::span<char>(h.holeName.data(), std::min<std::size_t>(40, bytes.size() > 84 ? bytes.size() - 84 : 0)));
        readShortFields(r, kV2Fields, h);
        r.f32(148, h.spare);
    } else {
        r.bytes(4, std::span<char>(h.siteName.data(), std::min<std::size_t>(9, bytes.size() > 4 ? bytes.size() - 4 : 0)));
        r.bytes(13, std::span<char>(h.holeName.data(), std::min<std::size_t>(4, bytes.size() > 13 ? bytes.size() - 13 : 0)));
        readShortFields(r, kOldFields, h);
        // The older layout keeps a 16-bit number where v2 has the spare float.
        std::uint16_t spare = 0;
        r.u16(41, spare);
        h.spare = float(spare);
    }
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
        return std::size_t(fileSamples) * stride <= available;
    };
    record.shortFile = !readSamples();
    record.delay = float(h.delay);
    record.gain = std::int16_t(h.gain);
    record.channelInterval.fill(float(h.interval));
    record.channelGain.fill(int(h.gain));
}

bool ReadFieldRecord(const QString &path, FieldRecord &record, common::Messenger &messenger)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        record.clear();
        messenger.show(QString::fromUtf8("不能打开文件 ") + path, common::MessageKind::Error);
        return false;
    }
    // Read the header, then only as much of the samples as the buffer can
    // take, whatever size the file claims or has.
    QByteArray head = file.read(qint64(kRecordDataOffset));
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    if (bytes.size() == kRecordDataOffset) {
        FieldRecord probe;
        parseFieldRecord(bytes, probe);
        const qint64 want = qint64(std::max<int>(probe.header.channelCount, 0))
            * std::min<qint64>(probe.header.sampleCount, kRecordSamples) * 2;
        if (want > 0) {
            const QByteArray samples = file.read(want);
            bytes.insert(bytes.end(), samples.begin(), samples.end());
        }
    }
    parseFieldRecord(bytes, record);
    return true;
}

bool SetPositiveTrace(SurveyData &survey, const FieldRecord &record, int point, int channel)
{
    return setTrace(survey, record, point, channel, true);
}

bool SetNegativeTrace(SurveyData &survey, const FieldRecord &record, int point, int channel)
{
    return setTrace(survey, record, point, channel, false);
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
