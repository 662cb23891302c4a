#pragma once
// A typing limit for a one-line text box, in characters or in GBK bytes (the
// size of the record field the text is stored into). Typed or pasted text
// that would pass the limit is cut back to what fits, as a limited edit box
// does. A stored text longer than the limit (set with setStoredText) is shown
// whole and kept: it may be shortened but never made longer.

#include <QValidator>

class QLineEdit;

namespace talvex {

class TypingLimitValidator : public QValidator {
    Q_OBJECT
public:
    enum class Unit { Characters, GbkBytes };

    TypingLimitValidator(Unit unit, int limit, QObject *parent = nullptr);

    // Installs the validator on `edit` and shows `text` there.
    void setStoredText(QLineEdit *edit, const QString &text);

    State validate(QString &input, int &pos) const override;

    // Length of `text` in the unit: characters, or the bytes it takes in GBK
    // (a character GBK cannot hold counts as two; storing refuses it).
    static int measure(Unit unit, const QString &text);
    // Removes characters before `pos` (the ones just typed or pasted) until
    // `text` measures at most `allowed`; false when that is not possible.
    static bool cutInserted(Unit unit, int allowed, QString &text, int &pos);

private:
    Unit m_unit;
    int m_limit;
    mutable int m_allowed; // the limit, or the length of a longer stored text
};

} // namespace talvex
