#include "common/messenger.h"

namespace common {

Messenger::~Messenger() = default;

void RecordingMessenger::show(const QString &text, MessageKind kind)
{
    messages.append(text);
    kinds.append(kind);
}

bool RecordingMessenger::ask(const QString &text, const QString &)
{
    questions.append(text);
    return answers.isEmpty() ? true : answers.takeFirst();
}

void RecordingMessenger::clear()
{
    messages.clear();
    kinds.clear();
    questions.clear();
    answers.clear();
}

void ConsoleMessenger::show(const QString &text, MessageKind kind)
{
    FILE *out = kind == MessageKind::Information ? stdout : stderr;
    if (kind == MessageKind::Error)
        ++m_errors;
    std::fprintf(out, "%s\n", text.toUtf8().constData());
    std::fflush(out);
}

bool ConsoleMessenger::ask(const QString &text, const QString &)
{
    std::fprintf(stdout, "%s [%s]\n", text.toUtf8().constData(), m_answer ? "yes" : "no");
    std::fflush(stdout);
    return m_answer;
}

} // namespace common
