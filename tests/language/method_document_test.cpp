// The Method Editor's document operations: Load with its ten steps and
// messages, Save, Save As, Changed?, Ask to save, New, Delete, and the
// editing operations with the expansion test and the range check.
#include "ground/settings.h"
#include "ground/documents.h"
#include "test_context.h"
#include "language/method_document.h"
#include "method_test_support.h"

#include <filesystem>

namespace kelvo::method_test {
namespace {

using Lines = std::vector<std::string>;

class MethodDocumentTest : public MethodFixture {
protected:
    void SetUp() override
    {
        MethodFixture::SetUp();
        write_macro("Two A", two_atoms);
        write_macro("Two B", station_wash);
        write_macro("METHOD ENTRY", one_home);
    }
    // A method as the program saves it.
    void save_method(const std::string& name, const MethodText& text) const
    {
        test::write_file(method_file(name), crlf_text(method_file_lines(program_method_folder(), text)));
    }
    MethodText sample() const { return {{"Demo", "second line"}, "Syr100ul", {"Two B(Wash1,2)", "Two A()", "Two B(Wash2,3)"}}; }
    std::string setting(const std::string& name) { return read_setting_text(name, "?"); }
};

// ---- Load

TEST_F(MethodDocumentTest, ASavedMethodLoadsUnderItsNameWithoutAMessage)
{
    save_method("Demo", sample());
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::loaded);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(document.name(), "Demo");
    EXPECT_EQ(document.text(), sample());
    EXPECT_EQ(document.shown_line(), 0);
    EXPECT_TRUE(document.load_save_flag());
    EXPECT_FALSE(document.changed());
    EXPECT_EQ(setting("Method"), "Demo");
    EXPECT_TRUE(hooks.called("select_name Demo"));
    EXPECT_TRUE(hooks.called("syringe Syr100ul"));
    EXPECT_TRUE(hooks.called("show_line 0"));
}

TEST_F(MethodDocumentTest, ANameWithoutFileFailsSilently)
{
    EXPECT_EQ(document.load("Nothing"), MethodLoadResult::refused);
    EXPECT_EQ(document.load(""), MethodLoadResult::refused);
    EXPECT_EQ(document.load("../Demo"), MethodLoadResult::refused);
    EXPECT_TRUE(shown().empty());
    EXPECT_FALSE(document.load_save_flag());
}

TEST_F(MethodDocumentTest, ANameTheBoxCannotSelectIsNotDefined)
{
    save_method("Demo", sample());
    hooks.select_ok = false;
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::refused);
    EXPECT_EQ(shown(), (Lines{"error: Method not defined!"}));
}

TEST_F(MethodDocumentTest, MissingMacrosRefuseTheLoadAndLeaveAnEmptyNamelessMethod)
{
    save_method("Old", sample());
    document.load("Old");
    write_method("Demo", "//d\r\nsyringe:Syr10ul\r\nGone(1)\r\nTwo A()\r\nAlso Gone()\r\ngone(2)\r\n[MACRO Gone]\r\n");
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::refused);
    EXPECT_EQ(shown(), (Lines{"error: Method \"Demo\" cant be loaded because the following macros dont exist:\n"
                              "Gone\nAlso Gone\n"}));
    EXPECT_EQ(document.name(), "");
    EXPECT_TRUE(document.calls().empty());
    EXPECT_TRUE(document.description().empty());
    EXPECT_EQ(setting("Method"), "");
    EXPECT_TRUE(hooks.called("clear_name_selection"));
}

