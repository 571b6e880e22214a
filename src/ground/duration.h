#pragma once
// Minutes and seconds: values in the unit "s" are written "m:ss" (":45",
// "2:" and "1:30" read back as 45, 120 and 90 seconds). Reading, writing
// and the stored and display forms of such values live here and nowhere
// else.
#include <string>

namespace kelvo {

// A number below 60 (the seconds part).
bool is_seconds(const std::string& text);
// "m:ss", ":ss" or "m:" with integer minutes and seconds below 60.
bool is_duration(const std::string& text);
// The seconds of a duration (minutes read as decimals, so that a long
// minute count keeps its value); 0 for a text without ":".
double duration_seconds(const std::string& text);
// The seconds as "m:ss" ("0:000.5" for half a second).
std::string duration_text(double seconds);
// A number in the unit "s" (either case) as "m:ss" (duration_text); every
// other value unchanged. The printed form of values.
std::string display_value(const std::string& value, const std::string& unit);

// A valid time form ("1:30", ":45", "2:") becomes its seconds; any other text
// is returned unchanged.
std::string stored_form(const std::string& text);
// In the unit "s" a plain number is shown as minutes and seconds (90 as 1:30,
// 60.5 as 1:000.5); every other value unchanged. Negative numbers have no
// minutes-and-seconds form that reads back, so they are shown unchanged.
std::string display_form(const std::string& value, const std::string& unit);

}  // namespace kelvo
