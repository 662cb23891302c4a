#pragma once
// Shows the messages and questions of the analysis program's logic in modal
// message boxes over the main window.

#include "common/messenger.h"

class QWidget;

namespace talvex {

class MessageBoxMessenger : public common::Messenger {
public:
    explicit MessageBoxMessenger(QWidget *parent = nullptr) : m_parent(parent) {}

    void show(const QString &text, common::MessageKind kind = common::MessageKind::Information) override;
    bool ask(const QString &text, const QString &caption = QString()) override;

private:
    QWidget *m_parent;
};

} // namespace talvex
