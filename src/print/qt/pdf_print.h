#pragma once
// Printing into a PDF file without a window, for cadenzor-cli: the same
// printouts as the program's, on the printer set-up it uses. Each call runs
// a Qt application on the offscreen platform when none is running. Texts
// are Windows-1252; the PDF path is the file system's own. False when the
// PDF could not be written.
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;

bool print_method_pdf(const ConfigDb& db, const std::string& name, const std::string& pdf);
bool print_macro_pdf(const ConfigDb& db, const std::string& name, const std::string& pdf);
// The sample list of the method folder, shown in the page the program
// shows it in and printed by its grid. False also when it cannot be loaded
// (its message has been shown).
bool print_sample_list_pdf(const ConfigDb& db, const std::string& name, const std::string& pdf);
// Lines first to last, counted from 0.
bool print_log_pdf(const std::vector<std::string>& lines, int first, int last, const std::string& pdf);
// Text lines under a heading of their own (the run report).
bool print_text_pdf(const std::string& heading, const std::vector<std::string>& lines, const std::string& pdf);

}  // namespace kelvo
