#pragma once
// What the atom pane and the parameter dialog show for an atom argument or a
// parameter, kept apart from the widgets so that the rules read in one place.
// Texts are Windows-1252 bytes.
#include "config/config_db.h"
#include "language/parameter_line.h"
#include "language/qt/pane_content.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

// The pane has this many argument slots; arguments beyond them are kept but
// not shown.
inline constexpr int atom_pane_slots = 14;

// The slot label: for a numeric argument the name with " (m:ss)" for
// seconds or " (UNIT)" for another unit; the bare name otherwise.
std::string argument_label(const AtomArgument& argument);
// Numeric: "Range: MIN to MAX\n\tDefault: DEFAULT" (the texts as stored).
// Object: the names of the classes of the set joined by " or ". List index:
// empty.
std::string argument_hint(const ConfigDb& db, const AtomArgument& argument);
// What a new atom shows: a required numeric argument its default in display
// form, an optional one nothing; list-index and object arguments their first
// entry.
std::string new_argument_text(const ConfigDb& db, const AtomArgument& argument, const ParameterTable& parameters);

// The pane for the atom, showing the values of an atom line, or a new atom
// when values is nullptr. Arguments beyond the first `slot_count` keep their
// values (or the atom's defaults).
PaneContent atom_pane_content(const ConfigDb& db, const ConfigAtom& atom, const std::vector<std::string>* values,
                              const ParameterTable& parameters, std::size_t slot_count);

// The entries of a list-index argument's drop-down box.
std::vector<std::string> list_entries(const ConfigDb& db, const AtomArgument& argument);
// The entries of an object argument's drop-down box: the objects of each class
// of the set (class by class, objects in object order), then the special
// names the set allows, then the object parameters that share a class.
std::vector<std::string> object_entries(const ConfigDb& db, std::uint32_t classes, const ParameterTable& parameters);
// The drop-down entries of any non-numeric argument.
std::vector<std::string> argument_entries(const ConfigDb& db, const AtomArgument& argument,
                                          const ParameterTable& parameters);

// `atom_param_popup` for a numeric argument: "Default: " + the default, then
// the names that may stand for a value of the argument's unit.
std::vector<std::string> atom_param_popup_items(const ConfigDb& db, const AtomArgument& argument,
                                                const std::vector<std::string>& parameter_lines);
// The text a chosen popup item puts into the box: the caption, or for the
// first item the text after "Default: ".
std::string popup_choice_text(const std::string& caption, bool first_item);

// Whether a parameter dragged from the parameter list may be dropped on an
// argument: numeric on numeric of the same unit, object on object sharing a
// class.
bool parameter_fits_argument(const MacroParameter& parameter, const AtomArgument& argument);
// The parameter a line dragged from the parameter list stands for (the
// macro's own for one of its parameter lines, else the line read anew), when
// it fits the atom's argument in the slot (from 0); nullopt otherwise. A line
// read anew that cannot be read shows its message through prompts.
std::optional<MacroParameter> dropped_parameter(const ConfigDb& db, Prompts& prompts, const ConfigAtom& atom,
                                                int slot, const std::string& line,
                                                const std::vector<std::string>& parameter_lines,
                                                const ParameterTable& parameters);

// The units of `units_box`: "None", then every distinct non-empty unit of the
// numeric arguments of all atoms, in atom and argument order.
std::vector<std::string> parameter_units(const ConfigDb& db);

}  // namespace kelvo
