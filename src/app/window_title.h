#pragma once
// The main window's title: product name by data system, the offline mark
// and the method folder (long folders shortened in the middle).
#include <string>

namespace kelvo {

// What the window shows until the title is first set.
inline constexpr const char* initial_window_title = "KELVO Cadenzor";

// The folder as the title shows it: whole up to 50 characters; from 51 on
// the first 24 characters, "..." and the last 25.
std::string title_folder_text(const std::string& folder);

// "KELVO Ostinar" in ChemStation mode, else "KELVO Cadenzor"; then
// " -- offline" while offline; then "   (" + folder text + ")".
std::string window_title(bool chemstation, bool offline, const std::string& folder);

}  // namespace kelvo
