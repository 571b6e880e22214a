#pragma once
// What the Method Editor's pane shows for a call of a macro, kept apart from
// the widgets: a slot for each parameter of the called macro, with the call's
// values or the macro's defaults. Hints and defaults follow the method's
// syringe. Texts are Windows-1252 bytes.
#include "config/config_db.h"
#include "language/parameter_line.h"
#include "language/qt/pane_content.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kelvo {

// The pane for the called macro's parameters, showing the call's values, or
// the defaults when values is nullptr. Parameters beyond the first `slot_count`
// keep their values (or their defaults).
PaneContent call_pane_content(const ConfigDb& db, const ParameterTable& parameters,
                              const std::vector<std::string>* values, const std::string& syringe,
                              std::size_t slot_count);

// `macro_param_popup` for a numeric parameter: "Default: ..." first, then the
// names that may stand for a value of the parameter's unit.
std::vector<std::string> call_popup_items(const ConfigDb& db, const MacroParameter& parameter,
                                          const std::string& syringe);

}  // namespace kelvo
