#pragma once
// Message boxes of the command-line companion: printed to standard error in
// UTF-8 as "error: TEXT", "information: TEXT", "question: TEXT"; questions
// are answered No and abort-retry-ignore with Abort.
#include "ground/prompts.h"

#include <string>
#include <vector>

namespace kelvo::cli {

class CliPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override;
    void show_information(const std::string& text) override;
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override;
    bool ask_yes_no(const std::string& text) override;
    // Every text shown, with its prefix ("error: ..."), in order.
    std::vector<std::string> shown;
};

// Prints "debug: TEXT" lines to standard error.
void print_debug_lines_to_stderr();

// Standard output in UTF-8 from Windows-1252 text.
void print_line(const std::string& cp1252_text);

}  // namespace kelvo::cli
