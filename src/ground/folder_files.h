#pragma once
// Files of a folder as the document lists see them.
#include "ground/debug_lines.h"

#include <string>
#include <vector>

namespace kelvo {

// The file_title of every regular file (or link to one) of folder whose name ends with extension
// (without regard to case; an empty extension matches every entry), in the
// order the file system lists them. Names that Windows-1252 cannot hold are
// left out with a line to debug (when it is set).
std::vector<std::string> folder_file_titles(const std::string& folder, const std::string& extension,
                                            const DebugSink& debug);
// The same, with the lines going to the program's debug list.
std::vector<std::string> folder_file_titles(const std::string& folder, const std::string& extension);

// Splits a pattern "FOLDER/*EXT" (or with "\") into folder and extension.
void split_pattern(const std::string& pattern, std::string& folder, std::string& extension);

}  // namespace kelvo
