#include "talvex/ui/dialogs/fieldlineedit.h"

#include <QFocusEvent>

namespace talvex {

void FieldLineEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit left();
}

} // namespace talvex
