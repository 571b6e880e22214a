#pragma once
// Shared by the sample list tests: a temporary method folder with small
// method files, the demo configuration, recorded message boxes, debug
// lines, log and settings kept away from the real ones, and a document with
// the fixed columns.
#include "ground/debug_lines.h"
#include "test_context.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "language/macro_test_support.h"
#include "recording_prompts.h"
#include "samplelist/sample_list_document.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::samplelist_test {

using macro_test::demo_db;

class RecordingListHooks : public SampleListHooks {
public:
    void show_name(const std::string& name) override { calls.push_back("show_name " + name); }
    void refill_names() override { calls.push_back("refill_names"); }
    std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current) override
    {
        calls.push_back("ask_save_name " + caption + " [" + current + "]");
        return next(names);
    }
    std::optional<std::string> choose_export_file(const std::string& folder, const std::string& title,
                                                  const std::string& description, const std::string& pattern,
                                                  const std::string& file_name) override
    {
        (void)folder;
        calls.push_back("export_dialog " + title + " | " + description + " | " + pattern + " [" + file_name + "]");
        return next(files);
    }
    void busy(bool on) override { calls.push_back(on ? "busy on" : "busy off"); }

    bool called(const std::string& call) const
    {
        for (const auto& c : calls)
            if (c == call) return true;
        return false;
    }

    std::deque<std::optional<std::string>> names;
    std::deque<std::optional<std::string>> files;
    std::vector<std::string> calls;

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& q)
    {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

// The nine headings from "Method" to "Inj/Vial", each followed by ";".
inline const std::string fixed_header = "Method;Volume;Tray;Injector;Volume 2;Tray 2;Injector 2;Vial;Inj/Vial;";

class SampleListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_folder = method_folder();
        previous_log = log_path();
        set_method_folder(dir.path().string());
        set_log_path(dir.file("cadenzor.log"));
        set_debug_sink([this](const std::string& line) { debug.push_back(line); });
        write_method("Standard Injection", "Syr10ul");
        write_method("Big", "Syr100ul");
        document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
        document.set_hooks(&hooks);
    }
    void TearDown() override
    {
        set_debug_sink({});
        set_method_folder(previous_folder);
        set_log_path(previous_log);
    }

    void write_method(const std::string& name, const std::string& syringe) const
    {
        test::write_file(dir.file(name + ".KME"), "//demo\r\nsyringe:" + syringe + "\r\nWash Syringe()\r\n");
    }
    void write_list(const std::string& name, const std::string& bytes) const
    {
        test::write_file(dir.file(name + ".ksl"), bytes);
    }
    std::string read_list(const std::string& name) const { return test::read_file(dir.file(name + ".ksl")); }

    // Appends a row of the given cells of columns 2..10 ("" keeps the cell empty).
    void add_row(const std::vector<std::string>& cells)
    {
        SampleTable& t = document.table();
        std::vector<std::string> row(1 + cells.size());
        for (std::size_t i = 0; i < cells.size(); ++i) row[i + 1] = cells[i];
        std::vector<std::vector<std::string>> all;
        for (int r = 1; r <= t.rows(); ++r) {
            std::vector<std::string> old;
            for (int c = 1; c <= t.cols(); ++c) old.push_back(t.cell(c, r));
            all.push_back(old);
        }
        all.push_back(row);
        t.assign(all);
    }
    // A row that passes: a method, 1.0 µl from vial n of Tray1 into LCVlv1.
    std::vector<std::string> good_row(int vial = 1) const
    {
        return {"Standard Injection", "1.0", "Tray1", "LCVlv1", "1.0", "", "", std::to_string(vial), "1"};
    }
    const std::vector<std::string>& shown() const { return prompts.shown; }

    test::TempDir dir;
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    MemorySettingsStore settings;
    SettingsScope settings_scope{settings};
    std::vector<std::string> debug;
    std::string previous_folder;
    std::string previous_log;
    RecordingListHooks hooks;
    SampleListDocument document{test::context_with(demo_db())};
};

}  // namespace kelvo::samplelist_test