TEST_F(MethodDocumentTest, AChangedMacroAsksAndYesRewritesTheFile)
{
    save_method("Demo", sample());
    write_macro("Two A", "//new description only changes nothing\r\nMOVE_TO_HOME()\r\nSET_SPEED(Slow,)\r\n");
    write_macro("METHOD EXIT", one_home);  // its stored header stood alone
    prompts.yes_no_answers = {true};
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::loaded);
    EXPECT_EQ(shown(), (Lines{"question: The following macros have been changed since \"Demo\" was last saved:\n"
                              "Two A\nMETHOD EXIT\n"
                              "Ok to update \"Demo\" with new versions?"}));
    EXPECT_EQ(method_bytes("Demo"), crlf_text(method_file_lines(program_method_folder(), sample())));
    EXPECT_NE(method_bytes("Demo").find("[MACRO METHOD EXIT]\r\nMOVE_TO_HOME()\r\n"), std::string::npos);
    EXPECT_NE(log_text().find(" : rewrote method Demo\r\n"), std::string::npos);
    EXPECT_EQ(document.name(), "Demo");

    // Now the copies are current: no question.
    prompts.shown.clear();
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::loaded);
    EXPECT_TRUE(shown().empty());
}

TEST_F(MethodDocumentTest, NoToTheUpdateLoadsWithoutANameAndKeepsTheFile)
{
    save_method("Demo", sample());
    const std::string before = method_bytes("Demo");
    write_macro("Two B", "Station;WASH_STATION\r\nVolume (\xB5l);1;0;SYR.Max Volume\r\nMOVE_TO_OBJECT(Station,,6,)\r\n");
    prompts.yes_no_answers = {false};
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::unnamed);
    ASSERT_EQ(shown().size(), 1u);
    EXPECT_EQ(method_bytes("Demo"), before);
    EXPECT_EQ(document.name(), "");
    EXPECT_EQ(document.calls(), sample().calls);
    EXPECT_TRUE(hooks.called("clear_name_selection"));
    // A later Save asks for a name.
    hooks.names = {std::nullopt};
    EXPECT_FALSE(document.save());
    EXPECT_TRUE(hooks.called("ask_save_name Save Method []"));
}

TEST_F(MethodDocumentTest, SectionsAreComparedWithoutRegardToCaseAndByCount)
{
    write_method("Demo", "syringe:Syr10ul\r\nTwo A()\r\n[macro Two A]\r\nmove_to_home()\r\nSET_SPEED(FAST,)\r\n"
                         "[MACRO METHOD ENTRY]\r\nMOVE_TO_HOME()\r\n[MACRO METHOD EXIT]\r\n[MACRO Not There]\r\nX()\r\n");
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::loaded);
    EXPECT_TRUE(shown().empty());

    write_method("Short", "syringe:Syr10ul\r\nTwo A()\r\n[MACRO Two A]\r\nMOVE_TO_HOME()\r\n");
    EXPECT_EQ(document.load("Short"), MethodLoadResult::unnamed);
    EXPECT_EQ(shown(), (Lines{"question: The following macros have been changed since \"Short\" was last saved:\n"
                              "Two A\nOk to update \"Short\" with new versions?"}));
}

TEST_F(MethodDocumentTest, AnUnknownSyringeWarnsAndKeepsTheSelection)
{
    ASSERT_TRUE(document.select_syringe("syr10UL"));
    EXPECT_EQ(document.syringe(), "Syr10ul");
    MethodText text = sample();
    text.syringe = "Syr5ul";
    save_method("Demo", text);
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::loaded);
    EXPECT_EQ(shown(), (Lines{"information: Warning loading method \"Demo\" : Syringe \"Syr5ul\" does not exist in Kelvo"}));
    EXPECT_EQ(document.syringe(), "Syr10ul");
    EXPECT_EQ(document.calls(), text.calls);
}

TEST_F(MethodDocumentTest, MissingAtomsInAUsedMacroRefuseTheLoad)
{
    save_method("Demo", sample());
    write_macro("Two A", "FLY()\r\nMOVE_TO_HOME()\r\nSWIM(1,)\r\n");
    write_macro("Two B", "LAND()\r\n");
    prompts.yes_no_answers = {false};
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::refused);
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[1], "error: Method \"Demo\" cant be loaded because \n"
                          "In macro \"Two B\" the following atoms dont exist:\nLAND\n"
                          "In macro \"Two A\" the following atoms dont exist:\nFLY\nSWIM\n");
    EXPECT_EQ(document.name(), "");
    EXPECT_TRUE(document.calls().empty());
}

