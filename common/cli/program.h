#pragma once
// A command-line program made of commands (common/cli/command.h): the list
// of commands with --help and --version, the choice of the command, its
// parse, its help and the message and exit status of a refusal. A program of
// one command (its name empty) takes its options right after the program
// name.
//
//   int main(int argc, char **argv)
//   {
//       cli::Program program(...);
//       std::unique_ptr<QCoreApplication> app = program.needsGui(argc, argv) ? ... : ...;
//       return program.run(argc, argv);
//   }

#include "common/cli/command.h"

#include <QByteArray>
#include <functional>
#include <vector>

namespace cli {

class Program {
public:
    // How the program's texts are punctuated: full-width Chinese colons and
    // brackets ("用法：") or ASCII ones ("用法: ") as its manuals show them.
    enum class Punctuation { FullWidth, Ascii };

    Program(QString name, QString version, std::vector<Command> commands,
            Punctuation punctuation = Punctuation::FullWidth);

    // Lines shown in the program's --help after the list of commands (the
    // environment variables it reads, say).
    void setOverviewNotes(const QString &notes) { m_notes = notes; }

    const QString &name() const { return m_name; }
    const std::vector<Command> &commands() const { return m_commands; }
    bool isSingleCommand() const { return m_commands.size() == 1 && m_commands.front().name.isEmpty(); }

    // The command the command line names (nothing for --help, --version, an
    // unknown or a missing command).
    const Command *chosen(int argc, const char *const *argv) const;
    // The chosen command draws with Qt Gui: main starts a QGuiApplication.
    bool needsGui(int argc, const char *const *argv) const;

    // Parses the command line and runs the command; returns the exit status.
    // Messages go to standard error, help and version to standard output.
    // `decode` turns a word as the system gave it into text (the local
    // encoding when not given); the command still gets the bytes.
    int run(int argc, const char *const *argv,
            const std::function<QString(const QByteArray &)> &decode = nullptr) const;
    // The same for words already split off the program name.
    int run(const QStringList &arguments, const std::vector<QByteArray> &native = {}) const;

    // The program's --help: its commands with their summaries.
    QString overview() const;
    // The command's --help: usage, summary, details, words and every option.
    QString helpText(const Command &command) const;
    // "talvex-cli 0.1.0"
    QString versionLine() const { return m_name + QLatin1Char(' ') + m_version; }

private:
    QString colon() const;
    QString bracketed(const QString &text) const;
    // "退出状态：0 完成；1 操作被拒绝或失败；2 命令行有误。"
    QString exitStatusText() const;
    // "talvex-cli process" or "talvex-samplegen"
    QString commandLabel(const Command &command) const;
    int runCommand(const Command &command, const QStringList &tokens, const std::vector<QByteArray> &native) const;
    int usageError(const QString &where, const QString &message, const QString &helpCommand) const;

    QString m_name;
    QString m_version;
    std::vector<Command> m_commands;
    Punctuation m_punctuation;
    QString m_notes;
};

} // namespace cli
