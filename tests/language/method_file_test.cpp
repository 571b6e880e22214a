// The method file and the pieces of the parameter pane that need no widget:
// section headers, the sections a save writes, the syringe of a stored
// method, the method list, import, labels, hints, choices and call lines.
#include "language/method.h"
#include "ground/documents.h"
#include "method_test_support.h"

namespace kelvo::method_test {
namespace {

using Lines = std::vector<std::string>;

TEST(MethodLines, SectionHeadersAreRecognisedWithoutRegardToCase)
{
    EXPECT_TRUE(is_section_header("[MACRO Fill]"));
    EXPECT_TRUE(is_section_header("[macro Fill]"));
    EXPECT_TRUE(is_section_header("[Macro "));
    EXPECT_FALSE(is_section_header("[MACRO"));
    EXPECT_FALSE(is_section_header(" [MACRO Fill]"));
    EXPECT_EQ(section_name("[MACRO Fill Syringe]"), "Fill Syringe");
    EXPECT_EQ(section_name("[macro X]"), "X");
    // The name runs up to the last character, whatever it is.
    EXPECT_EQ(section_name("[MACRO XY"), "X");
    EXPECT_EQ(section_name("[MACRO ]"), "");
    EXPECT_EQ(section_name("[MACRO "), "");
    EXPECT_EQ(section_header("METHOD EXIT"), "[MACRO METHOD EXIT]");
}

TEST(MethodLines, DistinctMacrosInOrderOfFirstCall)
{
    EXPECT_EQ(distinct_macro_names({"B(1)", "A()", "b(2)", "C(x,y)", "A()"}), (Lines{"B", "A", "C"}));
}

class MethodFile : public MethodFixture {};

TEST_F(MethodFile, TwoCallsOfOneMacroGiveOneSectionAndAbsentSpecialsALoneHeader)
{
    write_macro("Two A", two_atoms);
    write_macro("Two B", station_wash);
    const MethodText method{{"Demo", ""}, "Syr10ul", {"Two B(Wash1,2)", "Two A()", "two b(Wash2,3)"}};
    EXPECT_EQ(method_file_lines(program_method_folder(), method),
              (Lines{"//Demo", "//", "syringe:Syr10ul", "Two B(Wash1,2)", "Two A()", "two b(Wash2,3)",
                     "[MACRO Two B]", "Station;WASH_STATION", "Volume (\xB5l);1;0;SYR.Max Volume",
                     "WASH_SYRINGE(Station,Volume,3,1,1,)", "MOVE_TO_OBJECT(Station,,5,)", "[MACRO Two A]",
                     "MOVE_TO_HOME()", "SET_SPEED(Fast,)", "[MACRO METHOD ENTRY]", "[MACRO METHOD EXIT]"}));
}

TEST_F(MethodFile, SectionsCopyEveryLineThatIsNoCommentAndSpecialsAreNotRepeated)
{
    write_macro("METHOD ENTRY", "//enter\r\nMOVE_TO_HOME()\r\n//later comment\r\n");
    write_macro("METHOD EXIT", one_home);
    const MethodText method{{}, "Syr10ul", {"METHOD EXIT()"}};
    EXPECT_EQ(method_file_lines(program_method_folder(), method), (Lines{"syringe:Syr10ul", "METHOD EXIT()", "[MACRO METHOD EXIT]",
                                                "MOVE_TO_HOME()", "[MACRO METHOD ENTRY]", "MOVE_TO_HOME()"}));
}

TEST_F(MethodFile, SyringeOfAStoredMethod)
{
    write_method("M", "//a\r\nSYRINGE:Syr100ul\r\nX()\r\nsyringe:Other\r\n");
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "M"), "Syr100ul");
    write_method("N", "//no syringe\r\nX()\r\n");
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "N"), "");
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "Absent"), "");
}

