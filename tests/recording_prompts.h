#pragma once
// A Prompts fake for tests: records every text and answers from a script.
#include "ground/prompts.h"

#include <deque>
#include <string>
#include <vector>

namespace kelvo::test {

class RecordingPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override { shown.push_back("error: " + text); }
    void show_information(const std::string& text) override { shown.push_back("information: " + text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        shown.push_back("abort-retry-ignore: " + text);
        if (ari_answers.empty()) return AbortRetryIgnore::abort;
        const auto a = ari_answers.front();
        ari_answers.pop_front();
        return a;
    }
    bool ask_yes_no(const std::string& text) override
    {
        shown.push_back("question: " + text);
        if (yes_no_answers.empty()) return false;
        const bool a = yes_no_answers.front();
        yes_no_answers.pop_front();
        return a;
    }

    std::vector<std::string> shown;
    std::deque<bool> yes_no_answers;
    std::deque<AbortRetryIgnore> ari_answers;
};

}  // namespace kelvo::test
