#pragma once
// The recent-file list of the File menu: newest first, each file once, at
// most five entries; kept in the settings between runs.

#include "talvex/settings/talvexsettings.h"

#include <QStringList>

namespace talvex {

class RecentFileList {
public:
    static constexpr int kMaxEntries = TalvexSettings::kRecentFileCount;

    explicit RecentFileList(const QStringList &entries = {});

    // Puts `path` first (moving it up when it is in the list already) and
    // drops the oldest entry beyond the limit.
    void add(const QString &path);
    // Takes `path` out (a file that could not be opened).
    void remove(const QString &path);

    const QStringList &entries() const { return m_entries; }

    // The menu text of entry `index` (0-based): "&1 " and the path in the
    // platform's notation.
    static QString menuText(int index, const QString &path);

private:
    QStringList m_entries;
};

} // namespace talvex
