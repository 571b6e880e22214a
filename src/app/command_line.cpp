#include "app/command_line.h"

#include "ground/text_utils.h"

#include <algorithm>

namespace kelvo {

bool CommandLineOptions::chemstation() const { return same_text(data_system, "HPCS"); }
bool CommandLineOptions::masslynx() const { return same_text(data_system, "MASSLYNX"); }

bool CommandLineOptions::page_shown(Page page) const
{
    switch (page) {
    case Page::sample_list: return sample_list_page;
    case Page::method: return method_page;
    case Page::macro: return macro_page;
    }
    return false;
}

Page CommandLineOptions::first_page() const
{
    if (sample_list_page) return Page::sample_list;
    if (method_page) return Page::method;
    if (macro_page) return Page::macro;
    return Page::method;
}

namespace {
bool has_prefix(const std::string& arg, const char* prefix, std::string& value)
{
    const std::string p(prefix);
    if (arg.size() < p.size() || !same_text(arg.substr(0, p.size()), p)) return false;
    value = arg.substr(p.size(), switch_value_limit);
    return true;
}
}  // namespace

CommandLineOptions parse_command_line(const std::vector<std::string>& args)
{
    CommandLineOptions o;
    std::string value;
    const bool only_columns = std::all_of(args.begin(), args.end(), [&](const std::string& arg) {
        return has_prefix(arg, "COLS:", value);
    });
    if (only_columns) {
        o.sample_list_page = true;
        o.method_page = true;
    }
    for (const std::string& arg : args) {
        if (has_prefix(arg, "COLS:", value)) o.columns_file = value;
        else if (only_columns) continue;
        else if (has_prefix(arg, "DS:", value)) o.data_system = value;
        else if (has_prefix(arg, "SR:", value)) o.service_name = value;
        else if (has_prefix(arg, "IN:", value)) o.instrument_type = value;
        else if (same_text(arg, "ON")) o.offline = o.offline_by_switch = false;
        else if (same_text(arg, "OFF")) o.offline = o.offline_by_switch = true;
        else if (same_text(arg, "LST")) o.sample_list_page = true;
        else if (same_text(arg, "MET")) o.method_page = true;
        else if (same_text(arg, "MAC")) o.macro_page = true;
        else if (same_text(arg, "DBG")) o.debug_window = true;
        else if (same_text(arg, "SNG")) o.single_macro = true;
    }
    return o;
}

}  // namespace kelvo
