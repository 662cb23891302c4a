#include "talvex/settings/talvexsettings.h"

namespace talvex {

namespace {
const QString kSettings = QStringLiteral("Settings");
const QString kPrint = QString::fromUtf8("打印设置");
const QString kRecentFiles = QStringLiteral("Recent File List");
} // namespace

TalvexSettings::TalvexSettings() : m_store(companyKey(), QStringLiteral("talvex")) {}

TalvexSettings::TalvexSettings(const QString &iniFile) : m_store(iniFile), m_iniFile(iniFile) {}

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

namespace {
// The integer fields of PrintSettings with their names in the store.
struct PrintIntField {
    const char *name;
    int PrintSettings::*field;
};
const PrintIntField kPrintIntFields[] = {
    {"页脚设置", &PrintSettings::footerStyle},       {"起始页码", &PrintSettings::firstPageNumber},
    {"上边距", &PrintSettings::marginTop},           {"下边距", &PrintSettings::marginBottom},
    {"左边距", &PrintSettings::marginLeft},          {"右边距", &PrintSettings::marginRight},
    {"每行个数", &PrintSettings::rowsPerPage},       {"每列个数", &PrintSettings::columnsPerPage},
    {"原始图", &PrintSettings::printWaveforms},      {"表格图", &PrintSettings::printTable},
    {"波速图", &PrintSettings::printVelocity},       {"双速线", &PrintSettings::printTwoCurves},
    {"覆盖层厚度", &PrintSettings::printOverburden}, {"曲线名称", &PrintSettings::curveName},
    {"场地类别", &PrintSettings::printSiteClass},
};
const char *const kHeaderTextName = "页眉标注";
} // namespace

PrintSettings TalvexSettings::printSettings() const
{
    const PrintSettings defaults;
    PrintSettings settings;
    settings.headerText = pageHeaderTitle();
    for (const PrintIntField &f : kPrintIntFields)
        settings.*f.field = m_store.readInt(kPrint, QString::fromUtf8(f.name), defaults.*f.field);
    return clampedToDialogRanges(settings);
}

void TalvexSettings::setPrintSettings(const PrintSettings &settings)
{
    setPageHeaderTitle(settings.headerText);
    for (const PrintIntField &f : kPrintIntFields)
        m_store.writeInt(kPrint, QString::fromUtf8(f.name), settings.*f.field);
}

QString TalvexSettings::pageHeaderTitle() const
{
    return m_store.readText(kPrint, QString::fromUtf8(kHeaderTextName), PrintSettings().headerText);
}

void TalvexSettings::setPageHeaderTitle(const QString &title)
{
    m_store.writeText(kPrint, QString::fromUtf8(kHeaderTextName), title);
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
