#pragma once
// Shows the messages and questions of a program's logic in modal message
// boxes over one of its windows, captioned with the program's title.

#include "common/messenger.h"

#include <QString>

class QWidget;

namespace common {

class MessageBoxMessenger : public Messenger {
public:
    // `title` captions every box; a question without a caption of its own gets
    // `questionCaption`, or the title when that is empty.
    explicit MessageBoxMessenger(QString title, QWidget *parent = nullptr, QString questionCaption = QString())
        : m_title(std::move(title)), m_questionCaption(std::move(questionCaption)), m_parent(parent)
    {
    }
    void setParent(QWidget *parent) { m_parent = parent; }

    void show(const QString &text, MessageKind kind = MessageKind::Information) override;
    // Yes/No question; No is the default button, so a stray Enter never
    // confirms a question that discards or replaces something.
    bool ask(const QString &text, const QString &caption = QString()) override;

private:
    QString m_title;
    QString m_questionCaption;
    QWidget *m_parent;
};

} // namespace common
