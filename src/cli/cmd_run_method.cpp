// cadenzor-cli run-method FOLDER METHOD --device PATH [--set NAME=VALUE]...
//   [--on-error abort|retry|ignore] [--stop-after-ms N] [--poll MS] [--syringe NAME]
//   [--journal FILE]
//
// Connects as the program starts (saving latest_kelvo.kol in FOLDER), then
// runs the method as "Ru&n" on the main window does. Standard output: every
// status bar text as "status: TEXT" and every log line as "log: TEXT";
// standard error: message boxes ("error: ", "information: "), the error
// dialog ("error dialog: ", answered by --on-error). The out-of-range dialog
// prints "out of range: TEXT" and takes the proposed value.
#include "app/program_configuration.h"
#include "cli/commands.h"
#include "cli/run_args.h"
#include "app/qt/headless_run.h"
#include "ground/cp1252.h"
#include "ground/text_utils.h"

#include <iostream>
#include <optional>

namespace kelvo::cli {
namespace {

constexpr const char* run_method_usage =
    "usage: cadenzor-cli run-method FOLDER METHOD --device PATH [--set NAME=VALUE]...\n"
    "         [--on-error abort|retry|ignore] [--stop-after-ms N] [--poll MS] [--syringe NAME]\n"
    "         [--journal FILE]\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli run-method: " << why << "\n" << run_method_usage;
    return 2;
}

}  // namespace

int run_run_method(const Args& args)
{
    HeadlessRunOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        bool ok = true;
        if (a == "--device" && has_value) {
            options.device = args[++i];
        } else if (a == "--syringe" && has_value) {
            options.syringe = utf8_to_cp1252(args[++i], &ok);
        } else if (a == "--set" && has_value) {
            const std::string pair = utf8_to_cp1252(args[++i], &ok);
            const std::size_t eq = pair.find('=');
            if (eq == std::string::npos) return usage_error("--set takes NAME=VALUE");
            options.set.emplace_back(pair.substr(0, eq), pair.substr(eq + 1));
        } else if (a == "--on-error" && has_value) {
            const std::optional<AbortRetryIgnore> answer = error_answer(args[++i]);
            if (!answer) return usage_error("--on-error takes abort, retry or ignore");
            options.on_error = *answer;
        } else if (a == "--journal" && has_value) {
            options.journal = args[++i];
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
    if (positional.size() != 2) return usage_error("a folder and a method are needed");
    if (options.device.empty()) return usage_error("--device is needed");
    options.folder = positional[0];
    options.method = strip_extension(positional[1]);
    ProgramConfiguration configuration;
    return run_headless_method(options, configuration, std::cout);
}

}  // namespace kelvo::cli
