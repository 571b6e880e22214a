#pragma once
// The method model and its file: description lines, the syringe line, the
// macro call lines and the copies of the called macros ("[MACRO NAME]"
// sections) that let a load tell which macros changed since the save. Also
// the pieces of the Method Editor's parameter pane that need no widget.
//
//   //DESCRIPTION LINE          one per description line
//   syringe:SYRINGE
//   MACRO(v1,v2)                the calls, in order
//   [MACRO MACRO]               one section per distinct called macro, then
//   PARAMETER AND ATOM LINES    "METHOD ENTRY" and "METHOD EXIT" always
#include "ground/method_folder.h"
#include "language/parameter_line.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
struct Context;

inline constexpr const char* syringe_line_prefix = "syringe:";
inline constexpr const char* section_header_prefix = "[MACRO ";

// What a method file holds apart from its macro sections.
struct MethodText {
    std::vector<std::string> description;  // without the leading "//"
    std::string syringe;
    std::vector<std::string> calls;
    bool operator==(const MethodText&) const = default;
};

// --- lines ---

// The first seven characters are "[MACRO " (without regard to case).
bool is_section_header(const std::string& line);
// The text from the eighth character up to, not including, the last one.
std::string section_name(const std::string& line);
std::string section_header(const std::string& macro);
// Begins with "syringe:" (without regard to case).
bool is_syringe_line(const std::string& line);
// The text after "syringe:".
std::string syringe_of_line(const std::string& line);

// The called macros' names, each once (without regard to case), in order of
// first call.
std::vector<std::string> distinct_macro_names(const std::vector<std::string>& calls);

// The sections for the calls: one per distinct called macro, then
// "METHOD ENTRY" and "METHOD EXIT" unless present already; each the header
// and every line of the macro's file that does not begin with "//" (the
// header alone when the file does not exist).
std::vector<std::string> macro_sections(const MethodFolder& folder, const std::vector<std::string>& calls);

// The whole file: description, syringe line, calls, sections.
std::vector<std::string> method_file_lines(const MethodFolder& folder, const MethodText& method);

// --- the file ---

// The method file in the method folder, with the extension of the run
// (".KME", ".CDZ" in MassLynx mode). Where the file system tells letter
// case apart, a file whose name differs only in case is found too.
std::string method_path(const MethodFolder& folder, const std::string& name);
bool method_file_exists(const MethodFolder& folder, const std::string& name);
// A name the method folder can hold: not empty, no "/" or "\" (which would
// lead out of the folder).
bool is_plain_document_name(const std::string& name);

// "Syringe of a stored method": the text after the first line of the file
// that begins with "syringe:"; empty when there is none or no file.
std::string stored_method_syringe(const MethodFolder& folder, const std::string& name);

// The lines that a run expands: those after the syringe line (the first line
// that does not begin with "//"). False when the file cannot be read.
bool read_method_for_run(const MethodFolder& folder, const std::string& name, std::string& syringe,
                         std::vector<std::string>& lines);

// Names of the method files of the method folder (cut at their first "."),
// sorted without regard to case, each once.
std::vector<std::string> method_names_in_folder(const MethodFolder& folder);
// The entries of `method_select_box`: the names in the folder plus the
// selected name when no file has it.
std::vector<std::string> method_box_names(const MethodFolder& folder, const std::string& selected);

// --- "&Import..." ---

// "Kelvo files (P)|P" with P = "*.ksl;*" + method extension + ";*.kma".
std::string import_dialog_filter(const MethodFolder& folder);
// Copies the chosen files into the method folder (nothing when they come
// from it; existing files are kept). The number copied.
int import_into_method_folder(const MethodFolder& folder, const std::vector<std::string>& files);

// --- the parameter pane ---

// The called macro's parameters, slot by slot, read from the context's method
// folder against its configuration (a line that cannot be read shows its
// message through the context's prompts and holds an empty slot). False when
// the macro file cannot be read or a line failed.
bool called_macro_parameters(const Context& context, const std::string& macro, ParameterTable& table);
// The hint of a macro: every line of its file beginning with "//", without
// the "//", joined by line breaks.
std::string macro_description_hint(const MethodFolder& folder, const std::string& macro);

// The label of a numeric slot: NAME + "  (m:ss)" for seconds, NAME + "  (" +
// UNIT + ")" for another unit, the bare name without unit.
std::string parameter_label(const MacroParameter& parameter);
// A value as a text box shows it: "SYR." substituted, then display form.
std::string pane_value(const ConfigDb& db, const std::string& value, const std::string& unit,
                       const std::string& syringe);
// "Range: MIN to MAX" + line break + "Default: DEFAULT", in pane form.
std::string numeric_parameter_hint(const ConfigDb& db, const MacroParameter& parameter, const std::string& syringe);
// "Default: " + the default in pane form (first item of `macro_param_popup`).
std::string default_popup_caption(const ConfigDb& db, const MacroParameter& parameter, const std::string& syringe);
// The entries of an object slot: the objects whose class is in the set, in
// object order, then "SYR", "SL.tray", "SL.tray2", "SL.injector",
// "SL.injector2", "None" where the set holds their class.
std::vector<std::string> object_parameter_choices(const ConfigDb& db, std::uint32_t classes);
// The set's class names joined by " or ".
std::string class_set_text(const ConfigDb& db, std::uint32_t classes);
// The values of a call line as the pane takes them: split at ",", leading
// blanks of each skipped.
std::vector<std::string> pane_values_of_call(const std::string& call_line);
// A call line from the pane's texts (one per parameter; numeric ones as
// typed). Numeric texts pass the method value check against the context
// (labels for its message) and are written in stored form. nullopt after a
// message.
std::optional<std::string> build_call_line(const Context& context, const std::string& macro,
                                           const ParameterTable& parameters, const std::vector<std::string>& labels,
                                           const std::vector<std::string>& texts);

}  // namespace kelvo
