#include "common/cli/command.h"

#include <QCommandLineOption>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace cli {

namespace {

const OptionSpec *findOption(const Command &command, const QString &name)
{
    for (const OptionSpec &o : command.options) {
        if (o.name == name)
            return &o;
    }
    return nullptr;
}

// Put before a negative number so that the parser sees no option in it.
const QChar kNumberMark(0x1F);

QString unmarked(const QString &text)
{
    return text.startsWith(kNumberMark) ? text.mid(1) : text;
}

const QRegularExpression &negativeNumber()
{
    static const QRegularExpression expression(QStringLiteral("^-[0-9.]"));
    return expression;
}

} // namespace

bool Command::hasOption(const QString &optionName) const
{
    return findOption(*this, optionName) != nullptr;
}

Args::Args(const Command &command, const QStringList &tokens, const std::vector<QByteArray> &nativeTokens)
{
    // QCommandLineParser reads "--name=value" and "--name value" and keeps
    // every occurrence; it knows only the options of this command.
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const OptionSpec &o : command.options) {
        if (o.valueName.isEmpty())
            m_parser.addOption(QCommandLineOption(o.name));
        else
            m_parser.addOption(QCommandLineOption(o.name, QString(), o.valueName));
    }
    m_parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}));
    if (command.offersProgramVersion())
        m_parser.addOption(QCommandLineOption(QStringLiteral("version")));

    // A negative number ("zero-after -1", "--depth -5") is a value, not an
    // option: it is marked so the parser does not take it for one, and the
    // mark is taken off again when the value is read.
    QStringList marked = tokens;
    for (QString &t : marked) {
        if (negativeNumber().match(t).hasMatch())
            t.prepend(kNumberMark);
    }
    // The parser wants a program name first.
    if (!m_parser.parse(QStringList{QString()} + marked)) {
        const QStringList unknown = m_parser.unknownOptionNames();
        if (!unknown.isEmpty())
            throw Failure(
                QStringLiteral("未知选项 %1%2")
                    .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), unknown.first()),
                kExitUsage);
        // The only other failure: an option that takes a value came last.
        for (const OptionSpec &o : command.options) {
            if (!o.valueName.isEmpty() && !tokens.isEmpty() && tokens.last() == QStringLiteral("--") + o.name)
                throw Failure(QStringLiteral("选项 --%1 缺少取值 %2").arg(o.name, o.valueName), kExitUsage);
        }
        throw Failure(QStringLiteral("命令行有误：%1").arg(m_parser.errorText()), kExitUsage);
    }
    m_help = m_parser.isSet(QStringLiteral("help"));
    if (m_help)
        return;
    m_version = command.offersProgramVersion() && m_parser.isSet(QStringLiteral("version"));
    if (m_version)
        return;
    for (const QString &name : m_parser.optionNames()) {
        if (m_parser.optionNames().count(name) > 1)
            throw Failure(QStringLiteral("选项 --%1 只能给一次").arg(name), kExitUsage);
    }

    // The words: the positional arguments, with the bytes the system gave
    // for each (found by walking the same tokens).
    const auto native = [&](qsizetype i) {
        return std::size_t(i) < nativeTokens.size() ? nativeTokens[std::size_t(i)] : tokens[i].toLocal8Bit();
    };
    bool onlyWords = false;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString &t = tokens[i];
        if (!onlyWords && t == QStringLiteral("--")) {
            onlyWords = true;
            continue;
        }
        if (!onlyWords && t.startsWith(QLatin1Char('-')) && t.size() > 1 && !negativeNumber().match(t).hasMatch()) {
            const QString name = t.mid(t.startsWith(QStringLiteral("--")) ? 2 : 1).section(QLatin1Char('='), 0, 0);
            const OptionSpec *o = findOption(command, name);
            if (o && !o->valueName.isEmpty()) {
                if (t.contains(QLatin1Char('='))) {
                    const QByteArray token = native(i);
                    m_nativeValues[name] = token.mid(token.indexOf('=') + 1);
                } else if (++i < tokens.size()) {
                    m_nativeValues[name] = native(i);
                }
            }
            continue;
        }
        m_words << t;
        m_nativeWords.push_back(native(i));
    }
    // The parser's own list is the authority on what is a word.
    QStringList positional = m_parser.positionalArguments();
    for (QString &w : positional)
        w = unmarked(w);
    if (positional != m_words) {
        m_words = positional;
        m_nativeWords.clear();
        for (const QString &w : positional)
            m_nativeWords.push_back(w.toLocal8Bit());
    }
    if (wordCount() > command.maxWords)
        throw Failure(QStringLiteral("多余的参数 “%1”").arg(m_words[command.maxWords]), kExitUsage);
    if (wordCount() < command.minWords) {
        if (std::size_t(wordCount()) < command.words.size()) {
            const WordSpec &missing = command.words[std::size_t(wordCount())];
            throw Failure(QStringLiteral("缺少 %1（%2）").arg(missing.name, missing.description), kExitUsage);
        }
        throw Failure(QStringLiteral("缺少参数（用法：%1）").arg(command.synopsis), kExitUsage);
    }
}

