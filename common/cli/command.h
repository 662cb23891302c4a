#pragma once
// The command-line framework of the suite's programs (talvex-cli, sedra-cli,
// kivaro-cli and the tools). A program is a list of commands; each command
// declares its options (with value name, meaning, unit and default), its
// words, whether it draws with Qt Gui, and the function that runs it. The
// command line of one command is parsed with QCommandLineParser against that
// command's own options: unknown options, repeated options and extra words
// are refused, "--name value" and "--name=value" both work, and a negative
// number is a value rather than an option. Every value is checked where it is
// read, so a mistyped number is an error rather than a zero.
//
// Exit status: 0 done; 1 the command was understood but refused or failed
// (a file that cannot be read or written, a value the data does not allow);
// 2 the command line itself is wrong (unknown command or option, a missing,
// repeated or extra argument, a value that is not a number or outside the
// fixed range its help states).

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

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;
inline constexpr int kExitUsage = 2;

// Thrown for a usage error or a refused operation; the program prints it and
// exits with `exitCode`.
struct Failure : std::runtime_error {
    explicit Failure(const QString &what, int code = kExitRefused)
        : std::runtime_error(what.toStdString()), exitCode(code)
    {
    }
    int exitCode;
};

// One option of a command. An option without `valueName` is a flag.
struct OptionSpec {
    QString name; // without "--"
    QString valueName; // "M", "K", "T"...; empty for a flag
    QString description; // meaning, unit, default
};

// A word of a command, named in its help and in the message when it is missing.
struct WordSpec {
    QString name; // "FILE.update"
    QString description;
};

class Args;

struct Command {
    QString name; // empty for the only command of a single-command program
    QString synopsis; // the usage after the program name: "process FILE.qsw --point K ... OP [ARGS]"
    QString summary; // what the command does, one line (the program's list of commands shows it)
    QString details; // more lines of explanation (may be empty)
    std::vector<OptionSpec> options;
    int minWords = 0; // words after the command name
    int maxWords = 0;
    std::function<int(const Args &)> run;
    // The command draws (pictures, PDF): the program starts a QGuiApplication
    // for it, and a QCoreApplication for every other command.
    bool needsGui = false;
    // The words' names and meanings, listed in the help; the first one not
    // given names the message for a missing word (may be left empty).
    std::vector<WordSpec> words = {};

    // The command declares an option of this name.
    bool hasOption(const QString &optionName) const;
    // --version shows the program's version unless the command has a
    // --version option of its own.
    bool offersProgramVersion() const { return !hasOption(QStringLiteral("version")); }
};

class Args {
public:
    // Parses `tokens` (the words after the command name, as decoded for
    // display) for `command`; throws a Failure with exit status 2 for a wrong
    // command line. `nativeTokens` are the same words as the system passed
    // them, so that a path that is not valid UTF-8 is still opened by its
    // bytes (nativeWord, nativeValue); it may be empty.
    Args(const Command &command, const QStringList &tokens, const std::vector<QByteArray> &nativeTokens = {});

    bool helpRequested() const { return m_help; }
    bool versionRequested() const { return m_version; }

    // Word i after the command name (0-based); a usage Failure naming `what` when missing.
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
    // The value of option `name`, or `fallback` when it is not given.
    QString textOr(const QString &name, const QString &fallback) const { return text(name).value_or(fallback); }
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
    bool m_version = false;
};

// Numbers of the command line, read in full ("12x" and "" are refused); a
// usage Failure naming `what` otherwise.
float parseNumber(const QString &text, const QString &what);
int parseInteger(const QString &text, const QString &what);
// A whole number within low...high; exit status 2 outside it.
int parseIntegerIn(const QString &text, const QString &what, int low, int high);
QString qtext(const std::string &utf8);

} // namespace cli
