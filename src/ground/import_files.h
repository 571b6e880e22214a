#pragma once
// "&Import...": copies documents chosen anywhere into the method folder.
#include "ground/debug_lines.h"

#include <string>
#include <vector>

namespace kelvo {

inline constexpr const char* import_dialog_title = "Import KELVO file";

// "*.ksl;*" + method extension + ";*.kma".
std::string import_patterns(const std::string& method_extension);
// "Kelvo files (" + patterns + ")".
std::string import_filter_description(const std::string& method_extension);

// The folder of a path, without its final separator.
std::string folder_of(const std::string& path);

// Copies every file into the method folder under its own name, unless the
// first file already lies in the method folder. A file of that name in the
// method folder is never overwritten (that copy is skipped silently). Each
// copy is announced to debug: source + " -> " + destination. Returns the
// number of files copied. Paths are Windows-1252 text.
int import_documents(const std::vector<std::string>& files, const std::string& method_folder, const DebugSink& debug);

}  // namespace kelvo
