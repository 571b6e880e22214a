#pragma once
// The list of the method folder dialog: the folder in use or a folder just
// browsed to goes to the top, and an equal later entry leaves the list.
#include <string>
#include <vector>

namespace kelvo {

inline constexpr const char* folder_form_caption = "Method Folder";
inline constexpr const char* folder_form_text = "Please choose folder for macros, methods, and sample lists.";

// Inserts the folder at position 0, then deletes the first later entry that
// equals it (same_text).
void put_folder_on_top(std::vector<std::string>& folders, const std::string& folder);

}  // namespace kelvo
