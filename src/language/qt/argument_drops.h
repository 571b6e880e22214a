#pragma once
// Parameters dragged from the Macro Editor's parameter list onto the atom
// pane: a parameter line dropped on an argument's box puts the parameter's
// name there when the parameter fits the argument (same unit, or a shared
// class). Which parameters fit is atom_pane_rules' dropped_parameter.
#include "language/qt/editor_page.h"

#include <array>
#include <functional>
#include <string>

namespace kelvo {

class MacroDocument;
class MacroParameterList;

class ArgumentDrops {
public:
    using Slots = std::array<EditorPage::PaneSlot, editor_pane_slots>;
    // Every slot's text box and drop-down box take the lines dragged from the
    // list. pane_atom() is the atom the pane shows (index in the
    // configuration, -1 when none); the document has the macro's parameters.
    ArgumentDrops(MacroParameterList& list, const Slots& pane, const MacroDocument& document,
                  std::function<int()> pane_atom);

    // Whether the parameter line may be dropped on the argument in the slot
    // (from 0), and the drop itself; false and nothing changed when it does
    // not fit.
    bool can_drop(int slot, const std::string& parameter_line) const;
    bool drop(int slot, const std::string& parameter_line);

private:
    const Slots& slots_;
    const MacroDocument& document_;
    std::function<int()> pane_atom_;
};

}  // namespace kelvo
