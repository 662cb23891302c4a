#include "talvex/survey/surveyfile.h"

#include "common/binaryio.h"
#include "common/gbk.h"
#include "common/messenger.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace talvex {

const char *const kBadFormatMessage = "错误的数据格式!!";

namespace {

using common::LeReader;
using common::LeWriter;

// Header field offsets.
constexpr std::size_t kOffMethod = 9;
constexpr std::size_t kOffTestDate = 10;
constexpr std::size_t kOffProject = 26;
constexpr std::size_t kOffHole = 106;
constexpr std::size_t kOffPersonnel = 146;
constexpr std::size_t kOffLogCount = 186;
constexpr std::size_t kOffLayerCount = 188;
constexpr std::size_t kOffPointCount = 190;
constexpr std::size_t kOffHoleDepth = 192;

// The decimal number at the start of `text` the way the C library's
// text-to-number conversion reads it (leading blanks, optional sign, digits
// with at most one point; anything after is ignored; no number gives 0),
// but independent of the user's locale.
float leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    std::size_t start = i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
        start = i;
    }
    bool point = false;
    bool digits = false;
    while (i < text.size()) {
        if (text[i] >= '0' && text[i] <= '9')
            digits = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            break;
        ++i;
    }
    if (!digits)
        return 0.0f;
    std::string number(text.substr(start, i - start));
    if (number.front() == '.')
        number.insert(number.begin(), '0');
    double value = 0.0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return float(negative ? -value : value);
}

void encodeLayer(std::uint8_t *p, const DiChengOne &layer)
{
    common::storeU32(p + 0, std::bit_cast<std::uint32_t>(layer.top));
    common::storeU32(p + 4, std::bit_cast<std::uint32_t>(layer.bottom));
    common::storeU32(p + 8, std::bit_cast<std::uint32_t>(layer.velocity));
    p[12] = layer.pattern;
    std::memcpy(p + 13, layer.reserved.data(), layer.reserved.size());
    std::memcpy(p + 20, layer.description.data(), layer.description.size());
}

// Reads a layer record of `size` bytes (100 or 180); a short record carries
// the first 80 bytes of the description, the rest stays zero.
DiChengOne decodeLayer(const std::uint8_t *p, std::size_t size)
{
    DiChengOne layer;
    layer.top = std::bit_cast<float>(common::loadU32(p + 0));
    layer.bottom = std::bit_cast<float>(common::loadU32(p + 4));
    layer.velocity = std::bit_cast<float>(common::loadU32(p + 8));
    layer.pattern = p[12];
    std::memcpy(layer.reserved.data(), p + 13, layer.reserved.size());
    std::memcpy(layer.description.data(), p + 20, size - 20);
    return layer;
}

void encodeTrace(std::uint8_t *p, const Trace &trace)
{
    for (int i = 0; i < kTraceLength; ++i)
        common::storeU16(p + 2 * i, std::uint16_t(trace[std::size_t(i)]));
}

void decodeTrace(const std::uint8_t *p, Trace &trace)
{
    for (int i = 0; i < kTraceLength; ++i)
        trace[std::size_t(i)] = std::int16_t(common::loadU16(p + 2 * i));
}

void encodePoint(std::uint8_t *p, const TlvOne &pt)
{
    common::storeU16(p + 0, std::uint16_t(pt.sArrival));
    common::storeU16(p + 2, std::uint16_t(pt.pArrival));
    common::storeU16(p + 4, std::uint16_t(pt.rArrival));
    common::storeU16(p + 6, std::uint16_t(pt.reserved1));
    const float floats[] = {pt.depth, pt.interval, pt.delay, pt.pointVelocity, pt.equivVelocity, pt.crossDistance};
    for (std::size_t i = 0; i < 6; ++i)
        common::storeU32(p + 8 + 4 * i, std::bit_cast<std::uint32_t>(floats[i]));
    common::storeU16(p + 32, std::uint16_t(pt.gain));
    std::memcpy(p + 34, pt.reserved2.data(), pt.reserved2.size());
    encodeTrace(p + 40, pt.positive);
    encodeTrace(p + 2088, pt.negative);
}