TEST_F(MethodFile, ReadForRunTakesTheLinesAfterTheSyringeLine)
{
    write_method("M", "//a\r\n//b\r\nsyringe:Syr10ul\r\nX()\r\n[MACRO X]\r\nMOVE_TO_HOME()\r\n");
    std::string syringe;
    Lines lines;
    ASSERT_TRUE(read_method_for_run(program_method_folder(), "M", syringe, lines));
    EXPECT_EQ(syringe, "Syr10ul");
    EXPECT_EQ(lines, (Lines{"X()", "[MACRO X]", "MOVE_TO_HOME()"}));
    write_method("N", "//a\r\nX()\r\n");
    ASSERT_TRUE(read_method_for_run(program_method_folder(), "N", syringe, lines));
    EXPECT_EQ(syringe, "");
    EXPECT_EQ(lines, (Lines{"X()"}));
    EXPECT_FALSE(read_method_for_run(program_method_folder(), "Absent", syringe, lines));
}

TEST_F(MethodFile, FilesAreFoundWithoutRegardToCaseAndOnlyInTheFolder)
{
    test::write_file(dir.file("lower.kme"), "syringe:Syr10ul\r\n");
    EXPECT_TRUE(method_file_exists(program_method_folder(), "LOWER"));
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "Lower"), "Syr10ul");
    EXPECT_FALSE(method_file_exists(program_method_folder(), ""));
    std::filesystem::create_directories(dir.path() / "sub");
    test::write_file(dir.file("sub/inner.KME"), "syringe:Syr10ul\r\n");
    EXPECT_FALSE(method_file_exists(program_method_folder(), "sub/inner"));
    EXPECT_FALSE(method_file_exists(program_method_folder(), "sub\\inner"));
}

TEST_F(MethodFile, TheMethodListFollowsTheExtensionOfTheRun)
{
    test::write_file(dir.file("b.KME"), "");
    test::write_file(dir.file("A.kme"), "");
    test::write_file(dir.file("C.CDZ"), "");
    test::write_file(dir.file("D.kma"), "");
    EXPECT_EQ(method_names_in_folder(program_method_folder()), (Lines{"A", "b"}));
    EXPECT_EQ(method_box_names(program_method_folder(), "New One"), (Lines{"A", "b", "New One"}));
    EXPECT_EQ(method_box_names(program_method_folder(), "B"), (Lines{"A", "b"}));
    set_masslynx_mode(true);
    EXPECT_EQ(method_names_in_folder(program_method_folder()), (Lines{"C"}));
    EXPECT_EQ(method_path(program_method_folder(), "C"), dir.file("C.CDZ"));
}

TEST_F(MethodFile, ImportFilterAndCopies)
{
    EXPECT_EQ(import_dialog_filter(program_method_folder()), "Kelvo files (*.ksl;*.KME;*.kma)|*.ksl;*.KME;*.kma");
    set_masslynx_mode(true);
    EXPECT_EQ(import_dialog_filter(program_method_folder()), "Kelvo files (*.ksl;*.CDZ;*.kma)|*.ksl;*.CDZ;*.kma");
    set_masslynx_mode(false);

    // From the method folder itself nothing is copied.
    write_method("Here", "syringe:Syr10ul\r\n");
    EXPECT_EQ(import_into_method_folder(program_method_folder(), {method_file("Here"), dir.file("Other.kma")}), 0);
    EXPECT_TRUE(debug.empty());

    // From elsewhere every file is copied, but an existing one is kept.
    test::TempDir source;
    test::write_file(source.file("New.KME"), "syringe:Syr100ul\r\n");
    test::write_file(source.file("Here.KME"), "syringe:Other\r\n");
    EXPECT_EQ(import_into_method_folder(program_method_folder(), {source.file("New.KME"), source.file("Here.KME")}), 1);
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "New"), "Syr100ul");
    EXPECT_EQ(stored_method_syringe(program_method_folder(), "Here"), "Syr10ul");
    EXPECT_EQ(debug, (Lines{source.file("New.KME") + " -> " + method_file("New"),
                            source.file("Here.KME") + " -> " + method_file("Here")}));
}

// ---- the parameter pane

