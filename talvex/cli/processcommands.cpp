#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"

namespace cli {

void addProcessCommands(std::vector<Command> &)
{
}

} // namespace cli
