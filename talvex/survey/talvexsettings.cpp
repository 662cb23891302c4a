#include "talvex/survey/talvexsettings.h"

namespace talvex {

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kPrint = QString::fromUtf8("打印设置");
const QString kRecentFiles = QStringLiteral("Recent File List");
} // namespace

TalvexSettings::TalvexSettings() : m_store(companyKey(), QStringLiteral("talvex")) {}

TalvexSettings::TalvexSettings(const QString &iniFile) : m_store(iniFile) {}

QString TalvexSettings::companyKey()
{
    return QString::fromUtf8("Qelvorn-剪切波分析");
}

int TalvexSettings::viewScale() const
{
    return m_store.readInt(kSettings, QString::fromUtf8("视图比例"), 75);
}

void TalvexSettings::setViewScale(int percent)
{
    m_store.writeInt(kSettings, QString::fromUtf8("视图比例"), percent);
}

int TalvexSettings::personnelLabel() const
{
    const int label = m_store.readInt(kSettings, QString::fromUtf8("测试单位选项"), 1);
    return (label >= 0 && label <= 2) ? label : 1;
}

void TalvexSettings::setPersonnelLabel(int label)
{
    m_store.writeInt(kSettings, QString::fromUtf8("测试单位选项"), label);
}

QString TalvexSettings::pageHeaderTitle() const
{
    return m_store.readText(kPrint, QString::fromUtf8("页眉标注"),
                            QString::fromUtf8("剪切波分析成果附图（标题可修改）"));
}

void TalvexSettings::setPageHeaderTitle(const QString &title)
{
    m_store.writeText(kPrint, QString::fromUtf8("页眉标注"), title);
}

QStringList TalvexSettings::recentFiles() const
{
    QStringList files;
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = m_store.readText(kRecentFiles, QStringLiteral("File%1").arg(i), QString());
        if (!file.isEmpty())
            files.append(file);
    }
    return files;
}

void TalvexSettings::setRecentFiles(const QStringList &files)
{
    for (int i = 1; i <= kRecentFileCount; ++i)
        m_store.writeText(kRecentFiles, QStringLiteral("File%1").arg(i), i <= files.size() ? files[i - 1] : QString());
}

QString TalvexSettings::onScreenKeyboardProgram() const
{
    return m_store.readText(kSettings, QString::fromUtf8("屏幕键盘程序"), QString());
}

} // namespace talvex
