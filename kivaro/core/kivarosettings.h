#pragma once
// KIVARO's per-user settings (company key "Qelvorn", application "KIVARO"),
// declared once: the port and baud entries and the save folder of section
// "Settings", and the device that each of the ports "COM 1" … "COM 8" stands
// for on this machine (section "Devices", values "COM1" … "COM8").
//
// Device defaults: on Windows "COM n" is the system's COMn. Elsewhere COM 1 …
// COM 4 are the on-board ports /dev/ttyS0 … /dev/ttyS3 and COM 5 … COM 8 the
// USB adapters /dev/ttyUSB0 … /dev/ttyUSB3. Any value may name another
// device, such as the pseudo-terminal of the simulated instrument.

#include "common/settingsstore.h"

#include <QString>
#include <QStringList>

namespace kivaro {

struct LinkSettings {
    int portIndex = 0; // 0 = COM 1 … 7 = COM 8
    int baudIndex = 1; // 0 = 9600 … 4 = 115200
    QString savePath; // ends with a separator; KivaroSettings::defaultSavePath() when none is stored

    bool operator==(const LinkSettings &) const = default;
};

class KivaroSettings {
public:
    static constexpr int kPortCount = 8;
    static constexpr int kUpgradeBaudIndex = 1; // the upgrade always runs at 19200

    explicit KivaroSettings(common::SettingsStore &store) : m_store(store) {}

    // Missing or out-of-range values give the defaults; a missing or empty
    // save folder is defaultSavePath().
    LinkSettings load() const;
    void save(const LinkSettings &settings);

    // The folder "KIVARO" in the user's documents, ending with a separator:
    // downloads go there until the user chooses another folder (the
    // program's working folder is not a place a user looks for them).
    static QString defaultSavePath();

    // The device that port number `portNumber` (1 … 8) opens.
    QString devicePath(int portNumber) const;
    void setDevicePath(int portNumber, const QString &device);
    static QString defaultDevicePath(int portNumber);

    // Entries of the port and baud lists, and the rate of a baud entry.
    static QStringList portNames();
    static QStringList baudNames();
    static int baudRate(int baudIndex);

private:
    common::SettingsStore &m_store;
};

} // namespace kivaro
