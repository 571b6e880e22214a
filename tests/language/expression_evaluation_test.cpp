// Evaluation: values, the order of splitting, run-time values, parameters,
// and the messages (shown only when the evaluation fails).
#include "expression_fixture.h"

#include <string>

namespace kelvo::expression_test {
namespace {

using ExpressionEvaluation = ExpressionTest;

TEST_F(ExpressionEvaluation, SplitsAtTheLeftmostOperatorWithoutPrecedence)
{
    EXPECT_DOUBLE_EQ(eval("10-2-3"), 11);
    EXPECT_DOUBLE_EQ(eval("2*3+4"), 14);
    EXPECT_DOUBLE_EQ(eval("(2*3)+4"), 10);
    EXPECT_DOUBLE_EQ(eval("8/(4-4)"), 0);
    EXPECT_DOUBLE_EQ(eval("-(2+3)"), -5);
    EXPECT_DOUBLE_EQ(eval("3*-2"), -6);
    EXPECT_DOUBLE_EQ(eval("-2+3"), -5);
    EXPECT_DOUBLE_EQ(eval("-2-3"), 1);
    EXPECT_DOUBLE_EQ(eval("-2"), -2);
    EXPECT_DOUBLE_EQ(eval("2 * ( 3 + 4 )"), 14);
    EXPECT_DOUBLE_EQ(eval("12/4/2"), 6);
    EXPECT_DOUBLE_EQ(eval("1  +  2"), 3);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExpressionEvaluation, FailuresGiveNoValue)
{
    double v = 7;
    context.unit = "";
    EXPECT_FALSE(evaluate_expression(db, prompts, "", context, run, v));
    EXPECT_EQ(v, 0);
    for (const char* t : {"(", "1+", "x", "2**3", "1:30", "Vol"}) EXPECT_TRUE(std::isnan(eval(t))) << t;
    // A number beyond the doubles is no value either.
    EXPECT_TRUE(std::isnan(eval(std::string(320, '9') + "*10")));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExpressionEvaluation, TimesInSeconds)
{
    EXPECT_DOUBLE_EQ(eval("1:30", "s"), 90);
    EXPECT_DOUBLE_EQ(eval(":45", "s"), 45);
    EXPECT_DOUBLE_EQ(eval("2:", "s"), 120);
    EXPECT_DOUBLE_EQ(eval("1:30+10", "s"), 100);
    EXPECT_DOUBLE_EQ(eval("1:30*2", "s"), 180);
}

TEST_F(ExpressionEvaluation, SampleListVariablesAndRepeatCount)
{
    run.sl.volume = 2.5;
    run.sl.volume2 = 4;
    run.sl.index = 7;
    run.sl.injpervial = 3;
    EXPECT_DOUBLE_EQ(eval("2*SL.volume", micro_litre), 5);
    EXPECT_DOUBLE_EQ(eval("SL.volume+SL.volume2", micro_litre), 6.5);
    EXPECT_DOUBLE_EQ(eval("SL.index+1"), 8);
    EXPECT_DOUBLE_EQ(eval("SL.injpervial*SL.index"), 21);
    // Second pass of a block with count 5.
    run.repeat_count = 5;
    run.repeat_remaining = 4;
    EXPECT_DOUBLE_EQ(eval("Repeat Count"), 2);
    EXPECT_TRUE(std::isnan(eval("Repeat Count", "s")));
}

TEST_F(ExpressionEvaluation, SyringePropertiesOfTheGivenSyringe)
{
    context.syringe = "Syr10";
    EXPECT_DOUBLE_EQ(eval("SYR.Max Volume", micro_litre), 10);
    EXPECT_DOUBLE_EQ(eval("SYR.Max Volume/2", micro_litre), 5);
    // 5 µl/s for 2 s.
    EXPECT_DOUBLE_EQ(eval("SYR.Fill Speed*2", micro_litre), 10);
    EXPECT_DOUBLE_EQ(eval("SYR.Needle Length", "mm"), 51);
    context.syringe = "syr100";
    EXPECT_DOUBLE_EQ(eval("SYR.Max Volume", micro_litre), 100);
    context.syringe.clear();
    EXPECT_TRUE(std::isnan(eval("SYR.Max Volume", micro_litre)));
    context.syringe = "Unknown";
    EXPECT_DOUBLE_EQ(eval("SYR.Max Volume", micro_litre), 0);
}

TEST_F(ExpressionEvaluation, ObjectPropertiesOfTheAtomLine)
{
    context.atom = atom("GET_SAMPLE");
    run.atom_line_values = {"Tray1", "5", "2", "1", ""};
    // Tray type of 6 columns and 10 rows.
    EXPECT_DOUBLE_EQ(eval("Tray.Max Index"), 60);
    EXPECT_DOUBLE_EQ(eval("Tray.Max Index-1"), 59);
    EXPECT_DOUBLE_EQ(eval("Tray.Vial Depth", "mm"), 30);
    EXPECT_DOUBLE_EQ(eval("Tray.Offset Z", "mm"), 1.5);
    // Sample-list names stand for the current row's objects.
    run.atom_line_values[0] = "SL.tray";
    run.sl.tray = "Tray2";
    EXPECT_DOUBLE_EQ(eval("Tray.Max Index"), 60);
    run.sl.tray = "NoSuchTray";
    EXPECT_DOUBLE_EQ(eval("Tray.Max Index"), 1);

    context.atom = atom("INJECT");
    run.atom_line_values = {"sl.injector", "1"};
    run.sl.injector = "Inj1";
    EXPECT_DOUBLE_EQ(eval("Injector.Depth", "mm"), 20);

    context.atom = atom("CHECK_SYRINGE");
    run.atom_line_values = {"SYR"};
    run.mounted_syringe = "Syr100";
    EXPECT_DOUBLE_EQ(eval("Syringe.Max Volume", micro_litre), 100);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExpressionEvaluation, ErrorCommandEntryTakesTheCommandsValues)
{
    double v = 0;
    run.atom_line_values = {"Tray3"};
    EXPECT_TRUE(evaluate_error_command_expression(db, prompts, "Tray.Max Index*2", "", "", "L", atom("GET_SAMPLE"),
                                                  {"Tray1", "1", "1", "1", ""}, run, v));
    EXPECT_DOUBLE_EQ(v, 120);
    EXPECT_TRUE(evaluate_error_command_expression(db, prompts, "SYR.Max Volume", micro_litre, "Syr10", "L", -1, {}, run, v));
    EXPECT_DOUBLE_EQ(v, 10);
}

TEST_F(ExpressionEvaluation, ParametersTakeTheCallsValues)
{
    const ParameterTable parameters{numeric_parameter("Vol", micro_litre), numeric_parameter("Wait", "s"),
                                    numeric_parameter("Twice", micro_litre), numeric_parameter("Vol", "mm")};
    std::vector<std::string> values{"SL.volume+1", "1:30", "Vol*2", "99"};
    context.parameters = &parameters;
    context.call_values = &values;
    run.sl.volume = 2;
    EXPECT_DOUBLE_EQ(eval("Vol*2", micro_litre), 6);
    EXPECT_DOUBLE_EQ(eval("Twice+Vol", micro_litre), 9);
    EXPECT_DOUBLE_EQ(eval("Wait", "s"), 90);
    // The first parameter of the name decides.
    EXPECT_TRUE(std::isnan(eval("Vol", "mm")));
    values[0] = "bad";
    EXPECT_TRUE(std::isnan(eval("Vol", micro_litre)));
    EXPECT_TRUE(std::isnan(eval("Twice", micro_litre)));
    // A value that names its own parameter, directly or round about, fails
    // instead of recursing without end.
    values[0] = "Vol";
    EXPECT_TRUE(std::isnan(eval("Vol", micro_litre)));
    values[0] = "Twice/2";
    EXPECT_TRUE(std::isnan(eval("Twice", micro_litre)));
    // Missing call values are empty.
    values.resize(1);
    EXPECT_TRUE(std::isnan(eval("Wait", "s")));
}

TEST_F(ExpressionEvaluation, WrongUnitMessagesAreExact)
{
    for (const char* name : {"SL.volume", "SL.volume2"}) {
        prompts.shown.clear();
        EXPECT_TRUE(std::isnan(eval(name, "s")));
        ASSERT_EQ(prompts.shown, std::vector<std::string>{std::string("error: ") + name + " has wrong units for LABEL"});
    }
    for (const char* name : {"SL.index", "SL.injpervial"}) {
        prompts.shown.clear();
        EXPECT_TRUE(std::isnan(eval(name, micro_litre)));
        ASSERT_EQ(prompts.shown, std::vector<std::string>{std::string("error: ") + name + " has wrong units for LABEL"});
    }
    // Whatever case the text has, the message names the variable as written here.
    prompts.shown.clear();
    eval("sl.VOLUME", "");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: SL.volume has wrong units for LABEL"});
}

TEST_F(ExpressionEvaluation, MessagesOfCombinationsTriedOnTheWayAreNotShownOnSuccess)
{
    // 2*SL.volume first tries SL.volume as the dimensionless factor.
    run.sl.volume = 3;
    const EvaluationResult r = quietly("2*SL.volume", micro_litre);
    EXPECT_TRUE(r.ok);
    EXPECT_DOUBLE_EQ(r.value, 6);
    EXPECT_EQ(r.messages, std::vector<std::string>{"SL.volume has wrong units for LABEL"});
    EXPECT_DOUBLE_EQ(eval("2*SL.volume", micro_litre), 6);
    EXPECT_DOUBLE_EQ(eval("SL.index*SL.volume", micro_litre), 0);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExpressionEvaluation, AFailureShowsTheFirstMessageOnly)
{
    const EvaluationResult r = quietly("SL.index*SL.volume", "s");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.messages, (std::vector<std::string>{"SL.index has wrong units for LABEL",
                                                    "SL.volume has wrong units for LABEL"}));
    EXPECT_TRUE(std::isnan(eval("SL.index*SL.volume", "s")));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: SL.index has wrong units for LABEL"});
}

}  // namespace
}  // namespace kelvo::expression_test
