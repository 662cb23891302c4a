#pragma once
// Every value the analysis program keeps in the per-user settings store,
// with its section, name and default, declared in one place.

#include "common/settingsstore.h"
#include "talvex/settings/printsettings.h"

#include <QString>
#include <QStringList>

namespace talvex {

class TalvexSettings {
public:
    // The program's own store (company key "Qelvorn-剪切波分析").
    TalvexSettings();
    // A store in the given INI file (tests).
    explicit TalvexSettings(const QString &iniFile);

    // The INI file given to the constructor; empty for the program's own store.
    QString iniFile() const { return m_iniFile; }

    static QString companyKey();

    int viewScale() const; // percent, default 75
    void setViewScale(int percent);
    int personnelLabel() const; // 0...2, default 1
    void setPersonnelLabel(int label);
    // The page setup (section "打印设置"); values read back are limited to
    // the dialog ranges (clampedToDialogRanges), missing ones take the
    // defaults of PrintSettings.
    PrintSettings printSettings() const;
    void setPrintSettings(const PrintSettings &settings);
    // The page heading alone: the same value as printSettings().headerText.
    QString pageHeaderTitle() const;
    void setPageHeaderTitle(const QString &title);
    // The recent-file list of the window, newest first (section "Recent File
    // List", values "File1"...), at most kRecentFileCount entries.
    static constexpr int kRecentFileCount = 5;
    QStringList recentFiles() const;
    void setRecentFiles(const QStringList &files);
    // Program started as the on-screen keyboard ("Settings", "屏幕键盘程序");
    // empty, the default, means the platform's own keyboard.
    QString onScreenKeyboardProgram() const;

    common::SettingsStore &store() { return m_store; }

private:
    common::SettingsStore m_store;
    QString m_iniFile;
};

} // namespace talvex
