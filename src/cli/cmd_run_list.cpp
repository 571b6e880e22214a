// cadenzor-cli run-list FOLDER LIST --device PATH [--on-error abort|retry|ignore]
//   [--stop-after-ms N] [--stop-answer yes|no] [--poll MS] [--columns FILE]
//   [--ds hpcs --service NAME [--instrument gc-ms]] [--from-row N] [--journal FILE]
//
// Connects as the program starts (saving latest_kelvo.kol in FOLDER), loads
// the sample list as the Sample List page does (the columns of FILE first,
// when given), presses "&Start" and lets the list run to its end. Output as
// run-method, then "row N: done|stopped|none" for every row. --stop-after-ms
// presses "&Stop" after N ms; the question is answered by --stop-answer
// (default yes). The syringe-mismatch dialog answers "C&ancel Method".
// --ds hpcs runs in ChemStation mode beside the data system NAME on the
// session bus: its columns are requested and read after those of --columns,
// each "WAIT_FOR_DS" hands it the row and waits for "READY". --from-row
// resumes the list at row N as "Start from row N" does. The run is recorded
// in the run journal (FILE, else cadenzor-journal.jsonl beside the log).
#include "app/program_configuration.h"
#include "app/qt/headless_run.h"
#include "cli/commands.h"
#include "cli/list_columns.h"
#include "cli/run_args.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/text_utils.h"
#include "samplelist/sample_list_document.h"

#include <iostream>
#include <optional>

namespace kelvo::cli {
namespace {

constexpr const char* run_list_usage =
    "usage: cadenzor-cli run-list FOLDER LIST --device PATH [--on-error abort|retry|ignore]\n"
    "         [--stop-after-ms N] [--stop-answer yes|no] [--poll MS] [--columns FILE]\n"
    "         [--ds hpcs --service NAME [--instrument gc-ms]] [--from-row N] [--journal FILE]\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli run-list: " << why << "\n" << run_list_usage;
    return 2;
}

}  // namespace

int run_run_list(const Args& args)
{
    HeadlessListOptions options;
    std::string columns_file;
    std::string data_system, service, instrument;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        bool ok = true;
        if (a == "--device" && has_value) {
            options.device = args[++i];
        } else if (a == "--columns" && has_value) {
            columns_file = utf8_to_cp1252(args[++i], &ok);
        } else if (a == "--ds" && has_value) {
            data_system = args[++i];
            if (!same_text(data_system, "hpcs")) return usage_error("--ds takes hpcs");
        } else if (a == "--service" && has_value) {
            service = utf8_to_cp1252(args[++i], &ok);
        } else if (a == "--instrument" && has_value) {
            instrument = args[++i];
            if (!same_text(instrument, "gc-ms")) return usage_error("--instrument takes gc-ms");
        } else if (a == "--journal" && has_value) {
            options.journal = args[++i];
        } else if (a == "--from-row" && has_value) {
            const std::optional<int> row = milliseconds(args[++i]);
            if (!row || *row < 1) return usage_error("--from-row takes a row number from 1");
            options.from_row = *row;
        } else if (a == "--on-error" && has_value) {
            const std::optional<AbortRetryIgnore> answer = error_answer(args[++i]);
            if (!answer) return usage_error("--on-error takes abort, retry or ignore");
            options.on_error = *answer;
        } else if (a == "--stop-answer" && has_value) {
            const std::string v = args[++i];
            if (v != "yes" && v != "no") return usage_error("--stop-answer takes yes or no");
            options.stop_answer = v == "yes";
        } else if ((a == "--stop-after-ms" || a == "--poll") && has_value) {
            const std::optional<int> ms = milliseconds(args[++i]);
            if (!ms) return usage_error(a + " takes milliseconds");
            (a == "--poll" ? options.poll_ms : options.stop_after_ms) = *ms;
        } else if (a.rfind("--", 0) == 0) {
            return usage_error("unknown option or missing value: " + a);
        } else {
            positional.push_back(utf8_to_cp1252(a, &ok));
        }
        if (!ok) return usage_error(a + ": a character Windows-1252 cannot hold");
    }
    if (positional.size() != 2) return usage_error("a folder and a sample list are needed");
    if (options.device.empty()) return usage_error("--device is needed");
    if (data_system.empty() && (!service.empty() || !instrument.empty()))
        return usage_error("--service and --instrument go with --ds hpcs");
    if (!data_system.empty() && service.empty()) return usage_error("--ds hpcs needs --service");
    options.data_system = data_system_mode(data_system, service, instrument);
    options.folder = positional[0];
    options.list = strip_extension(positional[1]);

    const std::string previous_folder = method_folder();
    set_method_folder(options.folder);
    const bool exists = sample_list_exists(program_method_folder(), options.list);
    set_method_folder(previous_folder);
    if (!exists) {
        std::cerr << "error: no sample list " << cp1252_to_utf8(options.list) << " in "
                  << cp1252_to_utf8(options.folder) << std::endl;
        return 2;
    }

    const auto prepare = [&](SampleListDocument& document, const std::string& data_system_columns) {
        build_cli_columns(document.columns());
        if (!columns_file.empty() && !add_columns_from_file(document.columns(), columns_file)) return false;
        // The data system's columns: a file it cannot describe leaves the fixed ones.
        if (!data_system_columns.empty()) add_columns_from_file(document.columns(), data_system_columns);
        document.start_empty(options.list);
        return document.load(options.list);
    };
    ProgramConfiguration configuration;
    return run_headless_list(options, configuration, prepare, std::cout);
}

}  // namespace kelvo::cli
