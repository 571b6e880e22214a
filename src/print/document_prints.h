#pragma once
// What the printouts of a method, a macro and the log hold: the line
// estimates that announce the page count, the document header with the
// file dates, and the value lines. The header codes of the sample list
// printout are here too.
#include "print/text_pages.h"

#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
class MethodFolder;

// The dates of a document file as the log writes times; "not saved" for a
// document that has no file yet.
struct DocumentDates {
    std::string created;
    std::string last_changed;
    bool saved = true;
};
inline constexpr const char* not_saved_text = "not saved";
DocumentDates unsaved_dates();

// Value lines line the values up in this column, unless the text before
// them is longer.
inline constexpr std::size_t value_column = 36;
// text, blanks appended up to the value column, value.
std::string value_line(const std::string& text, const std::string& value);

// "Created      " and "Last changed " lines under the centred title.
void print_document_header(TextPages& pages, const std::string& title, const DocumentDates& dates);

// --- method ---
int method_print_estimate(const std::vector<std::string>& method_lines);
// The name and unit a macro's parameter line gives: an object parameter
// (second field a class of the configuration) has no unit; a numeric one
// "NAME (UNIT);...". Quiet: nothing is shown for a line that cannot be read.
void parameter_name_and_unit(const ConfigDb& db, const std::string& line, std::string& name, std::string& unit);
// The lines of a method file (or the method as the editor holds it); each
// called macro's parameter names and units come from its file in the method
// folder.
TextPages method_pages(const TextPageMetrics& metrics, const ConfigDb& db, const MethodFolder& folder,
                       const std::string& name, const std::vector<std::string>& method_lines,
                       const DocumentDates& dates);

// --- macro ---
int macro_print_estimate(const std::vector<std::string>& macro_lines);
// The argument names come from the atoms of the configuration.
TextPages macro_pages(const TextPageMetrics& metrics, const ConfigDb& db, const std::string& name,
                      const std::vector<std::string>& macro_lines, const DocumentDates& dates);

// --- log ---
// Lines first to last (counted from 0) under the heading "Log File"; the
// range is cut to the lines there are.
// Another heading serves other text printouts (the run report).
TextPages log_pages(const TextPageMetrics& metrics, const std::vector<std::string>& log_lines, int first, int last,
                    const std::string& heading = "Log File");

// The lines a selection in the log viewer stands for: from the line of the
// first selected character to the line of the character just after the
// selection, both included. Lines of text are separated by "\n"; positions
// count characters from 0.
struct LineRange {
    int first = 0;
    int last = 0;
    bool operator==(const LineRange&) const = default;
};
int line_of_position(const std::string& text, std::size_t position);
LineRange selected_lines(const std::string& text, std::size_t selection_start, std::size_t selection_length);

// --- sample list ---
// The grid's header codes: Courier New 10, the page number at the right,
// then the centred lines "Sample List: NAME", "Created      ...",
// "Last changed ...".
std::string sample_list_print_header(const std::string& name, const DocumentDates& dates);

}  // namespace kelvo
