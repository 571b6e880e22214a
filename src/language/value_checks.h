#pragma once
// The tests a value, an object reference or a whole atom line must pass, the
// stored and display forms of values, and the range check of a method's
// numeric values. The checks that show messages take the context: its
// configuration to check against, its prompts for the messages (error box).
#include "ground/duration.h"
#include "language/expression.h"
#include "language/parameter_line.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
struct Context;

// --- value check ---

// The settings under which a numeric value text is tested (the unit is
// value_check's own argument).

// Default, minimum and maximum of a macro parameter.
ValidityContext parameter_bound_context();
// A numeric argument in the atom pane and at macro save.
ValidityContext atom_argument_context(int atom, bool optional, const ParameterTable& parameters);
// The value of a numeric parameter in a macro call line.
ValidityContext call_value_context();
// An atom line at expansion.
ValidityContext expansion_context(int atom, const ParameterTable& parameters);
// An atom line of a macro without parameters.
ValidityContext parameterless_macro_context(int atom);
// Minimum, maximum, default and increment of an atom argument in the configuration.
ValidityContext configuration_bound_context(int atom);

// The validity test of the text in the unit under the context.
bool value_check(const ConfigDb& db, const std::string& text, const std::string& unit, const ValidityContext& context);

// --- reference check ---

// Empty when the object value is acceptable for an argument of the class set,
// otherwise the reason, which continues a message and begins with a double
// quotation mark (QUOTE + " which doesnt exist in KELVO"). "None" is accepted
// when the set holds a signal class, as the pane offers it there.
std::string reference_check(const ConfigDb& db, const std::string& value, std::uint32_t classes,
                            const std::vector<std::string>& known_names);
std::string reference_check(const ConfigDb& db, const std::string& value, std::uint32_t classes,
                            const ParameterTable& known_parameters);

// --- method value check ---

// A numeric parameter value taken from the Method Editor's pane. An empty
// value shows LABEL + " is not specified", a bad one
// "Parameter \"NAME\" : VALUE is not a valid value." (error box). Object
// parameters are chosen from a list and pass.
bool method_value_check(const Context& context, const MacroParameter& parameter, const std::string& label,
                        const std::string& value);

// --- atom lines ---

// Builds an atom line from the texts of the atom pane (one per argument, in
// argument order; numeric texts as typed). Numeric texts are checked for an
// atom argument inside the macro and written in stored form. A required empty
// value shows ARGUMENT + " must be specified!", a bad one
// " atom \"ATOM\", parameter \"ARGUMENT\" Undefined macro parameter name \"VALUE\"".
std::optional<std::string> build_atom_line(const Context& context, int atom, const std::vector<std::string>& texts,
                                           const ParameterTable& parameters);

// The check of every atom line of a macro before it is saved; the first
// failure is shown (error box) and ends the check. Lines whose atom is not in
// the configuration have no arguments to test.
bool check_macro_atom_lines(const Context& context, const std::vector<std::string>& atom_lines,
                            const ParameterTable& parameters);

// The atom names (text before "(") of the lines that name no atom of the
// configuration, each name once.
std::vector<std::string> missing_atom_names(const ConfigDb& db, const std::vector<std::string>& atom_lines);

// The object arguments of every atom line with the reference check; one text
// per failure: "(Line N) Atom \"ATOM\" refers to object \"VALUE" + reason.
std::vector<std::string> object_reference_failures(const ConfigDb& db, const std::vector<std::string>& atom_lines,
                                                   const ParameterTable& parameters);

// Expansion check of one atom line of a called macro: the line to execute,
// with object arguments that name a parameter replaced by the call's value;
// nullopt after a failure (message shown, prefix "In macro \"NAME\", ").
std::optional<std::string> expansion_check(const Context& context, const std::string& macro_name,
                                           const std::string& atom_line, const ParameterTable& parameters,
                                           const std::vector<std::string>& call_values);

// The parameter lines of a called macro's file: the lines after the leading
// description lines up to the first line without ";". Appends them and their
// parameters; returns how many were read, or nullopt after
// "couldnt interpret macro param " + LINE (error box).
std::optional<int> read_called_macro_parameters(const Context& context, const std::vector<std::string>& file_lines,
                                                std::vector<std::string>& parameter_lines, ParameterTable& parameters);

// Check of "ERROR ENTRY" / "ERROR EXIT": every line after the description
// must be an atom line that passes; returns the lines to execute (each
// argument followed by ","), or nullopt after a failure (message shown).
std::optional<std::vector<std::string>> check_parameterless_macro(const Context& context, const std::string& name,
                                                                  const std::vector<std::string>& file_lines);

// --- "SYR." substitution ---

// "SYR." + a property of the syringe class becomes that property's value for
// the syringe object; any other value is unchanged.
std::string syr_substitution(const ConfigDb& db, const std::string& value, const std::string& syringe);

// --- range check ---

// The out-of-range dialog: returns the value to take (the accepted entry, or
// the proposed value when the dialog is closed otherwise).
class OutOfRangeDialog {
public:
    virtual ~OutOfRangeDialog() = default;
    virtual double ask(const std::string& context, const std::string& unit, double maximum, double minimum,
                       double proposed, double value) = 0;
};

// Clamps the plain-number values of every macro call line of a method to the
// limits of their parameters (read from the macro files of the context's
// method folder), asking the dialog for each value outside. Lines are rebuilt
// in place. False after a message (unreadable parameter line, limit that
// cannot be evaluated); changed tells whether any value was replaced.
bool range_check_method(const Context& context, std::vector<std::string>& call_lines, const std::string& syringe,
                        OutOfRangeDialog& dialog, bool& changed);

}  // namespace kelvo
