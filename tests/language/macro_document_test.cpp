// The Macro Editor's document operations: Load with its checks, Save, Save
// As, Changed?, Ask to save, New, Delete and write protection.
#include "ground/text_utils.h"
#include "test_context.h"
#include "language/macro_document.h"
#include "macro_test_support.h"

#include <cctype>
#include <filesystem>

namespace kelvo::macro_test {
namespace {

namespace fs = std::filesystem;

const std::string good_macro = "//Fill the syringe\r\n"
                               "//\r\n"
                               "Tray;TRAY\r\n"
                               "Volume (\xB5l);SL.volume;0;SYR.Max Volume\r\n"
                               "Count ();1;0;10\r\n"
                               "REPEAT(Count,)\r\n"
                               "GET_SAMPLE(Tray,1,Volume,SYR.Fill Speed,0,Tray.Vial Depth-2,,)\r\n"
                               "END()\r\n";

void make_read_only(const std::string& path)
{
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

class MacroLoad : public MacroFixture {};

TEST_F(MacroLoad, AGoodMacroLoadsUnderItsName)
{
    write_macro("Fill", good_macro);
    EXPECT_EQ(document.load("Fill"), MacroLoadResult::loaded);
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(document.name(), "Fill");
    EXPECT_EQ(document.description(), (std::vector<std::string>{"Fill the syringe", ""}));
    EXPECT_EQ(document.parameter_lines().size(), 3u);
    EXPECT_EQ(document.atom_lines().size(), 3u);
    ASSERT_EQ(document.parameters().size(), 3u);
    EXPECT_EQ(document.parameters()[1].unit, "\xB5l");
    EXPECT_TRUE(document.load_save_flag());
    EXPECT_FALSE(document.changed());
    EXPECT_TRUE(hooks.called("lock off"));
    EXPECT_TRUE(hooks.called("show_first_line"));
}

TEST_F(MacroLoad, BadParameterLinesRefuseTheMacro)
{
    write_macro("P", "//x\r\n"
                     "Good ();1;0;2\r\n"
                     "Depth (mm);SYR.Max Volume;0;10\r\n"
                     "Place;TRAY;TRAY_HOLDER;\r\n"
                     "HOME()\r\n");
    EXPECT_EQ(document.load("P"), MacroLoadResult::refused);
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: Depth: SYR.Max Volume makes no sense ",
                           "error:  is not a class",
                           "information: Syntax error in parameter 2\nSyntax error in parameter 3\n",
                       }));
    EXPECT_EQ(document.name(), "");
    EXPECT_TRUE(document.atom_lines().empty());
    EXPECT_TRUE(document.parameter_lines().empty());
    EXPECT_TRUE(document.description().empty());
}

TEST_F(MacroLoad, ACommentFurtherDownIsAnAtomLineThatDoesNotExist)
{
    write_macro("C", "//about\r\nMOVE_TO_HOME()\r\n// later remark\r\nFLY(1,)\r\nFLY(2,)\r\n");
    EXPECT_EQ(document.load("C"), MacroLoadResult::refused);
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "information: In macro \"C\" the following atoms dont exist:\n// later remark\nFLY\n"}));
    EXPECT_TRUE(document.atom_lines().empty());
    EXPECT_TRUE(hooks.called("clear_name_selection"));
}

TEST_F(MacroLoad, BadObjectReferencesLoadWithoutAName)
{
    write_macro("R", "Inj;INJECTOR\r\n"
                     "MOVE_TO_HOME()\r\n"
                     "VALVE(Tray1,Load,)\r\n"
                     "INJECT(Inj,1,0,0,None,)\r\n"
                     "GET_SAMPLE(SL.injector,1,1,1,0,1,,)\r\n"
                     "CHECK_SYRINGE(Ghost,)\r\n");
    EXPECT_EQ(document.load("R"), MacroLoadResult::unnamed);
    EXPECT_EQ(shown(), (std::vector<std::string>{"information: In macro \"R\":\n"
                                                 "(Line 2) Atom \"VALVE\" refers to object \"Tray1\" which is a TRAY\n"
                                                 "(Line 4) Atom \"GET_SAMPLE\" refers to object \"SL.injector\" which is an injector\n"
                                                 "(Line 5) Atom \"CHECK_SYRINGE\" refers to object \"Ghost\" which doesnt exist in KELVO\n"}));
    EXPECT_EQ(document.name(), "");
    EXPECT_EQ(document.atom_lines().size(), 5u);  // the content stays
    EXPECT_TRUE(document.load_save_flag());
    EXPECT_TRUE(hooks.called("clear_name_selection"));
}