void decodePoint(const std::uint8_t *p, TlvOne &pt)
{
    pt.sArrival = std::int16_t(common::loadU16(p + 0));
    pt.pArrival = std::int16_t(common::loadU16(p + 2));
    pt.rArrival = std::int16_t(common::loadU16(p + 4));
    pt.reserved1 = std::int16_t(common::loadU16(p + 6));
    float *floats[] = {&pt.depth, &pt.interval, &pt.delay, &pt.pointVelocity, &pt.equivVelocity, &pt.crossDistance};
    for (std::size_t i = 0; i < 6; ++i)
        *floats[i] = std::bit_cast<float>(common::loadU32(p + 8 + 4 * i));
    pt.gain = std::int16_t(common::loadU16(p + 32));
    std::memcpy(pt.reserved2.data(), p + 34, pt.reserved2.size());
    decodeTrace(p + 40, pt.positive);
    decodeTrace(p + 2088, pt.negative);
}

std::size_t layerRecordSize(float version)
{
    return version <= 12.03f ? kOldLayerRecordSize : kLayerRecordSize;
}

// Reads `count` layer records starting at `offset`. The caller checked the size.
std::vector<DiChengOne> decodeLayers(const std::uint8_t *data, std::size_t offset, int count, std::size_t size)
{
    std::vector<DiChengOne> list;
    list.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        list.push_back(decodeLayer(data + offset + std::size_t(i) * size, size));
    return list;
}

// "测孔深度不是有效的数（nan）".
QString notFiniteText(const QString &field, float value)
{
    return QStringLiteral("%1不是有效的数（%2）")
        .arg(field, std::isnan(value) ? QStringLiteral("nan") : QStringLiteral("无穷大"));
}

// The first layer field of `list` that is not a finite number, as text;
// empty when all are.
QString notFiniteLayer(const std::vector<DiChengOne> &list, const char *name)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::pair<float, const char *> fields[3]
            = {{list[i].top, "起始深度"}, {list[i].bottom, "结束深度"}, {list[i].velocity, "波速"}};
        for (const auto &[value, field] : fields) {
            if (!std::isfinite(value))
                return notFiniteText(
                    QStringLiteral("第 %1 个%2的%3").arg(i + 1).arg(QString::fromUtf8(name), QString::fromUtf8(field)),
                    value);
        }
    }
    return {};
}

// The warning for negative record counts (read as none); empty when there is none.
QString negativeCountWarning(std::span<const std::int16_t> counts)
{
    const char *const names[3] = {"工勘土层数", "速度分层数", "测点数"};
    QStringList parts;
    for (std::size_t i = 0; i < counts.size() && i < 3; ++i) {
        if (counts[i] < 0)
            parts << QStringLiteral("%1为 %2").arg(QString::fromUtf8(names[i])).arg(counts[i]);
    }
    if (parts.isEmpty())
        return {};
    return QStringLiteral("文件头的%1，是负数；按 0 读入，文件可能已损坏。").arg(parts.join(QStringLiteral("、")));
}

} // namespace

VersionCheck CheckVersion(std::span<const std::uint8_t> tag, common::Messenger &messenger)
{
    const auto end = std::find(tag.begin(), tag.end(), std::uint8_t(0));
    const std::string text(tag.begin(), end);
    VersionCheck result;
    if (text.size() < 3 || text.compare(0, 3, "Tlv") != 0) {
        messenger.show(QString::fromUtf8(kBadFormatMessage), common::MessageKind::Error);
        return result;
    }
    result.version = leadingNumber(std::string_view(text).substr(3));
    if (result.version < 1.0f) {
        messenger.show(QString::fromUtf8(kBadFormatMessage), common::MessageKind::Error);
        return result;
    }
    if (result.version > kDocumentVersion) {
        messenger.show(QString::fromUtf8("这是一个高版本的剪切波分析程序创建的数据文件，请使用 ")
                           + common::decodeGbk(text) + QString::fromUtf8(" 版或更高的版本来打开它!!"),
                       common::MessageKind::Error);
        return result;
    }
    result.readable = true;
    return result;
}

