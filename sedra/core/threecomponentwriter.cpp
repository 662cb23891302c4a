#include "sedra/core/threecomponentwriter.h"

#include "records/mseedrecord.h"

#include <cmath>

namespace sedra {

namespace {

std::uint32_t fnv1a(const QByteArray &bytes)
{
    std::uint32_t h = 2166136261u;
    for (const char c : bytes) {
        h ^= std::uint8_t(c);
        h *= 16777619u;
    }
    return h;
}

// `length` characters of base 36 of `value`, the lowest digit last.
QString base36(std::uint32_t value, int length)
{
    static constexpr char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    QString out(length, QLatin1Char('0'));
    for (int i = length - 1; i >= 0; --i) {
        out[i] = QLatin1Char(kDigits[value % 36]);
        value /= 36;
    }
    return out;
}

QString codeFor(const QString &name, int length, int hashLength, const QString &empty)
{
    QString kept;
    bool other = false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 128)
            other = true;
        else if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
            kept += c.toUpper();
    }
    if (!other)
        return kept.isEmpty() ? empty : kept.left(length);
    return kept.left(length - hashLength) + base36(fnv1a(name.toUtf8()), hashLength);
}

} // namespace

SeedCodes seedCodesFor(const QString &site, const QString &point)
{
    SeedCodes codes;
    codes.network = codeFor(site.trimmed(), 2, 2, QStringLiteral("XX"));
    codes.station = codeFor(point.trimmed(), 5, 3, QStringLiteral("STA"));
    codes.location = QStringLiteral("00");
    return codes;
}

QString seedChannelCode(double sampleInterval, Component component)
{
    const double rate = sampleInterval > 0.0 ? 1.0 / sampleInterval : 0.0;
    QChar band = QLatin1Char('V');
    if (rate >= 1000.0)
        band = QLatin1Char('G');
    else if (rate >= 250.0)
        band = QLatin1Char('D');
    else if (rate >= 80.0)
        band = QLatin1Char('E');
    else if (rate >= 10.0)
        band = QLatin1Char('S');
    else if (rate > 1.05)
        band = QLatin1Char('M');
    else if (rate >= 0.95)
        band = QLatin1Char('L');
    static constexpr char kOrientation[] = {'N', 'E', 'Z'};
    return QString(band) + QLatin1Char('H') + QLatin1Char(kOrientation[int(component)]);
}

QByteArray encodeThreeComponentMseed(const ThreeComponentRecord &record, QString *error)
{
    if (!(record.sampleInterval > 0.0) || !std::isfinite(record.sampleInterval)) {
        if (error)
            *error = QString::fromUtf8("采样间隔无效");
        return {};
    }
    std::vector<talvex::MseedTrace> traces(3);
    const qint64 start = record.start ? record.start->toMSecsSinceEpoch() * 1000 : 0;
    for (int k = 0; k < 3; ++k) {
        talvex::MseedTrace &t = traces[std::size_t(k)];
        t.network = record.network;
        t.station = record.station;
        t.location = record.location;
        t.channel = seedChannelCode(record.sampleInterval, Component(k));
        t.sampleRate = 1.0 / record.sampleInterval;
        t.startMicros = start;
        t.samples = record.components[std::size_t(k)];
    }
    return talvex::encodeMseed(traces, error);
}

common::FileError writeThreeComponentMseed(const QString &path, const ThreeComponentRecord &record)
{
    QString why;
    const QByteArray bytes = encodeThreeComponentMseed(record, &why);
    if (bytes.isEmpty())
        return {false, why};
    return common::writeFileAtomically(path, bytes);
}

} // namespace sedra
