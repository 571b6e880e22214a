// The macro file, its line forms, parameter lines, name lists and the
// numbered display.
#include "language/macro.h"
#include "ground/documents.h"
#include "language/parameter_line.h"
#include "macro_test_support.h"

namespace kelvo::macro_test {
namespace {

TEST(MacroLines, ValuesOfAtomLinesAndCallLines)
{
    EXPECT_EQ(line_name("MOVE(5,A,)"), "MOVE");
    EXPECT_EQ(line_name("// no parenthesis"), "// no parenthesis");
    EXPECT_EQ(atom_line_values("MOVE(5,A,)"), (std::vector<std::string>{"5", "A"}));
    EXPECT_EQ(atom_line_values("MOVE(5,,)"), (std::vector<std::string>{"5", ""}));
    EXPECT_EQ(atom_line_values("MOVE(5,A)"), (std::vector<std::string>{"5", "A"}));
    EXPECT_EQ(atom_line_values("WAIT((1+2)*3,)"), (std::vector<std::string>{"(1+2)*3"}));
    EXPECT_TRUE(atom_line_values("HOME()").empty());
    EXPECT_TRUE(atom_line_values("HOME").empty());
    EXPECT_EQ(atom_line_text("MOVE", {"5", ""}), "MOVE(5,,)");
    EXPECT_EQ(atom_line_text("HOME", {}), "HOME()");
    EXPECT_EQ(call_line_values("Fill(Tray1,,5)"), (std::vector<std::string>{"Tray1", "", "5"}));
    EXPECT_TRUE(call_line_values("METHOD ENTRY()").empty());
    EXPECT_EQ(call_line_text("Fill", {"Tray1", "5"}), "Fill(Tray1,5)");
    EXPECT_EQ(call_line_text("Fill", {}), "Fill()");
}

TEST(MacroLines, ClassifyingAFile)
{
    const MacroText m = classify_macro_lines(
        {"//first", "//", "Volume (\xB5l);1;0;10", "AIR_GAP(Volume,)", "//not a description", "Tray;TRAY", "END()"});
    EXPECT_EQ(m.description, (std::vector<std::string>{"first", ""}));
    EXPECT_EQ(m.parameter_lines, (std::vector<std::string>{"Volume (\xB5l);1;0;10", "Tray;TRAY"}));
    EXPECT_EQ(m.atom_lines, (std::vector<std::string>{"AIR_GAP(Volume,)", "//not a description", "END()"}));
    EXPECT_EQ(crlf_text(macro_file_lines(MacroText{{"a", ""}, {"P;TRAY"}, {"HOME()"}})),
              "//a\r\n//\r\nP;TRAY\r\nHOME()\r\n");
}

TEST(MacroLines, NumberedDisplayIndentsRepeatBlocks)
{
    const std::vector<std::string> lines = {"A(3,)", "REPEAT(3,)", "B()", "C(1,)", "END()", "D()", "E()", "F()",
                                            "G()", "H()", "repeat(2,)", "I()", "end()", "END()"};
    const auto shown = numbered_display(lines, true);
    EXPECT_EQ(shown[0], "01 A");
    EXPECT_EQ(shown[1], "02 REPEAT");
    EXPECT_EQ(shown[2], "03   B");
    EXPECT_EQ(shown[3], "04   C");
    EXPECT_EQ(shown[4], "05 END");
    EXPECT_EQ(shown[5], "06 D");
    EXPECT_EQ(shown[9], "10 H");
    EXPECT_EQ(shown[11], "12   I");
    EXPECT_EQ(shown[12], "13 end");
    EXPECT_EQ(shown[13], "14 END");
    EXPECT_EQ(numbered_display(lines, false)[2], "03 B");
}

class MacroParameterLines : public ::testing::Test {
protected:
    const ConfigDb& db = demo_db();
    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
    MacroParameter p;
};

TEST_F(MacroParameterLines, NumericWithAndWithoutUnit)
{
    ASSERT_TRUE(read_parameter_line(db, prompts, "Volume (\xB5l);SL.volume;0;SYR.Max Volume", p));
    EXPECT_EQ(p, (MacroParameter{"Volume", "\xB5l", "SL.volume", "0", "SYR.Max Volume", 0}));
    EXPECT_FALSE(p.is_object());

    const std::string line = numeric_parameter_line("Count", "", "3", "1", "10");
    EXPECT_EQ(line, "Count ();3;1;10");
    ASSERT_TRUE(read_parameter_line(db, prompts, line, p));
    EXPECT_EQ(p.name, "Count");
    EXPECT_EQ(p.unit, "");
    EXPECT_EQ(p.default_value, "3");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MacroParameterLines, SyringeDefaultOnlyWithAMatchingPropertyInTheUnit)
{
    EXPECT_TRUE(read_parameter_line(db, prompts, "Speed (\xB5l/s);SYR.Fill Speed;0.1;SYR.Max Speed", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, "Depth (mm);SYR.Max Volume;0;10", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, "Volume (\xB5l);SYR.Maximum;0;10", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, "Volume (\xB5l);1;0;", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, "Volume (\xB5l);1;x;y", p));
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                                 "error: Depth: SYR.Max Volume makes no sense ",
                                 "error: Volume: SYR.Maximum makes no sense ",
                                 "error: Volume:  makes no sense ",
                                 "error: Volume: x makes no sense ",
                             }));
}

