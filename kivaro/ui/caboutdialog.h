#pragma once
// The About box: "KIVARO 1.0 版" and an OK button.

#include <QDialog>

namespace kivaro {

class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget *parent = nullptr);
};

} // namespace kivaro
