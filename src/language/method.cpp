#include "language/method.h"

#include "ground/cp1252.h"
#include "ground/import_files.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "config/context.h"
#include "language/macro.h"
#include "language/value_checks.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kelvo {
namespace fs = std::filesystem;

namespace {

bool begins_with_without_case(const std::string& text, const std::string& start)
{
    return text.size() >= start.size() && same_text(text.substr(0, start.size()), start);
}

bool is_description_line(const std::string& line) { return line.rfind("//", 0) == 0; }




bool contains_without_case(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return same_text(n, name); });
}

}  // namespace

// --- lines ---

bool is_section_header(const std::string& line) { return begins_with_without_case(line, section_header_prefix); }

std::string section_name(const std::string& line)
{
    if (line.size() < 8) return {};
    return line.substr(7, line.size() - 8);
}

std::string section_header(const std::string& macro) { return section_header_prefix + macro + "]"; }

bool is_syringe_line(const std::string& line) { return begins_with_without_case(line, syringe_line_prefix); }

std::string syringe_of_line(const std::string& line) { return line.size() > 8 ? line.substr(8) : std::string(); }

std::vector<std::string> distinct_macro_names(const std::vector<std::string>& calls)
{
    std::vector<std::string> names;
    for (const std::string& call : calls) {
        const std::string name = line_name(call);
        if (!name.empty() && !contains_without_case(names, name)) names.push_back(name);
    }
    return names;
}

std::vector<std::string> macro_sections(const MethodFolder& folder, const std::vector<std::string>& calls)
{
    std::vector<std::string> lines;
    const auto add = [&lines, &folder](const std::string& macro) {
        const std::string header = section_header(macro);
        if (contains_without_case(lines, header)) return;
        lines.push_back(header);
        std::vector<std::string> file;
        if (!is_plain_document_name(macro) || !read_macro_file(folder, macro, file)) return;
        for (const std::string& line : file)
            if (!is_description_line(line)) lines.push_back(line);
    };
    for (const std::string& macro : distinct_macro_names(calls)) add(macro);
    add("METHOD ENTRY");
    add("METHOD EXIT");
    return lines;
}

std::vector<std::string> method_file_lines(const MethodFolder& folder, const MethodText& method)
{
    std::vector<std::string> lines;
    for (const std::string& d : method.description) lines.push_back("//" + d);
    lines.push_back(syringe_line_prefix + method.syringe);
    lines.insert(lines.end(), method.calls.begin(), method.calls.end());
    const std::vector<std::string> sections = macro_sections(folder, method.calls);
    lines.insert(lines.end(), sections.begin(), sections.end());
    return lines;
}

// --- the file ---

std::string method_path(const MethodFolder& folder, const std::string& name)
{
    return folder.existing_path(FolderDocument::method, name);
}

bool is_plain_document_name(const std::string& name)
{
    return !name.empty() && name.find_first_of("/\\") == std::string::npos;
}

bool method_file_exists(const MethodFolder& folder, const std::string& name)
{
    return is_plain_document_name(name) && folder.exists(FolderDocument::method, name);
}

std::string stored_method_syringe(const MethodFolder& folder, const std::string& name)
{
    if (!method_file_exists(folder, name)) return {};
    std::vector<std::string> lines;
    if (!folder.read_lines(FolderDocument::method, name, lines)) return {};
    for (const std::string& line : lines)
        if (is_syringe_line(line)) return syringe_of_line(line);
    return {};
}

bool read_method_for_run(const MethodFolder& folder, const std::string& name, std::string& syringe,
                         std::vector<std::string>& lines)
{
    syringe.clear();
    lines.clear();
    std::vector<std::string> file;
    if (!method_file_exists(folder, name) || !folder.read_lines(FolderDocument::method, name, file)) return false;
    std::size_t i = 0;
    while (i < file.size() && is_description_line(file[i])) ++i;
    // A file without a syringe line starts its calls right here.
    if (i < file.size() && is_syringe_line(file[i])) syringe = syringe_of_line(file[i++]);
    lines.assign(file.begin() + static_cast<std::ptrdiff_t>(i), file.end());
    return true;
}

std::vector<std::string> method_names_in_folder(const MethodFolder& folder)
{
    return folder.names(FolderDocument::method);
}

std::vector<std::string> method_box_names(const MethodFolder& folder, const std::string& selected)
{
    std::vector<std::string> names = method_names_in_folder(folder);
    if (!selected.empty() && !contains_without_case(names, selected)) {
        names.push_back(selected);
        std::sort(names.begin(), names.end(), less_without_case);
    }
    return names;
}

