#include "language/value_checks.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "config/context.h"
#include "language/expression.h"
#include "language/macro.h"
#include "language/sample_variables.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace kelvo {
namespace {

const std::string quote = "\"";

const ConfigAtom* atom_at(const ConfigDb& db, int atom)
{
    if (atom < 0 || atom >= db.atom_count()) return nullptr;
    return &db.atoms()[static_cast<std::size_t>(atom)];
}

bool is_sample_list_object(const std::string& value)
{
    return same_text(value, "SL.tray") || same_text(value, "SL.tray2") || same_text(value, "SL.injector") ||
           same_text(value, "SL.injector2") || same_text(value, "SYR");
}

bool has_signal_class(const ConfigDb& db, std::uint32_t classes)
{
    return (classes & (db.out_signal_bit() | db.sync_signal_bit())) != 0;
}

// The validity test of the expression rules in the unit under a context.
bool valid_in_context(const ConfigDb& db, const std::string& text, const std::string& unit,
                      const ValidityContext& context)
{
    ValidityContext v = context;
    v.unit = unit;
    return expression_valid(db, text, v);
}

ValidityContext validity_context(bool empty_accepted, bool syr_allowed, int atom, const ParameterTable* parameters)
{
    ValidityContext c;
    c.empty_accepted = empty_accepted;
    c.syr_allowed = syr_allowed;
    c.atom = atom;
    c.parameters = parameters;
    return c;
}

// Evaluation with a syringe and no atom or parameter context; the messages
// of a failing evaluation are left to the caller's own.
bool evaluate_with_syringe(const Context& context, const std::string& text, const std::string& unit,
                           const std::string& syringe, const std::string& label, double& value)
{
    EvaluationContext e;
    e.unit = unit;
    e.syringe = syringe;
    e.label = label;
    RunValues run;
    run.sl = sample_variables();
    return evaluate_expression(context.config, context.prompts, text, e, run, value);
}

}  // namespace

// --- value check ---

ValidityContext parameter_bound_context() { return validity_context(false, true, -1, nullptr); }
ValidityContext atom_argument_context(int atom, bool optional, const ParameterTable& parameters)
{
    return validity_context(optional, true, atom, &parameters);
}
ValidityContext call_value_context() { return validity_context(false, false, -1, nullptr); }
ValidityContext expansion_context(int atom, const ParameterTable& parameters) { return validity_context(true, true, atom, &parameters); }
ValidityContext parameterless_macro_context(int atom) { return validity_context(true, true, atom, nullptr); }
ValidityContext configuration_bound_context(int atom) { return validity_context(false, true, atom, nullptr); }

bool value_check(const ConfigDb& db, const std::string& text, const std::string& unit, const ValidityContext& context)
{
    return valid_in_context(db, text, unit, context);
}

// --- reference check ---

std::string reference_check(const ConfigDb& db, const std::string& value, std::uint32_t classes,
                            const std::vector<std::string>& known_names)
{
    if (classes == 0) return {};
    for (const std::string& name : known_names)
        if (!name.empty() && same_text(value, name)) return {};
    if (same_text(value, "SL.tray") || same_text(value, "SL.tray2"))
        return (classes & db.tray_bit()) != 0 ? std::string() : quote + " which is a tray";
    if (same_text(value, "SL.injector") || same_text(value, "SL.injector2"))
        return (classes & db.injector_bit()) != 0 ? std::string() : quote + " which is an injector";
    if (same_text(value, "SYR")) return (classes & db.syringe_bit()) != 0 ? std::string() : quote + " which is a syringe";
    if (same_text(value, "None") && has_signal_class(db, classes)) return {};
    const int object = db.object_index(value);
    if (object >= db.object_count()) return quote + " which doesnt exist in KELVO";
    const int class_index = db.objects()[static_cast<std::size_t>(object)].class_index;
    if (!ConfigDb::test_bit(classes, class_index)) return quote + " which is a " + db.class_name_of_object(object);
    return {};
}

std::string reference_check(const ConfigDb& db, const std::string& value, std::uint32_t classes,
                            const ParameterTable& known_parameters)
{
    return reference_check(db, value, classes, parameter_names(known_parameters));
}

// --- method value check ---

