#include "print/document_prints.h"

#include "config/config_db.h"
#include "ground/duration.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/method.h"

#include <algorithm>

namespace kelvo {
namespace {

bool begins_with_slashes(const std::string& line) { return line.rfind("//", 0) == 0; }

// Fields of a parameter line, split at ";".
std::vector<std::string> semicolon_fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(';', start);
        fields.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return fields;
        start = end + 1;
    }
}

}  // namespace

DocumentDates unsaved_dates() { return {not_saved_text, not_saved_text, false}; }

std::string value_line(const std::string& text, const std::string& value)
{
    std::string line = text;
    if (line.size() < value_column) line.append(value_column - line.size(), ' ');
    return line + value;
}

void print_document_header(TextPages& pages, const std::string& title, const DocumentDates& dates)
{
    pages.centred_heading(title);
    pages.plain_line("");
    pages.plain_line("Created      " + dates.created);
    pages.plain_line("Last changed " + dates.last_changed);
    pages.plain_line("");
}

// ---------------------------------------------------------------------------
// Method

int method_print_estimate(const std::vector<std::string>& method_lines)
{
    int lines = 6;
    for (const std::string& line : method_lines) {
        if (is_section_header(line)) break;
        if (begins_with_slashes(line))
            lines += 1;
        else if (is_syringe_line(line))
            lines += 3;
        else
            lines += 2 + static_cast<int>(call_line_values(line).size());
    }
    return lines;
}

void parameter_name_and_unit(const ConfigDb& db, const std::string& line, std::string& name, std::string& unit)
{
    name.clear();
    unit.clear();
    const std::vector<std::string> fields = semicolon_fields(line);
    if (fields.size() > 1 && db.class_index(fields[1]) < db.class_count()) {
        name = fields[0];
        return;
    }
    const std::string& first = fields[0];
    const std::size_t open = first.find('(');
    if (open == std::string::npos) {
        name = first;
        return;
    }
    // The blank written before "(" is no part of the name.
    name = first.substr(0, open > 0 ? open - 1 : 0);
    const std::size_t close = first.find(')', open + 1);
    unit = first.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

TextPages method_pages(const TextPageMetrics& metrics, const ConfigDb& db, const MethodFolder& folder,
                       const std::string& name, const std::vector<std::string>& method_lines,
                       const DocumentDates& dates)
{
    TextPages pages(metrics, method_print_estimate(method_lines));
    print_document_header(pages, "Method: " + name, dates);
    pages.indented_heading("Method Description:");
    pages.plain_line("");
    for (const std::string& line : method_lines) {
        if (begins_with_slashes(line)) {
            pages.plain_line(line.substr(2));
        } else if (is_syringe_line(line)) {
            pages.plain_line("");
            pages.indented_heading("Syringe: " + syringe_of_line(line));
            pages.plain_line("");
        } else if (is_section_header(line)) {
            break;
        } else {
            const std::string macro = line_name(line);
            pages.indented_heading(macro);
            std::vector<std::string> macro_lines;
            read_macro_file(folder, macro, macro_lines);
            // A value beyond the macro's parameters (or of a macro without a
            // file) is printed without a name.
            const std::vector<std::string> parameter_lines = classify_macro_lines(macro_lines).parameter_lines;
            const std::vector<std::string> values = call_line_values(line);
            for (std::size_t k = 0; k < values.size(); ++k) {
                MacroParameter parameter;
                if (k < parameter_lines.size())
                    parameter_name_and_unit(db, parameter_lines[k], parameter.name, parameter.unit);
                pages.plain_line(
                    value_line("    " + parameter_label(parameter), display_value(values[k], parameter.unit)));
            }
            pages.plain_line("");
        }
    }
    return pages;
}

// ---------------------------------------------------------------------------
// Macro

int macro_print_estimate(const std::vector<std::string>& macro_lines)
{
    const MacroText macro = classify_macro_lines(macro_lines);
    int lines = 10 + static_cast<int>(macro.description.size() + macro.parameter_lines.size());
    for (const std::string& atom_line : macro.atom_lines)
        lines += 2 + static_cast<int>(atom_line_values(atom_line).size());
    return lines;
}

TextPages macro_pages(const TextPageMetrics& metrics, const ConfigDb& db, const std::string& name,
                      const std::vector<std::string>& macro_lines, const DocumentDates& dates)
{
    const MacroText macro = classify_macro_lines(macro_lines);
    TextPages pages(metrics, macro_print_estimate(macro_lines));
    print_document_header(pages, "Macro: " + name, dates);
    pages.indented_heading("Macro Description:");
    pages.plain_line("");
    for (const std::string& line : macro.description) pages.plain_line(line);
    pages.plain_line("");
    pages.indented_heading("Parameters:");
    pages.plain_line("");
    for (const std::string& line : macro.parameter_lines) pages.plain_line(line);
    pages.plain_line("");
    for (const std::string& atom_line : macro.atom_lines) {
        const std::string atom = line_name(atom_line);
        pages.indented_heading(atom);
        const int index = db.atom_index(atom);
        const std::vector<std::string> values = atom_line_values(atom_line);
        for (std::size_t j = 0; j < values.size(); ++j) {
            std::string argument;
            if (index < db.atom_count() && j < db.atoms()[static_cast<std::size_t>(index)].arguments.size())
                argument = db.atoms()[static_cast<std::size_t>(index)].arguments[j].name.substr(0, 23);
            pages.plain_line(value_line("   " + argument, values[j]));
        }
        pages.plain_line("");
    }
    return pages;
}

// ---------------------------------------------------------------------------
// Log

TextPages log_pages(const TextPageMetrics& metrics, const std::vector<std::string>& log_lines, int first, int last,
                    const std::string& heading)
{
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(log_lines.size()) - 1);
    TextPages pages(metrics, last - first + 2);
    pages.indented_heading(heading);
    for (int i = first; i <= last; ++i) pages.plain_line(log_lines[static_cast<std::size_t>(i)]);
    return pages;
}

int line_of_position(const std::string& text, std::size_t position)
{
    position = std::min(position, text.size());
    return static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(position), '\n'));
}

LineRange selected_lines(const std::string& text, std::size_t selection_start, std::size_t selection_length)
{
    return {line_of_position(text, selection_start), line_of_position(text, selection_start + selection_length)};
}

// ---------------------------------------------------------------------------
// Sample list

std::string sample_list_print_header(const std::string& name, const DocumentDates& dates)
{
    return std::string("/fn\"") + text_page_font_name + "\"/fz\"" + std::to_string(text_page_font_size) +
           "\"/r/p/cSample List: " + name + "/nCreated      " + dates.created + "/nLast changed " +
           dates.last_changed + "/n";
}

}  // namespace kelvo
