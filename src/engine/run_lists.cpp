#include "engine/run_lists.h"

#include <algorithm>

namespace kelvo {

void RunLists::clear()
{
    syringe.clear();
    running_method.clear();
    running_macro_params.clear();
    expanded_method.clear();
    origins.clear();
    marker_lines.clear();
    body_start = 0;
    body_end = 0;
}

bool RunLists::is_marker_line(int method_line) const
{
    return std::find(marker_lines.begin(), marker_lines.end(), method_line) != marker_lines.end();
}

std::vector<std::string> RunLists::macro_params_of(std::size_t k) const
{
    if (k >= origins.size()) return {};
    const ExpandedLineOrigin& o = origins[k];
    const auto size = static_cast<int>(running_macro_params.size());
    const int first = std::clamp(o.param_position, 0, size);
    const int last = std::clamp(o.param_position + o.param_count, first, size);
    return {running_macro_params.begin() + first, running_macro_params.begin() + last};
}

}  // namespace kelvo