TEST_F(MacroParameterLines, ObjectParameterClassesAndTheTrailingSemicolon)
{
    ASSERT_TRUE(read_parameter_line(db, prompts, "Place;TRAY;TRAY_HOLDER", p));
    EXPECT_EQ(p.name, "Place");
    EXPECT_EQ(p.classes, db.class_bit("TRAY") | db.class_bit("TRAY_HOLDER"));
    EXPECT_EQ(p.unit, "");
    EXPECT_EQ(p.default_value, "0");
    EXPECT_EQ(p.minimum, "0");
    EXPECT_EQ(p.maximum, "0");
    EXPECT_EQ(object_parameter_line(db, "Place", p.classes), "Place;TRAY;TRAY_HOLDER");

    EXPECT_FALSE(read_parameter_line(db, prompts, "Place;TRAY;TRAY_HOLDER;", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, "Place;tray;Bench", p));
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error:  is not a class", "error: Bench is not a class"}));
}

TEST_F(MacroParameterLines, LinesThatGiveNoNameFailQuietly)
{
    EXPECT_FALSE(read_parameter_line(db, prompts, "Volume;1;0;10", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, "(\xB5l);1;0;10", p));
    EXPECT_FALSE(read_parameter_line(db, prompts, ";TRAY", p));
    EXPECT_TRUE(prompts.shown.empty());
    ParameterTable table;
    std::vector<int> failed;
    EXPECT_FALSE(read_parameter_table(test::context_with(db), {"A ();1;0;2", "bad;1", "B;INJECTOR", "C (s);1:60;0;1"}, table, &failed));
    EXPECT_EQ(failed, (std::vector<int>{2, 4}));
    ASSERT_EQ(table.size(), 4u);  // slots stay in line order
    EXPECT_EQ(parameter_position(table, "b"), 2);
    EXPECT_EQ(find_parameter(table, ""), nullptr);
}

class MacroNameLists : public MacroFixture {};

TEST_F(MacroNameLists, FromTheFolder)
{
    for (const char* n : {"wash", "Fill", "METHOD ENTRY", "error exit", "b.old"}) write_macro(n, "HOME()\r\n");
    test::write_file(dir.file("notes.txt"), "x");
    test::write_file(dir.file("Zeta.KMA"), "HOME()\r\n");
    EXPECT_EQ(macro_names_in_folder(program_method_folder()), (std::vector<std::string>{"b", "error exit", "Fill", "METHOD ENTRY", "wash", "Zeta"}));
    EXPECT_EQ(macro_box_names(program_method_folder(), "New One"),
              (std::vector<std::string>{"b", "error exit", "Fill", "METHOD ENTRY", "New One", "wash", "Zeta"}));
    EXPECT_EQ(macro_box_names(program_method_folder(), "WASH").size(), 6u);
    EXPECT_EQ(method_editor_macro_names(program_method_folder(), "SL EXIT"), (std::vector<std::string>{"b", "Fill", "wash", "Zeta"}));
    // The file is found whatever the case of its name.
    EXPECT_TRUE(macro_file_exists(program_method_folder(), "zeta"));
    EXPECT_EQ(macro_path(program_method_folder(), "ZETA"), dir.file("Zeta.KMA"));
}

}  // namespace
}  // namespace kelvo::macro_test
