// cadenzor-cli tray-map FILE TRAY: the vial numbers of a tray's grid, line
// by line as the vial selection dialog shows them.
// cadenzor-cli trays FILE HOLDER: the trays of a holder in the order of the
// side view, with their level.
#include "cli/cli_prompts.h"
#include "ground/debug_lines.h"
#include "language/bound_check.h"
#include "cli/commands.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "language/bound_check.h"
#include "ground/text_utils.h"
#include "language/bound_check.h"
#include "trays/tray_geometry.h"

#include <iostream>
#include <string>

namespace kelvo::cli {
namespace {

// Reads and parses the configuration: 0 when parsed, else the exit code.
int load_config(const std::string& file)
{
    std::vector<std::string> lines;
    if (!read_text_lines(file, lines)) {
        std::cerr << "cannot read " << file << "\n";
        return 2;
    }
    return parse_configuration(config(), lines, prompts(), debug_line) ? 0 : 1;
}

}  // namespace

int run_tray_map(const Args& args)
{
    if (args.size() != 2) {
        std::cerr << "usage: cadenzor-cli tray-map FILE TRAY\n";
        return 2;
    }
    if (const int code = load_config(args[0])) return code;
    const ConfigDb& db = config();
    if (!db.is_tray(args[1])) {
        std::cerr << args[1] << " is not a tray\n";
        return 1;
    }
    const std::string type = db.tray_type(args[1]);
    const TrayGrid grid = tray_grid(db, type);
    if (grid.too_large) {
        std::cerr << "tray type " << type << " has more than " << tray_side_capacity << " positions on a side\n";
        return 1;
    }
    const std::size_t width = std::to_string(grid.cell_count()).size();
    for (int j = 0; j < grid.r; ++j) {
        std::string line;
        for (int i = 0; i < grid.q; ++i) {
            const std::string n = std::to_string(grid.vial_number(i, j));
            if (i > 0) line += ' ';
            line += std::string(width - n.size(), ' ') + n;
        }
        print_line(line);
    }
    return 0;
}

int run_trays(const Args& args)
{
    if (args.size() != 2) {
        std::cerr << "usage: cadenzor-cli trays FILE HOLDER\n";
        return 2;
    }
    if (const int code = load_config(args[0])) return code;
    const ConfigDb& db = config();
    if (!db.is_tray_holder(args[1])) {
        std::cerr << args[1] << " is not a tray holder\n";
        return 1;
    }
    const HolderTable table = build_holder_table(db, args[1], debug_line);
    int level = 0;
    for (std::size_t k = 0; k < table.trays.size(); ++k) {
        const HolderTray& t = table.trays[k];
        if (k > 0 && t.z != table.trays[k - 1].z) ++level;
        print_line(std::to_string(level) + " " + t.name + " " + decimal_text(t.x) + " " + decimal_text(t.y) + " " +
                   decimal_text(t.z) + " " + decimal_text(t.width) + " " + decimal_text(t.depth));
    }
    if (table.left_out > 0)
        std::cerr << table.left_out << " more trays left out (a holder takes " << holder_tray_capacity << ")\n";
    return 0;
}

}  // namespace kelvo::cli
