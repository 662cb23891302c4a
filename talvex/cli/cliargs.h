#pragma once
// The command line of one talvex-cli subcommand, parsed with
// QCommandLineParser against the subcommand's own options: unknown options,
// repeated options and extra words are refused, "--name value" and
// "--name=value" both work. Every value is checked where it is used, so a
// mistyped number is an error rather than a zero.
//
// Exit status: 0 done; 1 the command was understood but refused or failed
// (a file that cannot be read or written, a value the survey does not allow,
// the program's own refusal); 2 the command line itself is wrong (unknown
// command or option, a missing, repeated or extra argument, a value that is
// not a number or outside the fixed range its help states).

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// Thrown for a usage error or a refused operation; main prints it and exits
// with `exitCode`.
struct Failure : std::runtime_error {
    explicit Failure(const QString &what, int code = kExitRefused)
        : std::runtime_error(what.toStdString()), exitCode(code)
    {
    }
    int exitCode;
};

// One option of a subcommand. An option without `valueName` is a flag.
struct OptionSpec {
    QString name; // without "--"
    QString valueName; // "M", "K", "T"...; empty for a flag
    QString description; // meaning, unit, default
};

class Args;

struct Command {
    QString name;
    QString synopsis; // "process FILE.qsw --point K ... OP [ARGS]"
    QString summary; // what the command does, one line
    QString details; // the arguments' meaning, more lines (may be empty)
    std::vector<OptionSpec> options;
    int minWords = 0; // words after the command name
    int maxWords = 0;
    std::function<int(const Args &)> run;

    // The --help text: usage, summary, details and every option.
    QString helpText() const;
};

class Args {
public:
    // Parses `arguments` (the program name first, then the command name) for
    // `command`; throws a Failure with exit status 2 for a wrong command line.
    // Words are given as the system passed them, so that a path that is not
    // valid UTF-8 is still opened by its bytes (nativeWord).
    Args(const Command &command, const QStringList &arguments, const std::vector<QByteArray> &nativeArguments);

    bool helpRequested() const { return m_help; }

    // Word i after the command name (0-based); a Failure naming `what` when missing.
    QString word(int i, const QString &what) const;
    // Its bytes as the system gave them (for file names).
    QByteArray nativeWord(int i, const QString &what) const;
    int wordCount() const { return int(m_words.size()); }
    const QStringList &words() const { return m_words; }

    // The bytes the system gave for the value of option `name` (a file name).
    QByteArray nativeValue(const QString &name) const;

    bool flag(const QString &name) const;
    bool has(const QString &name) const;
    std::optional<QString> text(const QString &name) const;
    std::optional<float> number(const QString &name) const;
    std::optional<int> integer(const QString &name) const;
    float requiredNumber(const QString &name) const;
    int requiredInteger(const QString &name) const;
    // A whole number within low...high (exit status 2 outside it).
    std::optional<int> integerIn(const QString &name, int low, int high) const;
    // One of the given words.
    std::optional<QString> choice(const QString &name, const QStringList &choices) const;

private:
    QCommandLineParser m_parser;
    QStringList m_words;
    std::vector<QByteArray> m_nativeWords;
    std::map<QString, QByteArray> m_nativeValues;
    bool m_help = false;
};

float parseNumber(const QString &text, const QString &what);
int parseInteger(const QString &text, const QString &what);
// A whole number within low...high; exit status 2 outside it.
int parseIntegerIn(const QString &text, const QString &what, int low, int high);
QString qtext(const std::string &utf8);

} // namespace cli
