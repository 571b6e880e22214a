#pragma once
// Whole files in and out. Paths are the file system's own names.
#include <string>
#include <vector>

namespace kelvo {

// The lines of a text whose lines end with CR LF, LF or CR alone; the line
// ends are removed and a last line end does not start another line.
std::vector<std::string> split_text_lines(const std::string& bytes);

// The bytes of the file at path. False when it cannot be read.
bool read_file_bytes(const std::string& path, std::string& bytes);
// The lines of the file at path. False when it cannot be read.
bool read_text_lines(const std::string& path, std::vector<std::string>& lines);

// Writes through a temporary file in the same folder and a rename, so a
// crash or a full disk never leaves a half-written file. False (and the old
// file untouched) when any step fails.
bool write_file_atomically(const std::string& path, const std::string& bytes);

}  // namespace kelvo
