#include "common/cli/program.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace cli {

namespace {

void write(FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// Lines of "  label  meaning" with the meanings in one column; a meaning of
// more lines keeps its indentation.
QString table(const std::vector<std::pair<QString, QString>> &rows)
{
    qsizetype width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    QString text;
    for (const auto &[label, meaning] : rows) {
        QString indented = meaning;
        indented.replace(QLatin1Char('\n'), QLatin1Char('\n') + QString(width + 4, QLatin1Char(' ')));
        text += QStringLiteral("  ") + label.leftJustified(width) + QStringLiteral("  ") + indented + QLatin1Char('\n');
    }
    return text;
}

QString optionLabel(const OptionSpec &o)
{
    return o.valueName.isEmpty() ? QStringLiteral("--") + o.name : QStringLiteral("--%1 %2").arg(o.name, o.valueName);
}

bool isHelp(const QString &word)
{
    return word == QStringLiteral("--help") || word == QStringLiteral("-h") || word == QStringLiteral("help");
}

} // namespace

Program::Program(QString name, QString version, std::vector<Command> commands, Punctuation punctuation)
    : m_name(std::move(name)),
      m_version(std::move(version)),
      m_commands(std::move(commands)),
      m_punctuation(punctuation)
{
}

QString Program::colon() const
{
    return m_punctuation == Punctuation::FullWidth ? QStringLiteral("：") : QStringLiteral(": ");
}

QString Program::bracketed(const QString &text) const
{
    return m_punctuation == Punctuation::FullWidth ? QStringLiteral("（%1）").arg(text)
                                                   : QStringLiteral(" (%1)").arg(text);
}

QString Program::exitStatusText() const
{
    const QString separator = m_punctuation == Punctuation::FullWidth ? QStringLiteral("；") : QStringLiteral(", ");
    return QStringLiteral("退出状态") + colon() + QStringLiteral("0 完成") + separator
        + QStringLiteral("1 操作被拒绝或失败") + separator + QStringLiteral("2 命令行有误。");
}

QString Program::commandLabel(const Command &command) const
{
    return command.name.isEmpty() ? m_name : m_name + QLatin1Char(' ') + command.name;
}

const Command *Program::chosen(int argc, const char *const *argv) const
{
    if (isSingleCommand())
        return &m_commands.front();
    if (argc < 2)
        return nullptr;
    const QString name = QString::fromLocal8Bit(argv[1]);
    for (const Command &c : m_commands) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

bool Program::needsGui(int argc, const char *const *argv) const
{
    const Command *c = chosen(argc, argv);
    return c && c->needsGui;
}

int Program::run(int argc, const char *const *argv, const std::function<QString(const QByteArray &)> &decode) const
{
    // The words as the system gave them: a file name copied from Windows may
    // be GBK bytes, which a program may show decoded and open as they are.
    std::vector<QByteArray> native;
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        native.emplace_back(argv[i]);
        arguments << (decode ? decode(native.back()) : QString::fromLocal8Bit(native.back()));
    }
    return run(arguments, native);
}

int Program::run(const QStringList &arguments, const std::vector<QByteArray> &native) const
{
    if (isSingleCommand())
        return runCommand(m_commands.front(), arguments, native);

    if (arguments.isEmpty()) {
        write(stderr,
              m_name + colon() + QStringLiteral("缺少命令") + bracketed(QStringLiteral("见 %1 --help").arg(m_name))
                  + QStringLiteral("\n\n") + overview());
        return kExitUsage;
    }
    const QString &first = arguments.first();
    if (isHelp(first) || first == QStringLiteral("--version")) {
        if (arguments.size() > 1)
            return usageError(m_name, QStringLiteral("多余的参数 “%1”").arg(arguments.at(1)), m_name);
        write(stdout, isHelp(first) ? overview() : versionLine() + QLatin1Char('\n'));
        return kExitOk;
    }
    for (const Command &c : m_commands) {
        if (c.name == first)
            return runCommand(c, arguments.mid(1),
                              native.size() > 1 ? std::vector<QByteArray>(native.begin() + 1, native.end())
                                                : std::vector<QByteArray>());
    }
    return usageError(m_name, QStringLiteral("没有命令 “%1”").arg(first), m_name);
}

int Program::usageError(const QString &where, const QString &message, const QString &helpCommand) const
{
    write(stderr,
          where + colon() + message + bracketed(QStringLiteral("见 %1 --help").arg(helpCommand)) + QLatin1Char('\n'));
    return kExitUsage;
}

int Program::runCommand(const Command &command, const QStringList &tokens, const std::vector<QByteArray> &native) const
{
    const QString label = commandLabel(command);
    try {
        const Args args(command, tokens, native);
        if (args.helpRequested()) {
            write(stdout, helpText(command));
            return kExitOk;
        }
        if (args.versionRequested()) {
            write(stdout, versionLine() + QLatin1Char('\n'));
            return kExitOk;
        }
        return command.run(args);
    } catch (const Failure &e) {
        const QString message = QString::fromStdString(e.what());
        if (e.exitCode == kExitUsage)
            return usageError(label, message, label);
        write(stderr, label + colon() + message + QLatin1Char('\n'));
        return e.exitCode;
    }
}

QString Program::overview() const
{
    if (isSingleCommand())
        return helpText(m_commands.front());
    const QString c = colon();
    QString text
        = QStringLiteral("用法") + c + m_name + QStringLiteral(" 命令 参数…\n\n命令") + c.trimmed() + QLatin1Char('\n');
    std::vector<std::pair<QString, QString>> rows;
    for (const Command &command : m_commands)
        rows.emplace_back(command.name, command.summary);
    text += table(rows);
    text += QStringLiteral("\n“%1 命令 --help”列出该命令的参数和选项。\n").arg(m_name);
    text += table({{QStringLiteral("--help"), QStringLiteral("显示本帮助")},
                   {QStringLiteral("--version"), QStringLiteral("显示程序版本")}});
    text += QLatin1Char('\n');
    if (!m_notes.isEmpty())
        text += m_notes + QLatin1Char('\n');
    text += exitStatusText() + QLatin1Char('\n');
    return text;
}

QString Program::helpText(const Command &command) const
{
    const QString c = colon();
    QString text = QStringLiteral("用法") + c + m_name + QLatin1Char(' ') + command.synopsis + QStringLiteral("\n\n")
        + command.summary + QLatin1Char('\n');
    if (!command.details.isEmpty())
        text += QLatin1Char('\n') + command.details + QLatin1Char('\n');
    if (!command.words.empty()) {
        std::vector<std::pair<QString, QString>> rows;
        for (const WordSpec &w : command.words)
            rows.emplace_back(w.name, w.description);
        text += QStringLiteral("\n参数") + c.trimmed() + QLatin1Char('\n') + table(rows);
    }
    std::vector<std::pair<QString, QString>> rows;
    for (const OptionSpec &o : command.options)
        rows.emplace_back(optionLabel(o), o.description);
    rows.emplace_back(QStringLiteral("-h, --help"), QStringLiteral("显示本帮助"));
    if (command.offersProgramVersion())
        rows.emplace_back(QStringLiteral("--version"), QStringLiteral("显示程序版本"));
    text += QStringLiteral("\n选项") + c.trimmed() + QLatin1Char('\n') + table(rows);
    text += QStringLiteral("\n选项的值可写作 --选项 值 或 --选项=值。\n") + exitStatusText() + QLatin1Char('\n');
    return text;
}

} // namespace cli
