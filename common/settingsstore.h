#pragma once
// The per-user settings store: values grouped in sections, each value with a
// default that is returned when the value is missing. Each program declares
// its own keys and defaults in one small class on top of this one; nothing
// else touches QSettings.

#include <QString>
#include <memory>

class QSettings;

namespace common {

class SettingsStore {
public:
    // The store of `application` under the company key `company`, in the
    // user's configuration folder.
    SettingsStore(const QString &company, const QString &application);
    // A store kept in the given INI file (tests, portable installs).
    explicit SettingsStore(const QString &iniFile);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    int readInt(const QString &section, const QString &name, int defaultValue) const;
    QString readText(const QString &section, const QString &name, const QString &defaultValue) const;
    void writeInt(const QString &section, const QString &name, int value);
    void writeText(const QString &section, const QString &name, const QString &value);
    bool contains(const QString &section, const QString &name) const;

    // Writes pending changes to permanent storage.
    void sync();
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace common