// --- "&Import..." ---

std::string import_dialog_filter(const MethodFolder& folder)
{
    const std::string extension = folder.extension(FolderDocument::method);
    return import_filter_description(extension) + "|" + import_patterns(extension);
}

int import_into_method_folder(const MethodFolder& folder, const std::vector<std::string>& files)
{
    return import_documents(files, folder.folder(), folder.debug_sink());
}

// --- the parameter pane ---

bool called_macro_parameters(const Context& context, const std::string& macro, ParameterTable& table)
{
    table.clear();
    std::vector<std::string> lines;
    if (!read_macro_file(context.folder, macro, lines)) return false;
    return read_parameter_table(context, classify_macro_lines(lines).parameter_lines, table);
}

std::string macro_description_hint(const MethodFolder& folder, const std::string& macro)
{
    std::vector<std::string> lines;
    if (!read_macro_file(folder, macro, lines)) return {};
    std::string hint;
    bool first = true;
    for (const std::string& line : lines) {
        if (!is_description_line(line)) continue;
        if (!first) hint += "\n";
        hint += line.substr(2);
        first = false;
    }
    return hint;
}

std::string parameter_label(const MacroParameter& parameter)
{
    if (parameter.unit == "s") return parameter.name + "  (m:ss)";
    if (!parameter.unit.empty()) return parameter.name + "  (" + parameter.unit + ")";
    return parameter.name;
}

std::string pane_value(const ConfigDb& db, const std::string& value, const std::string& unit,
                       const std::string& syringe)
{
    return display_form(syr_substitution(db, value, syringe), unit);
}

std::string numeric_parameter_hint(const ConfigDb& db, const MacroParameter& parameter, const std::string& syringe)
{
    return "Range: " + pane_value(db, parameter.minimum, parameter.unit, syringe) + " to " +
           pane_value(db, parameter.maximum, parameter.unit, syringe) + "\n" + "Default: " +
           pane_value(db, parameter.default_value, parameter.unit, syringe);
}

std::string default_popup_caption(const ConfigDb& db, const MacroParameter& parameter, const std::string& syringe)
{
    return "Default: " + pane_value(db, parameter.default_value, parameter.unit, syringe);
}

std::vector<std::string> object_parameter_choices(const ConfigDb& db, std::uint32_t classes)
{
    std::vector<std::string> choices;
    for (const ConfigObject& object : db.objects())
        if (ConfigDb::test_bit(classes, object.class_index)) choices.push_back(object.name);
    const auto has = [classes](std::uint32_t bits) { return (classes & bits) != 0; };
    if (has(db.syringe_bit())) choices.push_back("SYR");
    if (has(db.tray_bit())) {
        choices.push_back("SL.tray");
        choices.push_back("SL.tray2");
    }
    if (has(db.injector_bit())) {
        choices.push_back("SL.injector");
        choices.push_back("SL.injector2");
    }
    if (has(db.out_signal_bit() | db.sync_signal_bit())) choices.push_back("None");
    return choices;
}

std::string class_set_text(const ConfigDb& db, std::uint32_t classes)
{
    std::string text;
    for (int c = 0; c < db.class_count(); ++c) {
        if (!ConfigDb::test_bit(classes, c)) continue;
        if (!text.empty()) text += " or ";
        text += db.classes()[static_cast<std::size_t>(c)].name;
    }
    return text;
}

std::vector<std::string> pane_values_of_call(const std::string& call_line)
{
    std::vector<std::string> values = call_line_values(call_line);
    for (std::string& v : values) {
        const auto first = v.find_first_not_of(' ');
        v.erase(0, first == std::string::npos ? v.size() : first);
    }
    return values;
}

std::optional<std::string> build_call_line(const Context& context, const std::string& macro,
                                           const ParameterTable& parameters, const std::vector<std::string>& labels,
                                           const std::vector<std::string>& texts)
{
    std::vector<std::string> values;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        const MacroParameter& p = parameters[i];
        const std::string text = i < texts.size() ? texts[i] : std::string();
        if (p.is_object()) {
            values.push_back(text);
            continue;
        }
        const std::string label = i < labels.size() ? labels[i] : parameter_label(p);
        if (!method_value_check(context, p, label, text)) return std::nullopt;
        values.push_back(stored_form(text));
    }
    return call_line_text(macro, values);
}

}  // namespace kelvo
