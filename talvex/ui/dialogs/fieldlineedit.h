#pragma once
// A one-line box that says when the user leaves it: focus moved to another
// control of the dialog (not to a message box or another window), the moment
// at which the layer dialogs store what was typed.

#include <QLineEdit>

namespace talvex {

class FieldLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

signals:
    void left();

protected:
    void focusOutEvent(QFocusEvent *event) override;
};

} // namespace talvex
