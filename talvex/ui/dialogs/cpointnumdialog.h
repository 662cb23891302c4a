#pragma once
// "点数设定": the smoothing window of "波形平滑...", one whole number
// ("平滑点数:"). Opens with the remembered window; value() after OK.

#include <QDialog>

class QLineEdit;

namespace common {
class Messenger;
}

namespace talvex {

class CPointNumDialog : public QDialog {
    Q_OBJECT
public:
    CPointNumDialog(int window, common::Messenger &messenger, QWidget *parent = nullptr);

    int value() const { return m_value; }

    void accept() override;

private:
    common::Messenger &m_messenger;
    QLineEdit *m_edit = nullptr;
    int m_value;
};

} // namespace talvex
