#pragma once
// The four standard message boxes and the modal dialogs that core code asks
// for. The shell installs a QMessageBox implementation; tests install a
// scripted one. Texts are Windows-1252 bytes.
#include <string>

namespace kelvo {

enum class AbortRetryIgnore { abort, retry, ignore };

class Prompts {
public:
    virtual ~Prompts() = default;
    // Error symbol, a single Cancel button.
    virtual void show_error(const std::string& text) = 0;
    virtual void show_information(const std::string& text) = 0;
    virtual AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) = 0;
    // True when Yes was pressed.
    virtual bool ask_yes_no(const std::string& text) = 0;
};

// The program-wide prompts. Until one is installed, a silent implementation
// is used (errors are dropped, questions are answered No / Abort).
Prompts& prompts();
// Installs p (not owned; nullptr restores the silent default). Returns the
// previous one.
Prompts* install_prompts(Prompts* p);

// Installs a Prompts for the lifetime of the scope (tests, the CLI).
class PromptsScope {
public:
    explicit PromptsScope(Prompts& p) : previous_(install_prompts(&p)) {}
    ~PromptsScope() { install_prompts(previous_); }
    PromptsScope(const PromptsScope&) = delete;
    PromptsScope& operator=(const PromptsScope&) = delete;
private:
    Prompts* previous_;
};

void show_error(const std::string& text);
void show_information(const std::string& text);
AbortRetryIgnore ask_abort_retry_ignore(const std::string& text);
bool ask_yes_no(const std::string& text);

}  // namespace kelvo
