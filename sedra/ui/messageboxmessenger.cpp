#include "sedra/ui/messageboxmessenger.h"

#include <QMessageBox>

namespace sedra {

void MessageBoxMessenger::show(const QString &text, common::MessageKind kind)
{
    const QString title = QStringLiteral("地脉动");
    switch (kind) {
    case common::MessageKind::Information: QMessageBox::information(m_parent, title, text); break;
    case common::MessageKind::Warning: QMessageBox::warning(m_parent, title, text); break;
    case common::MessageKind::Error: QMessageBox::critical(m_parent, title, text); break;
    }
}

bool MessageBoxMessenger::ask(const QString &text, const QString &caption)
{
    return QMessageBox::question(m_parent, caption.isEmpty() ? QStringLiteral("提示") : caption, text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

} // namespace sedra
