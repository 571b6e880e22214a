// cadenzor-cli estimate FOLDER (--method NAME | --list NAME) [--journal FILE]
//   [--from-row N] [--columns FILE]
//
// How long a method (one run, SL ENTRY and SL EXIT included) or a sample
// list takes, from the atom durations of the run journal. Prints
//
//   estimate H:MM:SS
//   unknown atoms N
//   unknown: NAME ...       (only when N > 0)
//
// Exit 0; 1 when the method or list cannot be read or a method does not
// expand (the estimate then covers the rest); 2 on a usage error or when the
// configuration cannot be read.
#include "cli/cli_prompts.h"
#include "ground/debug_lines.h"
#include "config/program_context.h"
#include "cli/commands.h"
#include "cli/list_columns.h"
#include "cli/run_args.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/text_utils.h"
#include "journal/estimate.h"
#include "journal/journal_file.h"
#include "language/method.h"
#include "language/sample_variables.h"
#include "samplelist/sample_list_document.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cli {
namespace {

constexpr const char* estimate_usage =
    "usage: cadenzor-cli estimate FOLDER (--method NAME | --list NAME) [--journal FILE] [--from-row N] "
    "[--columns FILE]\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli estimate: " << why << "\n" << estimate_usage;
    return 2;
}

}  // namespace

int run_estimate(const Args& args)
{
    std::vector<std::string> positional;
    std::string method, list, journal, columns_file;
    int from_row = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        bool ok = true;
        if ((a == "--method" || a == "--list") && has_value) {
            (a == "--method" ? method : list) = strip_extension(utf8_to_cp1252(args[++i], &ok));
        } else if (a == "--journal" && has_value) {
            journal = args[++i];
        } else if (a == "--columns" && has_value) {
            columns_file = utf8_to_cp1252(args[++i], &ok);
        } else if (a == "--from-row" && has_value) {
            const std::optional<int> row = milliseconds(args[++i]);
            if (!row || *row < 1) return usage_error("--from-row takes a row number from 1");
            from_row = *row;
        } else if (a.rfind("--", 0) == 0) {
            return usage_error("unknown option or missing value: " + a);
        } else {
            positional.push_back(utf8_to_cp1252(a, &ok));
        }
        if (!ok) return usage_error(a + ": a character Windows-1252 cannot hold");
    }
    if (positional.size() != 1) return usage_error("a method folder is needed");
    if (method.empty() == list.empty()) return usage_error("either --method or --list is needed");

    set_method_folder(positional[0]);
    std::vector<std::string> lines;
    if (!read_text_lines(cp1252_to_utf8(saved_configuration_path()), lines) || !parse_configuration(config(), lines, prompts(), debug_line)) {
        std::cerr << "error: cannot read the configuration " << cp1252_to_utf8(saved_configuration_path()) << "\n";
        return 2;
    }
    DurationModel model;
    model.learn(read_journal(journal.empty() ? default_journal_path() : journal));
    Estimator estimator(program_context(), model);

    Estimate estimate;
    if (!method.empty()) {
        if (!method_file_exists(program_method_folder(), method)) {
            std::cerr << "error: no method " << cp1252_to_utf8(method) << " in " << cp1252_to_utf8(positional[0])
                      << "\n";
            return 1;
        }
        estimate = estimator.method(method, sample_variables(), true, true);
    } else {
        CliPrompts prompts;
        PromptsScope scope(prompts);
        if (!sample_list_exists(program_method_folder(), list)) {
            std::cerr << "error: no sample list " << cp1252_to_utf8(list) << " in "
                      << cp1252_to_utf8(positional[0]) << "\n";
            return 1;
        }
        SampleListDocument document(program_context());
        build_cli_columns(document.columns());
        if (!columns_file.empty() && !add_columns_from_file(document.columns(), columns_file)) return 1;
        document.start_empty(list);
        if (!document.load(list)) return 1;
        estimate = estimator.list(document.table(), from_row);
    }
    std::cout << "estimate " << estimate_text(estimate.ms) << "\n";
    std::cout << "unknown atoms " << estimate.unknown_atoms.size() << "\n";
    if (!estimate.unknown_atoms.empty()) {
        std::cout << "unknown:";
        for (const std::string& atom : estimate.unknown_atoms) std::cout << " " << cp1252_to_utf8(atom);
        std::cout << "\n";
    }
    if (estimate.failed) {
        std::cerr << "error: a method could not be read or expanded; it counts nothing\n";
        return 1;
    }
    return 0;
}

}  // namespace kelvo::cli
