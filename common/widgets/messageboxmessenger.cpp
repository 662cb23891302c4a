#include "common/widgets/messageboxmessenger.h"

#include <QMessageBox>

namespace common {

void MessageBoxMessenger::show(const QString &text, MessageKind kind)
{
    switch (kind) {
    case MessageKind::Information: QMessageBox::information(m_parent, m_title, text); return;
    case MessageKind::Warning: QMessageBox::warning(m_parent, m_title, text); return;
    case MessageKind::Error: QMessageBox::critical(m_parent, m_title, text); return;
    }
}

bool MessageBoxMessenger::ask(const QString &text, const QString &caption)
{
    QString shown = caption;
    if (shown.isEmpty())
        shown = m_questionCaption.isEmpty() ? m_title : m_questionCaption;
    return QMessageBox::question(m_parent, shown, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace common
