// The demo macros of examples/methods load cleanly against the demo
// configuration and pass every check a run applies to them.
#include "ground/folder_files.h"
#include "ground/documents.h"
#include "test_context.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/value_checks.h"
#include "macro_test_support.h"

#include <algorithm>

namespace kelvo::macro_test {
namespace {

class DemoMacros : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = method_folder();
        set_method_folder(demo_folder());
    }
    void TearDown() override { set_method_folder(previous); }
    std::string previous;
    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
};

TEST_F(DemoMacros, AllSpecialMacrosAndSomeWorkingOnesAreThere)
{
    const std::vector<std::string> names = macro_names_in_folder(program_method_folder());
    for (const char* special : special_macro_names)
        EXPECT_NE(std::find(names.begin(), names.end(), std::string(special)), names.end()) << special;
    EXPECT_GE(method_editor_macro_names(program_method_folder(), "").size(), 6u);
}

TEST_F(DemoMacros, FilesAreWindows1252WithCrLf)
{
    for (const std::string& name : macro_names_in_folder(program_method_folder())) {
        const std::string bytes = test::read_file(macro_path(program_method_folder(), name));
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
            }
            EXPECT_NE(static_cast<unsigned char>(bytes[i]), 0xC2u) << name << ": UTF-8 at " << i;
        }
    }
}

TEST_F(DemoMacros, EachLoadsWithoutAMessageAndPassesTheSaveChecks)
{
    for (const std::string& name : macro_names_in_folder(program_method_folder())) {
        MacroDocument document(test::context_with(demo_db()));
        EXPECT_EQ(document.load(name), MacroLoadResult::loaded) << name;
        EXPECT_TRUE(document.check_atom_lines()) << name;
        EXPECT_FALSE(document.changed()) << name;
        EXPECT_FALSE(document.description().empty()) << name;
    }
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
}

TEST_F(DemoMacros, EachExpandsWithItsDefaults)
{
    const ConfigDb& db = demo_db();
    for (const std::string& name : macro_names_in_folder(program_method_folder())) {
        std::vector<std::string> lines;
        ASSERT_TRUE(read_macro_file(program_method_folder(), name, lines)) << name;
        std::vector<std::string> parameter_lines;
        ParameterTable parameters;
        ASSERT_TRUE(read_called_macro_parameters(test::context_with(db), lines, parameter_lines, parameters)) << name;
        if (same_text(name, "ERROR ENTRY") || same_text(name, "ERROR EXIT")) {
            EXPECT_TRUE(parameters.empty()) << name;
            EXPECT_TRUE(check_parameterless_macro(test::context_with(db), name, lines)) << name;
            continue;
        }
        // A call as the Method Editor's pane starts it: defaults, first objects.
        std::vector<std::string> call;
        for (const MacroParameter& p : parameters) {
            if (!p.is_object()) {
                call.push_back(p.default_value);
                continue;
            }
            std::string first;
            for (int o = 0; o < db.object_count() && first.empty(); ++o)
                if (ConfigDb::test_bit(p.classes, db.objects()[static_cast<std::size_t>(o)].class_index))
                    first = db.objects()[static_cast<std::size_t>(o)].name;
            call.push_back(first);
        }
        for (const std::string& atom_line : classify_macro_lines(lines).atom_lines)
            EXPECT_TRUE(expansion_check(test::context_with(db), name, atom_line, parameters, call)) << name << ": " << atom_line;
    }
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
}

}  // namespace
}  // namespace kelvo::macro_test
