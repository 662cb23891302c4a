#pragma once
// Every value the analysis program keeps in the per-user settings store,
// with its section, name and default, declared in one place.

#include "common/settingsstore.h"

#include <QString>

namespace talvex {

class TalvexSettings {
public:
    // The program's own store (company key "Qelvorn-剪切波分析").
    TalvexSettings();
    // A store in the given INI file (tests).
    explicit TalvexSettings(const QString &iniFile);

    static QString companyKey();

    int viewScale() const;            // percent, default 75
    void setViewScale(int percent);
    int personnelLabel() const;       // 0...2, default 1
    void setPersonnelLabel(int label);
    QString pageHeaderTitle() const;  // printed page header
    void setPageHeaderTitle(const QString &title);

    common::SettingsStore &store() { return m_store; }

private:
    common::SettingsStore m_store;
};

} // namespace talvex
