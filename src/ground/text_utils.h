#pragma once
// Small text and number utilities used everywhere. Texts are Windows-1252
// bytes; positions count from 1. The number syntax never depends on the
// locale: "." is always the decimal point.
#include <cstddef>
#include <string>
#include <vector>

namespace kelvo {

class Prompts;

// Equal without regard to ASCII letter case.
bool same_text(const std::string& a, const std::string& b);
// Ordering without regard to ASCII letter case (for sorted name lists).
bool less_without_case(const std::string& a, const std::string& b);
// Appends the name unless the list holds it already (compared with same_text).
void add_unique_name(std::vector<std::string>& names, const std::string& name);
// Upper-case copy (ASCII letters only).
std::string upper_text(const std::string& text);

// The next field of text from pos: blanks (not tabs) are skipped, then
// characters are copied up to the delimiter or the end. When the delimiter
// was reached pos moves past it; at the end pos stays at text.size().
std::string next_field(const std::string& text, std::size_t& pos, char delimiter);

// Position (from 1) of the first character that is not a blank; the last
// position when all but the last are blanks; 1 for the empty text.
std::size_t first_non_blank(const std::string& text);

// The text cut before its first "."; unchanged without ".".
std::string strip_extension(const std::string& text);
// The file name without its directory, cut before its first ".".
std::string file_title(const std::string& path);

// The decimal form: optional leading "-", then digits and at most one ".".
bool is_decimal(const std::string& text);
// Success flag; value is 0 on failure.
bool parse_decimal(const std::string& text, double& value);
double decimal_or_zero(const std::string& text);
// As parse_decimal; on failure shows "Not a real number:" + label through
// prompts (error box).
bool read_decimal(Prompts& prompts, const std::string& text, const std::string& label, double& value);
// Signed 32-bit integer: leading blanks, optional sign, decimal digits or "$"
// and hexadecimal digits. On failure shows "Not a number:" + label through
// prompts (error box), value 0.
bool read_integer(Prompts& prompts, const std::string& text, const std::string& label, int& value);
// Optional "-" and decimal digits only; 0 for anything else.
int integer_or_zero(const std::string& text);
bool is_integer(const std::string& text);
// Non-empty, digits only, at least one digit other than "0".
bool is_positive_integer(const std::string& text);
// Shortest general form with at most 15 significant digits, "." as point.
std::string decimal_text(double value);
// A number written for a document: up to 15 significant digits, "." as the
// point, never in exponent form (which the plain-number rule would refuse).
std::string number_text(double value);

}  // namespace kelvo
