#include "talvex/ui/messageboxmessenger.h"

#include <QMessageBox>

namespace talvex {

namespace {
// The program's title in the caption of its message boxes.
QString programTitle()
{
    return QStringLiteral("talvex");
}
} // namespace

void MessageBoxMessenger::show(const QString &text, common::MessageKind kind)
{
    switch (kind) {
    case common::MessageKind::Information: QMessageBox::information(m_parent, programTitle(), text); return;
    case common::MessageKind::Warning: QMessageBox::warning(m_parent, programTitle(), text); return;
    case common::MessageKind::Error: QMessageBox::critical(m_parent, programTitle(), text); return;
    }
}

bool MessageBoxMessenger::ask(const QString &text, const QString &caption)
{
    return QMessageBox::question(m_parent, caption.isEmpty() ? programTitle() : caption, text) == QMessageBox::Yes;
}

} // namespace talvex