TEST_F(MacroLoad, MoreThanFourteenParametersAreRefused)
{
    std::string bytes;
    for (int i = 1; i <= 15; ++i) bytes += "P" + std::to_string(i) + " ();1;0;2\r\n";
    write_macro("Many", bytes + "HOME()\r\n");
    EXPECT_EQ(document.load("Many"), MacroLoadResult::refused);
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "information: In macro \"Many\" there are 15 parameters. Only 14 parameters are allowed in a macro!"}));
    EXPECT_TRUE(document.parameters().empty());
}

TEST_F(MacroLoad, MissingFile)
{
    EXPECT_EQ(document.load("Nowhere"), MacroLoadResult::refused);
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: Macro \"Nowhere\" does not exist."}));
}

class MacroSave : public MacroFixture {
protected:
    void start(const std::string& name, std::vector<std::string> atoms, std::vector<std::string> params = {})
    {
        document.new_macro(name);
        document.atom_lines() = std::move(atoms);
        document.parameter_lines() = std::move(params);
    }
};

TEST_F(MacroSave, OneAtomLineIsWrittenAsExactlyThatLine)
{
    start("Home", {"MOVE_TO_HOME()"});
    ASSERT_TRUE(document.save());
    EXPECT_EQ(macro_bytes("Home"), "MOVE_TO_HOME()\r\n");
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(document.load_save_flag());
    EXPECT_FALSE(document.changed());
    const std::string log = test::read_file(dir.file("cadenzor.log"));
    EXPECT_NE(log.find(" : rewrote macro Home\r\n"), std::string::npos) << log;
    EXPECT_TRUE(hooks.called("forget Home"));
    EXPECT_EQ(settings.read("", "Macro")->text, "Home");
}

TEST_F(MacroSave, LoadThenSaveGivesTheSameBytes)
{
    write_macro("Fill", good_macro);
    ASSERT_EQ(document.load("Fill"), MacroLoadResult::loaded);
    fs::remove(path_of("Fill"));
    ASSERT_TRUE(document.save());
    EXPECT_EQ(macro_bytes("Fill"), good_macro);
}

TEST_F(MacroSave, UnitlessParameterRoundTrip)
{
    start("Loop", {"REPEAT(Count,)", "MOVE_TO_HOME()", "END()"}, {numeric_parameter_line("Count", "", "2", "1", "9")});
    ASSERT_TRUE(document.save());
    EXPECT_EQ(macro_bytes("Loop"), "Count ();2;1;9\r\nREPEAT(Count,)\r\nMOVE_TO_HOME()\r\nEND()\r\n");
    MacroDocument other(test::context_with(db()));
    ASSERT_EQ(other.load("Loop"), MacroLoadResult::loaded);
    ASSERT_EQ(other.parameters().size(), 1u);
    EXPECT_EQ(other.parameters()[0].name, "Count");
    EXPECT_EQ(other.parameters()[0].unit, "");
}

TEST_F(MacroSave, EmptyMacroAndFailingPane)
{
    start("E", {});
    EXPECT_FALSE(document.save());
    EXPECT_FALSE(document.save_as());
    EXPECT_EQ(shown(), (std::vector<std::string>{"information: The macro is empty!", "information: The macro is empty!"}));
    start("E", {"MOVE_TO_HOME()"});
    hooks.pane_ok = false;
    EXPECT_FALSE(document.save());
    EXPECT_FALSE(fs::exists(path_of("E")));
}

