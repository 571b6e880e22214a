#pragma once
// The switches of the program's command line and what they decide: data
// system, offline mode, which page tabs are shown, the debug window and
// single-macro mode.
#include "ground/document_kind.h"

#include <string>
#include <vector>

namespace kelvo {

struct CommandLineOptions {
    std::string data_system = "Standalone";  // "DS:"
    std::string service_name;                 // "SR:"
    std::string instrument_type;              // "IN:"
    bool offline = false;                     // "OFF" / "ON"
    bool offline_by_switch = false;           // "OFF": no Step/Run, no offline notice
    bool sample_list_page = false;            // "LST"
    bool method_page = false;                 // "MET"
    bool macro_page = false;                  // "MAC"
    bool debug_window = false;                // "DBG"
    bool single_macro = false;                // "SNG"
    // "COLS:": a column-definition file read once after the configuration,
    // for users whose data system cannot announce its columns itself.
    std::string columns_file;

    // Data-system name "HPCS".
    bool chemstation() const;
    // Data-system name "MASSLYNX".
    bool masslynx() const;
    // Whether the tab of the page is shown.
    bool page_shown(Page page) const;
    // The page in front at start: the first shown of sample list, method and
    // macro; the method page when no tab is shown.
    Page first_page() const;
};

// The longest value taken from a "DS:", "SR:" or "IN:" argument.
inline constexpr std::size_t switch_value_limit = 1000;

// args are the arguments after the program name. Switches compare without
// regard to case; "DS:", "SR:" and "IN:" are prefixes whose rest is the
// value, the others must match the whole argument. Unknown arguments are
// ignored; a later argument overrides an earlier one. With no argument at
// all ("COLS:" does not count) the sample list and method tabs are shown.
CommandLineOptions parse_command_line(const std::vector<std::string>& args);

}  // namespace kelvo
