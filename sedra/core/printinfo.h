// What the printed page and the snapshots show beside the bands; kept while
// the program runs, not persisted.
#pragma once

#include <QDateTime>
#include <QString>

namespace sedra {

struct PrintInfo {
    QString header = QStringLiteral("采样数据图表"); // page header "页眉"
    QString siteName; // "工地名称"
    QString testPoint; // "测试点号"
    QDateTime testDate = QDateTime::currentDateTime(); // "测试日期"
    bool showRightValues = false; // "显示右侧参数"
    bool showTestInfo = true; // menu "打印相关信息"

    bool operator==(const PrintInfo &) const = default;
};

// The print information dialog's result: confirmed ("是否保存修改到打印？"
// answered OK) takes header, site name, test point and date from `edited`;
// otherwise they stay. "显示右侧参数" is taken in both cases.
PrintInfo applyPrintSet(const PrintInfo &current, const PrintInfo &edited, bool confirmed);

} // namespace sedra
