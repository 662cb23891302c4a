#pragma once
// The subcommands of talvex-cli. Each runs over the same survey, file and
// analysis code as the program's window; messages the program would show in
// a box are printed.

#include <QString>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace common {
class Messenger;
}
namespace talvex {
class SurveyData;
}

namespace cli {

class Args;

struct Command {
    std::string name;
    std::string usage;   // the synopsis shown by --help
    std::set<std::string> flags; // options without a value
    std::function<int(const Args &)> run;
};

// Loads the survey document at `path` into the process's survey; throws a
// Failure (after the message was printed) when it cannot be read.
talvex::SurveyData &loadSurveyOrFail(const std::string &path, common::Messenger &messenger);
// Stores the process's survey to `path`; throws a Failure when it cannot.
void storeSurveyOrFail(const std::string &path);
// Encodes a command-line text (UTF-8) as GBK; throws a Failure naming the
// characters GBK cannot hold.
std::string gbkOrFail(const std::string &utf8, const std::string &what);

void addSurveyCommands(std::vector<Command> &commands);
// Trace editing and spectrum (process, spectrum).
void addProcessCommands(std::vector<Command> &commands);
// Picking, point and layer velocities, results (recalc, sort, pick, layers, ...).
void addAnalysisCommands(std::vector<Command> &commands);

} // namespace cli
