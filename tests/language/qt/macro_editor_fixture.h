#pragma once
// Shared by the Macro Editor tests: a small configuration, a method folder in
// a temporary directory, in-memory settings and recorded prompts.
#include "ground/documents.h"
#include "ground/debug_lines.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "language/macro.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvo::test {

inline std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// Windows-1252: "\xB5" is the micro sign.
inline const std::string small_configuration =
    "[lists]\n"
    "1;2;Slow;Normal;Fast\n"
    "[classes]\n"
    "!SYRINGE\n"
    "Max Volume;0;1000000;10000;1;nl\n"
    "Needle Length;0;100000;51000;1;\xB5m\n"
    "!TRAY\n"
    "Spl Per Row;1;100;1;1;E\n"
    "!INJECTOR\n"
    "Penetration;0;100000;20000;1;\xB5m\n"
    "!OUT_SIGNAL\n"
    "Output;1;8;1;1;E\n"
    "[objects]\n"
    "SYRINGE;Syr10;10000;51000\n"
    "TRAY;Tray1;8\n"
    "TRAY;Tray2;8\n"
    "INJECTOR;Inj1;20000\n"
    "OUT_SIGNAL;Out1;1\n"
    "[atoms]\n"
    "!WAIT\n"
    "Time;0;3600;90;1;s\n"
    "?Extra;0;600;5;1;s\n"
    "!ASPIRATE\n"
    "Volume;0;SYR.Max Volume;1;0.1;nl\n"
    "#Speed;0;2;1;1\n"
    "!MOVE\n"
    "Height;0;100;5;1;\xB5m\n"
    "Target;TRAY;INJECTOR\n"
    "!SIGNAL\n"
    "Signal;OUT_SIGNAL\n"
    "!WIDE\n"
    "A1;0;10;1;1;E\nA2;0;10;2;1;E\nA3;0;10;3;1;E\nA4;0;10;4;1;E\nA5;0;10;5;1;E\nA6;0;10;6;1;E\n"
    "A7;0;10;7;1;E\nA8;0;10;8;1;E\nA9;0;10;9;1;E\nA10;0;10;1;1;E\nA11;0;10;1;1;E\nA12;0;10;1;1;E\n"
    "A13;0;10;1;1;E\nA14;0;10;1;1;E\nA15;0;10;1;1;E\n?A16;0;10;1;1;E\n";

class MacroEditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_method_folder(dir.path().string());
        ASSERT_TRUE(parse_configuration(config(), split_lines(configuration_text()), prompts, debug_line));
        prompts.shown.clear();
    }
    void TearDown() override { set_method_folder(""); }

    virtual std::string configuration_text() const { return small_configuration; }

    // Writes a macro file of the given lines (CR LF).
    void write_macro(const std::string& name, const std::vector<std::string>& lines)
    {
        std::string bytes;
        for (const std::string& l : lines) bytes += l + "\r\n";
        write_file(dir.file(name + ".kma"), bytes);
    }
    std::string macro_bytes(const std::string& name) { return read_file(dir.file(name + ".kma")); }

    TempDir dir;
    MemorySettingsStore store;
    SettingsScope settings_scope{store};
    RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
};

}  // namespace kelvo::test
