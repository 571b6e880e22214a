#pragma once
// Turning an atom line of a run into the command text the instrument gets,
// at the moment it is sent: list names become list positions (-1 when the
// name is not in the list), object arguments take the current sample-list
// objects, "SYR" the mounted syringe and parameter names the call's values,
// numeric arguments are evaluated, checked against their bounds (the
// out-of-range dialog decides a value outside them), scaled to thousandths
// for "mm", "µl", "°C" and "µl/s" and cut to an integer toward zero.
#include "engine/run_lists.h"
#include "language/expression.h"

#include <optional>
#include <string>

namespace kelvo {

class ConfigDb;
class OutOfRangeDialog;
class Prompts;

// What a resolution reads besides the line itself.
struct ResolveInput {
    const ConfigDb& db;
    const RunLists& lists;   // the method's syringe, its calls and parameter lines
    const RunValues& values;  // sample-list values, mounted syringe, repeat counters
    OutOfRangeDialog& dialog;
    Prompts& prompts;  // the error boxes of a failed resolution
};

// Line k of the expanded method (the command list of a run). nullopt after a
// failure, whose message has been shown (an error box of in.prompts). A line whose name is no
// atom of the configuration is returned unchanged.
std::optional<std::string> resolve_command(const ResolveInput& in, std::size_t k, const std::string& line);

// A line of the error path: no macro parameters; objects take only the
// sample-list and "SYR" replacements.
std::optional<std::string> resolve_error_command(const ResolveInput& in, const std::string& line);

// A number as the instrument takes it: scaled units times 1000, the fraction
// cut off toward zero. False for a value that is not finite or too large for
// an integer of the instrument.
bool instrument_integer(double value, const std::string& unit, std::string& out);

}  // namespace kelvo
