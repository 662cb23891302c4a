#pragma once
// Shows the link pages' messages in modal message boxes.

#include "common/messenger.h"

class QWidget;

namespace kivaro {

class MessageBoxMessenger : public common::Messenger {
public:
    explicit MessageBoxMessenger(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void show(const QString &text, common::MessageKind kind = common::MessageKind::Information) override;
    bool ask(const QString &text, const QString &caption = QString()) override;

private:
    QWidget *m_parent;
};

} // namespace kivaro
