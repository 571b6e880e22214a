// The validity test: which texts are acceptable expressions in which unit
// and context.
#include "expression_fixture.h"

namespace kelvo::expression_test {
namespace {

using ExpressionValidity = ExpressionTest;

TEST_F(ExpressionValidity, NormalFormDropsBlanksAtTheEndsAndNextToOperatorsOnly)
{
    EXPECT_EQ(expression_normal_form("2 * ( 3 + 4 )"), "2*(3+4)");
    EXPECT_EQ(expression_normal_form(" Repeat Count "), "Repeat Count");
    EXPECT_EQ(expression_normal_form("SYR.Max Volume / 2"), "SYR.Max Volume/2");
    EXPECT_EQ(expression_normal_form("  "), "");
    // Each blank is judged by its neighbours in the text as given.
    EXPECT_EQ(expression_normal_form("1  +  2"), "1 + 2");
    EXPECT_EQ(expression_normal_form("Repeat  Count"), "Repeat  Count");
}

TEST_F(ExpressionValidity, NumbersAndTimes)
{
    for (const char* t : {"0", "12", "-3.5", ".5", "5."}) EXPECT_TRUE(valid(t, micro_litre)) << t;
    for (const char* t : {"1e3", "+5", "1.2.3", "1,5", "5 5"}) EXPECT_FALSE(valid(t, "")) << t;
    EXPECT_TRUE(valid("1:30", "s"));
    EXPECT_TRUE(valid(":45", "s"));
    EXPECT_TRUE(valid("2:", "s"));
    EXPECT_FALSE(valid("1:60", "s"));
    EXPECT_FALSE(valid("1.5:30", "s"));
    EXPECT_FALSE(valid(":", "s"));
    EXPECT_FALSE(valid("1:30", micro_litre));
    EXPECT_TRUE(valid("1:30+10", "s"));
    EXPECT_DOUBLE_EQ(time_form_seconds("1:30"), 90);
    EXPECT_DOUBLE_EQ(time_form_seconds(":45"), 45);
    EXPECT_DOUBLE_EQ(time_form_seconds("2:"), 120);
    EXPECT_DOUBLE_EQ(time_form_seconds("12345678901:"), 12345678901.0 * 60);
}

TEST_F(ExpressionValidity, EmptyTextOnlyWhereTheContextAcceptsIt)
{
    EXPECT_FALSE(valid("", ""));
    EXPECT_TRUE(valid("", "", false, -1, nullptr, true));
    EXPECT_TRUE(valid(" ", "s", false, -1, nullptr, true));
    // Parts are never empty.
    EXPECT_FALSE(valid("()", "", false, -1, nullptr, true));
    EXPECT_FALSE(valid("-", "", false, -1, nullptr, true));
    EXPECT_FALSE(valid("1+", "", false, -1, nullptr, true));
}

TEST_F(ExpressionValidity, SampleListVariablesHaveTheirUnits)
{
    EXPECT_TRUE(valid("2*SL.volume", micro_litre));
    EXPECT_TRUE(valid("SL.volume+5", micro_litre));
    EXPECT_TRUE(valid("sl.VOLUME2", micro_litre));
    EXPECT_FALSE(valid("SL.volume*SL.volume", micro_litre));
    EXPECT_TRUE(valid("SL.index+1", ""));
    EXPECT_TRUE(valid("SL.injpervial", ""));
    EXPECT_FALSE(valid("SL.volume", ""));
    EXPECT_FALSE(valid("SL.index", micro_litre));
    EXPECT_TRUE(valid("Repeat Count", ""));
    EXPECT_TRUE(valid("repeat count*2", ""));
    EXPECT_FALSE(valid("Repeat Count", "s"));
}

TEST_F(ExpressionValidity, UnitRulesOfTheOperations)
{
    // A flow times a time is a volume, whichever side the flow is on; a bare
    // number stands for the time.
    EXPECT_TRUE(valid("SYR.Fill Speed*2", micro_litre, true));
    EXPECT_TRUE(valid("1:30*SYR.Fill Speed", micro_litre, true));
    EXPECT_FALSE(valid("SYR.Fill Speed*2", "mm", true));
    // A volume over a time is a flow, but a flow is no volume over a number.
    EXPECT_TRUE(valid("SL.volume/2", micro_litre_per_s));
    EXPECT_TRUE(valid("SL.volume/2", micro_litre));
    EXPECT_FALSE(valid("2/SL.volume", micro_litre));
    EXPECT_FALSE(valid("SL.volume*2", micro_litre_per_s));
    // Sums keep the unit; other units only combine with themselves and numbers.
    EXPECT_FALSE(valid("SL.volume+SL.index", micro_litre));
    EXPECT_TRUE(valid("SYR.Needle Length-2*SYR.Needle Length/4", "mm", true));
    EXPECT_FALSE(valid("SYR.Needle Length*SYR.Needle Length", "mm", true));
}

TEST_F(ExpressionValidity, SyringePropertiesOnlyWhereAllowed)
{
    EXPECT_TRUE(valid("SYR.Max Volume", micro_litre, true));
    EXPECT_TRUE(valid("syr.max volume", micro_litre, true));
    EXPECT_FALSE(valid("SYR.Max Volume", micro_litre, false));
    EXPECT_FALSE(valid("SYR.Max Volume", "mm", true));
    EXPECT_FALSE(valid("SYR.Nothing", "", true));
    // Only numeric properties: not the list index, not the text.
    EXPECT_FALSE(valid("SYR.Plunger", "", true));
    EXPECT_FALSE(valid("SYR.Part Number", "", true));
}

TEST_F(ExpressionValidity, ObjectArgumentPropertiesOfTheAtom)
{
    const int get_sample = atom("GET_SAMPLE");
    EXPECT_TRUE(valid("Tray.Max Index", "", false, get_sample));
    EXPECT_TRUE(valid("tray.max index-1", "", false, get_sample));
    EXPECT_FALSE(valid("Tray.Max Index", micro_litre, false, get_sample));
    EXPECT_FALSE(valid("Tray.Max Index", "", false, -1));
    // Any class's property of that name and unit will do.
    EXPECT_TRUE(valid("Tray.Vial Depth", "mm", false, get_sample));
    EXPECT_TRUE(valid("Tray.Depth/2", "mm", false, get_sample));
    EXPECT_FALSE(valid("Tray.Vial Depth", "", false, get_sample));
    // The name before the dot must be an object argument.
    EXPECT_FALSE(valid("Volume.Max Index", "", false, get_sample));
    EXPECT_FALSE(valid("Nope.Max Index", "", false, get_sample));
    // A text property holds no number.
    EXPECT_FALSE(valid("Tray.Part Number", "", false, get_sample));
}

TEST_F(ExpressionValidity, ParametersByNameAndUnit)
{
    ParameterTable parameters{numeric_parameter("Vol", micro_litre), numeric_parameter("Vol", "mm"),
                              numeric_parameter("Flow Rate", micro_litre_per_s)};
    MacroParameter source;
    source.name = "Source";
    source.classes = db.tray_bit();
    parameters.push_back(source);
    EXPECT_TRUE(valid("Vol*2", micro_litre, false, -1, &parameters));
    EXPECT_TRUE(valid("vol", micro_litre, false, -1, &parameters));
    // The first parameter of the name decides.
    EXPECT_FALSE(valid("Vol", "mm", false, -1, &parameters));
    EXPECT_TRUE(valid("Flow Rate*1:00", micro_litre, false, -1, &parameters));
    EXPECT_FALSE(valid("Vol", micro_litre, false, -1, nullptr));
    // An object parameter is no number, although its unit is empty.
    EXPECT_FALSE(valid("Source", "", false, -1, &parameters));
}

TEST_F(ExpressionValidity, NegationGroupsAndBlanks)
{
    EXPECT_TRUE(valid("-SL.volume", micro_litre));
    EXPECT_TRUE(valid("--2", ""));
    EXPECT_TRUE(valid("-(2+3)", ""));
    EXPECT_TRUE(valid("((SL.volume))", micro_litre));
    EXPECT_TRUE(valid("(1)+(2)", ""));
    EXPECT_FALSE(valid("(1", ""));
    EXPECT_FALSE(valid("1)", ""));
    EXPECT_TRUE(valid(" 2 * ( SL.volume + 4 ) ", micro_litre));
    EXPECT_FALSE(valid("Repeat  Count", ""));
    // A blank left next to an operator by a run of blanks is dropped when
    // the part is normalised again; an inner blank of a name is not.
    EXPECT_TRUE(valid("SL.index  +1", ""));
    EXPECT_TRUE(valid("1  +  2", ""));
    EXPECT_FALSE(valid("SL. index", ""));
}

TEST_F(ExpressionValidity, TextsBeyondTheLengthLimitAreRefused)
{
    std::string text = "1";
    while (text.size() + 2 <= expression_length_limit) text += "+1";
    EXPECT_TRUE(valid(text, ""));
    EXPECT_FALSE(valid(text + "+1", ""));
}

}  // namespace
}  // namespace kelvo::expression_test
