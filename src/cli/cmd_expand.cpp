// cadenzor-cli expand FOLDER METHOD [--syringe NAME]: reads
// FOLDER/latest_kelvo.kol and the method file, expands the method as a run
// does (framed by the special macros of FOLDER) and prints
//
//   body start N
//   body end N
//   one line per `expanded_method` line
//
// The syringe is the method's own unless --syringe names another. Exit 0 on
// success, 1 when the expansion fails (its messages on standard error), 2 on
// a usage error or a file that cannot be read.
#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "config/program_context.h"
#include "ground/documents.h"
#include "ground/text_utils.h"
#include "cli/cli_prompts.h"
#include "cli/commands.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "engine/expand.h"
#include "engine/run_lists.h"
#include "language/bound_check.h"
#include "language/method.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cli {
namespace {

constexpr const char* expand_usage = "usage: cadenzor-cli expand FOLDER METHOD [--syringe NAME]\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli expand: " << why << "\n" << expand_usage;
    return 2;
}

int file_error(const std::string& why)
{
    std::cerr << "cadenzor-cli expand: " << why << "\n";
    return 2;
}

// Command-line texts are UTF-8; everything inside is Windows-1252.
std::optional<std::string> cp1252_argument(const std::string& utf8)
{
    bool ok = true;
    std::string text = utf8_to_cp1252(utf8, &ok);
    if (!ok) return std::nullopt;
    return text;
}

}  // namespace

int run_expand(const Args& args)
{
    std::vector<std::string> positional;
    std::optional<std::string> syringe_option;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--syringe") {
            if (i + 1 >= args.size()) return usage_error("--syringe needs a name");
            syringe_option = cp1252_argument(args[++i]);
            if (!syringe_option) return usage_error("the syringe name has a character Windows-1252 cannot hold");
        } else if (args[i].rfind("--", 0) == 0) {
            return usage_error("unknown option " + args[i]);
        } else {
            const std::optional<std::string> text = cp1252_argument(args[i]);
            if (!text) return usage_error(args[i] + " has a character Windows-1252 cannot hold");
            positional.push_back(*text);
        }
    }
    if (positional.size() != 2) return usage_error("a folder and a method are needed");

    set_method_folder(positional[0]);
    const std::string configuration = saved_configuration_path();
    std::vector<std::string> config_lines;
    if (!read_text_lines(cp1252_to_utf8(configuration), config_lines))
        return file_error("cannot read " + cp1252_to_utf8(configuration));
    if (!parse_configuration(config(), config_lines, prompts(), debug_line)) return 2;

    // "NAME.KME" names the same method as "NAME". A method is a file of the
    // folder itself: a name with a separator, or with nothing before its
    // first ".", names none. The message names what was asked for.
    const std::string method = strip_extension(positional[1]);
    if (method.empty() || method.find_first_of("/\\") != std::string::npos || !method_file_exists(program_method_folder(), method))
        return file_error("no method " + cp1252_to_utf8(positional[1]) + " in " + cp1252_to_utf8(positional[0]));
    std::string syringe;
    std::vector<std::string> method_lines;
    if (!read_method_for_run(program_method_folder(), method, syringe, method_lines))
        return file_error("cannot read " + cp1252_to_utf8(method_path(program_method_folder(), method)));

    if (syringe_option) {
        const std::vector<std::string> syringes = objects_of_class(config(), "SYRINGE");
        syringe.clear();
        for (const std::string& s : syringes)
            if (same_text(s, *syringe_option)) syringe = s;
        if (syringe.empty()) return usage_error("no syringe " + cp1252_to_utf8(*syringe_option) + " in the configuration");
    }

    RunLists lists;
    if (!expand(program_context(), syringe, method_lines, lists)) return 1;
    print_line("body start " + std::to_string(lists.body_start));
    print_line("body end " + std::to_string(lists.body_end));
    for (const std::string& line : lists.expanded_method) print_line(line);
    std::cout.flush();
    return 0;
}

}  // namespace kelvo::cli
