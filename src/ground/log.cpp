#include "ground/log.h"

#include "ground/clock.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace kelvo {
namespace {
std::string current_log_path = "cadenzor.log";
StatusSink status_sink;

void append_line(Clock& clock, const std::string& text)
{
    const std::string line = log_time_stamp(clock) + " : " + text + "\r\n";
    std::FILE* f = std::fopen(current_log_path.c_str(), "ab");
    if (!f) {
        // Create it anew, then append.
        if (std::FILE* created = std::fopen(current_log_path.c_str(), "wb")) std::fclose(created);
        f = std::fopen(current_log_path.c_str(), "ab");
    }
    if (!f) return;
    std::fwrite(line.data(), 1, line.size(), f);
    std::fflush(f);
    std::fclose(f);
}
}  // namespace

void set_log_path()
{
    std::error_code ec;
    const auto cwd = std::filesystem::current_path(ec);
    current_log_path = ec ? std::string("cadenzor.log") : (cwd / "cadenzor.log").string();
}

void set_log_path(const std::string& path) { current_log_path = path; }
const std::string& log_path() { return current_log_path; }

std::string log_time_stamp(Clock& clock) { return log_time_text(clock.local_now()); }

std::string log_time_text(const LocalTime& t)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

void log_message(Clock& clock, const std::string& text)
{
    append_line(clock, text);
    if (status_sink) status_sink(text);
}

void log_only(Clock& clock, const std::string& text) { append_line(clock, text); }

void log_message(const std::string& text) { log_message(clock(), text); }
void log_only(const std::string& text) { log_only(clock(), text); }

void set_status_sink(StatusSink sink) { status_sink = std::move(sink); }

}  // namespace kelvo
