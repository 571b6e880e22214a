// Reference check, method value check, atom lines from the pane, the
// expansion check, called macros' parameters and the error-macro check.
#include "language/value_checks.h"
#include "macro_test_support.h"

namespace kelvo::macro_test {
namespace {

const std::string mu_l = "\xB5l";
const std::string mu_l_s = "\xB5l/s";

class ValueChecks : public ::testing::Test {
protected:
    const ConfigDb& db = demo_db();
    std::uint32_t bit(const std::string& c) const { return db.class_bit(c); }
    const std::vector<std::string>& shown() const { return prompts.shown; }
    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
    ParameterTable params{
        MacroParameter{"Volume", mu_l, "1", "0", "10", 0},
        MacroParameter{"Delay", "s", "0", "0", "60", 0},
        MacroParameter{"Vessel", "", "0", "0", "0", demo_db().class_bit("SYRINGE")},
        MacroParameter{"Injector", "", "0", "0", "0", demo_db().class_bit("INJECTOR")},
    };
};

TEST_F(ValueChecks, ReferenceCheckReasons)
{
    const std::vector<std::string> none;
    EXPECT_EQ(reference_check(db, "SL.tray", bit("TRAY"), none), "");
    EXPECT_EQ(reference_check(db, "sl.TRAY2", bit("TRAY") | bit("INJECTOR"), none), "");
    EXPECT_EQ(reference_check(db, "SL.tray", bit("INJECTOR"), none), "\" which is a tray");
    EXPECT_EQ(reference_check(db, "SL.injector2", bit("INJECTOR"), none), "");
    EXPECT_EQ(reference_check(db, "SL.injector", bit("TRAY"), none), "\" which is an injector");
    EXPECT_EQ(reference_check(db, "SYR", bit("SYRINGE"), none), "");
    EXPECT_EQ(reference_check(db, "SYR", bit("TRAY"), none), "\" which is a syringe");
    EXPECT_EQ(reference_check(db, "Tray9", bit("TRAY"), none), "\" which doesnt exist in KELVO");
    EXPECT_EQ(reference_check(db, "tray1", bit("TRAY"), none), "");
    EXPECT_EQ(reference_check(db, "Wash1", bit("TRAY") | bit("INJECTOR"), none), "\" which is a WASH_STATION");
    // An empty class set accepts everything, a parameter name whatever its classes.
    EXPECT_EQ(reference_check(db, "anything", 0, none), "");
    EXPECT_EQ(reference_check(db, "vessel", bit("TRAY"), params), "");
    EXPECT_EQ(reference_check(db, "", bit("TRAY"), none), "\" which doesnt exist in KELVO");
}

TEST_F(ValueChecks, NoneIsAReferenceOnlyForSignals)
{
    const std::vector<std::string> none;
    EXPECT_EQ(reference_check(db, "None", bit("OUT_SIGNAL"), none), "");
    EXPECT_EQ(reference_check(db, "none", bit("SYNC_SIGNAL"), none), "");
    EXPECT_EQ(reference_check(db, "None", bit("TRAY"), none), "\" which doesnt exist in KELVO");
}

TEST_F(ValueChecks, MethodValueCheckMessages)
{
    const MacroParameter& volume = params[0];
    EXPECT_TRUE(method_value_check(test::context_with(db), volume, "Volume  (\xB5l)", "SL.volume*2"));
    EXPECT_FALSE(method_value_check(test::context_with(db), volume, "Volume  (\xB5l)", ""));
    EXPECT_FALSE(method_value_check(test::context_with(db), volume, "Volume  (\xB5l)", "SYR.Max Volume"));
    EXPECT_FALSE(method_value_check(test::context_with(db), params[1], "Delay  (m:ss)", "1:60"));
    EXPECT_TRUE(method_value_check(test::context_with(db), params[1], "Delay  (m:ss)", "1:30"));
    EXPECT_TRUE(method_value_check(test::context_with(db), params[2], "Vessel", ""));  // object: chosen from a list
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: Volume  (\xB5l) is not specified",
                           "error: Parameter \"Volume\" : SYR.Max Volume is not a valid value.",
                           "error: Parameter \"Delay\" : 1:60 is not a valid value.",
                       }));
}

