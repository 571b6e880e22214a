#pragma once
// The single operands of parameter expressions, shared by the validity test
// and the evaluation. Private to the expression files.
#include <string>
#include <string_view>

namespace kelvo {

class ConfigDb;

namespace expression_parts {

// Equal without regard to ASCII letter case.
bool iequal(std::string_view a, std::string_view b);

// A plain number (the decimal form); its value into *value when given.
bool plain_number(std::string_view text, double* value);
// A time form; its seconds into *seconds when given.
bool time_form(std::string_view text, double* seconds);

// The part before the first "." (empty without one) and the part after it.
std::string head_of(std::string_view text);
std::string tail_of(std::string_view text);

// "SYR." and a numeric property of the syringe class in that unit: the
// property's position in the syringe class, else -1.
int syringe_property(const ConfigDb& db, std::string_view text, const std::string& unit);

// Position of the atom's first argument of that name, -1 when none (or no atom).
int argument_position(const ConfigDb& db, int atom, std::string_view name);

// A.B names object argument A of the atom and either B is "Max Index" and
// the unit empty, or some class has a numeric property B in that unit.
bool object_property_fits(const ConfigDb& db, int atom, std::string_view text, const std::string& unit);

// The first numeric property of that name (and, when given, that unit) of the
// object's class, read for the object; 0 when the object or property is unknown.
double numeric_property_of(const ConfigDb& db, int object, const std::string& property, const std::string* unit);
double numeric_property_of(const ConfigDb& db, const std::string& object, const std::string& property,
                           const std::string* unit);

}  // namespace expression_parts
}  // namespace kelvo
