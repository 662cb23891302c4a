#pragma once
// "采用全部拾取建议": the lowest quality (0...1) a suggested arrival needs to
// be accepted by 采用全部拾取建议... Opens with the last value used; value()
// after OK. A text that is not a number, or a number outside 0...1, is
// refused with a message and the dialog stays open.

#include <QDialog>

class QLineEdit;

namespace common {
class Messenger;
}

namespace talvex {

extern const char *const kQualityRangeMessage; // "请输入一个介于 0 和 1 之间的数。"

class PickQualityDialog : public QDialog {
    Q_OBJECT
public:
    PickQualityDialog(float minQuality, common::Messenger &messenger, QWidget *parent = nullptr);

    float value() const { return m_value; }

    void accept() override;

private:
    common::Messenger &m_messenger;
    QLineEdit *m_edit = nullptr;
    float m_value;
};

} // namespace talvex
