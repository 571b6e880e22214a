#pragma once
// The prompts of a program whose runs are journalled: every question and
// error dialog is shown by the prompts underneath, and its answer recorded
// in the journal while a run is being recorded.
#include "ground/prompts.h"
#include "journal/run_journal.h"

namespace kelvo {

class JournalPrompts final : public Prompts {
public:
    JournalPrompts(Prompts& inner, RunJournal& journal) : inner_(inner), journal_(journal) {}
    void show_error(const std::string& text) override { inner_.show_error(text); }
    void show_information(const std::string& text) override { inner_.show_information(text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        const AbortRetryIgnore answer = inner_.ask_abort_retry_ignore(text);
        journal_.dialog(text, answer == AbortRetryIgnore::abort   ? "abort"
                              : answer == AbortRetryIgnore::retry ? "retry"
                                                                  : "ignore");
        return answer;
    }
    bool ask_yes_no(const std::string& text) override
    {
        const bool yes = inner_.ask_yes_no(text);
        journal_.dialog(text, yes ? "yes" : "no");
        return yes;
    }

private:
    Prompts& inner_;
    RunJournal& journal_;
};

}  // namespace kelvo
