#pragma once
// How logic shows its fixed messages and asks its yes/no questions without
// depending on widgets. The programs pass a message-box implementation, the
// command-line tools one that prints, and tests one that records.

#include <QString>
#include <QStringList>
#include <QList>
#include <cstdio>

namespace common {

enum class MessageKind { Information, Warning, Error };

class Messenger {
public:
    virtual ~Messenger();
    // Shows `text` and waits until the user has seen it.
    virtual void show(const QString &text, MessageKind kind = MessageKind::Information) = 0;
    // Asks a yes/no question; true for yes.
    virtual bool ask(const QString &text, const QString &caption = QString()) = 0;
};

// Remembers every message and question; answers questions from a queue of
// preset answers (yes when the queue is empty).
class RecordingMessenger : public Messenger {
public:
    void show(const QString &text, MessageKind kind = MessageKind::Information) override;
    bool ask(const QString &text, const QString &caption = QString()) override;

    QStringList messages;
    QList<MessageKind> kinds;
    QStringList questions;
    QList<bool> answers;

    QString last() const { return messages.isEmpty() ? QString() : messages.last(); }
    void clear();
};

// Prints messages to a stream (information to stdout, warnings and errors to
// stderr) and answers every question with a fixed answer, printing both.
class ConsoleMessenger : public Messenger {
public:
    explicit ConsoleMessenger(bool answer = true) : m_answer(answer) {}
    void show(const QString &text, MessageKind kind = MessageKind::Information) override;
    bool ask(const QString &text, const QString &caption = QString()) override;

    int errorCount() const { return m_errors; }

private:
    bool m_answer;
    int m_errors = 0;
};

} // namespace common
