// The demo methods of examples/methods load without a message against the
// demo configuration and macros, and expand.
#include "engine/expand.h"
#include "ground/documents.h"
#include "test_context.h"
#include "language/macro.h"
#include "method_test_support.h"

#include <algorithm>

namespace kelvo::method_test {
namespace {

class DemoMethods : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous = method_folder();
        set_method_folder(demo_folder());
        set_masslynx_mode(false);
        settings_scope.emplace(settings);
    }
    void TearDown() override { set_method_folder(previous); }
    std::string previous;
    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
    MemorySettingsStore settings;
    std::optional<SettingsScope> settings_scope;
};

TEST_F(DemoMethods, EachLoadsWithoutAMessageAndExpands)
{
    const std::vector<std::string> names = method_names_in_folder(program_method_folder());
    ASSERT_GE(names.size(), 4u);
    for (const std::string& name : names) {
        MethodDocument document(test::context_with(demo_db()), test_expansion);
        EXPECT_EQ(document.load(name), MethodLoadResult::loaded) << name;
        EXPECT_FALSE(document.changed()) << name;
        EXPECT_FALSE(document.description().empty()) << name;
        EXPECT_FALSE(document.syringe().empty()) << name;
        // The range check finds every value within its limits.
        const std::vector<std::string> before = document.calls();
        EXPECT_TRUE(document.range_check()) << name;
        EXPECT_EQ(document.calls(), before) << name;

        std::string syringe;
        std::vector<std::string> lines;
        ASSERT_TRUE(read_method_for_run(program_method_folder(), name, syringe, lines)) << name;
        EXPECT_EQ(syringe, document.syringe()) << name;
        RunLists lists;
        EXPECT_TRUE(expand(test::context_with(demo_db()), syringe, lines, lists)) << name;
        EXPECT_GT(lists.body_end, lists.body_start) << name;
    }
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
}

TEST_F(DemoMethods, CoverBothSyringesARepeatAndTheSampleListValues)
{
    std::vector<std::string> syringes;
    bool repeat = false;
    bool sample_list_values = false;
    for (const std::string& name : method_names_in_folder(program_method_folder())) {
        const std::string syringe = stored_method_syringe(program_method_folder(), name);
        if (std::find(syringes.begin(), syringes.end(), syringe) == syringes.end()) syringes.push_back(syringe);
        std::string s;
        std::vector<std::string> lines;
        ASSERT_TRUE(read_method_for_run(program_method_folder(), name, s, lines));
        RunLists lists;
        ASSERT_TRUE(expand(test::context_with(demo_db()), s, lines, lists));
        std::string calls;
        for (const std::string& line : lists.running_method) calls += line + "\n";
        repeat = repeat || std::any_of(lists.expanded_method.begin(), lists.expanded_method.end(),
                                       [](const std::string& l) { return l.rfind("REPEAT(", 0) == 0; });
        sample_list_values = sample_list_values || (calls.find("SL.volume") != std::string::npos &&
                                                    calls.find("SL.tray") != std::string::npos &&
                                                    calls.find("SL.injector") != std::string::npos);
    }
    std::sort(syringes.begin(), syringes.end());
    EXPECT_EQ(syringes, (std::vector<std::string>{"Syr100ul", "Syr10ul"}));
    EXPECT_TRUE(repeat);
    EXPECT_TRUE(sample_list_values);
}

TEST_F(DemoMethods, FilesAreWindows1252WithCrLf)
{
    for (const std::string& name : method_names_in_folder(program_method_folder())) {
        const std::string bytes = test::read_file(method_path(program_method_folder(), name));
        ASSERT_GE(bytes.size(), 2u) << name;
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n') {
                EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << " at " << i;
            }
            EXPECT_NE(static_cast<unsigned char>(bytes[i]), 0xC2u) << name << ": UTF-8 at " << i;
        }
    }
}

}  // namespace
}  // namespace kelvo::method_test
