#include "talvex/ui/recentfilelist.h"

#include <QDir>
#include <QFileInfo>

namespace talvex {

namespace {

// One spelling per file, so that "a/../b.qsw" and "b.qsw" are one entry.
QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentFileList::RecentFileList(const QStringList &entries)
{
    for (auto it = entries.crbegin(); it != entries.crend(); ++it)
        if (!it->isEmpty())
            add(*it);
}

void RecentFileList::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString file = normalised(path);
    m_entries.removeAll(file);
    m_entries.prepend(file);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
}

void RecentFileList::remove(const QString &path)
{
    m_entries.removeAll(normalised(path));
}

QString RecentFileList::menuText(int index, const QString &path)
{
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&")); // "ZK1&5" is not a mnemonic
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

} // namespace talvex
