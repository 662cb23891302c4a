// talvex-cli: batch front-end of the shear-wave analysis program.

#include "talvex/cli/cliargs.h"
#include "talvex/cli/commands.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstring>

namespace {

void printUsage(const std::vector<cli::Command> &commands, FILE *out)
{
    std::fprintf(out, "usage: talvex-cli COMMAND ARGS...\n\ncommands:\n");
    for (const auto &c : commands)
        std::fprintf(out, "  %s\n", c.usage.c_str());
    std::fprintf(out, "\n  --help     this text\n  --version  the program's version\n");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("talvex-cli"));
    std::vector<cli::Command> commands;
    cli::addSurveyCommands(commands);
    cli::addProcessCommands(commands);
    cli::addAnalysisCommands(commands);

    if (argc < 2) {
        printUsage(commands, stderr);
        return 2;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(commands, stdout);
        return 0;
    }
    if (name == "--version") {
        std::printf("talvex-cli %s\n", TALVEX_VERSION);
        return 0;
    }
    for (const auto &command : commands) {
        if (command.name != name)
            continue;
        try {
            for (int i = 2; i < argc; ++i) {
                if (std::strcmp(argv[i], "--help") == 0) {
                    std::printf("usage: talvex-cli %s\n", command.usage.c_str());
                    return 0;
                }
            }
            const cli::Args args(argc, argv, 1, command.flags);
            return command.run(args);
        } catch (const cli::Failure &e) {
            std::fprintf(stderr, "talvex-cli %s: %s\n", name.c_str(), e.what());
            return e.exitCode;
        }
    }
    std::fprintf(stderr, "talvex-cli: unknown command '%s' (see --help)\n", name.c_str());
    return 2;
}