bool method_value_check(const Context& context, const MacroParameter& parameter, const std::string& label,
                        const std::string& value)
{
    const ConfigDb& db = context.config;
    if (parameter.is_object()) return true;
    if (value.empty()) {
        context.prompts.show_error(label + " is not specified");
        return false;
    }
    if (!value_check(db, value, parameter.unit, call_value_context())) {
        context.prompts.show_error("Parameter " + quote + parameter.name + quote + " : " + value + " is not a valid value.");
        return false;
    }
    return true;
}

// --- atom lines ---

std::optional<std::string> build_atom_line(const Context& context, int atom, const std::vector<std::string>& texts,
                                           const ParameterTable& parameters)
{
    const ConfigDb& db = context.config;
    const ConfigAtom* a = atom_at(db, atom);
    if (!a) return std::nullopt;
    std::string line = a->name + "(";
    for (std::size_t i = 0; i < a->arguments.size(); ++i) {
        const AtomArgument& arg = a->arguments[i];
        const std::string text = i < texts.size() ? texts[i] : std::string();
        if (arg.kind == ArgumentKind::numeric) {
            if (text.empty() && arg.required) {
                context.prompts.show_error(arg.name + " must be specified!");
                return std::nullopt;
            }
            if (!value_check(db, text, arg.unit, atom_argument_context(atom, !arg.required, parameters))) {
                context.prompts.show_error(" atom " + quote + a->name + quote + ", parameter " + quote + arg.name + quote +
                           " Undefined macro parameter name " + quote + text + quote);
                return std::nullopt;
            }
            line += stored_form(text) + ",";
        } else {
            line += text + ",";
        }
    }
    return line + ")";
}

bool check_macro_atom_lines(const Context& context, const std::vector<std::string>& atom_lines,
                            const ParameterTable& parameters)
{
    const ConfigDb& db = context.config;
    for (std::size_t n = 0; n < atom_lines.size(); ++n) {
        const std::string name = line_name(atom_lines[n]);
        const int atom = db.atom_index(name);
        const ConfigAtom* a = atom_at(db, atom);
        if (!a) continue;
        const std::vector<std::string> values = atom_line_values(atom_lines[n]);
        for (std::size_t i = 0; i < a->arguments.size(); ++i) {
            const AtomArgument& arg = a->arguments[i];
            const std::string value = i < values.size() ? values[i] : std::string();
            const std::string prefix = "Line " + std::to_string(n + 1) + " - atom " + quote + name + quote +
                                       ", parameter " + quote + arg.name + quote;
            if (arg.kind == ArgumentKind::numeric) {
                if (value.empty() && arg.required) {
                    context.prompts.show_error(prefix + " must be specified!");
                    return false;
                }
                if (!value_check(db, value, arg.unit, atom_argument_context(atom, !arg.required, parameters))) {
                    context.prompts.show_error(prefix + " Undefined macro parameter name " + quote + value + quote);
                    return false;
                }
            } else if (arg.kind == ArgumentKind::object) {
                const std::string reason = reference_check(db, value, arg.list_or_classes, parameters);
                if (!reason.empty()) {
                    context.prompts.show_error(prefix + " : refers to object " + quote + value + reason);
                    return false;
                }
            }
        }
    }
    return true;
}

std::vector<std::string> missing_atom_names(const ConfigDb& db, const std::vector<std::string>& atom_lines)
{
    std::vector<std::string> missing;
    for (const std::string& line : atom_lines) {
        const std::string name = line_name(line);
        if (db.atom_index(name) < db.atom_count()) continue;
        bool listed = false;
        for (const std::string& m : missing) listed = listed || same_text(m, name);
        if (!listed) missing.push_back(name);
    }
    return missing;
}

std::vector<std::string> object_reference_failures(const ConfigDb& db, const std::vector<std::string>& atom_lines,
                                                   const ParameterTable& parameters)
{
    std::vector<std::string> failures;
    for (std::size_t n = 0; n < atom_lines.size(); ++n) {
        const std::string name = line_name(atom_lines[n]);
        const ConfigAtom* a = atom_at(db, db.atom_index(name));
        if (!a) continue;
        const std::vector<std::string> values = atom_line_values(atom_lines[n]);
        for (std::size_t i = 0; i < a->arguments.size(); ++i) {
            const AtomArgument& arg = a->arguments[i];
            if (arg.kind != ArgumentKind::object) continue;
            const std::string value = i < values.size() ? values[i] : std::string();
            const std::string reason = reference_check(db, value, arg.list_or_classes, parameters);
            if (!reason.empty())
                failures.push_back("(Line " + std::to_string(n + 1) + ") " + "Atom " + quote + name + quote +
                                   " refers to object " + quote + value + reason);
        }
    }
    return failures;
}

