#include "kivaro/cli/clicommand.h"

#include <QSet>

#include <algorithm>

namespace kivaro {

namespace {
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

QString optionLabel(const QString &name, const QString &valueName)
{
    QString label = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    if (!valueName.isEmpty())
        label += u' ' + valueName;
    return label;
}

// Lines of "  label   meaning" with the meanings in one column.
QString table(const QList<std::pair<QString, QString>> &rows)
{
    qsizetype width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    QString text;
    for (const auto &[label, meaning] : rows) {
        const QString indent(width + 4, u' ');
        QString m = meaning;
        m.replace(u'\n', u'\n' + indent);
        text += QStringLiteral("  ") + label.leftJustified(width + 2) + m + u'\n';
    }
    return text;
}
} // namespace

CliCommand::CliCommand(QString program, QString name, QString synopsis, QString summary)
    : m_program(std::move(program)),
      m_name(std::move(name)),
      m_synopsis(std::move(synopsis)),
      m_summary(std::move(summary))
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), kHelp}));
}

bool CliCommand::offersProgramVersion() const
{
    return std::none_of(m_options.cbegin(), m_options.cend(), [](const Entry &o) { return o.name == kVersion; });
}

void CliCommand::addOption(const QString &name, const QString &valueName, const QString &meaning)
{
    m_options.append({name, valueName, meaning});
    m_parser.addOption(QCommandLineOption(name, meaning, valueName));
}

void CliCommand::addFlag(const QString &name, const QString &meaning)
{
    m_options.append({name, QString(), meaning});
    m_parser.addOption(QCommandLineOption(name, meaning));
}

void CliCommand::addWord(const QString &name, const QString &meaning)
{
    m_words.append({name, QString(), meaning});
}

CliCommand::Outcome CliCommand::parse(const QStringList &arguments)
{
    m_error.clear();
    if (offersProgramVersion() && !m_versionAdded) {
        m_parser.addOption(QCommandLineOption(kVersion));
        m_versionAdded = true;
    }
    // QCommandLineParser takes the program's name first.
    const bool parsed = m_parser.parse(QStringList{m_program} + arguments);
    const QStringList unknown = m_parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return refuse(QStringLiteral("未知的选项 %1").arg(optionLabel(unknown.first(), QString())));
    if (!parsed)
        return refuse(m_parser.errorText());
    if (m_parser.isSet(kHelp))
        return Outcome::Help;
    if (offersProgramVersion() && m_parser.isSet(kVersion))
        return Outcome::Version;

    QSet<QString> seen;
    for (const QString &name : m_parser.optionNames()) {
        if (seen.contains(name))
            return refuse(QStringLiteral("选项 %1 只能给一次").arg(optionLabel(name, QString())));
        seen.insert(name);
    }
    const QStringList words = m_parser.positionalArguments();
    if (words.size() < m_words.size())
        return refuse(
            QStringLiteral("缺少 %1(%2)").arg(m_words.at(words.size()).name, m_words.at(words.size()).meaning));
    if (words.size() > m_words.size())
        return refuse(QStringLiteral("多余的参数 \"%1\"").arg(words.at(m_words.size())));
    return Outcome::Run;
}

CliCommand::Outcome CliCommand::refuse(const QString &message)
{
    m_error = message;
    return Outcome::WrongCommandLine;
}

std::optional<int> CliCommand::intValue(const QString &name, int minimum, int maximum)
{
    bool ok = false;
    const int v = m_parser.value(name).toInt(&ok);
    if (ok && v >= minimum && v <= maximum)
        return v;
    refuse(QStringLiteral("%1 应为 %2 … %3 的整数,不是 \"%4\"")
               .arg(optionLabel(name, QString()))
               .arg(minimum)
               .arg(maximum)
               .arg(m_parser.value(name)));
    return std::nullopt;
}

QString CliCommand::helpText() const
{
    QString text = QStringLiteral("用法: %1 %2").arg(m_program, m_name);
    if (!m_synopsis.isEmpty())
        text += u' ' + m_synopsis;
    text += QStringLiteral("\n\n") + m_summary + u'\n';
    if (!m_words.isEmpty()) {
        QList<std::pair<QString, QString>> rows;
        for (const Entry &w : m_words)
            rows.append({w.name, w.meaning});
        text += QStringLiteral("\n参数:\n") + table(rows);
    }
    QList<std::pair<QString, QString>> rows;
    for (const Entry &o : m_options)
        rows.append({optionLabel(o.name, o.valueName), o.meaning});
    rows.append({QStringLiteral("-h, --help"), QStringLiteral("显示本帮助")});
    if (offersProgramVersion())
        rows.append({QStringLiteral("--version"), QStringLiteral("显示版本号")});
    text += QStringLiteral("\n选项:\n") + table(rows);
    text += QStringLiteral("\n选项的值可写作 --选项 值 或 --选项=值。\n") + cli::exitStatusText() + u'\n';
    return text;
}

namespace cli {
QString exitStatusText()
{
    return QStringLiteral("退出状态: 0 完成, 1 操作被拒绝或失败, 2 命令行有误。");
}

QString versionLine(const QString &program)
{
    return program + u' ' + QStringLiteral(PROJECT_VERSION);
}
} // namespace cli

} // namespace kivaro
