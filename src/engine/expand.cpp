#include "engine/expand.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "config/context.h"
#include "language/macro.h"
#include "language/method.h"
#include "language/value_checks.h"

#include <optional>

namespace kelvo {
namespace {

const std::string quote = "\"";

// Appends one expanded line, or refuses when the list is full.
bool append_expanded(const Context& context, RunLists& lists, const std::string& line,
                     const ExpandedLineOrigin& origin)
{
    if (lists.expanded_method.size() >= RunLists::expanded_capacity) {
        context.prompts.show_error(expansion_capacity_text());
        return false;
    }
    lists.expanded_method.push_back(line);
    lists.origins.push_back(origin);
    return true;
}

// The running_method frame around the calls. Returns the indexes of the
// body's first and end lines.
void build_running_method(const MethodFolder& folder, const std::vector<std::string>& method_lines, RunLists& lists,
                          std::size_t& body_first, std::size_t& body_end_line)
{
    const auto add_marker = [&lists](const char* marker) {
        lists.marker_lines.push_back(static_cast<int>(lists.running_method.size()));
        lists.running_method.push_back(marker);
    };
    const bool sl_entry = macro_file_exists(folder, "SL ENTRY");
    const bool sl_exit = macro_file_exists(folder, "SL EXIT");
    if (sl_entry) {
        add_marker(check_sl_entry_marker);
        lists.running_method.push_back("SL ENTRY()");
    }
    body_first = lists.running_method.size();
    if (macro_file_exists(folder, "METHOD ENTRY")) lists.running_method.push_back("METHOD ENTRY()");
    for (const std::string& line : method_lines) {
        if (is_section_header(line)) break;
        lists.running_method.push_back(line);
    }
    body_end_line = lists.running_method.size();
    if (macro_file_exists(folder, "METHOD EXIT")) lists.running_method.push_back("METHOD EXIT()");
    if (sl_exit) {
        add_marker(check_sl_exit_marker);
        lists.running_method.push_back("SL EXIT()");
    }
}

// One macro call: its parameter lines to running_macro_params, its atom
// lines, substituted, to expanded_method.
bool expand_call(const Context& context, int method_line, RunLists& lists)
{
    const MethodFolder& folder = context.folder;
    const std::string& call = lists.running_method[static_cast<std::size_t>(method_line)];
    const std::string macro = line_name(call);
    const std::vector<std::string> values = call_line_values(call);
    // A call may only name a macro of the method folder.
    if (!is_plain_document_name(macro) || !macro_file_exists(folder, macro)) {
        context.prompts.show_error("Macro " + quote + macro + quote + " does not exist.");
        return false;
    }
    std::vector<std::string> file;
    if (!read_macro_file(folder, macro, file)) {
        context.prompts.show_error("couldnt read " + macro_path(folder, macro));
        return false;
    }
    const int position = static_cast<int>(lists.running_macro_params.size());
    ParameterTable parameters;
    const std::optional<int> count = read_called_macro_parameters(context, file, lists.running_macro_params, parameters);
    if (!count) return false;
    const ExpandedLineOrigin origin{method_line, position, *count};
    for (const std::string& atom_line : classify_macro_lines(file).atom_lines) {
        const std::optional<std::string> line = expansion_check(context, macro, atom_line, parameters, values);
        if (!line) return false;
        if (!append_expanded(context, lists, *line, origin)) return false;
    }
    return true;
}

}  // namespace

std::string expansion_capacity_text()
{
    return "The expanded method would have more than " + std::to_string(RunLists::expanded_capacity) + " lines.";
}

bool expand(const Context& context, const std::string& syringe, const std::vector<std::string>& method_lines,
            RunLists& lists)
{
    lists.clear();
    lists.syringe = syringe;
    std::size_t body_first = 0;
    std::size_t body_end_line = 0;
    build_running_method(context.folder, method_lines, lists, body_first, body_end_line);

    bool start_met = false;
    bool end_met = false;
    for (std::size_t i = 0; i < lists.running_method.size(); ++i) {
        const int length = static_cast<int>(lists.expanded_method.size());
        if (i == body_first) {
            lists.body_start = length;
            start_met = true;
        }
        if (i == body_end_line) {
            lists.body_end = length;
            end_met = true;
        }
        const int line = static_cast<int>(i);
        if (lists.is_marker_line(line)) {
            const int position = static_cast<int>(lists.running_macro_params.size());
            if (!append_expanded(context, lists, lists.running_method[i], ExpandedLineOrigin{line, position, 0}))
                return false;
            continue;
        }
        if (!expand_call(context, line, lists)) return false;
    }
    const int length = static_cast<int>(lists.expanded_method.size());
    if (!start_met) lists.body_start = length;
    if (!end_met) lists.body_end = length;
    return true;
}

bool test_expansion(const Context& context, const std::string& syringe,
                    const std::vector<std::string>& method_lines)
{
    RunLists scratch;
    return expand(context, syringe, method_lines, scratch);
}

}  // namespace kelvo
