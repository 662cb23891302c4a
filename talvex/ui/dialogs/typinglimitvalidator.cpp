#include "talvex/ui/dialogs/typinglimitvalidator.h"

#include "common/gbk.h"

#include <QLineEdit>
#include <algorithm>

namespace talvex {

TypingLimitValidator::TypingLimitValidator(Unit unit, int limit, QObject *parent)
    : QValidator(parent), m_unit(unit), m_limit(limit), m_allowed(limit)
{
}

int TypingLimitValidator::measure(Unit unit, const QString &text)
{
    if (unit == Unit::Characters)
        return int(text.size());
    if (const auto bytes = common::encodeGbk(text))
        return int(bytes->size());
    int n = 0;
    for (const QChar c : text)
        n += c.unicode() < 0x80 ? 1 : 2;
    return n;
}

bool TypingLimitValidator::cutInserted(Unit unit, int allowed, QString &text, int &pos)
{
    while (measure(unit, text) > allowed) {
        if (pos <= 0)
            return false;
        int n = 1;
        if (pos >= 2 && text.at(pos - 1).isLowSurrogate() && text.at(pos - 2).isHighSurrogate())
            n = 2; // never split a character outside the basic plane
        text.remove(pos - n, n);
        pos -= n;
    }
    return true;
}

void TypingLimitValidator::setStoredText(QLineEdit *edit, const QString &text)
{
    m_allowed = std::max(m_limit, measure(m_unit, text));
    edit->setValidator(this);
    edit->setText(text);
}

QValidator::State TypingLimitValidator::validate(QString &input, int &pos) const
{
    if (!cutInserted(m_unit, m_allowed, input, pos))
        return Invalid;
    m_allowed = std::max(m_limit, measure(m_unit, input));
    return Acceptable;
}

} // namespace talvex
