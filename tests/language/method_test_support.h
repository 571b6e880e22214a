#pragma once
// Shared by the method and expansion tests: a temporary method folder with
// small macros written by the tests, the demo configuration, recorded
// message boxes, debug lines, log and settings kept away from the real ones,
// and Method Editor hooks that record what the model asked of the page.
#include "engine/expand.h"
#include "test_context.h"
#include "ground/documents.h"
#include "ground/text_utils.h"
#include "language/method.h"
#include "language/method_document.h"
#include "macro_test_support.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::method_test {

using macro_test::demo_db;
using macro_test::demo_folder;

class RecordingMethodHooks : public MethodEditorHooks {
public:
    bool call_line_from_pane(std::string& line) override
    {
        calls.push_back("pane " + line);
        if (!pane_ok) return false;
        if (pane_line) line = *pane_line;
        return true;
    }
    void show_line(int index) override { calls.push_back("show_line " + std::to_string(index)); }
    void clear_pane() override { calls.push_back("clear_pane"); }
    void show_macro_defaults(const std::string& macro) override { calls.push_back("defaults " + macro); }
    void refresh_pane() override { calls.push_back("refresh_pane"); }
    void refresh_display() override { calls.push_back("refresh_display"); }
    void show_syringe(const std::string& syringe) override { calls.push_back("syringe " + syringe); }
    bool select_name(const std::string& name) override
    {
        calls.push_back("select_name " + name);
        return select_ok;
    }
    void clear_name_selection() override { calls.push_back("clear_name_selection"); }
    void refill_name_lists() override { calls.push_back("refill_name_lists"); }
    void macro_editor_follow(const std::string& macro) override { calls.push_back("follow " + macro); }
    std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current) override
    {
        calls.push_back("ask_save_name " + caption + " [" + current + "]");
        if (names.empty()) return std::nullopt;
        auto n = names.front();
        names.pop_front();
        return n;
    }
    double ask_out_of_range(const std::string& context, const std::string& unit, double maximum, double minimum,
                            double proposed, double value) override
    {
        calls.push_back("out_of_range " + context + " [" + unit + "] " + decimal_text(minimum) + ".." +
                        decimal_text(maximum) + " proposed " + decimal_text(proposed) + " value " + decimal_text(value));
        return proposed;
    }

    bool called(const std::string& call) const
    {
        for (const auto& c : calls)
            if (c == call) return true;
        return false;
    }

    bool pane_ok = true;
    bool select_ok = true;
    std::optional<std::string> pane_line;          // what the pane builds; nullopt: the shown line unchanged
    std::deque<std::optional<std::string>> names;  // answers of the save-name dialog
    std::vector<std::string> calls;
};

// Small macros over the demo configuration's atoms.
inline const char* const two_atoms = "//Home, then fast\r\n"
                                     "MOVE_TO_HOME()\r\n"
                                     "SET_SPEED(Fast,)\r\n";
inline const char* const station_wash = "//Wash at a station\r\n"
                                        "Station;WASH_STATION\r\n"
                                        "Volume (\xB5l);1;0;SYR.Max Volume\r\n"
                                        "WASH_SYRINGE(Station,Volume,3,1,1,)\r\n"
                                        "MOVE_TO_OBJECT(Station,,5,)\r\n";
inline const char* const one_home = "MOVE_TO_HOME()\r\n";

class MethodFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_folder = method_folder();
        previous_log = log_path();
        previous_masslynx = masslynx_mode();
        set_masslynx_mode(false);
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
        set_masslynx_mode(previous_masslynx);
    }

    const ConfigDb& db() const { return demo_db(); }
    std::string macro_file(const std::string& name) const { return dir.file(name + ".kma"); }
    std::string method_file(const std::string& name) const { return dir.file(name + ".KME"); }
    void write_macro(const std::string& name, const std::string& bytes) const
    {
        test::write_file(macro_file(name), bytes);
    }
    void write_method(const std::string& name, const std::string& bytes) const
    {
        test::write_file(method_file(name), bytes);
    }
    std::string method_bytes(const std::string& name) const { return test::read_file(method_file(name)); }
    const std::vector<std::string>& shown() const { return prompts.shown; }
    std::string log_text() const { return test::read_file(dir.file("cadenzor.log")); }

    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    MemorySettingsStore settings;
    SettingsScope settings_scope{settings};
    test::TempDir dir;
    std::string previous_folder;
    std::string previous_log;
    bool previous_masslynx = false;
    std::vector<std::string> debug;
    RecordingMethodHooks hooks;
    MethodDocument document{test::context_with(demo_db()), test_expansion};
};

}  // namespace kelvo::method_test
