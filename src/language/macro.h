#pragma once
// The macro model and its file: description lines, parameter lines and atom
// lines, the ".kma" file in the method folder, the line forms shared by
// atom lines and macro call lines, the numbered display, and the name lists
// built from the folder.
#include "ground/method_folder.h"

#include <array>
#include <string>
#include <vector>

namespace kelvo {

// Macros with a fixed role in execution, in no particular order.
inline constexpr std::array<const char*, 6> special_macro_names = {
    "METHOD ENTRY", "METHOD EXIT", "SL ENTRY", "SL EXIT", "ERROR ENTRY", "ERROR EXIT"};
bool is_special_macro(const std::string& name);

// The three parts of a macro as its file holds them.
struct MacroText {
    std::vector<std::string> description;      // without the leading "//"
    std::vector<std::string> parameter_lines;
    std::vector<std::string> atom_lines;
    bool operator==(const MacroText&) const = default;
};

// --- line forms ---

// The text before the first "(" (the whole line when it has none): the atom
// name of an atom line, the macro name of a call line.
std::string line_name(const std::string& line);
// The text between the first "(" and the last ")" (to the end when there is
// no ")"); empty when the line has no "(".
std::string line_inner(const std::string& line);
// Values of an atom line: the inner text split at ","; the empty piece after
// the last comma is no value. A(1,2,) and A(1,2) both give 1 and 2; A() none.
std::vector<std::string> atom_line_values(const std::string& line);
// Values of a macro call line: the inner text split at ","; M() gives none.
std::vector<std::string> call_line_values(const std::string& line);
// NAME(v1,v2,) — every value followed by ","; NAME() without values.
std::string atom_line_text(const std::string& atom, const std::vector<std::string>& values);
// NAME(v1,v2) — values separated by ",".
std::string call_line_text(const std::string& macro, const std::vector<std::string>& values);

// --- the file ---

// Classifies the lines of a macro file: the leading "//" lines are the
// description; after them a line with ";" is a parameter line and every
// other line an atom line.
MacroText classify_macro_lines(const std::vector<std::string>& lines);
// The lines of the file: "//" + each description line, the parameter lines,
// the atom lines.
std::vector<std::string> macro_file_lines(const MacroText& macro);
// The lines joined, each ended by CR LF.
std::string crlf_text(const std::vector<std::string>& lines);

// The path of the macro's file: NAME.kma in the folder, also when the file
// system holds it under another letter case.
std::string macro_path(const MethodFolder& folder, const std::string& name);
bool macro_file_exists(const MethodFolder& folder, const std::string& name);
// The lines of the macro's file; false when it cannot be read.
bool read_macro_file(const MethodFolder& folder, const std::string& name, std::vector<std::string>& lines);

// File-system helpers on Windows-1252 paths.
bool document_file_exists(const std::string& path);
bool read_document_lines(const std::string& path, std::vector<std::string>& lines);
// Writes bytes through a temporary file in the same folder and a rename, so
// that a failure never leaves a half-written document.
bool write_document_atomically(const std::string& path, const std::string& bytes);
// Read-only means no write permission bit is set.
bool is_read_only_file(const std::string& path);
bool set_read_only_file(const std::string& path, bool read_only);
bool remove_document_file(const std::string& path);

// --- name lists ---

// Names of the macro files of the method folder (cut at their first "."),
// sorted without regard to case, each name once.
std::vector<std::string> macro_names_in_folder(const MethodFolder& folder);
// The entries of the macro name box: the names in the folder, plus the
// selected name when no file has it.
std::vector<std::string> macro_box_names(const MethodFolder& folder, const std::string& selected);
// The same for the Method Editor, without the special macros.
std::vector<std::string> method_editor_macro_names(const MethodFolder& folder, const std::string& selected);

// --- display ---

// One entry per line: the number from 1 (two digits at least), a blank, the
// line's name. With indent_repeat_blocks, lines between a "REPEAT" line and
// the next "END" line get two more blanks.
std::vector<std::string> numbered_display(const std::vector<std::string>& lines, bool indent_repeat_blocks);

}  // namespace kelvo
