// Expansion of a method into the run lists: the frame of special macros, the
// CHECK markers, body start and end, the three numbers per line, parameter
// substitution, the capacity bound and the failure messages.
#include "engine/expand.h"
#include "test_context.h"
#include "engine/run_lists.h"
#include "language/method_test_support.h"

namespace kelvo::method_test {
namespace {

using Lines = std::vector<std::string>;

class Expand : public MethodFixture {
protected:
    void SetUp() override
    {
        MethodFixture::SetUp();
        write_macro("Two A", two_atoms);
        write_macro("Two B", station_wash);
    }
    bool run(const Lines& method_lines, const std::string& syringe = "Syr10ul")
    {
        return expand(test::context_with(db()), syringe, method_lines, lists);
    }
    RunLists lists;
};

TEST_F(Expand, TwoMacrosOfTwoAtomsWithoutSpecialMacros)
{
    ASSERT_TRUE(run({"Two A()", "Two B(Wash1,2)"}));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(lists.running_method, (Lines{"Two A()", "Two B(Wash1,2)"}));
    EXPECT_EQ(lists.running_macro_params, (Lines{"Station;WASH_STATION", "Volume (\xB5l);1;0;SYR.Max Volume"}));
    // The object parameter takes the call's value; the numeric one stays a
    // name, resolved when the line is sent.
    EXPECT_EQ(lists.expanded_method, (Lines{"MOVE_TO_HOME()", "SET_SPEED(Fast,)", "WASH_SYRINGE(Wash1,Volume,3,1,1,)",
                                            "MOVE_TO_OBJECT(Wash1,,5,)"}));
    EXPECT_EQ(lists.origins, (std::vector<ExpandedLineOrigin>{{0, 0, 0}, {0, 0, 0}, {1, 0, 2}, {1, 0, 2}}));
    EXPECT_EQ(lists.body_start, 0);
    EXPECT_EQ(lists.body_end, 4);
    EXPECT_EQ(lists.syringe, "Syr10ul");
    EXPECT_EQ(lists.macro_params_of(3), lists.running_macro_params);
    EXPECT_TRUE(lists.macro_params_of(0).empty());
}

TEST_F(Expand, SpecialMacrosFrameTheBodyWithTheCheckMarkers)
{
    write_macro("SL ENTRY", "//first sample\r\nSET_SPEED(Slow,)\r\n");
    write_macro("METHOD ENTRY", one_home);
    write_macro("METHOD EXIT", "SET_SPEED(Normal,)\r\n");
    write_macro("SL EXIT", "SET_OUT(Start Out,Off,)\r\n");
    write_macro("ERROR ENTRY", one_home);  // the error path is no part of the expansion
    ASSERT_TRUE(run({"Two B(Wash2,3)", "Two A()", "Two B(Waste,4)"}));
    EXPECT_EQ(lists.running_method,
              (Lines{"CHECK SL ENTRY()", "SL ENTRY()", "METHOD ENTRY()", "Two B(Wash2,3)", "Two A()", "Two B(Waste,4)",
                     "METHOD EXIT()", "CHECK SL EXIT()", "SL EXIT()"}));
    EXPECT_EQ(lists.expanded_method,
              (Lines{"CHECK SL ENTRY()", "SET_SPEED(Slow,)", "MOVE_TO_HOME()", "WASH_SYRINGE(Wash2,Volume,3,1,1,)",
                     "MOVE_TO_OBJECT(Wash2,,5,)", "MOVE_TO_HOME()", "SET_SPEED(Fast,)",
                     "WASH_SYRINGE(Waste,Volume,3,1,1,)", "MOVE_TO_OBJECT(Waste,,5,)", "SET_SPEED(Normal,)",
                     "CHECK SL EXIT()", "SET_OUT(Start Out,Off,)"}));
    // The body starts with METHOD ENTRY and ends before METHOD EXIT.
    EXPECT_EQ(lists.body_start, 2);
    EXPECT_EQ(lists.body_end, 9);
    // Each call's parameters follow the previous call's; markers count 0.
    EXPECT_EQ(lists.running_macro_params.size(), 4u);
    EXPECT_EQ(lists.origins[0], (ExpandedLineOrigin{0, 0, 0}));
    EXPECT_EQ(lists.origins[3], (ExpandedLineOrigin{3, 0, 2}));
    EXPECT_EQ(lists.origins[5], (ExpandedLineOrigin{4, 2, 0}));
    EXPECT_EQ(lists.origins[7], (ExpandedLineOrigin{5, 2, 2}));
    EXPECT_EQ(lists.origins[10], (ExpandedLineOrigin{7, 4, 0}));
    EXPECT_EQ(lists.origins[11], (ExpandedLineOrigin{8, 4, 0}));
    EXPECT_TRUE(lists.is_marker_line(0));
    EXPECT_TRUE(lists.is_marker_line(7));
    EXPECT_FALSE(lists.is_marker_line(1));
}

TEST_F(Expand, OnlyTheSpecialMacrosThatExistTakePart)
{
    write_macro("METHOD EXIT", one_home);
    write_macro("SL EXIT", one_home);
    ASSERT_TRUE(run({"Two A()"}));
    EXPECT_EQ(lists.running_method, (Lines{"Two A()", "METHOD EXIT()", "CHECK SL EXIT()", "SL EXIT()"}));
    EXPECT_EQ(lists.expanded_method,
              (Lines{"MOVE_TO_HOME()", "SET_SPEED(Fast,)", "MOVE_TO_HOME()", "CHECK SL EXIT()", "MOVE_TO_HOME()"}));
    EXPECT_EQ(lists.body_start, 0);
    EXPECT_EQ(lists.body_end, 2);
}

TEST_F(Expand, AnEmptyMethodStillRunsItsFrame)
{
    ASSERT_TRUE(run({}));
    EXPECT_TRUE(lists.expanded_method.empty());
    EXPECT_EQ(lists.body_start, 0);
    EXPECT_EQ(lists.body_end, 0);

    write_macro("SL ENTRY", one_home);
    ASSERT_TRUE(run({}));
    EXPECT_EQ(lists.expanded_method, (Lines{"CHECK SL ENTRY()", "MOVE_TO_HOME()"}));
    EXPECT_EQ(lists.body_start, 2);
    EXPECT_EQ(lists.body_end, 2);
}

TEST_F(Expand, LinesFromTheFirstSectionHeaderOnAreNoCalls)
{
    ASSERT_TRUE(run({"Two A()", "[macro Two A]", "MOVE_TO_HOME()", "Two B(Wash1,1)"}));
    EXPECT_EQ(lists.running_method, (Lines{"Two A()"}));
    EXPECT_EQ(lists.expanded_method.size(), 2u);
}

TEST_F(Expand, AMethodLineThatLooksLikeAMarkerIsACallOfAMissingMacro)
{
    EXPECT_FALSE(run({"CHECK SL ENTRY()"}));
    EXPECT_EQ(shown(), (Lines{"error: Macro \"CHECK SL ENTRY\" does not exist."}));
}

TEST_F(Expand, FailuresShowTheirMessageAndStop)
{
    EXPECT_FALSE(run({"Two A()", "Nowhere(1)"}));
    EXPECT_FALSE(run({"../Two A()"}));
    write_macro("Bad Param", "Depth (\xB5l);x y;0;1\r\nMOVE_TO_HOME()\r\n");
    EXPECT_FALSE(run({"Bad Param(1)"}));
    write_macro("Bad Atom", "MOVE_TO_HOME()\r\nFLY()\r\n");
    EXPECT_FALSE(run({"Bad Atom()"}));
    EXPECT_EQ(lists.expanded_method, (Lines{"MOVE_TO_HOME()"}));  // as far as it got
    EXPECT_EQ(shown(), (Lines{
                           "error: Macro \"Nowhere\" does not exist.",
                           "error: Macro \"../Two A\" does not exist.",
                           "error: Depth: x y makes no sense ",
                           "error: couldnt interpret macro param Depth (\xB5l);x y;0;1",
                           "error: In macro \"Bad Atom\", FLY is not an atom!",
                       }));
}

TEST_F(Expand, ACallValueTakesThePlaceOfItsParameterUntested)
{
    // Load checks the call values against their classes; expansion takes them as they are.
    ASSERT_TRUE(run({"Two B(Tray1,1)"}));
    EXPECT_EQ(lists.expanded_method[0], "WASH_SYRINGE(Tray1,Volume,3,1,1,)");
}

TEST_F(Expand, TheCapacityIsNeverExceeded)
{
    std::string big;
    for (int i = 0; i < 250; ++i) big += "MOVE_TO_HOME()\r\n";
    write_macro("Quarter", big);
    ASSERT_TRUE(run({"Quarter()", "Quarter()", "Quarter()", "Quarter()"}));
    EXPECT_EQ(lists.expanded_method.size(), RunLists::expanded_capacity);
    EXPECT_TRUE(shown().empty());

    EXPECT_FALSE(run({"Quarter()", "Quarter()", "Quarter()", "Quarter()", "Two A()"}));
    EXPECT_EQ(lists.expanded_method.size(), RunLists::expanded_capacity);
    EXPECT_EQ(lists.origins.size(), lists.expanded_method.size());
    EXPECT_EQ(shown(), (Lines{"error: " + expansion_capacity_text()}));
    EXPECT_EQ(expansion_capacity_text(), "The expanded method would have more than 1000 lines.");

    // A CHECK marker counts like any other line.
    write_macro("SL EXIT", one_home);
    EXPECT_FALSE(run({"Quarter()", "Quarter()", "Quarter()", "Quarter()"}));
    EXPECT_EQ(lists.expanded_method.size(), RunLists::expanded_capacity);
}

TEST_F(Expand, EveryExpansionStartsFromEmptyLists)
{
    ASSERT_TRUE(run({"Two B(Wash1,1)"}));
    ASSERT_TRUE(run({"Two A()"}, "Syr100ul"));
    EXPECT_EQ(lists.running_method, (Lines{"Two A()"}));
    EXPECT_TRUE(lists.running_macro_params.empty());
    EXPECT_EQ(lists.expanded_method.size(), 2u);
    EXPECT_EQ(lists.syringe, "Syr100ul");
}

}  // namespace
}  // namespace kelvo::method_test