std::vector<std::uint8_t> encodeSurvey(const SurveyData &survey)
{
    const SurveyHeader &h = survey.header;
    const bool hasRecords = !survey.logLayers.empty() || !survey.layers.empty() || !survey.points.empty();
    const std::size_t size = hasRecords
        ? kDocumentHeaderSize + (survey.logLayers.size() + survey.layers.size()) * kLayerRecordSize
            + survey.points.size() * kPointRecordSize
        : kDocumentShortHeaderSize;
    std::vector<std::uint8_t> out(size, 0);
    LeWriter w(out);
    const char tag[9] = {'T', 'l', 'v', '1', '3', '.', '0', '1', '\0'};
    w.bytes(0, std::span<const char>(tag, 9));
    w.u8(kOffMethod, h.method);
    w.bytes(kOffTestDate, std::span<const char>(h.testDate));
    w.bytes(kOffProject, std::span<const char>(h.projectName));
    w.bytes(kOffHole, std::span<const char>(h.holeNumber));
    w.bytes(kOffPersonnel, std::span<const char>(h.personnel));
    w.i16(kOffLogCount, std::int16_t(std::min<std::size_t>(survey.logLayers.size(), kMaxRecordCount)));
    w.i16(kOffLayerCount, std::int16_t(std::min<std::size_t>(survey.layers.size(), kMaxRecordCount)));
    w.i16(kOffPointCount, std::int16_t(std::min<std::size_t>(survey.points.size(), kMaxRecordCount)));
    const float floats[] = {h.holeDepth,    h.pointSpacing, h.sourceDistance,  h.plankLength,
                            h.siteVelocity, h.overburden,   h.computationDepth};
    for (std::size_t i = 0; i < 7; ++i)
        w.f32(kOffHoleDepth + 4 * i, floats[i]);
    if (!hasRecords)
        return out;

    std::uint8_t *p = out.data() + kDocumentHeaderSize;
    for (const auto *list : {&survey.logLayers, &survey.layers}) {
        for (const DiChengOne &layer : *list) {
            encodeLayer(p, layer);
            p += kLayerRecordSize;
        }
    }
    for (const TlvOne &pt : survey.points) {
        encodePoint(p, pt);
        p += kPointRecordSize;
    }
    return out;
}

