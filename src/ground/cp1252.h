#pragma once
// Windows-1252 <-> Unicode. Every byte maps to a code point and back; the
// five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// map to the C1 control points of the same value so nothing is lost.
#include <string>

namespace kelvo {

char32_t cp1252_to_unicode(unsigned char byte);
// false when the code point has no Windows-1252 byte.
bool unicode_to_cp1252(char32_t code_point, unsigned char& byte);

// Whole texts through UTF-8 (the command-line companion's input and output,
// file names on Linux). Characters Windows-1252 cannot hold become "?" and
// ok (when given) is set false.
std::string cp1252_to_utf8(const std::string& text);
std::string utf8_to_cp1252(const std::string& text, bool* ok = nullptr);

}  // namespace kelvo
