// cadenzor-cli: headless checks and runs over the program's core.
#include "ground/debug_lines.h"
#include "cli/cli_prompts.h"
#include "cli/commands.h"

#include "cadenzor_version.h"

#include <cstring>
#include <iostream>

using namespace kelvo::cli;

namespace {

void print_help(std::ostream& out)
{
    out << "usage: cadenzor-cli COMMAND [ARGUMENTS]\n\ncommands:\n";
    out << "  --help\n      this text\n  --version\n      the program's version\n";
    for (const Command& c : commands()) out << "  " << c.name << ' ' << c.usage << '\n';
    out << "\nTexts are read and printed in UTF-8; files are Windows-1252.\n"
           "Message boxes are printed to standard error as 'error: TEXT' and\n"
           "'information: TEXT' lines, debug lines as 'debug: TEXT'.\n";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        print_help(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::cout << "cadenzor-cli " << CADENZOR_VERSION << '\n';
        return 0;
    }
    Args args(argv + 2, argv + argc);
    for (const Command& c : commands()) {
        if (std::strcmp(argv[1], c.name) == 0) {
            CliPrompts prompts;
            kelvo::PromptsScope scope(prompts);
            print_debug_lines_to_stderr();
            return c.run(args);
        }
    }
    std::cerr << "cadenzor-cli: unknown command " << argv[1] << "\n";
    print_help(std::cerr);
    return 2;
}
