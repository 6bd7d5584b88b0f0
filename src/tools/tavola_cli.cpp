// tavola-cli COMMAND [ARGS]: reads a courseware folder the way the program does and prints what it finds.
#include "tools/cli_commands.h"

#include <cstring>
#include <iostream>
#include <iterator>

namespace {

using tavola::cli::Command;

// One line per subcommand.
const Command kCommands[] = {
    {"index", "index [DIR]", tavola::cli::runIndex},
    {"show", "show [DIR] LESSON SECTION UNIT [SIMILAR] | show --copy FILE", tavola::cli::runShow},
    {"check", "check [DIR]", tavola::cli::runCheck},
    {"vary", "vary [DIR] L S U [R] [--seed K]", tavola::cli::runVary},
    {"records", "records [DIR] LEARNER [--lesson N] [--csv]", tavola::cli::runRecords},
    {"class", "class [DIR] [--lesson N] [--names FILE] [--csv]", tavola::cli::runClass},
    {"render", "render [DIR] L S U [R] | --copy FILE; --out F.png [--answers on|off]", tavola::cli::runRender},
    {"print", "print [DIR] L S U [R] | --copy FILE; --out F.pdf [--copies N] [--numbered] [--start K] ...",
     tavola::cli::runPrint},
    {"serve", "serve [DIR] [--port N] [--lesson N] [--bind ADDR]", tavola::cli::runServe},
    {"followup", "followup [DIR] --lesson N [LEARNER...] [--names FILE] [--units S-U,...] [--out F.pdf] [--key]",
     tavola::cli::runFollowup},
};

int usage()
{
    std::cerr << "usage: tavola-cli COMMAND [ARGS]\n";
    for (const Command& c : kCommands)
        std::cerr << "  tavola-cli " << c.usage << '\n';
    std::cerr << "DIR is the courseware folder (default: the current directory).\n";
    return tavola::cli::kUsage;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return usage();
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0) {
            try {
                return c.run(tavola::cli::Args(argv + 2, argv + argc));
            } catch (const std::exception& e) {
                std::cerr << "tavola-cli " << c.name << ": " << e.what() << '\n';
                return tavola::cli::kFailed;
            }
        }
    }
    return usage();
}
