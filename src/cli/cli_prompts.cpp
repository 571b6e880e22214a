#include "cli/cli_prompts.h"

#include "ground/cp1252.h"
#include "ground/debug_lines.h"

#include <iostream>

namespace kelvo::cli {
namespace {
void emit(std::vector<std::string>& shown, const std::string& prefix, const std::string& text)
{
    shown.push_back(prefix + text);
    std::cerr << prefix << cp1252_to_utf8(text) << '\n';
}
}  // namespace

void CliPrompts::show_error(const std::string& text) { emit(shown, "error: ", text); }
void CliPrompts::show_information(const std::string& text) { emit(shown, "information: ", text); }
AbortRetryIgnore CliPrompts::ask_abort_retry_ignore(const std::string& text)
{
    emit(shown, "question: ", text);
    return AbortRetryIgnore::abort;
}
bool CliPrompts::ask_yes_no(const std::string& text)
{
    emit(shown, "question: ", text);
    return false;
}

void print_debug_lines_to_stderr()
{
    set_debug_sink([](const std::string& line) { std::cerr << "debug: " << cp1252_to_utf8(line) << '\n'; });
}

void print_line(const std::string& cp1252_text) { std::cout << cp1252_to_utf8(cp1252_text) << '\n'; }

}  // namespace kelvo::cli
