#include "ground/cp1252.h"

namespace kelvo {
namespace {

// 0x80 to 0x9F; the rest of the bytes are Latin-1.
constexpr char32_t high_table[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void append_utf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

char32_t cp1252_to_unicode(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F) return high_table[byte - 0x80];
    return byte;
}

bool unicode_to_cp1252(char32_t cp, unsigned char& byte)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        byte = static_cast<unsigned char>(cp);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (high_table[i] == cp) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    byte = '?';
    return false;
}

std::string cp1252_to_utf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) append_utf8(out, cp1252_to_unicode(c));
    return out;
}

std::string utf8_to_cp1252(const std::string& text, bool* ok)
{
    std::string out;
    out.reserve(text.size());
    bool all = true;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char32_t cp;
        std::size_t len;
        if (c < 0x80) { cp = c; len = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
        else { cp = 0xFFFD; len = 1; }
        bool valid = cp != 0xFFFD && i + len <= text.size();
        for (std::size_t k = 1; valid && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) valid = false;
            else cp = (cp << 6) | (cc & 0x3F);
        }
        if (!valid) { cp = 0xFFFD; len = 1; }
        unsigned char byte;
        if (!unicode_to_cp1252(cp, byte)) all = false;
        out += static_cast<char>(byte);
        i += len;
    }
    if (ok) *ok = all;
    return out;
}

}  // namespace kelvo