std::optional<std::string> expansion_check(const Context& context, const std::string& macro_name,
                                           const std::string& atom_line, const ParameterTable& parameters,
                                           const std::vector<std::string>& call_values)
{
    const ConfigDb& db = context.config;
    const std::string prefix = "In macro " + quote + macro_name + quote + ", ";
    const std::string name = line_name(atom_line);
    const int atom = db.atom_index(name);
    const ConfigAtom* a = atom_at(db, atom);
    if (!a) {
        context.prompts.show_error(prefix + name + " is not an atom!");
        return std::nullopt;
    }
    std::vector<std::string> values = atom_line_values(atom_line);
    if (values.size() != a->arguments.size()) {
        context.prompts.show_error(prefix + atom_line + " does not have " + std::to_string(a->arguments.size()) + " arguments.");
        return std::nullopt;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const AtomArgument& arg = a->arguments[i];
        if (arg.kind != ArgumentKind::object) continue;
        const int p = parameter_position(parameters, values[i]);
        if (p >= 0) {
            const auto slot = static_cast<std::size_t>(p);
            values[i] = slot < call_values.size() ? call_values[slot] : std::string();
            continue;
        }
        if (same_text(values[i], "None") && has_signal_class(db, arg.list_or_classes)) continue;
        if (is_sample_list_object(values[i])) continue;
        const int object = db.object_index(values[i]);
        if (object >= db.object_count()) {
            context.prompts.show_error(prefix + name + ": " + values[i] + " is not an object");
            return std::nullopt;
        }
        if (!ConfigDb::test_bit(arg.list_or_classes, db.objects()[static_cast<std::size_t>(object)].class_index)) {
            context.prompts.show_error(prefix + name + ": " + values[i] + " is not a valid object for " + arg.name);
            return std::nullopt;
        }
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const AtomArgument& arg = a->arguments[i];
        if (arg.kind != ArgumentKind::numeric) continue;
        if (!value_check(db, values[i], arg.unit, expansion_context(atom, parameters))) {
            context.prompts.show_error(prefix + values[i] + " is not a good parameter");
            return std::nullopt;
        }
    }
    return atom_line_text(name, values);
}

std::optional<int> read_called_macro_parameters(const Context& context, const std::vector<std::string>& file_lines,
                                                std::vector<std::string>& parameter_lines, ParameterTable& parameters)
{
    std::size_t i = 0;
    while (i < file_lines.size() && file_lines[i].rfind("//", 0) == 0) ++i;
    int count = 0;
    for (; i < file_lines.size() && file_lines[i].find(';') != std::string::npos; ++i) {
        MacroParameter p;
        if (!read_parameter_line(context.config, context.prompts, file_lines[i], p)) {
            context.prompts.show_error("couldnt interpret macro param " + file_lines[i]);
            return std::nullopt;
        }
        parameter_lines.push_back(file_lines[i]);
        parameters.push_back(p);
        ++count;
    }
    return count;
}

