#include "ground/text_utils.h"

#include "ground/prompts.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace kelvo {
namespace {

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool same_text(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

bool less_without_case(const std::string& a, const std::string& b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(ascii_lower(a[i]));
        const auto y = static_cast<unsigned char>(ascii_lower(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

void add_unique_name(std::vector<std::string>& names, const std::string& name)
{
    for (const std::string& n : names)
        if (same_text(n, name)) return;
    names.push_back(name);
}

std::string upper_text(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string next_field(const std::string& text, std::size_t& pos, char delimiter)
{
    while (pos < text.size() && text[pos] == ' ') ++pos;
    std::string field;
    while (pos < text.size() && text[pos] != delimiter && text[pos] != '\0') field += text[pos++];
    if (pos < text.size() && text[pos] == delimiter) ++pos;
    return field;
}

std::size_t first_non_blank(const std::string& text)
{
    std::size_t i = 1;
    while (i < text.size() && text[i - 1] == ' ') ++i;
    return i;
}

std::string strip_extension(const std::string& text)
{
    const auto dot = text.find('.');
    return dot == std::string::npos ? text : text.substr(0, dot);
}

std::string file_title(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return strip_extension(slash == std::string::npos ? path : path.substr(slash + 1));
}

bool parse_decimal(const std::string& text, double& value)
{
    value = 0;
    if (text.empty() || text == "-") return false;
    double v = 0;
    double divisor = 1;
    bool point = false;
    std::size_t i = 0;
    if (text[0] == '-') {
        divisor = -1;
        i = 1;
    }
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (is_digit(c)) {
            v = v * 10 + (c - '0');
            if (point) divisor *= 10;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    value = v / divisor;
    if (!std::isfinite(value)) {
        // Hundreds of digits: the running sum overflowed. Read the text once
        // more, rounded properly; a number beyond the doubles is no number.
        double exact = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), exact, std::chars_format::fixed);
        value = 0;
        if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(exact)) return false;
        value = exact;
    }
    return true;
}

bool is_decimal(const std::string& text)
{
    double v;
    return parse_decimal(text, v);
}

double decimal_or_zero(const std::string& text)
{
    double v;
    parse_decimal(text, v);
    return v;
}

bool read_decimal(Prompts& prompts, const std::string& text, const std::string& label, double& value)
{
    if (parse_decimal(text, value)) return true;
    prompts.show_error("Not a real number:" + label);
    return false;
}

bool read_integer(Prompts& prompts, const std::string& text, const std::string& label, int& value)
{
    value = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    }
    const std::size_t digits_start = i;
    long long v = 0;
    bool ok = true;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int d;
        if (is_digit(c)) d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else { ok = false; break; }
        v = v * base + d;
        // Hexadecimal texts may fill all 32 bits; decimal ones must fit the sign.
        const long long limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 2147483648LL : 2147483647LL);
        if (v > limit) { ok = false; break; }
    }
    if (!ok || i == digits_start) {
        prompts.show_error("Not a number:" + label);
        return false;
    }
    if (base == 16) v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    value = static_cast<int>(negative ? -v : v);
    return true;
}

bool is_integer(const std::string& text)
{
    std::size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
    if (i >= text.size()) return false;
    for (; i < text.size(); ++i)
        if (!is_digit(text[i])) return false;
    return true;
}

int integer_or_zero(const std::string& text)
{
    if (!is_integer(text)) return 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return 0;
    return static_cast<int>(v);
}

bool is_positive_integer(const std::string& text)
{
    bool nonzero = false;
    if (text.empty()) return false;
    for (char c : text) {
        if (!is_digit(c)) return false;
        if (c != '0') nonzero = true;
    }
    return nonzero;
}

std::string decimal_text(double value)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    // Fifteen significant digits, then the shortest of those that is exact.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    std::string s = buf;
    for (char& c : s)
        if (c == ',') c = '.';
    // s looks like [-]d.dddddddddddddde[+-]xx
    const bool negative = s[0] == '-';
    const std::size_t e = s.find('e');
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i)
        if (is_digit(s[i])) digits += s[i];
    int exponent = std::atoi(s.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E";
        if (exponent < 0) out += "-";
        out += std::to_string(std::abs(exponent));
        return out;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const std::size_t int_len = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= int_len) {
            out += digits + std::string(int_len - digits.size(), '0');
        } else {
            out += digits.substr(0, int_len) + "." + digits.substr(int_len);
        }
    }
    return out;
}


std::string number_text(double value)
{
    std::string text = decimal_text(value);
    if (text.find('E') == std::string::npos) return text;
    if (!std::isfinite(value)) return text;
    // Fixed notation with fifteen significant digits, trailing zeros cut.
    char buf[400];
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = exponent >= 14 ? 0 : 14 - exponent;
    std::snprintf(buf, sizeof buf, "%.*f", decimals > 340 ? 340 : decimals, value);
    text = buf;
    for (char& c : text)
        if (c == ',') c = '.';
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0') text.pop_back();
        if (!text.empty() && text.back() == '.') text.pop_back();
    }
    if (text == "-0" || text.empty()) text = "0";
    return text;
}

}  // namespace kelvo
