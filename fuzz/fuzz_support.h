#pragma once
// What the fuzz harnesses share: a scratch method folder holding the demo
// documents and configuration, the demo configuration parsed once, and
// prompts that answer every question with No.
#include "config/config_db.h"
#include "ground/prompts.h"
#include "ground/settings.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvo::fuzz {

// Prompts that show nothing and decline every question.
class QuietPrompts final : public Prompts {
public:
    void show_error(const std::string&) override {}
    void show_information(const std::string&) override {}
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { return AbortRetryIgnore::abort; }
    bool ask_yes_no(const std::string&) override { return false; }
};

// A fresh scratch folder (under TMPDIR) with a copy of examples/methods, made
// once per process and set as the method folder.
const std::string& scratch_folder();

// The demo configuration (examples/methods/latest_kelvo.kol), parsed once.
const ConfigDb& demo_config();

// The input as one text, and as lines split at LF (a CR before it dropped).
std::string input_text(const std::uint8_t* data, std::size_t size);
std::vector<std::string> input_lines(const std::uint8_t* data, std::size_t size);

// Writes bytes to path; false when it could not.
bool write_file(const std::string& path, const std::string& bytes);

// One input handed to a document loader: quiet prompts and an empty settings
// store for the input's lifetime, the demo configuration parsed, and the
// input written as the document "Fuzz" with the given extension into the
// scratch folder (written() false when that failed).
class DocumentInput {
public:
    DocumentInput(const std::string& extension, const std::uint8_t* data, std::size_t size);
    bool written() const { return written_; }

private:
    PromptsScope prompts_;
    MemorySettingsStore settings_;
    SettingsScope settings_scope_;
    bool written_ = false;
};

}  // namespace kelvo::fuzz
