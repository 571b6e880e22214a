// cadenzor-cli check FOLDER [NAME...]: reads FOLDER/latest_kelvo.kol, then
// loads every document of the folder (or the named ones) exactly as its
// editor does and prints, per document, a status line and the texts the load
// showed:
//
//   macro NAME: ok | refused | unnamed
//   method NAME: ok | refused | unnamed          (after the macros)
//   list NAME: ok | refused                      (after the methods: loaded
//                                                  and validated as Save does)
//   error: TEXT / information: TEXT / question: TEXT   (questions answered No)
//
// Exit 0 when every document is ok, 1 otherwise, 2 on a usage error or a
// configuration that cannot be read.
#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "config/program_context.h"
#include "ground/documents.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "cli/cli_prompts.h"
#include "cli/commands.h"
#include "cli/list_columns.h"
#include "config/config_db.h"
#include "engine/expand.h"
#include "ground/file_io.h"
#include "language/bound_check.h"
#include "ground/folder_files.h"
#include "language/macro.h"
#include "language/macro_document.h"
#include "language/method.h"
#include "language/method_document.h"
#include "samplelist/sample_list_document.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace kelvo::cli {

namespace {

// The texts one document's load shows, kept for its report block.
class CapturingPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override { texts.push_back("error: " + text); }
    void show_information(const std::string& text) override { texts.push_back("information: " + text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        texts.push_back("question: " + text);
        return AbortRetryIgnore::abort;
    }
    bool ask_yes_no(const std::string& text) override
    {
        texts.push_back("question: " + text);
        return false;
    }
    std::vector<std::string> texts;
};

struct DocumentReport {
    std::string kind;    // "macro", "method"
    std::string name;
    std::string status;  // "ok", "refused", "unnamed"
    std::vector<std::string> texts;
};

// One kind of document the command checks. Further kinds are added to
// document_kinds() below.
struct DocumentKind {
    std::string kind;
    std::string extension;
    std::function<std::vector<std::string>()> names_in_folder;
    std::function<DocumentReport(const std::string& name)> check;
};

DocumentReport check_macro(const std::string& name)
{
    DocumentReport report{"macro", name, {}, {}};
    CapturingPrompts capture;
    MacroLoadResult result;
    {
        PromptsScope scope(capture);
        MacroDocument document(program_context());
        result = document.load(name);
    }
    switch (result) {
    case MacroLoadResult::loaded: report.status = "ok"; break;
    case MacroLoadResult::unnamed: report.status = "unnamed"; break;
    case MacroLoadResult::refused:
    case MacroLoadResult::no_name: report.status = "refused"; break;
    }
    report.texts = std::move(capture.texts);
    return report;
}

// A method is loaded as the Method Editor loads it; the update question for
// changed macros is answered No, so no file is rewritten. The load's
// last-used-method setting stays in memory, away from the program's.
DocumentReport check_method(const std::string& name)
{
    DocumentReport report{"method", name, {}, {}};
    CapturingPrompts capture;
    MemorySettingsStore settings;
    MethodLoadResult result;
    {
        PromptsScope scope(capture);
        SettingsScope settings_scope(settings);
        MethodDocument document(program_context(), test_expansion);
        result = document.load(name);
    }
    switch (result) {
    case MethodLoadResult::loaded: report.status = "ok"; break;
    case MethodLoadResult::unnamed: report.status = "unnamed"; break;
    case MethodLoadResult::refused: report.status = "refused"; break;
    }
    report.texts = std::move(capture.texts);
    return report;
}

// A sample list is loaded over the fixed columns and validated as Save
// validates it; nothing is written.
DocumentReport check_list(const std::string& name)
{
    DocumentReport report{"list", name, {}, {}};
    CapturingPrompts capture;
    bool ok = false;
    {
        PromptsScope scope(capture);
        SampleListDocument document(program_context());
        build_cli_columns(document.columns());
        ok = document.load(name) && document.validate();
    }
    report.status = ok ? "ok" : "refused";
    report.texts = std::move(capture.texts);
    return report;
}

std::vector<std::string> list_names_in_folder()
{
    std::vector<std::string> names;
    for (const std::string& title : folder_file_titles(method_folder(), sample_list_extension)) add_unique_name(names, title);
    std::sort(names.begin(), names.end(), less_without_case);
    return names;
}

const std::vector<DocumentKind>& document_kinds()
{
    static const std::vector<DocumentKind> kinds = {
        {"macro", macro_extension, [] { return macro_names_in_folder(program_method_folder()); }, check_macro},
        {"method", method_extension(), [] { return method_names_in_folder(program_method_folder()); }, check_method},
        {"list", sample_list_extension, [] { return list_names_in_folder(); }, check_list},
    };
    return kinds;
}

bool ends_with_without_case(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && same_text(text.substr(text.size() - end.size()), end);
}

// A name with a document extension goes to that kind; a bare name to the
// first kind that has a file of that name, else to the first kind.
DocumentReport check_named(const std::string& name)
{
    for (const DocumentKind& k : document_kinds())
        if (ends_with_without_case(name, k.extension)) return k.check(name.substr(0, name.size() - k.extension.size()));
    for (const DocumentKind& k : document_kinds())
        if (document_file_exists(document_path(name, k.extension))) return k.check(name);
    return document_kinds().front().check(name);
}

void print_report(const DocumentReport& report)
{
    print_line(report.kind + " " + report.name + ": " + report.status);
    for (std::string text : report.texts) {
        // A text's own closing line break would only add an empty line.
        while (!text.empty() && text.back() == '\n') text.pop_back();
        print_line(text);
    }
}

}  // namespace

int run_check(const Args& args)
{
    if (args.empty()) {
        std::cerr << "usage: cadenzor-cli check FOLDER [NAME...]\n";
        return 2;
    }
    const std::string folder = utf8_to_cp1252(args[0]);
    set_method_folder(folder);
    const std::string configuration = saved_configuration_path();
    std::vector<std::string> lines;
    if (!read_text_lines(cp1252_to_utf8(configuration), lines)) {
        std::cerr << "cannot read " << cp1252_to_utf8(configuration) << "\n";
        return 2;
    }
    if (!parse_configuration(config(), lines, prompts(), debug_line)) return 2;

    std::vector<DocumentReport> reports;
    if (args.size() == 1) {
        for (const DocumentKind& k : document_kinds())
            for (const std::string& name : k.names_in_folder()) reports.push_back(k.check(name));
    } else {
        for (std::size_t i = 1; i < args.size(); ++i) reports.push_back(check_named(utf8_to_cp1252(args[i])));
    }

    bool all_ok = true;
    for (const DocumentReport& r : reports) {
        print_report(r);
        all_ok = all_ok && r.status == "ok";
    }
    std::cout.flush();
    return all_ok ? 0 : 1;
}

}  // namespace kelvo::cli
