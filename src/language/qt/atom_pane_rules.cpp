#include "language/qt/atom_pane_rules.h"

#include "ground/text_utils.h"
#include "language/value_checks.h"

#include <algorithm>

namespace kelvo {
namespace {

bool shares(std::uint32_t set, std::uint32_t bit) { return bit != 0 && (set & bit) != 0; }

}  // namespace

std::string argument_label(const AtomArgument& argument)
{
    if (argument.kind != ArgumentKind::numeric || argument.unit.empty()) return argument.name;
    if (argument.unit == "s") return argument.name + " (m:ss)";
    return argument.name + " (" + argument.unit + ")";
}

std::string argument_hint(const ConfigDb& db, const AtomArgument& argument)
{
    switch (argument.kind) {
    case ArgumentKind::numeric:
        return "Range: " + argument.minimum + " to " + argument.maximum + "\n\tDefault: " + argument.default_value;
    case ArgumentKind::object: {
        std::string hint;
        for (int c = 0; c < db.class_count(); ++c) {
            if (!ConfigDb::test_bit(argument.list_or_classes, c)) continue;
            if (!hint.empty()) hint += " or ";
            hint += db.classes()[static_cast<std::size_t>(c)].name;
        }
        return hint;
    }
    case ArgumentKind::list_index: break;
    }
    return {};
}

std::string new_argument_text(const ConfigDb& db, const AtomArgument& argument, const ParameterTable& parameters)
{
    if (argument.kind == ArgumentKind::numeric)
        return argument.required ? display_form(argument.default_value, argument.unit) : std::string();
    const std::vector<std::string> entries = argument_entries(db, argument, parameters);
    return entries.empty() ? std::string() : entries.front();
}

PaneContent atom_pane_content(const ConfigDb& db, const ConfigAtom& atom, const std::vector<std::string>* values,
                              const ParameterTable& parameters, std::size_t slot_count)
{
    PaneContent content;
    const std::size_t count = atom.arguments.size();
    const std::size_t shown = std::min(count, slot_count);
    auto value_of = [values](std::size_t i) {
        return values && i < values->size() ? (*values)[i] : std::string();
    };
    for (std::size_t i = 0; i < shown; ++i) {
        const AtomArgument& argument = atom.arguments[i];
        const std::string label = argument_label(argument);
        const std::string hint = argument_hint(db, argument);
        const std::string value = value_of(i);
        if (argument.kind == ArgumentKind::numeric)
            content.add_text(label, hint,
                             values ? display_form(value, argument.unit) : new_argument_text(db, argument, parameters));
        else
            content.add_choice(label, hint, argument_entries(db, argument, parameters), values ? &value : nullptr);
    }
    // Arguments beyond the slots keep their values (or the atom's defaults).
    for (std::size_t i = shown; i < count; ++i) {
        const AtomArgument& argument = atom.arguments[i];
        if (values) content.hidden_values.push_back(value_of(i));
        else if (argument.kind == ArgumentKind::numeric)
            content.hidden_values.push_back(argument.required ? argument.default_value : std::string());
        else content.hidden_values.push_back(new_argument_text(db, argument, parameters));
    }
    return content;
}

std::vector<std::string> list_entries(const ConfigDb& db, const AtomArgument& argument)
{
    return db.list(static_cast<int>(argument.list_or_classes)).entries;
}

std::vector<std::string> object_entries(const ConfigDb& db, std::uint32_t classes, const ParameterTable& parameters)
{
    std::vector<std::string> entries;
    for (int c = 0; c < db.class_count(); ++c) {
        if (!ConfigDb::test_bit(classes, c)) continue;
        for (const ConfigObject& object : db.objects())
            if (object.class_index == c) entries.push_back(object.name);
    }
    const std::uint32_t syringe = db.has_syringe_class() ? (1u << db.syringe_class()) : 0u;
    if (shares(classes, syringe)) entries.push_back("SYR");
    if (shares(classes, db.tray_bit())) {
        entries.push_back("SL.tray");
        entries.push_back("SL.tray2");
    }
    if (shares(classes, db.injector_bit())) {
        entries.push_back("SL.injector");
        entries.push_back("SL.injector2");
    }
    if (shares(classes, db.out_signal_bit()) || shares(classes, db.sync_signal_bit())) entries.push_back("None");
    for (const MacroParameter& p : parameters)
        if (p.is_object() && (p.classes & classes) != 0 && !p.name.empty()) entries.push_back(p.name);
    return entries;
}

std::vector<std::string> argument_entries(const ConfigDb& db, const AtomArgument& argument,
                                          const ParameterTable& parameters)
{
    switch (argument.kind) {
    case ArgumentKind::list_index: return list_entries(db, argument);
    case ArgumentKind::object: return object_entries(db, argument.list_or_classes, parameters);
    case ArgumentKind::numeric: break;
    }
    return {};
}

std::vector<std::string> atom_param_popup_items(const ConfigDb& db, const AtomArgument& argument,
                                                const std::vector<std::string>& parameter_lines)
{
    std::vector<std::string> items{"Default: " + argument.default_value};
    for (const std::string& name : reference_fill_3(db, argument.unit, parameter_lines)) add_unique_name(items, name);
    return items;
}

std::string popup_choice_text(const std::string& caption, bool first_item)
{
    static const std::string prefix = "Default: ";
    if (first_item && caption.compare(0, prefix.size(), prefix) == 0) return caption.substr(prefix.size());
    return caption;
}

bool parameter_fits_argument(const MacroParameter& parameter, const AtomArgument& argument)
{
    if (parameter.name.empty()) return false;
    if (parameter.is_object())
        return argument.kind == ArgumentKind::object && (parameter.classes & argument.list_or_classes) != 0;
    return argument.kind == ArgumentKind::numeric && parameter.unit == argument.unit;
}

std::optional<MacroParameter> dropped_parameter(const ConfigDb& db, Prompts& prompts, const ConfigAtom& atom,
                                                int slot, const std::string& line,
                                                const std::vector<std::string>& parameter_lines,
                                                const ParameterTable& parameters)
{
    if (slot < 0 || slot >= atom_pane_slots || slot >= static_cast<int>(atom.arguments.size())) return std::nullopt;
    std::optional<MacroParameter> parameter;
    for (std::size_t i = 0; i < parameter_lines.size() && i < parameters.size() && !parameter; ++i)
        if (parameter_lines[i] == line && !parameters[i].name.empty()) parameter = parameters[i];
    if (!parameter) {
        MacroParameter read;
        if (!read_parameter_line(db, prompts, line, read)) return std::nullopt;
        parameter = read;
    }
    if (!parameter_fits_argument(*parameter, atom.arguments[static_cast<std::size_t>(slot)])) return std::nullopt;
    return parameter;
}

std::vector<std::string> parameter_units(const ConfigDb& db)
{
    std::vector<std::string> units{"None"};
    for (const ConfigAtom& atom : db.atoms())
        for (const AtomArgument& argument : atom.arguments)
            if (argument.kind == ArgumentKind::numeric && !argument.unit.empty()) add_unique_name(units, argument.unit);
    return units;
}

}  // namespace kelvo
