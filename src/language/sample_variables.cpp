#include "language/sample_variables.h"

#include "ground/text_utils.h"

#include <cstdlib>
#include <limits>

namespace kelvo {

SampleVariables& sample_variables()
{
    static SampleVariables variables;
    return variables;
}

namespace {

// Optional "-" and digits, within the 32-bit range.
bool read_count(const std::string& text, int& value)
{
    if (!is_integer(text) || text.size() > 12) return false;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

bool set_sample_variable(SampleVariables& variables, const std::string& name, const std::string& value)
{
    if (same_text(name, "SL.volume") || same_text(name, "SL.volume2")) {
        double v;
        if (!parse_decimal(value, v)) return false;
        (same_text(name, "SL.volume") ? variables.volume : variables.volume2) = v;
        return true;
    }
    if (same_text(name, "SL.index")) return read_count(value, variables.index);
    if (same_text(name, "SL.injpervial")) return read_count(value, variables.injpervial);
    if (same_text(name, "SL.tray")) variables.tray = value;
    else if (same_text(name, "SL.tray2")) variables.tray2 = value;
    else if (same_text(name, "SL.injector")) variables.injector = value;
    else if (same_text(name, "SL.injector2")) variables.injector2 = value;
    else return false;
    return true;
}

}  // namespace kelvo