TEST_F(MethodDocumentTest, BadObjectReferencesInAUsedMacroRefuseTheLoad)
{
    write_macro("Refs", "Where;TRAY\r\nMOVE_TO_HOME()\r\nMOVE_TO_OBJECT(Where,,1,)\r\nREAD_BARCODE(Wash1,1,)\r\n"
                        "CHECK_SYRINGE(Tray9,)\r\n");
    save_method("Demo", {{}, "Syr10ul", {"Refs(Tray1)"}});
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::refused);
    EXPECT_EQ(shown(), (Lines{"error: Method \"Demo\" cant be loaded because \n"
                              "In macro \"Refs\",(Line 3) Atom \"READ_BARCODE\" refers to object \"Wash1\" which is a WASH_STATION\n"
                              "In macro \"Refs\",(Line 4) Atom \"CHECK_SYRINGE\" refers to object \"Tray9\" which doesnt exist in KELVO\n"}));
    EXPECT_EQ(document.name(), "");
}

TEST_F(MethodDocumentTest, CallValuesOutsideTheirClassesWarnAndLeaveTheMethodNameless)
{
    write_macro("Pair", "Where;TRAY\r\nVolume ();1;0;5\r\nSignal;OUT_SIGNAL\r\nREAD_BARCODE(Where,1,)\r\n"
                        "SET_OUT(Signal,Off,)\r\n");
    save_method("Demo", {{}, "Syr10ul", {"Two A()", "Pair(Wash1,2,Inject1)", "Pair(Tray2,2,SL.tray)", "Pair(Volume,1,None)"}});
    EXPECT_EQ(document.load("Demo"), MethodLoadResult::unnamed);
    EXPECT_EQ(shown(), (Lines{"information: Warning! In method \"Demo\":\n\n"
                              "In line 2 \"Where\" is set to object \"Wash1\" which is a WASH_STATION\n"
                              "In line 3 \"Signal\" is set to object \"SL.tray\" which is a tray\n"}));
    EXPECT_EQ(document.name(), "");
    EXPECT_EQ(document.calls().size(), 4u);
    EXPECT_EQ(document.shown_line(), 0);
    EXPECT_TRUE(hooks.called("clear_name_selection"));
}

// ---- Save and Save As

TEST_F(MethodDocumentTest, SaveWritesTheFileAndLoadReadsItBack)
{
    document.new_method("Round");
    document.description() = {"First", ""};
    document.select_syringe("Syr10ul");
    document.calls() = {"Two B(Wash1,2)", "Two A()", "Two B(Waste,5)"};
    ASSERT_TRUE(document.save());
    EXPECT_EQ(method_bytes("Round"), "//First\r\n//\r\nsyringe:Syr10ul\r\nTwo B(Wash1,2)\r\nTwo A()\r\nTwo B(Waste,5)\r\n"
                                     "[MACRO Two B]\r\nStation;WASH_STATION\r\nVolume (\xB5l);1;0;SYR.Max Volume\r\n"
                                     "WASH_SYRINGE(Station,Volume,3,1,1,)\r\nMOVE_TO_OBJECT(Station,,5,)\r\n"
                                     "[MACRO Two A]\r\nMOVE_TO_HOME()\r\nSET_SPEED(Fast,)\r\n"
                                     "[MACRO METHOD ENTRY]\r\nMOVE_TO_HOME()\r\n[MACRO METHOD EXIT]\r\n");
    EXPECT_NE(log_text().find(" : rewrote method Round\r\n"), std::string::npos);
    EXPECT_TRUE(hooks.called("refill_name_lists"));
    EXPECT_TRUE(document.load_save_flag());
    EXPECT_FALSE(document.changed());

    MethodDocument other(test::context_with(demo_db()), test_expansion);
    EXPECT_EQ(other.load("Round"), MethodLoadResult::loaded);
    EXPECT_EQ(other.text(), document.text());
    EXPECT_TRUE(shown().empty());
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++files;
    EXPECT_EQ(files, 5);  // three macros, the method, the log, nothing else
}

