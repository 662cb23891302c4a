#pragma once
// Passes messages on to another messenger once the event loop is free again.
// A message that arises while the view paints (a user soil pattern that
// cannot be read) must not open a modal box inside the paint.

#include "common/messenger.h"

#include <QObject>
#include <QTimer>
#include <functional>

namespace talvex {

class DeferredMessenger : public common::Messenger {
public:
    // `target` names the messenger that shows the message when it is due;
    // nothing is shown once `context` is gone.
    DeferredMessenger(QObject *context, std::function<common::Messenger *()> target)
        : m_context(context), m_target(std::move(target))
    {
    }

    void show(const QString &text, common::MessageKind kind = common::MessageKind::Information) override
    {
        QTimer::singleShot(0, m_context, [target = m_target, text, kind] {
            if (common::Messenger *messenger = target())
                messenger->show(text, kind);
        });
    }
    // A question cannot wait for its answer: the default answer, no.
    bool ask(const QString &, const QString & = QString()) override { return false; }

private:
    QObject *m_context;
    std::function<common::Messenger *()> m_target;
};

} // namespace talvex
