#include "common/settingsstore.h"

#include <QSettings>

namespace common {

namespace {
QString keyOf(const QString &section, const QString &name)
{
    return section + QLatin1Char('/') + name;
}
} // namespace

SettingsStore::SettingsStore(const QString &company, const QString &application)
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, company, application))
{
}

SettingsStore::SettingsStore(const QString &iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

int SettingsStore::readInt(const QString &section, const QString &name, int defaultValue) const
{
    const QVariant v = m_settings->value(keyOf(section, name));
    if (!v.isValid())
        return defaultValue;
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : defaultValue;
}

QString SettingsStore::readText(const QString &section, const QString &name, const QString &defaultValue) const
{
    const QVariant v = m_settings->value(keyOf(section, name));
    return v.isValid() ? v.toString() : defaultValue;
}

void SettingsStore::writeInt(const QString &section, const QString &name, int value)
{
    m_settings->setValue(keyOf(section, name), value);
}

void SettingsStore::writeText(const QString &section, const QString &name, const QString &value)
{
    m_settings->setValue(keyOf(section, name), value);
}

bool SettingsStore::contains(const QString &section, const QString &name) const
{
    return m_settings->contains(keyOf(section, name));
}

void SettingsStore::sync()
{
    m_settings->sync();
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

} // namespace common
