#include "kivaro/core/kivarosettings.h"

#include <QDir>
#include <QStandardPaths>

namespace kivaro {

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kPort = QStringLiteral("通讯口");
const QString kBaud = QStringLiteral("波特率");
const QString kSavePath = QStringLiteral("保存路径");
const QString kDevices = QStringLiteral("Devices");
constexpr int kBaudRates[] = {9600, 19200, 38400, 57600, 115200};
constexpr int kBaudCount = int(std::size(kBaudRates));

int inRange(int value, int count, int fallback)
{
    return value >= 0 && value < count ? value : fallback;
}
} // namespace

LinkSettings KivaroSettings::load() const
{
    const LinkSettings defaults;
    LinkSettings s;
    s.portIndex = inRange(m_store.readInt(kSection, kPort, defaults.portIndex), kPortCount, defaults.portIndex);
    s.baudIndex = inRange(m_store.readInt(kSection, kBaud, defaults.baudIndex), kBaudCount, defaults.baudIndex);
    s.savePath = m_store.readText(kSection, kSavePath, QString());
    if (s.savePath.isEmpty())
        s.savePath = defaultSavePath();
    return s;
}

void KivaroSettings::save(const LinkSettings &settings)
{
    m_store.writeInt(kSection, kPort, settings.portIndex);
    m_store.writeInt(kSection, kBaud, settings.baudIndex);
    m_store.writeText(kSection, kSavePath, settings.savePath);
    m_store.sync();
}

QString KivaroSettings::defaultSavePath()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir::toNativeSeparators(QDir(documents).filePath(QStringLiteral("KIVARO"))) + QDir::separator();
}

QString KivaroSettings::devicePath(int portNumber) const
{
    return m_store.readText(kDevices, QStringLiteral("COM%1").arg(portNumber), defaultDevicePath(portNumber));
}

void KivaroSettings::setDevicePath(int portNumber, const QString &device)
{
    m_store.writeText(kDevices, QStringLiteral("COM%1").arg(portNumber), device);
    m_store.sync();
}

QString KivaroSettings::defaultDevicePath(int portNumber)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(portNumber);
#else
    if (portNumber >= 1 && portNumber <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
    return QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 5);
#endif
}

QStringList KivaroSettings::portNames()
{
    QStringList names;
    for (int i = 1; i <= kPortCount; ++i)
        names << QStringLiteral("COM %1").arg(i);
    return names;
}

QStringList KivaroSettings::baudNames()
{
    QStringList names;
    for (int rate : kBaudRates)
        names << QString::number(rate);
    return names;
}

int KivaroSettings::baudRate(int baudIndex)
{
    return kBaudRates[inRange(baudIndex, kBaudCount, kUpgradeBaudIndex)];
}

} // namespace kivaro
