// Row validation: the messages letter for letter, in their order, with
// hidden columns skipped, over the demo configuration.
#include "samplelist/sample_validation.h"
#include "ground/documents.h"
#include "test_context.h"
#include "sample_list_support.h"

namespace kelvo::samplelist_test {
namespace {

class SampleValidationTest : public SampleListFixture {
protected:
    std::string failure() { return validation_failure(document.table(), demo_db(), program_method_folder()); }
    void hide(int col) { document.columns().column(col).hidden = true; }
};

TEST_F(SampleValidationTest, EachCheckHasItsExactMessage)
{
    using Cells = std::vector<std::string>;
    struct Case {
        const char* what;
        Cells cells;                // columns 2..10 of row 2 (row 1 passes)
        std::vector<int> hidden;
        std::string message;
    };
    // Method, Volume, Tray, Injector, Volume 2, Tray 2, Injector 2, Vial, Inj/Vial
    const Case cases[] = {
        {"passes", {"Standard Injection", "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, ""},
        {"method case", {"STANDARD injection", "1", "Tray1", "", "0", "", "", "54", ""}, {}, ""},
        {"no method", {"Nothing", "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2, \"Nothing\" is not a method"},
        {"empty method", {"", "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2, \"\" is not a method"},
        {"not a tray", {"Big", "1.0", "Tray9", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2,Tray9is not a tray"},
        {"not an injector", {"Big", "1.0", "Tray1", "Valve", "1.0", "", "", "1", "1"}, {}, "In row 2,Valveis not an injector"},
        {"volume no number", {"Big", "1,5", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2,Volume (1,5) is not a number"},
        {"volume empty", {"Big", "", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2,Volume () is not a number"},
        {"volume too big", {"Standard Injection", "11", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2,Volume (11) is too big for the syringe."},
        {"volume too small", {"Big", "-1", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"}, {}, "In row 2,Volume (-1) is too small for the syringe."},
        {"vial 0", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "0", "1"}, {}, "In row 2,The vial is not a positive integer"},
        {"vial 00", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "00", "1"}, {}, "In row 2,The vial is not a positive integer"},
        {"vial empty", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "", "1"}, {}, "In row 2,The vial is not a positive integer"},
        {"vial 007", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "007", "1"}, {}, ""},
        {"vial past the tray", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "55", "1"}, {}, "In row 2,The vial number is too large for the tray"},
        {"vial in a bigger tray", {"Big", "1", "Tray4", "LCVlv1", "1", "", "", "96", "1"}, {}, ""},
        {"empty tray holds nothing", {"Big", "1", "", "LCVlv1", "1", "", "", "1", "1"}, {}, "In row 2,The vial number is too large for the tray"},
        {"count", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "0"}, {}, "In row 2,The count is not a positive integer"},
        {"empty count", {"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", ""}, {}, ""},
        {"tray 2", {"Big", "1", "Tray1", "LCVlv1", "1", "Tray0", "", "1", "1"}, {}, "In row 2,Tray0is not a tray"},
        {"tray 2 too small", {"Big", "1", "Tray4", "LCVlv1", "1", "Tray3", "", "16", "1"}, {}, "In row 2,The vial number is too big for tray 2"},
        {"tray 2 fits", {"Big", "1", "Tray4", "LCVlv1", "1", "Tray3", "", "15", "1"}, {}, ""},
        {"injector 2", {"Big", "1", "Tray1", "LCVlv1", "1", "", "Inj", "1", "1"}, {}, "In row 2,Injis not an injector"},
        {"volume 2", {"Big", "1", "Tray1", "LCVlv1", "X", "", "", "1", "1"}, {}, "In row 2,Volume 2 (X) is not a number"},
        {"volume 2 too big", {"Standard Injection", "1", "Tray1", "LCVlv1", "10.5", "", "", "1", "1"}, {}, "In row 2,Volume 2 (10.5) is too big for the syringe."},
        {"first failing check wins", {"Big", "x", "Tray9", "Valve", "y", "", "", "0", "0"}, {}, "In row 2,Tray9is not a tray"},
        {"hidden volume takes anything", {"Big", "x", "Tray1", "LCVlv1", "1", "", "", "1", "1"}, {column_no::volume}, ""},
        {"hidden tray: no vial test", {"Big", "1", "Tray9", "LCVlv1", "1", "", "", "999", "1"}, {column_no::tray}, ""},
        {"hidden vial: no tray 2 test", {"Big", "1", "Tray1", "LCVlv1", "1", "Tray3", "", "999", "1"}, {column_no::vial}, ""},
        {"hidden method still checked", {"Nothing", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"}, {column_no::method}, "In row 2, \"Nothing\" is not a method"},
        {"hidden checks", {"Big", "1", "Tray1", "x", "y", "z", "w", "1", "v"},
         {column_no::injector, column_no::volume2, column_no::tray2, column_no::injector2, column_no::inj_per_vial}, ""},
    };
    for (const Case& c : cases) {
        document.table().clear();
        for (int col = 1; col <= 10; ++col) document.columns().column(col).hidden = false;
        for (int col : c.hidden) hide(col);
        add_row({"Big", "1.0", "Tray2", "LCVlv2", "1.0", "", "", "1", "1"});
        add_row(c.cells);
        EXPECT_EQ(failure(), c.message) << c.what;
    }
}

TEST_F(SampleValidationTest, MethodsAreCheckedBeforeTheRowsAndAnEmptyListFails)
{
    EXPECT_EQ(failure(), "The list is empty!");
    add_row({"Big", "1", "Tray9", "LCVlv1", "1", "", "", "1", "1"});
    add_row({"Missing", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    EXPECT_EQ(failure(), "In row 2, \"Missing\" is not a method");
}

TEST_F(SampleValidationTest, RowsOfOneMethodInAnyCaseShareItsSyringe)
{
    // "big" is read once for both rows, found under its file's case, and
    // gives the 100 µl limits to the second row as well.
    add_row({"big", "50", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    add_row({"BIG", "99", "Tray1", "LCVlv1", "1", "", "", "2", "1"});
    EXPECT_EQ(failure(), "");
    // A method file without a syringe line: the limits of an unknown
    // syringe (0 and 0).
    test::write_file(dir.file("Bare.KME"), "Wash Syringe()\r\n");
    add_row({"Bare", "0", "Tray1", "LCVlv1", "0", "", "", "1", "1"});
    EXPECT_EQ(failure(), "");
    add_row({"bare", "0.1", "Tray1", "LCVlv1", "0", "", "", "1", "1"});
    EXPECT_EQ(failure(), "In row 4,Volume (0.1) is too big for the syringe.");
}

TEST_F(SampleValidationTest, ValidateShowsTheFailureUnderTheHourglass)
{
    add_row({"Big", "1", "Tray7", "LCVlv1", "1", "", "", "1", "1"});
    EXPECT_FALSE(document.validate());
    EXPECT_EQ(shown(), std::vector<std::string>{"error: In row 1,Tray7is not a tray"});
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"busy on", "busy off"}));
}

TEST_F(SampleValidationTest, TrayCapacityComesFromTheTrayType)
{
    EXPECT_EQ(tray_capacity(demo_db(), "Tray1"), 54);
    EXPECT_EQ(tray_capacity(demo_db(), "tray3"), 15);
    EXPECT_EQ(tray_capacity(demo_db(), "Tray5"), 96);
    EXPECT_EQ(tray_capacity(demo_db(), ""), 0);
    EXPECT_EQ(tray_capacity(demo_db(), "LCVlv1"), 0);
}

}  // namespace
}  // namespace kelvo::samplelist_test

namespace kelvo::samplelist_test {
namespace {

// The demo sample lists load over the fixed columns and pass validation.
TEST(SampleListDemoTest, TheDemoListsLoadAndValidate)
{
    const std::string previous = method_folder();
    set_method_folder(macro_test::demo_folder());
    test::RecordingPrompts prompts;
    PromptsScope scope(prompts);
    MemorySettingsStore settings;
    SettingsScope settings_scope(settings);
    for (const char* name : {"Demo Batch", "Cooled Samples"}) {
        SampleListDocument document(test::context_with(demo_db()));
        document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
        EXPECT_TRUE(document.load(name)) << name;
        EXPECT_GT(document.table().rows(), 4) << name;
        EXPECT_TRUE(document.validate()) << name;
        EXPECT_FALSE((document.select_name(name), document.changed())) << name;
    }
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
    set_method_folder(previous);
}

}  // namespace
}  // namespace kelvo::samplelist_test
