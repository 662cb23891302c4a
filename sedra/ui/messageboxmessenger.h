// Messages and questions of the microtremor program as message boxes.
#pragma once

#include "common/messenger.h"

class QWidget;

namespace sedra {

class MessageBoxMessenger : public common::Messenger {
public:
    explicit MessageBoxMessenger(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    void show(const QString &text, common::MessageKind kind = common::MessageKind::Information) override;
    // Yes/No question; the caption defaults to "提示".
    bool ask(const QString &text, const QString &caption = QString()) override;

private:
    QWidget *m_parent;
};

} // namespace sedra
