// cadenzor-cli print FOLDER (--method NAME | --macro NAME | --list NAME |
// --log FILE [--lines FIRST-LAST]) --pdf OUT: prints the document exactly as
// the program does, on A4 at the printer's full resolution, into the PDF
// file OUT. Methods, macros and sample lists come from FOLDER and are read
// against FOLDER/latest_kelvo.kol; the log is the file FILE, whole or lines
// FIRST to LAST (counted from 1).
// Exit 0 on success, 1 when there is no such document, 2 on a usage error,
// a configuration that cannot be read or a PDF that cannot be written.
#include "cli/cli_prompts.h"
#include "ground/debug_lines.h"
#include "language/bound_check.h"
#include "cli/commands.h"
#include "config/config_db.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/text_utils.h"
#include "language/bound_check.h"
#include "language/macro.h"
#include "language/bound_check.h"
#include "language/method.h"
#include "print/qt/pdf_print.h"
#include "samplelist/sample_list_document.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cli {
namespace {

constexpr const char* print_usage =
    "usage: cadenzor-cli print FOLDER (--method NAME | --macro NAME | --list NAME | --log FILE [--lines FIRST-LAST]) "
    "--pdf OUT\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli print: " << why << "\n" << print_usage;
    return 2;
}

int failure(int code, const std::string& why)
{
    std::cerr << "cadenzor-cli print: " << why << "\n";
    return code;
}

std::optional<std::string> cp1252_argument(const std::string& utf8)
{
    bool ok = true;
    std::string text = utf8_to_cp1252(utf8, &ok);
    if (!ok) return std::nullopt;
    return text;
}

// "FIRST-LAST", both from 1, FIRST <= LAST.
bool parse_line_range(const std::string& text, int& first, int& last)
{
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos) return false;
    const std::string a = text.substr(0, dash), b = text.substr(dash + 1);
    if (!is_positive_integer(a) || !is_positive_integer(b) || a.size() > 9 || b.size() > 9) return false;
    first = integer_or_zero(a);
    last = integer_or_zero(b);
    return first <= last;
}

bool read_configuration()
{
    std::vector<std::string> lines;
    if (!read_text_lines(cp1252_to_utf8(saved_configuration_path()), lines)) return false;
    return parse_configuration(config(), lines, prompts(), debug_line);
}

}  // namespace

int run_print(const Args& args)
{
    std::vector<std::string> positional;
    std::string kind, name, pdf, lines_option;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--method" || a == "--macro" || a == "--list" || a == "--log" || a == "--lines" || a == "--pdf") {
            if (i + 1 >= args.size()) return usage_error(a + " needs a value");
            const std::string& value = args[++i];
            if (a == "--pdf") {
                pdf = value;
            } else if (a == "--lines") {
                lines_option = value;
            } else {
                if (!kind.empty()) return usage_error("one document at a time");
                kind = a.substr(2);
                name = value;
            }
        } else if (a.rfind("--", 0) == 0) {
            return usage_error("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 1) return usage_error("a method folder is needed");
    if (kind.empty()) return usage_error("--method, --macro, --list or --log is needed");
    if (pdf.empty()) return usage_error("--pdf is needed");
    int first = 1, last = 0;
    if (!lines_option.empty()) {
        if (kind != "log") return usage_error("--lines is for --log");
        if (!parse_line_range(lines_option, first, last)) return usage_error("--lines wants FIRST-LAST, from 1");
    }
    const std::optional<std::string> folder = cp1252_argument(positional[0]);
    const std::optional<std::string> document = cp1252_argument(name);
    if (!folder || !document) return usage_error("a name has a character Windows-1252 cannot hold");
    set_method_folder(*folder);

    bool printed = false;
    if (kind == "log") {
        std::vector<std::string> log;
        if (!read_text_lines(name, log)) return failure(1, "cannot read the log " + name);
        if (lines_option.empty()) last = static_cast<int>(log.size());
        printed = print_log_pdf(log, first - 1, last - 1, pdf);
    } else {
        if (!read_configuration())
            return failure(2, "cannot read the configuration " + cp1252_to_utf8(saved_configuration_path()));
        const std::string title = strip_extension(*document);
        if (kind == "method") {
            if (!method_file_exists(program_method_folder(), title)) return failure(1, "no method " + name + " in " + positional[0]);
            printed = print_method_pdf(config(), file_title(method_path(program_method_folder(), title)), pdf);
        } else if (kind == "list") {
            if (!sample_list_exists(program_method_folder(), title)) return failure(1, "no sample list " + name + " in " + positional[0]);
            printed = print_sample_list_pdf(config(), file_title(sample_list_path(program_method_folder(), title)), pdf);
        } else {
            if (!macro_file_exists(program_method_folder(), title)) return failure(1, "no macro " + name + " in " + positional[0]);
            printed = print_macro_pdf(config(), file_title(macro_path(program_method_folder(), title)), pdf);
        }
    }
    if (!printed) return failure(2, "cannot write " + pdf);
    return 0;
}

}  // namespace kelvo::cli
