#pragma once
// The lists an expansion builds and a run walks: `running_method` (the
// method's macro calls framed by the special parts), `running_macro_params`
// (the parameter lines of every call, in call order) and `expanded_method`
// (one atom line per atom of every call, and the CHECK markers), with the
// three numbers recorded per expanded line and the body's bounds. The
// instrument link owns one RunLists.
#include <cstddef>
#include <string>
#include <vector>

namespace kelvo {

inline constexpr const char* check_sl_entry_marker = "CHECK SL ENTRY()";
inline constexpr const char* check_sl_exit_marker = "CHECK SL EXIT()";

// Where an `expanded_method` line came from.
struct ExpandedLineOrigin {
    int method_line = 0;     // index of its `running_method` line
    int param_position = 0;  // position in `running_macro_params` of its macro's first parameter
    int param_count = 0;     // its macro's parameter count (0 for a CHECK marker)
    bool operator==(const ExpandedLineOrigin&) const = default;
};

struct RunLists {
    // A run never holds more expanded lines than this.
    static constexpr std::size_t expanded_capacity = 1000;

    std::string syringe;  // the method's syringe, for "SYR." references
    std::vector<std::string> running_method;
    std::vector<std::string> running_macro_params;
    std::vector<std::string> expanded_method;
    std::vector<ExpandedLineOrigin> origins;  // one per `expanded_method` line
    // Indexes of `expanded_method`: where the method's own part begins
    // (with "METHOD ENTRY") and where it ends (before "METHOD EXIT").
    int body_start = 0;
    int body_end = 0;
    std::vector<int> marker_lines;  // `running_method` indexes of the CHECK markers

    void clear();
    // True for a `running_method` line that is a CHECK marker placed by the
    // expansion (a method line of the same text is no marker).
    bool is_marker_line(int method_line) const;
    // The parameter lines of the macro that expanded line k came from.
    std::vector<std::string> macro_params_of(std::size_t k) const;
};

}  // namespace kelvo