std::optional<std::vector<std::string>> check_parameterless_macro(const Context& context, const std::string& name,
                                                                  const std::vector<std::string>& file_lines)
{
    const ConfigDb& db = context.config;
    std::vector<std::string> result;
    std::size_t i = 0;
    while (i < file_lines.size() && file_lines[i].rfind("//", 0) == 0) ++i;
    for (; i < file_lines.size(); ++i) {
        const std::string& line = file_lines[i];
        if (line.find(';') != std::string::npos) {
            context.prompts.show_error("The macro " + quote + name + quote + " contains parameters.");
            return std::nullopt;
        }
        const auto fail = [&]() {
            context.prompts.show_error("couldnt interpret " + line + " in the macro " + quote + name + quote + ".");
            return std::nullopt;
        };
        const std::string atom_name = line_name(line);
        const int atom = db.atom_index(atom_name);
        const ConfigAtom* a = atom_at(db, atom);
        if (!a) {
            context.prompts.show_error(atom_name + " is not an atom!");
            return fail();
        }
        std::vector<std::string> values = atom_line_values(line);
        // Values beyond the atom's arguments have no argument to be tested against.
        if (values.size() > a->arguments.size()) return fail();
        values.resize(a->arguments.size());
        for (std::size_t k = 0; k < values.size(); ++k) {
            const AtomArgument& arg = a->arguments[k];
            if (arg.kind == ArgumentKind::object) {
                if (same_text(values[k], "None") && has_signal_class(db, arg.list_or_classes)) continue;
                if (is_sample_list_object(values[k])) continue;
                const int object = db.object_index(values[k]);
                if (object >= db.object_count()) {
                    context.prompts.show_error(atom_name + ": " + values[k] + " is not an object");
                    return fail();
                }
                if (!ConfigDb::test_bit(arg.list_or_classes, db.objects()[static_cast<std::size_t>(object)].class_index)) {
                    context.prompts.show_error(atom_name + ": " + values[k] + " is not a valid object for " + arg.name);
                    return fail();
                }
            } else if (arg.kind == ArgumentKind::numeric) {
                if (!value_check(db, values[k], arg.unit, parameterless_macro_context(atom))) return fail();
            }
        }
        result.push_back(atom_line_text(atom_name, values));
    }
    return result;
}

// --- "SYR." substitution ---

std::string syr_substitution(const ConfigDb& db, const std::string& value, const std::string& syringe)
{
    if (!db.has_syringe_class() || value.size() < 4 || !same_text(value.substr(0, 4), "SYR.")) return value;
    // Without a known syringe there is nothing to substitute.
    if (db.object_index(syringe) >= db.object_count()) return value;
    const std::string property = value.substr(4);
    const ConfigClass& syringe_class = db.classes()[static_cast<std::size_t>(db.syringe_class())];
    for (const ConfigProperty& p : syringe_class.properties)
        if (same_text(p.name, property) && (p.kind == PropertyKind::numeric || p.kind == PropertyKind::list_index))
            return number_text(db.numeric_value(syringe, p.name));
    return value;
}

// --- range check ---

bool range_check_method(const Context& context, std::vector<std::string>& call_lines, const std::string& syringe,
                        OutOfRangeDialog& dialog, bool& changed)
{
    const ConfigDb& db = context.config;
    changed = false;
    for (std::string& line : call_lines) {
        const std::string macro = line_name(line);
        std::vector<std::string> file_lines;
        read_macro_file(context.folder, macro, file_lines);
        std::size_t i = 0;
        while (i < file_lines.size() && file_lines[i].rfind("//", 0) == 0) ++i;
        ParameterTable parameters;
        for (; i < file_lines.size() && file_lines[i].find(';') != std::string::npos; ++i) {
            MacroParameter p;
            if (!read_parameter_line(db, context.prompts, file_lines[i], p)) {
                context.prompts.show_error("Macro " + quote + macro + quote + " parameter " + quote + file_lines[i] + quote +
                           " is not valid");
                return false;
            }
            parameters.push_back(p);
        }
        std::vector<std::string> values = call_line_values(line);
        for (std::size_t k = 0; k < parameters.size() && k < values.size(); ++k) {
            const MacroParameter& p = parameters[k];
            if (p.is_object() || !is_decimal(values[k])) continue;
            const std::string where = "Macro " + quote + macro + quote + " parameter " + quote + p.name + quote;
            const std::string minimum_text = syr_substitution(db, p.minimum, syringe);
            const std::string maximum_text = syr_substitution(db, p.maximum, syringe);
            double minimum = 0, maximum = 0;
            if (!evaluate_with_syringe(context, minimum_text, p.unit, syringe, where, minimum)) {
                context.prompts.show_error(where + " syntax error in minimum:" + minimum_text);
                return false;
            }
            if (!evaluate_with_syringe(context, maximum_text, p.unit, syringe, where, maximum)) {
                context.prompts.show_error(where + "syntax error in maximum:" + maximum_text);
                return false;
            }
            const double value = decimal_or_zero(values[k]);
            if (value < minimum) {
                values[k] = number_text(dialog.ask(where, p.unit, maximum, minimum, minimum, value));
                changed = true;
            } else if (value > maximum) {
                values[k] = number_text(dialog.ask(where, p.unit, maximum, minimum, maximum, value));
                changed = true;
            }
        }
        line = call_line_text(macro, values);
    }
    return true;
}

}  // namespace kelvo
