#pragma once
// The multi-line text box of a layer description: at most as many GBK bytes
// as the record field keeps, counting a line break as the two bytes CR LF it
// is stored as. Text typed or pasted beyond the limit is cut back to what
// fits; a longer stored text is shown whole and may only get shorter.

#include <QPlainTextEdit>

namespace talvex {

class ByteLimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ByteLimitedTextEdit(int maxBytes, QWidget *parent = nullptr);

    // Shows a stored text (line breaks CR LF or LF).
    void setStoredText(const QString &text);
    // The text as it is stored: line breaks as CR LF.
    QString storedText() const;

signals:
    // Focus left the box (not to a message box or another window).
    void left();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void onContentsChange(int position, int removed, int added);

    int m_limit;
    int m_allowed;
    bool m_cutting = false;
};

} // namespace talvex
