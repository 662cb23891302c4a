#pragma once
// One subcommand of kivaro-cli: its options with their meaning, unit and
// default, its positional words, the parse of its command line and its help.
//
// The parse is strict, so that a typing mistake never runs an operation with
// a value the user did not mean: an unknown option, an option given twice, a
// missing value, a missing word and a word too many are all refused with a
// message that names them. "--name value" and "--name=value" are the same.

#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace kivaro {

class CliCommand {
public:
    enum class Outcome { Run, Help, Version, WrongCommandLine };

    // `program` and `name` form the usage line ("kivaro-cli download");
    // `synopsis` follows them there; `summary` says what the command does.
    CliCommand(QString program, QString name, QString synopsis, QString summary);

    // An option taking a value; `meaning` states the unit and the default.
    // A command may name an option "version" for a value of its own; the
    // program's --version is then not offered by that command.
    void addOption(const QString &name, const QString &valueName, const QString &meaning);
    // An option without a value.
    void addFlag(const QString &name, const QString &meaning);
    // A word that must be given, in this order.
    void addWord(const QString &name, const QString &meaning);

    // Parses `arguments` (the words after the command name).
    Outcome parse(const QStringList &arguments);
    // Why the command line was refused.
    QString error() const { return m_error; }
    QString helpText() const;

    bool isSet(const QString &name) const { return m_parser.isSet(name); }
    QString value(const QString &name) const { return m_parser.value(name); }
    QString word(int index) const { return m_parser.positionalArguments().value(index); }

    // The value of option `name` as a whole number in [minimum, maximum];
    // nothing, with error() set, when it is not one.
    std::optional<int> intValue(const QString &name, int minimum, int maximum);
    // Sets the refusal message (for rules between options) and returns the outcome for it.
    Outcome refuse(const QString &message);

private:
    bool offersProgramVersion() const;

    struct Entry {
        QString name;
        QString valueName;
        QString meaning;
    };

    QString m_program;
    QString m_name;
    QString m_synopsis;
    QString m_summary;
    QList<Entry> m_options;
    QList<Entry> m_words;
    QCommandLineParser m_parser;
    QString m_error;
    bool m_versionAdded = false;
};

// Texts shared by every command's help and messages.
namespace cli {
QString exitStatusText();
// "kivaro-cli 0.1.0"
QString versionLine(const QString &program);
} // namespace cli

} // namespace kivaro
