#pragma once
// The options that run-method and run-list share: milliseconds and the
// answer of the error dialog.
#include "ground/prompts.h"

#include <charconv>
#include <optional>
#include <string>

namespace kelvo::cli {

// A non-negative number of milliseconds; nullopt for anything else.
inline std::optional<int> milliseconds(const std::string& text)
{
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
    return value;
}

// "abort", "retry", "ignore"; nullopt for anything else.
inline std::optional<AbortRetryIgnore> error_answer(const std::string& text)
{
    if (text == "abort") return AbortRetryIgnore::abort;
    if (text == "retry") return AbortRetryIgnore::retry;
    if (text == "ignore") return AbortRetryIgnore::ignore;
    return std::nullopt;
}

}  // namespace kelvo::cli
