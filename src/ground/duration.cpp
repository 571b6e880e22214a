#include "ground/duration.h"

#include "ground/text_utils.h"

#include <charconv>
#include <cmath>

namespace kelvo {

bool is_seconds(const std::string& text)
{
    double v;
    return parse_decimal(text, v) && v < 60;
}

bool is_duration(const std::string& text)
{
    if (text.size() < 2) return false;
    const auto colon = text.find(':');
    if (colon == std::string::npos) return false;
    const std::string minutes = text.substr(0, colon);
    const std::string seconds = text.substr(colon + 1);
    if (colon == 0) return is_seconds(seconds);
    // A minute count beyond the doubles is no duration.
    if (!is_integer(minutes) || !is_decimal(minutes)) return false;
    if (colon + 1 < text.size() && !is_seconds(seconds)) return false;
    return std::isfinite(duration_seconds(text));
}

double duration_seconds(const std::string& text)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos) return 0;
    return decimal_or_zero(text.substr(0, colon)) * 60.0 + decimal_or_zero(text.substr(colon + 1));
}

std::string duration_text(double s)
{
    const double m = std::trunc(s / 60);
    const double r = s - 60 * m;
    std::string out = decimal_text(m) + ":";
    if (r == 0) return out + "00";
    if (r < 1) out += "00";
    else if (r < 10) out += "0";
    return out + decimal_text(r);
}

std::string display_value(const std::string& value, const std::string& unit)
{
    if (same_text(unit, "s") && is_decimal(value)) return duration_text(decimal_or_zero(value));
    return value;
}

std::string stored_form(const std::string& text)
{
    if (!is_duration(text)) return text;
    return number_text(duration_seconds(text));
}

std::string display_form(const std::string& value, const std::string& unit)
{
    if (unit != "s" || !is_decimal(value)) return value;
    // Work on the digits of the written number, so that what is shown reads
    // back to exactly that number (no rounding noise in the seconds).
    const std::string digits = number_text(decimal_or_zero(value));
    if (digits.empty() || digits[0] < '0' || digits[0] > '9') return value;
    const auto point = digits.find('.');
    const std::string whole = digits.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : digits.substr(point + 1);
    if (whole.size() > 15) return value;
    long long total = 0;
    if (!whole.empty() && std::from_chars(whole.data(), whole.data() + whole.size(), total).ec != std::errc()) return value;
    const long long minutes = total / 60;
    const long long seconds = total % 60;
    std::string out = std::to_string(minutes) + ":";
    if (seconds == 0 && fraction.empty()) return out + "00";
    if (seconds < 1) out += "00";
    else if (seconds < 10) out += "0";
    out += std::to_string(seconds);
    if (!fraction.empty()) out += "." + fraction;
    return out;
}

}  // namespace kelvo
