#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"

namespace cli {

void addAnalysisCommands(std::vector<Command> &)
{
}

} // namespace cli
