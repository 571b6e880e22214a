// cadenzor-cli tray-report FILE OUTFILE: parses a configuration file and
// writes its tray report.
#include "cli/commands.h"
#include "ground/debug_lines.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "trays/tray_report.h"

#include <iostream>
#include <string>

namespace kelvo::cli {

int run_tray_report(const Args& args)
{
    if (args.size() != 2) {
        std::cerr << "usage: cadenzor-cli tray-report FILE OUTFILE\n";
        return 2;
    }
    std::vector<std::string> lines;
    if (!read_text_lines(args[0], lines)) {
        std::cerr << "cannot read " << args[0] << "\n";
        return 2;
    }
    ConfigDb& db = config();
    if (!parse_configuration(db, lines, prompts(), debug_line)) return 1;
    if (!write_tray_report(db, args[1], debug_line)) {
        std::cerr << "cannot write " << args[1] << "\n";
        return 2;
    }
    return 0;
}

}  // namespace kelvo::cli
