#include "kivaro/ui/messageboxmessenger.h"

#include <QMessageBox>

namespace kivaro {

void MessageBoxMessenger::show(const QString &text, common::MessageKind kind)
{
    const QString title = QStringLiteral("KIVARO");
    switch (kind) {
    case common::MessageKind::Information: QMessageBox::information(m_parent, title, text); return;
    case common::MessageKind::Warning: QMessageBox::warning(m_parent, title, text); return;
    case common::MessageKind::Error: QMessageBox::critical(m_parent, title, text); return;
    }
}

bool MessageBoxMessenger::ask(const QString &text, const QString &caption)
{
    return QMessageBox::question(m_parent, caption.isEmpty() ? QStringLiteral("KIVARO") : caption, text)
        == QMessageBox::Yes;
}

} // namespace kivaro
