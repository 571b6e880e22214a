#pragma once
// Shared by the macro and value-check tests: the demo configuration, a
// temporary method folder, recorded message boxes, debug lines, log and
// settings kept away from the real ones, and editor hooks that record what
// the model asked of the page.
#include "ground/debug_lines.h"
#include "test_context.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "language/bound_check.h"
#include "language/macro_document.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::macro_test {

inline std::string demo_folder() { return std::string(KELVO_SOURCE_DIR) + "/examples/methods"; }

// The demo configuration, parsed once.
inline const ConfigDb& demo_db()
{
    static const ConfigDb db = [] {
        ConfigDb d;
        std::vector<std::string> lines;
        const bool read = read_text_lines(demo_folder() + "/latest_kelvo.kol", lines);
        test::RecordingPrompts quiet;
        PromptsScope scope(quiet);
        const bool parsed = read && parse_configuration(d, lines, quiet, debug_line);
        EXPECT_TRUE(parsed) << "demo configuration";
        return d;
    }();
    return db;
}

class RecordingHooks : public MacroEditorHooks {
public:
    bool write_back_pane() override
    {
        calls.push_back("write_back_pane");
        return pane_ok;
    }
    std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current) override
    {
        calls.push_back("ask_save_name " + caption + " [" + current + "]");
        if (names.empty()) return std::nullopt;
        auto n = names.front();
        names.pop_front();
        return n;
    }
    void clear_pane() override { calls.push_back("clear_pane"); }
    void refresh_display() override { calls.push_back("refresh_display"); }
    void show_first_line() override { calls.push_back("show_first_line"); }
    void update_lock_button(bool read_only) override { calls.push_back(read_only ? "lock on" : "lock off"); }
    void clear_name_selection() override { calls.push_back("clear_name_selection"); }
    void select_name(const std::string& name) override { calls.push_back("select_name " + name); }
    void refill_name_lists() override { calls.push_back("refill_name_lists"); }
    void method_editor_forget_line_if_showing(const std::string& name) override { calls.push_back("forget " + name); }

    bool called(const std::string& call) const
    {
        for (const auto& c : calls)
            if (c == call) return true;
        return false;
    }

    bool pane_ok = true;
    std::deque<std::optional<std::string>> names;  // answers of the save-name dialog
    std::vector<std::string> calls;
};

class MacroFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_folder = method_folder();
        previous_log = log_path();
        set_method_folder(dir.path().string());
        set_log_path(dir.file("cadenzor.log"));
        set_debug_sink([this](const std::string& line) { debug.push_back(line); });
        document.set_hooks(&hooks);
    }
    void TearDown() override
    {
        set_debug_sink({});
        set_method_folder(previous_folder);
        set_log_path(previous_log);
    }

    const ConfigDb& db() const { return demo_db(); }
    std::string path_of(const std::string& name) const { return dir.file(name + ".kma"); }
    void write_macro(const std::string& name, const std::string& crlf_bytes) const
    {
        test::write_file(path_of(name), crlf_bytes);
    }
    std::string macro_bytes(const std::string& name) const { return test::read_file(path_of(name)); }
    const std::vector<std::string>& shown() const { return prompts.shown; }

    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    MemorySettingsStore settings;
    SettingsScope settings_scope{settings};
    test::TempDir dir;
    std::string previous_folder;
    std::string previous_log;
    std::vector<std::string> debug;
    RecordingHooks hooks;
    MacroDocument document{test::context_with(demo_db())};
};

}  // namespace kelvo::macro_test
