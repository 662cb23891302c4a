#pragma once
// The About box "关于 剪切波分析系统": program icon, release line, maker,
// program version and the standards the analysis follows.

#include <QDialog>

namespace talvex {

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);

    // The texts of the box, top to bottom (shown as they stand).
    static QStringList lines();
};

} // namespace talvex
