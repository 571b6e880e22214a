#pragma once
#include "ground/prompts.h"

#include <string>
#include <vector>

namespace kelvo::link_test {

class PromptLog : public Prompts {
public:
    void show_error(const std::string& text) override { errors.push_back(text); }
    void show_information(const std::string& text) override { information.push_back(text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        questions.push_back(text);
        return AbortRetryIgnore::abort;
    }
    bool ask_yes_no(const std::string& text) override
    {
        questions.push_back(text);
        return false;
    }
    std::vector<std::string> errors, information, questions;
};

}  // namespace kelvo::link_test