TEST_F(MacroSave, ArgumentChecksShowTheFirstFailure)
{
    const std::vector<std::string> params = {"Vol (\xB5l);1;0;10", "Inj;INJECTOR"};
    start("A", {"AIR_GAP(Vol,)", "GET_SAMPLE(Tray1,1,,1,0,1,,)"}, params);
    EXPECT_FALSE(document.save());
    start("A", {"AIR_GAP(Depth,)"}, params);
    EXPECT_FALSE(document.save());
    start("A", {"VALVE(Tray1,Load,)"}, params);
    EXPECT_FALSE(document.save());
    start("A", {"VALVE(Inj,Load,)", "INJECT(Inj,1,0,0,None,)", "WAIT_SYNC(Start In,High,,)", "CHECK_SYRINGE(SYR,)"}, params);
    EXPECT_TRUE(document.save());
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: Line 2 - atom \"GET_SAMPLE\", parameter \"Volume\" must be specified!",
                           "error: Line 1 - atom \"AIR_GAP\", parameter \"Volume\" Undefined macro parameter name \"Depth\"",
                           "error: Line 1 - atom \"VALVE\", parameter \"Injector\" : refers to object \"Tray1\" which is a TRAY",
                       }));
}

TEST_F(MacroSave, ReadOnlyFileIsNotWrittenUntilTheLockIsToggled)
{
    write_macro("Locked", "MOVE_TO_HOME()\r\n");
    make_read_only(path_of("Locked"));
    ASSERT_EQ(document.load("Locked"), MacroLoadResult::loaded);
    EXPECT_TRUE(hooks.called("lock on"));
    EXPECT_TRUE(document.is_read_only());
    document.atom_lines().push_back("END()");
    EXPECT_FALSE(document.save());
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: Macro Locked is read only"}));
    EXPECT_EQ(macro_bytes("Locked"), "MOVE_TO_HOME()\r\n");

    hooks.calls.clear();
    document.toggle_write_protection();
    EXPECT_FALSE(document.is_read_only());
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"lock off"}));
    EXPECT_TRUE(document.save());
    EXPECT_EQ(macro_bytes("Locked"), "MOVE_TO_HOME()\r\nEND()\r\n");

    document.toggle_write_protection();
    EXPECT_TRUE(document.is_read_only());
    EXPECT_TRUE(hooks.called("lock on"));
}

TEST_F(MacroSave, SaveWithoutANameRunsSaveAs)
{
    start("", {"MOVE_TO_HOME()"});
    hooks.names = {std::string("Park (new)"), std::string("Park")};
    ASSERT_TRUE(document.save());
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: Please do not use parentheses in the file name"}));
    EXPECT_EQ(document.name(), "Park");
    EXPECT_EQ(macro_bytes("Park"), "MOVE_TO_HOME()\r\n");
    EXPECT_EQ(hooks.calls.back(), "select_name Park");
    EXPECT_TRUE(hooks.called("refill_name_lists"));
    EXPECT_TRUE(hooks.called("ask_save_name Save Macro []"));
    EXPECT_EQ(settings.read("", "Macro")->text, "Park");
}

TEST_F(MacroSave, SaveAsAsksBeforeOverwriting)
{
    write_macro("Old", "END()\r\n");
    start("Mine", {"MOVE_TO_HOME()"});
    hooks.names = {std::string("Old")};
    EXPECT_FALSE(document.save_as());  // the question is answered No
    EXPECT_EQ(macro_bytes("Old"), "END()\r\n");
    EXPECT_EQ(document.name(), "Mine");

    hooks.names = {std::string("Old")};
    prompts.yes_no_answers = {true};
    EXPECT_TRUE(document.save_as());
    EXPECT_EQ(macro_bytes("Old"), "MOVE_TO_HOME()\r\n");
    EXPECT_EQ(document.name(), "Old");
    EXPECT_EQ(shown(), (std::vector<std::string>{"question: Do you really want to overwrite macro Old?",
                                                 "question: Do you really want to overwrite macro Old?"}));

    hooks.names = {std::nullopt};
    EXPECT_FALSE(document.save_as());  // cancelled
}

TEST_F(MacroSave, SaveAsKeepsTheFileInTheMethodFolder)
{
    start("Mine", {"MOVE_TO_HOME()"});
    hooks.names = {std::string("../Escape"), std::string("Park.kma")};
    ASSERT_TRUE(document.save_as());
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: Please do not use \\ or / in the file name"}));
    EXPECT_EQ(document.name(), "Park");
    EXPECT_TRUE(fs::exists(path_of("Park")));
    EXPECT_FALSE(fs::exists(dir.path().parent_path() / "Escape.kma"));
}

