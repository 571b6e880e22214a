#pragma once
// The read-only attribute of a document file. Where files have no such
// attribute it is the absence of write permission: a read-only file has no
// write bit; making it writable again gives the owner the write bit.
#include <string>

namespace kelvo {

// False for a file that is writable or missing.
bool is_read_only(const std::string& path);
// Inverts the attribute. A missing file is left alone: false when the
// attributes could not be read or written.
bool toggle_read_only(const std::string& path);
bool set_read_only(const std::string& path, bool read_only);

}  // namespace kelvo
