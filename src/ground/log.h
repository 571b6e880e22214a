#pragma once
// The log file "cadenzor.log": one line per event, local date and time,
// " : ", the text, CR LF. Opened and closed for every line so other programs
// can read it at any time. Logging never reports a failure.
#include "ground/clock.h"

#include <functional>
#include <string>

namespace kelvo {

// Fixes the log path from the current working directory (called once when
// the main window is created).
void set_log_path();
void set_log_path(const std::string& path);
const std::string& log_path();

// Appends the line, stamped with the clock's local time, and puts the text
// in the main window's status bar.
void log_message(Clock& clock, const std::string& text);
// Appends the line only.
void log_only(Clock& clock, const std::string& text);
// The same stamped by the program's clock (the shell).
void log_message(const std::string& text);
void log_only(const std::string& text);

// Where log_message puts its text (the status bar); none by default.
using StatusSink = std::function<void(const std::string&)>;
void set_status_sink(StatusSink sink);

// The time stamp of a log line for the clock's local time.
std::string log_time_stamp(Clock& clock);
// The same form for any local time (file dates in printouts).
std::string log_time_text(const LocalTime& t);

}  // namespace kelvo