TEST_F(MacroSave, ChangedComparesWithoutCaseAndReportsEachDifference)
{
    write_macro("Fill", good_macro);
    ASSERT_EQ(document.load("Fill"), MacroLoadResult::loaded);
    for (char& c : document.atom_lines()[1]) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_FALSE(document.changed());
    document.description()[0] = "Other";
    document.atom_lines()[2] = "END(1,)";
    debug.clear();
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(debug, (std::vector<std::string>{"//Other vs //Fill the syringe", "END(1,) vs END()"}));
    document.atom_lines().push_back("END()");
    EXPECT_TRUE(document.changed());

    document.new_macro("Fresh");
    EXPECT_FALSE(document.changed());
    document.description().push_back("");
    EXPECT_TRUE(document.changed());
}

TEST_F(MacroSave, AskToSaveOnlyForALoadedNamedChangedMacro)
{
    start("Never", {"MOVE_TO_HOME()"});
    EXPECT_TRUE(document.ask_to_save());  // never loaded or saved: no question
    EXPECT_TRUE(shown().empty());

    write_macro("Fill", good_macro);
    document.load("Fill");
    EXPECT_TRUE(document.ask_to_save());  // unchanged
    document.atom_lines().push_back("MOVE_TO_HOME()");
    EXPECT_TRUE(document.ask_to_save());  // answered No
    EXPECT_EQ(macro_bytes("Fill"), good_macro);
    prompts.yes_no_answers = {true};
    EXPECT_TRUE(document.ask_to_save());
    EXPECT_EQ(macro_bytes("Fill"), good_macro + "MOVE_TO_HOME()\r\n");
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "question: The macro \"Fill\" has been changed. Do you wish to save it?",
                           "question: The macro \"Fill\" has been changed. Do you wish to save it?",
                       }));
}

TEST_F(MacroSave, NewEmptiesTheEditorAndTakesTheName)
{
    write_macro("Fill", good_macro);
    document.load("Fill");
    document.new_macro("Next");
    EXPECT_EQ(document.name(), "Next");
    EXPECT_TRUE(document.text() == MacroText{} && document.parameters().empty());
    EXPECT_TRUE(hooks.called("select_name Next"));
    EXPECT_FALSE(fs::exists(path_of("Next")));
    EXPECT_EQ(document.load(""), MacroLoadResult::no_name);
    EXPECT_EQ(document.name(), "");
}

class MacroDelete : public MacroFixture {};

TEST_F(MacroDelete, NothingSelected)
{
    EXPECT_FALSE(document.delete_macro(""));
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: No macro to delete"}));
    EXPECT_TRUE(hooks.calls.empty());
}

TEST_F(MacroDelete, AskedAndDeleted)
{
    write_macro("Fill", good_macro);
    document.load("Fill");
    EXPECT_FALSE(document.delete_macro("Fill"));  // No
    EXPECT_TRUE(fs::exists(path_of("Fill")));
    EXPECT_EQ(document.name(), "Fill");

    prompts.yes_no_answers = {true};
    EXPECT_TRUE(document.delete_macro("Fill"));
    EXPECT_FALSE(fs::exists(path_of("Fill")));
    EXPECT_EQ(document.name(), "");
    EXPECT_TRUE(document.atom_lines().empty());
    EXPECT_TRUE(hooks.called("refill_name_lists"));
    EXPECT_EQ(settings.read("", "Macro")->text, "");
    EXPECT_EQ(shown(), (std::vector<std::string>{"question: Do you really want to delete macro Fill",
                                                 "question: Do you really want to delete macro Fill"}));
}

TEST_F(MacroDelete, FailureNamesTheFullPathAndStillEmptiesTheEditor)
{
    write_macro("Kept", "MOVE_TO_HOME()\r\n");
    make_read_only(path_of("Kept"));
    document.load("Kept");
    prompts.yes_no_answers = {true, true};
    EXPECT_FALSE(document.delete_macro("Kept"));
    EXPECT_TRUE(fs::exists(path_of("Kept")));
    EXPECT_FALSE(document.delete_macro("Unsaved"));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "question: Do you really want to delete macro Kept",
                           "error: couldnt delete " + path_of("Kept"),
                           "question: Do you really want to delete macro Unsaved",
                           "error: couldnt delete " + path_of("Unsaved"),
                       }));
    EXPECT_EQ(document.name(), "");
    EXPECT_TRUE(document.atom_lines().empty());
}

}  // namespace
}  // namespace kelvo::macro_test
