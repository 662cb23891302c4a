#include "sedra/core/sedrasettings.h"

#include "common/gbk.h"

#include <QStringList>

namespace sedra {

QString SedraSettings::company()
{
    return QStringLiteral("Qelvorn-地脉动");
}

QString SedraSettings::application()
{
    return QStringLiteral("SEDRA");
}

QString SedraSettings::section()
{
    return QStringLiteral("SEDRA试验参数");
}

QString cutToGbkBytes(const QString &text, int maxBytes)
{
    QString out;
    int used = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, len);
        const auto bytes = common::encodeGbk(ch);
        const int n = bytes ? int(bytes->size()) : 2;
        if (used + n > maxBytes)
            break;
        used += n;
        out += ch;
        i += len;
    }
    return out;
}

SedraParameters SedraSettings::load(const common::SettingsStore &store)
{
    const QString s = section();
    SedraParameters p;
    p.channel = store.readInt(s, QStringLiteral("channel"), 4);
    if (!kChannelRange.contains(p.channel))
        p.channel = 4;
    p.projectName = cutToGbkBytes(store.readText(s, QStringLiteral("projectName"), {}), kSiteNameBytes - 1);
    const int delay = store.readInt(s, QStringLiteral("DelayTime"), 0);
    p.delayTime = std::uint16_t(kDelayRange.contains(delay) ? delay : 0);
    p.opamtime = store.readInt(s, QStringLiteral("Opamtime"), 1);
    const int interval = store.readInt(s, QStringLiteral("Sampinterval"), 8000);
    p.sampinterval = std::uint16_t(kIntervalRange.contains(interval) ? interval : 8000);
    p.samplenth = store.readInt(s, QStringLiteral("Samplenth"), 1024);
    p.keyboard = store.readInt(s, QStringLiteral("Keyborad"), 1);
    p.testSit = cutToGbkBytes(store.readText(s, QStringLiteral("TestSit"), {}), kTestPointBytes - 1);
    return p;
}

void SedraSettings::save(common::SettingsStore &store, const SedraParameters &p)
{
    const QString s = section();
    store.writeInt(s, QStringLiteral("channel"), p.channel);
    store.writeText(s, QStringLiteral("projectName"), p.projectName);
    store.writeInt(s, QStringLiteral("DelayTime"), p.delayTime);
    store.writeInt(s, QStringLiteral("Opamtime"), p.opamtime);
    store.writeInt(s, QStringLiteral("Sampinterval"), p.sampinterval);
    store.writeInt(s, QStringLiteral("Samplenth"), p.samplenth);
    store.writeInt(s, QStringLiteral("Keyborad"), p.keyboard);
    store.writeText(s, QStringLiteral("TestSit"), p.testSit);
    store.sync();
}

QString SedraSettings::cardBackend(const common::SettingsStore &store)
{
    return store.readText(QStringLiteral("采集卡"), QStringLiteral("backend"), QStringLiteral("ports"));
}

void SedraSettings::setCardBackend(common::SettingsStore &store, const QString &backend)
{
    store.writeText(QStringLiteral("采集卡"), QStringLiteral("backend"), backend);
    store.sync();
}

std::optional<std::array<int, 3>> parseComponentChannels(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return std::nullopt;
    std::array<int, 3> channels{};
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        const int c = parts[k].trimmed().toInt(&ok);
        if (!ok || !kChannelRange.contains(c))
            return std::nullopt;
        for (int j = 0; j < k; ++j)
            if (channels[std::size_t(j)] == c)
                return std::nullopt;
        channels[std::size_t(k)] = c;
    }
    return channels;
}

std::array<int, 3> SedraSettings::componentChannels(const common::SettingsStore &store)
{
    const QString text = store.readText(QStringLiteral("三分量"), QStringLiteral("channels"), QStringLiteral("1,2,3"));
    return parseComponentChannels(text).value_or(std::array<int, 3>{1, 2, 3});
}

void SedraSettings::setComponentChannels(common::SettingsStore &store, const std::array<int, 3> &channels)
{
    store.writeText(QStringLiteral("三分量"), QStringLiteral("channels"),
                    QStringLiteral("%1,%2,%3").arg(channels[0]).arg(channels[1]).arg(channels[2]));
    store.sync();
}

} // namespace sedra