TEST_F(MethodDocumentTest, AWriteProtectedMethodIsNeitherSavedNorUpdated)
{
    save_method("Locked", sample());
    const std::string before = method_bytes("Locked");
    set_read_only_file(method_file("Locked"), true);
    ASSERT_EQ(document.load("Locked"), MethodLoadResult::loaded);
    document.calls().push_back("Two A()");
    EXPECT_FALSE(document.save());
    EXPECT_EQ(shown(), (Lines{"error: Method Locked is read only"}));
    EXPECT_EQ(method_bytes("Locked"), before);
    EXPECT_TRUE(is_read_only_file(method_file("Locked")));

    // Nor does taking the new versions of its macros replace it.
    prompts.shown.clear();
    write_macro("Two A", "MOVE_TO_HOME()\r\nSET_SPEED(Slow,)\r\n");
    prompts.yes_no_answers = {true};
    document.load("Locked");
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[1], "error: Method Locked is read only");
    EXPECT_EQ(method_bytes("Locked"), before);
}

TEST_F(MethodDocumentTest, AnEmptyDescriptionStartsTheFileWithTheSyringeLine)
{
    document.new_method("Bare");
    document.select_syringe("Syr100ul");
    document.calls() = {"Two A()"};
    ASSERT_TRUE(document.save());
    EXPECT_EQ(method_bytes("Bare").substr(0, 18), "syringe:Syr100ul\r\n");
}

TEST_F(MethodDocumentTest, SaveRefusesAnEmptyMethodAndAMethodWithoutSyringe)
{
    document.new_method("Empty");
    EXPECT_FALSE(document.save());
    EXPECT_FALSE(document.save_as());
    document.calls() = {"Two A()"};
    EXPECT_FALSE(document.save());
    EXPECT_EQ(shown(), (Lines{"information: The method is empty!", "information: The method is empty!",
                              std::string("error: ") + no_syringe_text}));
    EXPECT_FALSE(std::filesystem::exists(method_file("Empty")));
}

TEST_F(MethodDocumentTest, SaveWritesThePaneBackFirst)
{
    save_method("Demo", sample());
    document.load("Demo");
    hooks.pane_ok = false;
    EXPECT_FALSE(document.save());
    hooks.pane_ok = true;
    hooks.pane_line = "Two B(Wash1,7)";
    ASSERT_TRUE(document.save());
    EXPECT_EQ(document.calls()[0], "Two B(Wash1,7)");
    EXPECT_NE(method_bytes("Demo").find("syringe:Syr100ul\r\nTwo B(Wash1,7)\r\n"), std::string::npos);
}

TEST_F(MethodDocumentTest, SaveAsAsksForANameRefusesParenthesesAndAsksBeforeOverwriting)
{
    save_method("Taken", sample());
    document.new_method("");
    document.select_syringe("Syr10ul");
    document.calls() = {"Two A()"};
    hooks.names = {std::string("Bad(1)"), std::string("../Out"), std::string("Taken"), std::string("Fresh.KME")};
    prompts.yes_no_answers = {false};
    EXPECT_FALSE(document.save());
    EXPECT_EQ(shown(), (Lines{"error: Please do not use parentheses in the file name",
                              "error: Please do not use \\ or / in the file name",
                              "question: Do you really want to overwrite method Taken?"}));
    EXPECT_EQ(document.name(), "");
    ASSERT_TRUE(document.save_as());
    EXPECT_EQ(document.name(), "Fresh");
    EXPECT_TRUE(std::filesystem::exists(method_file("Fresh")));
    EXPECT_EQ(setting("Method"), "Fresh");
    EXPECT_TRUE(hooks.called("select_name Fresh"));
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "Out.KME"));

    hooks.names = {std::string("taken")};
    prompts.yes_no_answers = {true};
    ASSERT_TRUE(document.save_as());
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "Taken"), "Syr10ul");
}

// ---- Changed? and Ask to save

