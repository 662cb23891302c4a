#pragma once
// The subcommands of talvex-cli. Each runs over the same survey, file and
// analysis code as the program's window, on a survey of its own; messages
// the program would show in a box are printed.

#include "common/cli/command.h"

#include <QString>
#include <vector>

namespace common {
class Messenger;
}
namespace talvex {
class SurveyData;
struct HoleParameters;
struct PrintSettings;
class TalvexSettings;
class CEditChanShuDialogModel;
}

namespace cli {

// Takes the lock file "<path>.lock" beside the survey and keeps it until the
// process ends, so that commands changing one survey in parallel run one
// after the other and none loses another's change. Waits up to
// kSurveyLockWaitMs for another holder; a Failure after that. Taken once per
// path; where no lock file can be made (no such folder, no permission) the
// command goes on without one.
inline constexpr int kSurveyLockWaitMs = 120000;
void lockSurveyOrFail(const QString &path);
// Loads the survey document at `path` into `survey` under its lock (see
// lockSurveyOrFail); throws a Failure (after the program's message was
// printed) when it cannot be read.
void loadSurveyOrFail(talvex::SurveyData &survey, const QString &path, common::Messenger &messenger);
// Stores `survey` to `path` (the old file stays when that fails); throws a
// Failure when it cannot.
void storeSurveyOrFail(talvex::SurveyData &survey, const QString &path);

// Point `point` (1-based) of a survey of `count` points, or a Failure in the
// one wording every command uses.
void requirePoint(int point, std::size_t count);

// Prints a line of UTF-8 text to standard output.
void printLine(const QString &line);

// Text laid out in columns: the heading row first, every cell padded to its
// column's width as a terminal shows it (a Chinese character takes two
// places). Numbers are right-aligned, the last column's text left-aligned.
QString formatTable(const std::vector<QStringList> &rows, int leftAlignedColumns = 0);

// The survey's velocity layers as a table, or "没有速度分层".
void printLayers(const talvex::SurveyData &survey);

// A number as shown in plain output (up to seven significant digits).
QString number(float value);
QString fixed(float value, int decimals);

// The hole-parameter options of new and hole (with their defaults for new).
std::vector<OptionSpec> holeOptions(bool forNew);
// Puts the hole options given into `values` through the hole dialog's model
// (its texts, rules and messages; `forNew` for a new survey); a Failure with
// the model's message when one is refused.
void applyHoleOptions(const Args &args, talvex::HoleParameters &values, talvex::CEditChanShuDialogModel &model,
                      bool forNew = false);
// Stores the personnel label in the settings store, where the window, report
// and figures read it; a Failure when the store cannot keep it.
void storePersonnelLabel(talvex::TalvexSettings &store, int label);

// The page-setup options of the report commands (--no-waveforms, --rows, ...)
// and the stored page setup with those given applied for this run only (a
// value outside the page setup dialog's range is a usage error).
std::vector<OptionSpec> pageOptions();
talvex::PrintSettings pageSetup(const Args &args, const talvex::TalvexSettings &store);

void addSurveyCommands(std::vector<Command> &commands);
// Hole and point parameters, survey log (hole, point, log).
void addParameterCommands(std::vector<Command> &commands);
// Trace editing and spectrum (process, spectrum).
void addProcessCommands(std::vector<Command> &commands);
// Picking, point and layer velocities, results (points, recalc, sort, pick, layers, ...).
void addAnalysisCommands(std::vector<Command> &commands);
// The view drawn into an image (render).
void addRenderCommands(std::vector<Command> &commands);
// The report as figures, PDF and page plan (figures, report, pages).
void addReportCommands(std::vector<Command> &commands);
// Layer suggestions and site classes (suggest-layers, site-class).
void addSiteCommands(std::vector<Command> &commands);
// Automatic S-wave arrival suggestions (autopick).
void addAutoPickCommands(std::vector<Command> &commands);
// Interval times from the picks against those from the waveforms (intervals).
void addIntervalCommands(std::vector<Command> &commands);
// A folder of holes processed in one run (batch).
void addBatchCommands(std::vector<Command> &commands);

} // namespace cli
