#include "talvex/cli/cliargs.h"

#include <cerrno>
#include <charconv>
#include <cmath>

namespace cli {

Args::Args(int argc, char **argv, int first, const std::set<std::string> &flags)
{
    for (int i = first; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            const std::string name = word.substr(2);
            if (flags.count(name)) {
                m_flags.insert(name);
                continue;
            }
            if (i + 1 >= argc)
                throw Failure("option --" + name + " needs a value", 2);
            m_options[name] = argv[++i];
        } else {
            m_positional.push_back(word);
        }
    }
}

std::string Args::positional(std::size_t i, const char *what) const
{
    if (i >= m_positional.size())
        throw Failure(std::string("missing ") + what, 2);
    return m_positional[i];
}

bool Args::flag(const std::string &name) const
{
    return m_flags.count(name) > 0;
}

std::optional<std::string> Args::text(const std::string &name) const
{
    const auto it = m_options.find(name);
    if (it == m_options.end())
        return std::nullopt;
    return it->second;
}

std::optional<float> Args::number(const std::string &name) const
{
    const auto t = text(name);
    if (!t)
        return std::nullopt;
    return parseNumber(*t, "--" + name);
}

std::optional<int> Args::integer(const std::string &name) const
{
    const auto t = text(name);
    if (!t)
        return std::nullopt;
    return parseInteger(*t, "--" + name);
}

int Args::requiredInteger(const std::string &name) const
{
    const auto v = integer(name);
    if (!v)
        throw Failure("missing option --" + name, 2);
    return *v;
}

void Args::allowOnly(const std::set<std::string> &names) const
{
    for (const auto &[name, value] : m_options) {
        if (!names.count(name))
            throw Failure("unknown option --" + name, 2);
    }
    for (const auto &name : m_flags) {
        if (!names.count(name))
            throw Failure("unknown option --" + name, 2);
    }
}

float parseNumber(const std::string &text, const std::string &what)
{
    float value = 0.0f;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value))
        throw Failure(what + ": not a number: " + text, 2);
    return value;
}

int parseInteger(const std::string &text, const std::string &what)
{
    int value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        throw Failure(what + ": not a whole number: " + text, 2);
    return value;
}

QString qtext(const std::string &utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace cli