TEST_F(MethodDocumentTest, ChangedComparesDescriptionSyringeAndCallsOnly)
{
    save_method("Demo", sample());
    document.load("Demo");
    EXPECT_FALSE(document.changed());
    document.description()[0] = "DEMO";  // case does not count
    EXPECT_FALSE(document.changed());
    document.description()[1] = "other";
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(debug.back(), "//other vs //second line");
    document.description()[1] = "second line";
    document.select_syringe("Syr10ul");
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(debug.back(), "syringe:Syr10ul vs syringe:Syr100ul");
    document.select_syringe("Syr100ul");
    document.calls().push_back("Two A()");
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(debug.back(), "Two A() vs [MACRO Two B]");
}

TEST_F(MethodDocumentTest, DeletingTheLastCallCountsAsAChange)
{
    save_method("Demo", sample());
    document.load("Demo");
    ASSERT_TRUE(document.delete_call(2));
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(debug.back(), " vs Two B(Wash2,3)");

    // Without a file any content counts.
    document.new_method("New");
    EXPECT_FALSE(document.changed());
    document.description() = {"x"};
    EXPECT_TRUE(document.changed());
}

TEST_F(MethodDocumentTest, AskToSaveOnlyAfterALoadOrSaveForANamedChangedMethod)
{
    document.new_method("Never");
    document.calls() = {"Two A()"};
    EXPECT_TRUE(document.ask_to_save());  // the flag is not set yet
    EXPECT_TRUE(shown().empty());

    save_method("Demo", sample());
    document.load("Demo");
    EXPECT_TRUE(document.ask_to_save());  // unchanged
    EXPECT_TRUE(shown().empty());
    document.calls().push_back("Two A()");
    prompts.yes_no_answers = {false};
    EXPECT_TRUE(document.ask_to_save());
    EXPECT_EQ(shown(), (Lines{"question: The method \"Demo\" has been changed. Do you wish to save it?"}));
    EXPECT_EQ(method_bytes("Demo"), crlf_text(method_file_lines(program_method_folder(), sample())));
    prompts.yes_no_answers = {true};
    EXPECT_TRUE(document.ask_to_save());
    EXPECT_FALSE(document.changed());
}

// ---- New and Delete

TEST_F(MethodDocumentTest, NewEmptiesTheMethodButKeepsTheSyringe)
{
    save_method("Demo", sample());
    document.load("Demo");
    document.new_method("Next");
    EXPECT_EQ(document.name(), "Next");
    EXPECT_TRUE(document.calls().empty());
    EXPECT_TRUE(document.description().empty());
    EXPECT_EQ(document.shown_line(), -1);
    EXPECT_EQ(document.syringe(), "Syr100ul");
    EXPECT_EQ(setting("Method"), "Next");
    EXPECT_TRUE(hooks.called("select_name Next"));
    EXPECT_FALSE(std::filesystem::exists(method_file("Next")));
}

TEST_F(MethodDocumentTest, DeleteAsksWithoutQuestionMarkAndEmptiesTheEditor)
{
    EXPECT_FALSE(document.delete_method(""));
    save_method("Demo", sample());
    document.load("Demo");
    prompts.yes_no_answers = {false, true};
    EXPECT_FALSE(document.delete_method("Demo"));
    EXPECT_TRUE(std::filesystem::exists(method_file("Demo")));
    EXPECT_TRUE(document.delete_method("Demo"));
    EXPECT_EQ(shown(), (Lines{"error: No method to delete", "question: Do you really want to delete method Demo",
                              "question: Do you really want to delete method Demo"}));
    EXPECT_FALSE(std::filesystem::exists(method_file("Demo")));
    EXPECT_EQ(document.name(), "");
    EXPECT_TRUE(document.calls().empty());
    EXPECT_EQ(setting("Method"), "");
    EXPECT_TRUE(hooks.called("refill_name_lists"));
}

// ---- Editing

