#pragma once
// What the user chose for the sample list's columns, kept in four settings
// keys with one value per column named by its heading (matched without
// regard to case): shown or hidden, width, default, and the value the tray
// page's default sheet shows. A key that cannot be opened is skipped; the
// columns then keep what they have in memory.
//
// A key without any value counts as a missing key: it is (re)written with
// every column's current setting. (Otherwise an emptied width key would
// make every column zero wide.)
#include <string>
#include <vector>

namespace kelvo {

class ColumnTable;
class SettingsStore;

inline constexpr const char* visibility_key = "Sample List Columns";
inline constexpr const char* widths_key = "Sample List Column widths";
inline constexpr const char* defaults_key = "Sample List Column defaults";
inline constexpr const char* tray_page_defaults_key = "Tray Page Column defaults";

inline constexpr double default_column_width = 10.0;

// At grid set-up: visibility, then widths, then defaults.
void load_column_settings(SettingsStore& store, ColumnTable& columns);

void save_column_visibility(SettingsStore& store, const ColumnTable& columns);
void save_column_widths(SettingsStore& store, const ColumnTable& columns);
void save_column_defaults(SettingsStore& store, const ColumnTable& columns);

// The tray page's default sheet shows every column but Status, Tray and Vial.
bool is_tray_page_column(const ColumnTable& columns, int col);

// values[col - 1] is the tray-page value of column col (the caller fills in
// the current values: the column default for a hidden column, otherwise
// the default sheet's cell). With the key present, the columns it names
// take its values; without it, it is written from `values`.
void load_tray_page_defaults(SettingsStore& store, const ColumnTable& columns, std::vector<std::string>& values);
// Replaces the key's values by the tray-page columns' current values.
void save_tray_page_defaults(SettingsStore& store, const ColumnTable& columns, const std::vector<std::string>& values);

}  // namespace kelvo
