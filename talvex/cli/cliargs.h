#pragma once
// Command-line arguments of the batch tools: positional words and
// "--name value" / "--flag" options. Every value is checked where it is
// used, so a mistyped number is an error rather than a zero.

#include <QString>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// Thrown for a usage error or a refused operation; main prints it and exits non-zero.
struct Failure : std::runtime_error {
    explicit Failure(const std::string &what, int code = 1) : std::runtime_error(what), exitCode(code) {}
    int exitCode;
};

class Args {
public:
    // `flags` are the options that take no value.
    Args(int argc, char **argv, int first, const std::set<std::string> &flags);

    const std::vector<std::string> &positional() const { return m_positional; }
    std::string positional(std::size_t i, const char *what) const;

    bool flag(const std::string &name) const;
    std::optional<std::string> text(const std::string &name) const;
    std::optional<float> number(const std::string &name) const;
    std::optional<int> integer(const std::string &name) const;
    int requiredInteger(const std::string &name) const;

    // Fails when an option was given that the command does not know.
    void allowOnly(const std::set<std::string> &names) const;

private:
    std::vector<std::string> m_positional;
    std::map<std::string, std::string> m_options;
    std::set<std::string> m_flags;
};

float parseNumber(const std::string &text, const std::string &what);
int parseInteger(const std::string &text, const std::string &what);
QString qtext(const std::string &utf8);

} // namespace cli
