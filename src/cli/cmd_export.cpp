// cadenzor-cli export FOLDER LIST [NAME] [--overwrite]: loads the sample
// list LIST of FOLDER against FOLDER/latest_kelvo.kol, validates it as the
// export command does and writes FOLDER/NAME.txt (NAME defaults to LIST; it
// is cut at its first "."). An existing file is refused unless --overwrite.
// The messages are printed as check prints them. Exit 0 when written, 1
// when refused, 2 on a usage error or a configuration that cannot be read.
#include "cli/cli_prompts.h"
#include "ground/debug_lines.h"
#include "config/program_context.h"
#include "language/bound_check.h"
#include "cli/commands.h"
#include "cli/list_columns.h"
#include "config/config_db.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "language/bound_check.h"
#include "language/method.h"
#include "samplelist/sample_list_document.h"

#include <iostream>
#include <string>
#include <vector>

namespace kelvo::cli {

void build_cli_columns(ColumnTable& columns)
{
    const auto first = [](const std::vector<std::string>& v) { return v.empty() ? std::string() : v.front(); };
    columns.build_fixed({first(method_names_in_folder(program_method_folder())), first(objects_of_class(config(), "TRAY")),
                         first(objects_of_class(config(), "INJECTOR"))});
}

namespace {

class PrintingPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override { print_line("error: " + text); }
    void show_information(const std::string& text) override { print_line("information: " + text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        print_line("question: " + text);
        return AbortRetryIgnore::abort;
    }
    bool ask_yes_no(const std::string& text) override
    {
        print_line("question: " + text);
        return false;
    }
};

}  // namespace

int run_export(const Args& args)
{
    std::vector<std::string> plain;
    bool overwrite = false;
    for (const std::string& a : args) {
        if (a == "--overwrite") overwrite = true;
        else plain.push_back(a);
    }
    if (plain.size() < 2 || plain.size() > 3) {
        std::cerr << "usage: cadenzor-cli export FOLDER LIST [NAME] [--overwrite]\n";
        return 2;
    }
    set_method_folder(utf8_to_cp1252(plain[0]));
    const std::string configuration = saved_configuration_path();
    std::vector<std::string> lines;
    if (!read_text_lines(cp1252_to_utf8(configuration), lines)) {
        std::cerr << "cannot read " << cp1252_to_utf8(configuration) << "\n";
        return 2;
    }
    if (!parse_configuration(config(), lines, prompts(), debug_line)) return 2;

    const std::string list = utf8_to_cp1252(plain[1]);
    const std::string name = file_title(plain.size() == 3 ? utf8_to_cp1252(plain[2]) : list);
    PrintingPrompts printing;
    PromptsScope scope(printing);
    SampleListDocument document(program_context());
    build_cli_columns(document.columns());
    const bool ok = !name.empty() && document.load(list) && document.validate() &&
                    document.write_export(name, overwrite ? SampleListDocument::ExistingFile::overwrite
                                                          : SampleListDocument::ExistingFile::refuse);
    if (ok) print_line("exported " + list + " to " + export_path(program_method_folder(), name));
    std::cout.flush();
    return ok ? 0 : 1;
}

}  // namespace kelvo::cli