TEST_F(ValueChecks, AtomLineFromThePane)
{
    const int inject = db.atom_index("INJECT");
    EXPECT_EQ(build_atom_line(test::context_with(db), inject, {"LCVlv1", "SYR.Inject Speed", "1:30", "Delay", "None"}, params),
              "INJECT(LCVlv1,SYR.Inject Speed,90,Delay,None,)");
    EXPECT_EQ(build_atom_line(test::context_with(db), db.atom_index("MOVE_TO_HOME"), {}, params), "MOVE_TO_HOME()");
    EXPECT_EQ(build_atom_line(test::context_with(db), db.atom_index("WAIT_SYNC"), {"Start In", "High", ""}, params),
              "WAIT_SYNC(Start In,High,,)");
    EXPECT_FALSE(build_atom_line(test::context_with(db), inject, {"LCVlv1", "", "0", "0", "None"}, params));
    EXPECT_FALSE(build_atom_line(test::context_with(db), inject, {"LCVlv1", "Volume", "0", "0", "None"}, params));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: Inject Speed must be specified!",
                           "error:  atom \"INJECT\", parameter \"Inject Speed\" Undefined macro parameter name \"Volume\"",
                       }));
}

TEST_F(ValueChecks, ExpansionCheckReplacesParametersAndWritesTheLine)
{
    const std::vector<std::string> call = {"2.5", "30", "Syr10ul", "LCVlv2"};
    EXPECT_EQ(expansion_check(test::context_with(db), "M", "INJECT(Injector,Volume/Delay,0,Delay,None,)", params, call),
              "INJECT(LCVlv2,Volume/Delay,0,Delay,None,)");
    EXPECT_EQ(expansion_check(test::context_with(db), "M", "CHECK_SYRINGE(vessel,)", params, call), "CHECK_SYRINGE(Syr10ul,)");
    // The special names pass for any object argument.
    EXPECT_EQ(expansion_check(test::context_with(db), "M", "INJECT(SL.tray,1,0,0,SYR,)", params, call), "INJECT(SL.tray,1,0,0,SYR,)");
    EXPECT_EQ(expansion_check(test::context_with(db), "M", "MOVE_TO_HOME()", params, call), "MOVE_TO_HOME()");
    EXPECT_EQ(expansion_check(test::context_with(db), "M", "WAIT_SYNC(Start In,High,,)", params, call), "WAIT_SYNC(Start In,High,,)");
    EXPECT_TRUE(shown().empty());
}

TEST_F(ValueChecks, ExpansionCheckMessages)
{
    const std::vector<std::string> call = {"2.5", "30", "Syr10ul", "LCVlv2"};
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "FLY(1,)", params, call));
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "AIR_GAP(1,2,)", params, call));
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "AIR_GAP()", params, call));
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "VALVE(Tray7,Load,)", params, call));
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "VALVE(Wash1,Load,)", params, call));
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "VALVE(None,Load,)", params, call));
    EXPECT_FALSE(expansion_check(test::context_with(db), "Wash", "AIR_GAP(Delay,)", params, call));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: In macro \"Wash\", FLY is not an atom!",
                           "error: In macro \"Wash\", AIR_GAP(1,2,) does not have 1 arguments.",
                           "error: In macro \"Wash\", AIR_GAP() does not have 1 arguments.",
                           "error: In macro \"Wash\", VALVE: Tray7 is not an object",
                           "error: In macro \"Wash\", VALVE: Wash1 is not a valid object for Injector",
                           "error: In macro \"Wash\", VALVE: None is not an object",
                           "error: In macro \"Wash\", Delay is not a good parameter",
                       }));
}