TEST_F(MethodDocumentTest, InsertKeepsALineOnlyWhenTheMethodStillExpands)
{
    document.new_method("Edit");
    ASSERT_TRUE(document.insert_call(-1, "Two A()"));
    ASSERT_TRUE(document.insert_call(-1, "Two B(Wash1,1)"));
    ASSERT_TRUE(document.insert_call(0, "Two A()"));
    EXPECT_EQ(document.calls(), (Lines{"Two B(Wash1,1)", "Two A()", "Two A()"}));
    EXPECT_EQ(document.shown_line(), 1);
    EXPECT_EQ(hooks.calls.back(), "show_line 1");

    write_macro("Broken", "FLY()\r\n");
    EXPECT_FALSE(document.insert_call(2, "Broken()"));
    EXPECT_FALSE(document.insert_call(0, "Unknown()"));
    EXPECT_EQ(document.calls(), (Lines{"Two B(Wash1,1)", "Two A()", "Two A()"}));
    EXPECT_EQ(shown(), (Lines{"error: In macro \"Broken\", FLY is not an atom!", "error: Macro \"Unknown\" does not exist."}));
}

TEST_F(MethodDocumentTest, ReplacePutsTheOldLineBackOnFailure)
{
    document.new_method("Edit");
    document.calls() = {"Two A()", "Two B(Wash1,1)"};
    ASSERT_TRUE(document.replace_call(1, "Two B(Wash2,2)"));
    EXPECT_EQ(document.calls()[1], "Two B(Wash2,2)");
    EXPECT_FALSE(document.replace_call(0, "Unknown()"));
    EXPECT_EQ(document.calls(), (Lines{"Two A()", "Two B(Wash2,2)"}));
    EXPECT_FALSE(document.replace_call(2, "Two A()"));
}

TEST_F(MethodDocumentTest, DeleteShowsTheLineThatTakesThePlace)
{
    document.new_method("Edit");
    document.calls() = {"Two A()", "Two B(Wash1,1)", "Two A()"};
    ASSERT_TRUE(document.delete_call(1));
    EXPECT_EQ(document.shown_line(), 1);
    ASSERT_TRUE(document.delete_call(1));
    EXPECT_EQ(document.shown_line(), 0);
    ASSERT_TRUE(document.delete_call(0));
    EXPECT_EQ(document.shown_line(), -1);
    EXPECT_FALSE(document.delete_call(0));
}

TEST_F(MethodDocumentTest, ClickingALineWritesThePaneBackFirst)
{
    save_method("Demo", sample());
    document.load("Demo");
    hooks.calls.clear();
    hooks.pane_ok = false;
    EXPECT_FALSE(document.click_line(2));
    EXPECT_EQ(document.shown_line(), 0);
    hooks.pane_ok = true;
    ASSERT_TRUE(document.click_line(1));
    EXPECT_EQ(document.shown_line(), 1);
    EXPECT_EQ(hooks.calls.back(), "follow Two A");

    document.choose_macro("Two B");
    EXPECT_EQ(document.shown_line(), -1);
    EXPECT_TRUE(hooks.called("defaults Two B"));
    EXPECT_EQ(hooks.calls.back(), "follow Two B");
    EXPECT_TRUE(document.write_back_pane());  // no line shown: nothing to do
}

TEST_F(MethodDocumentTest, TheRangeCheckClampsPlainNumbersToTheSyringesLimits)
{
    save_method("Demo", {{}, "Syr100ul", {"Two B(Wash1,60)", "Two B(Wash2,SL.volume*200)"}});
    document.load("Demo");
    hooks.calls.clear();
    document.syringe_changed("Syr10ul");
    EXPECT_EQ(document.syringe(), "Syr10ul");
    EXPECT_EQ(document.calls(), (Lines{"Two B(Wash1,10)", "Two B(Wash2,SL.volume*200)"}));
    EXPECT_TRUE(hooks.called("out_of_range Macro \"Two B\" parameter \"Volume\" [\xB5l] 0..10 proposed 10 value 60"));
    EXPECT_TRUE(hooks.called("refresh_pane"));

    hooks.pane_line = "Two B(Wash1,-1)";
    ASSERT_TRUE(document.write_back_pane());
    EXPECT_EQ(document.calls()[0], "Two B(Wash1,0)");
}

}  // namespace
}  // namespace kelvo::method_test