TEST(MethodPane, HintsShowSyringeValuesInDisplayForm)
{
    const ConfigDb& db = demo_db();
    MacroParameter volume;
    volume.name = "Volume";
    volume.unit = "\xB5l";
    volume.default_value = "SYR.Max Volume/2";
    volume.minimum = "0";
    volume.maximum = "SYR.Max Volume";
    EXPECT_EQ(numeric_parameter_hint(db, volume, "Syr100ul"), "Range: 0 to 100\nDefault: SYR.Max Volume/2");
    EXPECT_EQ(numeric_parameter_hint(db, volume, ""), "Range: 0 to SYR.Max Volume\nDefault: SYR.Max Volume/2");
    MacroParameter delay;
    delay.name = "Delay";
    delay.unit = "s";
    delay.default_value = "90";
    delay.minimum = "0";
    delay.maximum = "600";
    EXPECT_EQ(numeric_parameter_hint(db, delay, "Syr10ul"), "Range: 0:00 to 10:00\nDefault: 1:30");
    EXPECT_EQ(default_popup_caption(db, delay, "Syr10ul"), "Default: 1:30");
    EXPECT_EQ(pane_value(db, "SYR.Fill Speed", "\xB5l/s", "Syr10ul"), "5");
    EXPECT_EQ(parameter_label(delay), "Delay  (m:ss)");
    EXPECT_EQ(parameter_label(volume), "Volume  (\xB5l)");
    EXPECT_EQ(pane_values_of_call("M( a,  b c,,d)"), (Lines{"a", "b c", "", "d"}));
}

TEST(MethodPane, ObjectChoicesAndClassText)
{
    const ConfigDb& db = demo_db();
    const std::uint32_t trays_and_injectors = db.tray_bit() | db.injector_bit();
    EXPECT_EQ(object_parameter_choices(db, trays_and_injectors),
              (Lines{"Tray1", "Tray2", "Tray3", "Tray4", "Tray5", "Tray6", "LCVlv1", "LCVlv2", "SL.tray", "SL.tray2",
                     "SL.injector", "SL.injector2"}));
    EXPECT_EQ(object_parameter_choices(db, db.syringe_bit()), (Lines{"Syr10ul", "Syr100ul", "SYR"}));
    EXPECT_EQ(object_parameter_choices(db, db.sync_signal_bit()), (Lines{"Start In", "Ready In", "None"}));
    EXPECT_EQ(class_set_text(db, trays_and_injectors), "TRAY or INJECTOR");
    EXPECT_EQ(class_set_text(db, db.class_bit("TEMP_ZONE")), "TEMP_ZONE");
}

class BuildCallLine : public MethodFixture {
protected:
    ParameterTable table() const
    {
        ParameterTable t;
        EXPECT_TRUE(read_parameter_table(test::context_with(db()), {"Tray;TRAY", "Volume (\xB5l);1;0;10", "Wait (s);5;0;600"}, t));
        return t;
    }
};

TEST_F(BuildCallLine, StoresTimesInSecondsAndTakesObjectsAsChosen)
{
    const ParameterTable t = table();
    EXPECT_EQ(build_call_line(test::context_with(db()), "Fill", t, {}, {"Tray2", "2.5", "1:30"}), "Fill(Tray2,2.5,90)");
    EXPECT_EQ(build_call_line(test::context_with(db()), "Fill", t, {}, {"SL.tray", "SL.volume*2", "2:"}), "Fill(SL.tray,SL.volume*2,120)");
    EXPECT_EQ(build_call_line(test::context_with(db()), "None", {}, {}, {}), "None()");
    EXPECT_TRUE(shown().empty());
}

TEST_F(BuildCallLine, RefusesEmptyAndInvalidValues)
{
    const ParameterTable t = table();
    EXPECT_FALSE(build_call_line(test::context_with(db()), "Fill", t, {"", "Volume  (\xB5l)", "Wait  (m:ss)"}, {"Tray2", "", "1"}));
    EXPECT_FALSE(build_call_line(test::context_with(db()), "Fill", t, {}, {"Tray2", "1", "1:60"}));
    // "SYR." has no place in a call value.
    EXPECT_FALSE(build_call_line(test::context_with(db()), "Fill", t, {}, {"Tray2", "SYR.Max Volume", "1"}));
    EXPECT_EQ(shown(), (Lines{"error: Volume  (\xB5l) is not specified",
                              "error: Parameter \"Wait\" : 1:60 is not a valid value.",
                              "error: Parameter \"Volume\" : SYR.Max Volume is not a valid value."}));
}

}  // namespace
}  // namespace kelvo::method_test
