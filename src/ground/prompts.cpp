#include "ground/prompts.h"

namespace kelvo {
namespace {

class SilentPrompts final : public Prompts {
public:
    void show_error(const std::string&) override {}
    void show_information(const std::string&) override {}
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { return AbortRetryIgnore::abort; }
    bool ask_yes_no(const std::string&) override { return false; }
};

SilentPrompts silent_prompts;
Prompts* installed = nullptr;

}  // namespace

Prompts& prompts() { return installed ? *installed : silent_prompts; }

Prompts* install_prompts(Prompts* p)
{
    Prompts* previous = installed;
    installed = p;
    return previous;
}

void show_error(const std::string& text) { prompts().show_error(text); }
void show_information(const std::string& text) { prompts().show_information(text); }
AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) { return prompts().ask_abort_retry_ignore(text); }
bool ask_yes_no(const std::string& text) { return prompts().ask_yes_no(text); }

}  // namespace kelvo