TEST_F(ValueChecks, CalledMacroParametersStopAtTheFirstLineWithoutSemicolon)
{
    const std::vector<std::string> file = {"//about", "Volume (\xB5l);1;0;10", "Tray;TRAY", "AIR_GAP(1,)", "X (s);1;0;9"};
    std::vector<std::string> lines = {"earlier;TRAY"};
    ParameterTable table;
    EXPECT_EQ(read_called_macro_parameters(test::context_with(db), file, lines, table), 2);
    EXPECT_EQ(lines, (std::vector<std::string>{"earlier;TRAY", "Volume (\xB5l);1;0;10", "Tray;TRAY"}));
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[1].classes, db.tray_bit());

    const std::vector<std::string> bad = {"Volume (mm);SYR.Max Volume;0;10", "AIR_GAP(1,)"};
    EXPECT_FALSE(read_called_macro_parameters(test::context_with(db), bad, lines, table));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: Volume: SYR.Max Volume makes no sense ",
                           "error: couldnt interpret macro param Volume (mm);SYR.Max Volume;0;10",
                       }));
}

TEST_F(ValueChecks, MacroWithoutParametersGivesItsLinesForTheErrorPath)
{
    const auto lines = check_parameterless_macro(test::context_with(db), "ERROR ENTRY", {"//help", "SET_OUT(Start Out,Off,)", "INJECT(SL.injector,SYR.Max Speed,,,None,)", "WAIT()"});
    ASSERT_TRUE(lines);
    // Missing values are written empty, one per argument.
    EXPECT_EQ(*lines, (std::vector<std::string>{"SET_OUT(Start Out,Off,)", "INJECT(SL.injector,SYR.Max Speed,,,None,)",
                                                "WAIT(,)"}));
    EXPECT_TRUE(shown().empty());
}

TEST_F(ValueChecks, MacroWithoutParametersRefusesWhatItCannotRun)
{
    const std::string name = "ERROR EXIT";
    EXPECT_FALSE(check_parameterless_macro(test::context_with(db), name, {"AIR_GAP(1,)", "Volume (\xB5l);1;0;10"}));
    EXPECT_FALSE(check_parameterless_macro(test::context_with(db), name, {"JUMP(1,)"}));
    EXPECT_FALSE(check_parameterless_macro(test::context_with(db), name, {"AIR_GAP(SL.volume*SL.volume,)"}));
    EXPECT_FALSE(check_parameterless_macro(test::context_with(db), name, {"AIR_GAP(1,2,)"}));
    EXPECT_FALSE(check_parameterless_macro(test::context_with(db), name, {"VALVE(Wash1,Load,)"}));
    EXPECT_FALSE(check_parameterless_macro(test::context_with(db), name, {"//x", "MOVE_TO_HOME()", "// a comment further down"}));
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: The macro \"ERROR EXIT\" contains parameters.",
                           "error: JUMP is not an atom!",
                           "error: couldnt interpret JUMP(1,) in the macro \"ERROR EXIT\".",
                           "error: couldnt interpret AIR_GAP(SL.volume*SL.volume,) in the macro \"ERROR EXIT\".",
                           "error: couldnt interpret AIR_GAP(1,2,) in the macro \"ERROR EXIT\".",
                           "error: VALVE: Wash1 is not a valid object for Injector",
                           "error: couldnt interpret VALVE(Wash1,Load,) in the macro \"ERROR EXIT\".",
                           "error: // a comment further down is not an atom!",
                           "error: couldnt interpret // a comment further down in the macro \"ERROR EXIT\".",
                       }));
}

TEST_F(ValueChecks, SyringeSubstitution)
{
    EXPECT_EQ(syr_substitution(db, "SYR.Max Volume", "Syr100ul"), "100");
    EXPECT_EQ(syr_substitution(db, "syr.fill speed", "Syr10ul"), "5");
    EXPECT_EQ(syr_substitution(db, "SYR.Max Volume/2", "Syr10ul"), "SYR.Max Volume/2");
    EXPECT_EQ(syr_substitution(db, "SYR.Max Volume", ""), "SYR.Max Volume");
    EXPECT_EQ(syr_substitution(db, "12", "Syr10ul"), "12");
}

}  // namespace
}  // namespace kelvo::macro_test
