#pragma once
// The check the configuration parse applies to the minimum, maximum, default
// and increment texts of list-index and numeric atom arguments.
#include <string>

namespace kelvo {

class ConfigDb;

// The validity test of the text in the argument's unit: empty refused,
// "SYR." allowed, the atom (by index in db) as context, no parameters.
bool bound_check(const ConfigDb& db, const std::string& text, const std::string& unit, int atom);

}  // namespace kelvo
