#include "language/bound_check.h"

// Provisional: replaced by the expression validity test.
namespace kelvo {
bool bound_check(const ConfigDb&, const std::string& text, const std::string&, int) { return !text.empty(); }
}  // namespace kelvo
