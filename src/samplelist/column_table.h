#pragma once
// The column table of the sample list: one record per column, the ten fixed
// columns first. The sample list, its files, its column form and the Test
// Parameters form of a method run all read it.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

enum class ColumnKind { text = 1, numeric = 2, list = 3, check_box = 4, choice = 5, status = 6 };

// The live lists a choice column offers.
enum class ProgramList { none, method_names, tray_names, injector_names };

struct SampleColumn {
    std::string heading;  // header text; the column's key in files and settings
    std::string default_value;
    ColumnKind kind = ColumnKind::text;
    bool flag_a = true;
    bool editable = false;
    bool flag_b = false;
    std::int32_t text_length = 0;
    std::int16_t decimals = 0;
    double minimum = 0, maximum = 0;
    std::int32_t item_count = 0, first_item = 0;
    ProgramList program_list = ProgramList::none;
    double width = 64;
    bool hidden = false;
};

// Positions of the fixed columns (0-based).
namespace column {
inline constexpr int status = 0, method = 1, volume = 2, tray = 3, injector = 4, volume2 = 5, tray2 = 6,
                     injector2 = 7, vial = 8, inj_per_vial = 9;
inline constexpr int fixed_count = 10;
}  // namespace column

// The ten fixed columns with their defaults; the choice columns default to
// the first name of their list (empty when the list is empty).
std::vector<SampleColumn> fixed_columns(const std::vector<std::string>& method_names,
                                        const std::vector<std::string>& tray_names,
                                        const std::vector<std::string>& injector_names);

}  // namespace kelvo