QString Args::word(int i, const QString &what) const
{
    if (i < 0 || i >= wordCount())
        throw Failure(QStringLiteral("缺少%1").arg(what), kExitUsage);
    return m_words[i];
}

QByteArray Args::nativeWord(int i, const QString &what) const
{
    word(i, what);
    return m_nativeWords[std::size_t(i)];
}

QByteArray Args::nativeValue(const QString &name) const
{
    const auto it = m_nativeValues.find(name);
    if (it != m_nativeValues.end())
        return it->second;
    return text(name).value_or(QString()).toLocal8Bit();
}

bool Args::flag(const QString &name) const
{
    return m_parser.isSet(name);
}

bool Args::has(const QString &name) const
{
    return m_parser.isSet(name);
}

std::optional<QString> Args::text(const QString &name) const
{
    if (!m_parser.isSet(name))
        return std::nullopt;
    return unmarked(m_parser.value(name));
}

std::optional<float> Args::number(const QString &name) const
{
    const auto t = text(name);
    if (!t)
        return std::nullopt;
    return parseNumber(*t, QStringLiteral("--") + name);
}

std::optional<int> Args::integer(const QString &name) const
{
    const auto t = text(name);
    if (!t)
        return std::nullopt;
    return parseInteger(*t, QStringLiteral("--") + name);
}

float Args::requiredNumber(const QString &name) const
{
    const auto v = number(name);
    if (!v)
        throw Failure(QStringLiteral("缺少选项 --%1").arg(name), kExitUsage);
    return *v;
}

int Args::requiredInteger(const QString &name) const
{
    const auto v = integer(name);
    if (!v)
        throw Failure(QStringLiteral("缺少选项 --%1").arg(name), kExitUsage);
    return *v;
}

std::optional<int> Args::integerIn(const QString &name, int low, int high) const
{
    const auto t = text(name);
    if (!t)
        return std::nullopt;
    return parseIntegerIn(*t, QStringLiteral("--") + name, low, high);
}

std::optional<QString> Args::choice(const QString &name, const QStringList &choices) const
{
    auto t = text(name);
    if (!t)
        return std::nullopt;
    if (!choices.contains(*t))
        throw Failure(QStringLiteral("--%1 只能是 %2，不能是 “%3”").arg(name, choices.join(QLatin1Char('|')), *t),
                      kExitUsage);
    return t;
}

float parseNumber(const QString &text, const QString &what)
{
    const std::string s = text.toStdString();
    float value = 0.0f;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(value))
        throw Failure(QStringLiteral("%1 要求一个数，“%2”不是").arg(what, text), kExitUsage);
    return value;
}

int parseInteger(const QString &text, const QString &what)
{
    const std::string s = text.toStdString();
    int value = 0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size())
        throw Failure(QStringLiteral("%1 要求一个整数，“%2”不是").arg(what, text), kExitUsage);
    return value;
}

int parseIntegerIn(const QString &text, const QString &what, int low, int high)
{
    const int v = parseInteger(text, what);
    if (v < low || v > high)
        throw Failure(QStringLiteral("%1 应在 %2～%3 之间，不能是 %4").arg(what).arg(low).arg(high).arg(text),
                      kExitUsage);
    return v;
}

QString qtext(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace cli
