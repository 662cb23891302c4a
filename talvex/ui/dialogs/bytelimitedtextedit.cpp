#include "talvex/ui/dialogs/bytelimitedtextedit.h"

#include "talvex/ui/dialogs/typinglimitvalidator.h"

#include <QFocusEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace talvex {

namespace {

QString withCrLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

int storedBytes(const QString &plain)
{
    return TypingLimitValidator::measure(TypingLimitValidator::Unit::GbkBytes, withCrLf(plain));
}

} // namespace

ByteLimitedTextEdit::ByteLimitedTextEdit(int maxBytes, QWidget *parent)
    : QPlainTextEdit(parent), m_limit(maxBytes), m_allowed(maxBytes)
{
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this, &ByteLimitedTextEdit::onContentsChange);
}

void ByteLimitedTextEdit::setStoredText(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_allowed = std::max(m_limit, storedBytes(plain));
    m_cutting = true;
    setPlainText(plain);
    m_cutting = false;
}

QString ByteLimitedTextEdit::storedText() const
{
    return withCrLf(toPlainText());
}

void ByteLimitedTextEdit::onContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_cutting)
        return;
    QString text = toPlainText();
    if (storedBytes(text) <= m_allowed) {
        m_allowed = std::max(m_limit, storedBytes(text));
        return;
    }
    // Cut the characters just added, from their end, until the text fits.
    const int end = std::min<int>(position + added, int(text.size()));
    int cut = 0;
    while (storedBytes(text) > m_allowed && cut < added && end - cut > 0) {
        text.remove(end - cut - 1, 1);
        ++cut;
    }
    m_cutting = true;
    QTextCursor cursor(document());
    cursor.setPosition(end - cut);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    m_cutting = false;
    QTextCursor at = textCursor();
    at.setPosition(end - cut);
    setTextCursor(at);
}

void ByteLimitedTextEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit left();
}

} // namespace talvex
