#pragma once
// Macro parameter lines and the parameter tables read from them.
//
//   numeric: NAME (UNIT);DEFAULT;MINIMUM;MAXIMUM   (UNIT may be empty: "NAME ()")
//   object:  NAME;CLASS;CLASS...
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
class Prompts;
struct Context;

// The editor panes have this many parameter slots.
inline constexpr int macro_parameter_capacity = 14;

struct MacroParameter {
    std::string name;
    std::string unit;               // numeric parameters only
    std::string default_value = "0";
    std::string minimum = "0";
    std::string maximum = "0";
    std::uint32_t classes = 0;      // object parameters: the allowed classes; 0 for numeric ones
    bool is_object() const { return classes != 0; }
    bool operator==(const MacroParameter&) const = default;
};

// Parameters slot by slot, in line order.
using ParameterTable = std::vector<MacroParameter>;

// Reads one parameter line against the configuration db. A class field that
// is no class shows FIELD + " is not a class"; a bad default, minimum or
// maximum shows NAME + ": " + VALUE + " makes no sense " (error box, through
// prompts). A numeric line whose first field lacks "(" ... ")" or gives an
// empty name fails without a message of its own (the caller reports the line).
bool read_parameter_line(const ConfigDb& db, Prompts& prompts, const std::string& line, MacroParameter& parameter);

// Reads every line into a table against the context's configuration. Every
// line is read (each failure shows its own message through the context's
// prompts); false when any failed. failed_lines (when given) receives the
// 1-based numbers of the failing lines.
bool read_parameter_table(const Context& context, const std::vector<std::string>& lines, ParameterTable& table,
                          std::vector<int>* failed_lines = nullptr);

// The lines the parameter dialog produces.
std::string numeric_parameter_line(const std::string& name, const std::string& unit, const std::string& default_value,
                                   const std::string& minimum, const std::string& maximum);
// The classes of the set in class order.
std::string object_parameter_line(const ConfigDb& db, const std::string& name, std::uint32_t classes);

// The first parameter of that name (without regard to case), or nullptr.
const MacroParameter* find_parameter(const ParameterTable& table, const std::string& name);
// Its position, or -1.
int parameter_position(const ParameterTable& table, const std::string& name);
std::vector<std::string> parameter_names(const ParameterTable& table);

}  // namespace kelvo
