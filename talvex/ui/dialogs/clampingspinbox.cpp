#include "talvex/ui/dialogs/clampingspinbox.h"

#include <algorithm>

namespace talvex {

namespace {

// A whole number as typed (sign and digits, blanks around it allowed).
bool typedNumber(const QString &text, qlonglong &value)
{
    bool ok = false;
    value = text.trimmed().toLongLong(&ok);
    return ok;
}

} // namespace

ClampingSpinBox::ClampingSpinBox(int minimum, int maximum, QWidget *parent) : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

QValidator::State ClampingSpinBox::validate(QString &text, int &pos) const
{
    const QValidator::State state = QSpinBox::validate(text, pos);
    if (state != QValidator::Invalid)
        return state;
    // A number outside the range may stay in the box; fixup() limits it.
    qlonglong value = 0;
    return typedNumber(text, value) ? QValidator::Intermediate : QValidator::Invalid;
}

void ClampingSpinBox::fixup(QString &input) const
{
    qlonglong value = 0;
    if (typedNumber(input, value))
        input = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
    else
        QSpinBox::fixup(input);
}

} // namespace talvex
