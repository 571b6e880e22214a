#pragma once
// Whole files in and out. Paths are the file system's own names.
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// The lines of a text whose lines end with CR LF, LF or CR alone; the line
// ends are removed and a last line end does not start another line.
std::vector<std::string> split_text_lines(const std::string& bytes);

// The most a file reader takes: far above any configuration, document or
// settings file (a configuration is a few kilobytes).
inline constexpr std::uintmax_t file_read_limit = 64u * 1024 * 1024;

// The bytes of the regular file (or link to one) at path. False when it
// cannot be read, is no regular file (a folder, a device such as /dev/zero,
// a pipe) or holds more than limit bytes.
bool read_file_bytes(const std::string& path, std::string& bytes, std::uintmax_t limit = file_read_limit);
// The lines of the file at path, read as read_file_bytes reads it. False
// when it cannot be read.
bool read_text_lines(const std::string& path, std::vector<std::string>& lines);

// Writes through a temporary file in the same folder and a rename, so a
// crash or a full disk never leaves a half-written file. False (and the old
// file untouched) when any step fails.
bool write_file_atomically(const std::string& path, const std::string& bytes);

}  // namespace kelvo
