#pragma once
// The check the configuration parse applies to the minimum, maximum, default
// and increment texts of list-index and numeric atom arguments.
#include "ground/debug_lines.h"
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
class Prompts;

// The validity test of the text in the argument's unit: empty refused,
// "SYR." allowed, the atom (by index in db) as context, no parameters.
bool bound_check(const ConfigDb& db, const std::string& text, const std::string& unit, int atom);

// ConfigDb::parse with the check above: how every caller parses a
// configuration text. Failures are shown through prompts (error box).
bool parse_configuration(ConfigDb& db, const std::vector<std::string>& lines, Prompts& prompts,
                         const DebugSink& debug);

}  // namespace kelvo
