#pragma once
// Reading a configuration text from a file (the saved copy, or a file given
// to the command-line companion).
#include <string>
#include <vector>

namespace kelvo {

// The lines of a text whose lines end with CR LF or LF; the line ends are
// removed and a last line end does not start another line.
std::vector<std::string> split_text_lines(const std::string& bytes);

// The lines of the file at path (the file system's own name). False when it
// cannot be read.
bool read_text_lines(const std::string& path, std::vector<std::string>& lines);

}  // namespace kelvo