bool decodeSurvey(std::span<const std::uint8_t> bytes, SurveyData &survey, common::Messenger &messenger)
{
    const auto badFormat = [&] {
        messenger.show(QString::fromUtf8(kBadFormatMessage), common::MessageKind::Error);
        return false;
    };
    const VersionCheck check = CheckVersion(bytes.subspan(0, std::min<std::size_t>(9, bytes.size())), messenger);
    if (!check.readable)
        return false;
    if (bytes.size() < kDocumentShortHeaderSize)
        return badFormat();

    LeReader r(bytes);
    // The file holds every header field but the program's own settings,
    // which stay as they are.
    SurveyHeader h;
    h.microtremorTest = survey.header.microtremorTest;
    h.personnelLabel = survey.header.personnelLabel;
    std::int16_t counts[3] = {};
    r.u8(kOffMethod, h.method);
    r.bytes(kOffTestDate, std::span<char>(h.testDate));
    r.bytes(kOffProject, std::span<char>(h.projectName));
    r.bytes(kOffHole, std::span<char>(h.holeNumber));
    r.bytes(kOffPersonnel, std::span<char>(h.personnel));
    r.i16(kOffLogCount, counts[0]);
    r.i16(kOffLayerCount, counts[1]);
    r.i16(kOffPointCount, counts[2]);
    float *floats[] = {&h.holeDepth,    &h.pointSpacing, &h.sourceDistance,  &h.plankLength,
                       &h.siteVelocity, &h.overburden,   &h.computationDepth};
    for (std::size_t i = 0; i < 7; ++i)
        r.f32(kOffHoleDepth + 4 * i, *floats[i]);

    // A number the program would compute with that is not finite would show
    // as "nan" and spread through every velocity: such a file is refused
    // whole, naming the field.
    const auto damaged = [&](const QString &what) {
        messenger.show(QString::fromUtf8(kBadFormatMessage) + QStringLiteral("\n") + what, common::MessageKind::Error);
        return false;
    };
    const char *const headerNames[7]
        = {"测孔深度", "测点间隔", "激振距离", "激振板长", "场地等效剪切波速", "覆盖层厚度", "覆盖层计算厚度"};
    for (std::size_t i = 0; i < 7; ++i) {
        if (!std::isfinite(*floats[i]))
            return damaged(
                notFiniteText(QStringLiteral("文件头的%1").arg(QString::fromUtf8(headerNames[i])), *floats[i]));
    }
    // A negative count reads no record; the file is opened, but not without
    // saying so.
    const int logCount = std::max<int>(counts[0], 0);
    const int layerCount = std::max<int>(counts[1], 0);
    const int pointCount = std::max<int>(counts[2], 0);
    const QString countWarning = negativeCountWarning(counts);
    const std::size_t layerSize = layerRecordSize(check.version);
    if (logCount + layerCount + pointCount > 0) {
        const std::size_t needed = kDocumentHeaderSize + std::size_t(logCount + layerCount) * layerSize
            + std::size_t(pointCount) * kPointRecordSize;
        if (bytes.size() < needed)
            return badFormat();
    }

    std::size_t offset = kDocumentHeaderSize;
    std::vector<DiChengOne> logLayers = decodeLayers(bytes.data(), offset, logCount, layerSize);
    offset += std::size_t(logCount) * layerSize;
    std::vector<DiChengOne> layers = decodeLayers(bytes.data(), offset, layerCount, layerSize);
    offset += std::size_t(layerCount) * layerSize;

    for (const QString &what : {notFiniteLayer(logLayers, "工勘土层"), notFiniteLayer(layers, "速度分层")}) {
        if (!what.isEmpty())
            return damaged(what);
    }

    // Before 10.01 the survey-log patterns were kept in the velocity layers.
    if (check.version < 10.01f) {
        const std::size_t n = std::min(logLayers.size(), layers.size());
        for (std::size_t i = 0; i < n; ++i)
            logLayers[i].pattern = layers[i].pattern;
    }

    std::vector<TlvOne> points(static_cast<std::size_t>(pointCount));
    for (std::size_t i = 0; i < points.size(); ++i) {
        TlvOne &pt = points[i];
        decodePoint(bytes.data() + offset, pt);
        offset += kPointRecordSize;
        const std::pair<float, const char *> fields[5] = {{pt.depth, "深度"},
                                                          {pt.interval, "采样间隔"},
                                                          {pt.delay, "采样延时"},
                                                          {pt.pointVelocity, "测点波速"},
                                                          {pt.equivVelocity, "等效波速"}};
        for (const auto &[value, field] : fields) {
            if (!std::isfinite(value))
                return damaged(
                    notFiniteText(QStringLiteral("第 %1 个测点的%2").arg(i + 1).arg(QString::fromUtf8(field)), value));
        }
        // Only distances strictly between 0 and 100 m are kept (NaN included
        // among those replaced).
        if (!(pt.crossDistance > 0.0f && pt.crossDistance < 100.0f))
            pt.crossDistance = h.sourceDistance;
    }

    survey.header = h;
    survey.logLayers = std::move(logLayers);
    survey.layers = std::move(layers);
    survey.points = std::move(points);
    if (!countWarning.isEmpty())
        messenger.show(countWarning, common::MessageKind::Warning);
    return true;
}

