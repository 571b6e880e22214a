// cadenzor-cli check-config FILE: parses a configuration file and prints
// the counts of its database.
#include "cli/cli_prompts.h"
#include "ground/debug_lines.h"
#include "cli/commands.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "language/bound_check.h"

#include <iostream>
#include <string>

namespace kelvo::cli {

int run_check_config(const Args& args)
{
    if (args.size() != 1) {
        std::cerr << "usage: cadenzor-cli check-config FILE\n";
        return 2;
    }
    std::vector<std::string> lines;
    if (!read_text_lines(args[0], lines)) {
        std::cerr << "cannot read " << args[0] << "\n";
        return 2;
    }
    ConfigDb& db = config();
    if (!parse_configuration(db, lines, prompts(), debug_line)) return 1;
    print_line("lists " + std::to_string(db.list_count()));
    print_line("classes " + std::to_string(db.class_count()));
    print_line("objects " + std::to_string(db.object_count()));
    print_line("atoms " + std::to_string(db.atom_count()));
    return 0;
}

}  // namespace kelvo::cli
