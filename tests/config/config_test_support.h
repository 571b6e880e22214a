#pragma once
// Shared by the configuration and tray tests: a parse with recorded
// messages and debug lines.
#include "ground/debug_lines.h"
#include "ground/prompts.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "recording_prompts.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace kelvo::config_test {

// "\n"-separated text to lines (a last "\n" does not start another line).
inline std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The four headers around the given section bodies ("\n"-separated).
inline std::string config_text(const std::string& lists, const std::string& classes, const std::string& objects = {},
                               const std::string& atoms = {})
{
    return "[lists]\n" + lists + "[classes]\n" + classes + "[objects]\n" + objects + "[atoms]\n" + atoms;
}

inline std::string file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string demo_config_path() { return std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol"; }

class ConfigFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_debug_sink([this](const std::string& line) { debug.push_back(line); });
    }
    void TearDown() override { set_debug_sink({}); }

    bool parse(const std::string& text) { return parse_configuration(db, lines_of(text), prompts, debug_line); }
    const std::vector<std::string>& shown() const { return prompts.shown; }

    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
    std::vector<std::string> debug;
    ConfigDb db;
};

}  // namespace kelvo::config_test