common::FileError StoreSurvey(SurveyData &survey, const QString &path)
{
    // The file counts each list in 16 bits; a longer list cannot be stored
    // whole, and storing part of it would lose data without a word.
    for (const std::size_t n : {survey.logLayers.size(), survey.layers.size(), survey.points.size()}) {
        if (n > std::size_t(kMaxRecordCount))
            return {false, QString::fromUtf8("一个数据文件最多保存%1个测点或分层").arg(kMaxRecordCount)};
    }
    common::FileError result = common::writeFileAtomically(path, encodeSurvey(survey));
    if (result.ok)
        survey.setModified(false);
    return result;
}

// The longest document the format can describe: every count at its largest.
constexpr std::uint64_t kLargestDocument = kDocumentHeaderSize + 2ull * kMaxRecordCount * kLayerRecordSize
    + std::uint64_t(kMaxRecordCount) * kPointRecordSize;

QString SurveyLockFileName(const QString &path)
{
    return QFileInfo(path).absoluteFilePath() + QStringLiteral(".lock");
}

bool LoadSurvey(SurveyData &survey, const QString &path, common::Messenger &messenger)
{
    std::vector<std::uint8_t> bytes;
    if (!common::readWholeFile(path, bytes, kLargestDocument).ok) {
        messenger.show(QString::fromUtf8("不能打开文件 ") + path, common::MessageKind::Error);
        return false;
    }
    return decodeSurvey(bytes, survey, messenger);
}

bool ImportLayers(SurveyData &survey, const QString &path, common::Messenger &messenger)
{
    std::vector<std::uint8_t> bytes;
    if (!common::readWholeFile(path, bytes, kLargestDocument).ok)
        return false;
    const VersionCheck check = CheckVersion(
        std::span<const std::uint8_t>(bytes).subspan(0, std::min<std::size_t>(10, bytes.size())), messenger);
    if (!check.readable)
        return false;
    LeReader r(bytes);
    std::int16_t counts[2] = {};
    if (!r.i16(kOffLogCount, counts[0]) || !r.i16(kOffLayerCount, counts[1])) {
        messenger.show(QString::fromUtf8(kBadFormatMessage), common::MessageKind::Error);
        return false;
    }
    const int logCount = std::max<int>(counts[0], 0);
    const int layerCount = std::max<int>(counts[1], 0);
    const std::size_t layerSize = layerRecordSize(check.version);
    if (logCount + layerCount > 0 && !r.has(kDocumentHeaderSize, std::size_t(logCount + layerCount) * layerSize)) {
        messenger.show(QString::fromUtf8(kBadFormatMessage), common::MessageKind::Error);
        return false;
    }
    std::vector<DiChengOne> logLayers = decodeLayers(bytes.data(), kDocumentHeaderSize, logCount, layerSize);
    std::vector<DiChengOne> layers
        = decodeLayers(bytes.data(), kDocumentHeaderSize + std::size_t(logCount) * layerSize, layerCount, layerSize);
    for (const QString &what : {notFiniteLayer(logLayers, "工勘土层"), notFiniteLayer(layers, "速度分层")}) {
        if (!what.isEmpty()) {
            messenger.show(QString::fromUtf8(kBadFormatMessage) + QStringLiteral("\n") + what,
                           common::MessageKind::Error);
            return false;
        }
    }
    survey.logLayers = std::move(logLayers);
    survey.layers = std::move(layers);
    if (const QString warning = negativeCountWarning(counts); !warning.isEmpty())
        messenger.show(warning, common::MessageKind::Warning);
    return true;
}

} // namespace talvex
