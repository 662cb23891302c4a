#pragma once
// "采用全部拾取建议": the lowest quality (0...1) a suggested arrival needs to
// be accepted by 采用全部拾取建议..., and whether picks already made are
// replaced too (替换已有的拾取, off when the dialog opens: only points
// without a pick are filled unless the engineer asks). Opens with the last
// quality used; value() and replaceExisting() after OK. A text that is not a
// number, or a number outside 0...1, is refused with a message and the
// dialog stays open.

#include <QDialog>

class QCheckBox;
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
    bool replaceExisting() const;

    void accept() override;

private:
    common::Messenger &m_messenger;
    QLineEdit *m_edit = nullptr;
    QCheckBox *m_replace = nullptr;
    float m_value;
};

} // namespace talvex
