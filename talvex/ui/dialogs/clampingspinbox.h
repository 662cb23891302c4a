#pragma once
// A number box with spin arrows whose typed value is limited to its range
// rather than refused: with the range 1 ... 3, typing 5 leaves "5" in the box
// while typing and gives 3 when the box is left, Enter is pressed or the
// dialog reads it (interpretText()).

#include <QSpinBox>

namespace talvex {

class ClampingSpinBox : public QSpinBox {
    Q_OBJECT
public:
    ClampingSpinBox(int minimum, int maximum, QWidget *parent = nullptr);

protected:
    QValidator::State validate(QString &text, int &pos) const override;
    void fixup(QString &input) const override;
};

} // namespace talvex
