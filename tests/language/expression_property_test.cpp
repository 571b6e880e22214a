// The property search through object references, and the bound check that
// the configuration parse applies to atom argument bounds.
#include "ground/debug_lines.h"
#include "expression_fixture.h"
#include "ground/prompts.h"
#include "language/bound_check.h"

#include <algorithm>

namespace kelvo::expression_test {
namespace {

using ExpressionPropertySearch = ExpressionTest;

TEST_F(ExpressionPropertySearch, MaxIndexIsColumnsTimesRowsOfTheTrayType)
{
    EXPECT_DOUBLE_EQ(property_search(db, "Tray1", "Max Index", ""), 60);
    EXPECT_DOUBLE_EQ(property_search(db, "tray2", "max index", ""), 60);
    EXPECT_DOUBLE_EQ(property_search(db, "VT60", "Max Index", ""), 60);
    // The tray type the reference names does not exist: no values.
    EXPECT_DOUBLE_EQ(property_search(db, "Tray3", "Max Index", ""), 0);
}

TEST_F(ExpressionPropertySearch, ThreeLinksAtMost)
{
    EXPECT_DOUBLE_EQ(property_search(db, "L4", "Deep", ""), 7);
    EXPECT_DOUBLE_EQ(property_search(db, "L1", "Deep", ""), 7);
    EXPECT_DOUBLE_EQ(property_search(db, "L2", "Deeper", ""), 9);
    EXPECT_DOUBLE_EQ(property_search(db, "L1", "Deeper", ""), 1);
    // The classes refer round in a circle; the search still ends.
    EXPECT_DOUBLE_EQ(property_search(db, "L5", "Nothing", ""), 1);
}

TEST_F(ExpressionPropertySearch, TheFirstPropertyOfTheNameDecidesItsClass)
{
    EXPECT_DOUBLE_EQ(property_search(db, "Tray1", "Offset Z", "mm"), 1.5);
    EXPECT_DOUBLE_EQ(property_search(db, "Tray1", "Vial Depth", "mm"), 30);
    // In another unit the tray type fails and nothing else has the property.
    EXPECT_DOUBLE_EQ(property_search(db, "Tray1", "Vial Depth", micro_litre), 1);
    // The tray's own text "Label" stops the search before the tray type's number.
    EXPECT_DOUBLE_EQ(property_search(db, "Tray1", "Label", ""), 1);
    EXPECT_DOUBLE_EQ(property_search(db, "NoSuchObject", "Vial Depth", "mm"), 1);
}

TEST_F(ExpressionPropertySearch, AReferenceToAnotherClassThanThePathsReadsByName)
{
    // "Tray Holder" may name a TRAY_HOLDER or a HOLDER2; only the latter has a Height.
    EXPECT_DOUBLE_EQ(property_search(db, "Tray2", "Height", "mm"), 40);
    EXPECT_DOUBLE_EQ(property_search(db, "Tray1", "Height", "mm"), 0);
}

using ExpressionBoundCheck = ExpressionTest;

TEST_F(ExpressionBoundCheck, IsTheValidityTestWithSyringeAndAtomButNoEmptyText)
{
    const int get_sample = atom("GET_SAMPLE");
    EXPECT_TRUE(bound_check(db, "SYR.Max Volume", micro_litre, get_sample));
    EXPECT_TRUE(bound_check(db, "Tray.Max Index", "", get_sample));
    EXPECT_TRUE(bound_check(db, "SYR.Max Volume/10", micro_litre, get_sample));
    EXPECT_TRUE(bound_check(db, "1:00", "s", get_sample));
    EXPECT_FALSE(bound_check(db, "", "", get_sample));
    EXPECT_FALSE(bound_check(db, "Volume.Max Index", "", get_sample));
    EXPECT_FALSE(bound_check(db, "Tray.Max Index", "", atom("INJECT")));
    EXPECT_FALSE(bound_check(db, "SYR.Max Volume", "mm", get_sample));
}

TEST_F(ExpressionBoundCheck, AFailingBoundFailsTheParse)
{
    std::vector<std::string> debug;
    set_debug_sink([&](const std::string& line) { debug.push_back(line); });
    std::vector<std::string> lines = expression_config_lines();
    const auto index = std::find(lines.begin(), lines.end(), "Index;1;Tray.Max Index;1;1;E");
    ASSERT_NE(index, lines.end());
    *index = "Index;1;Tray.Max Indexx;1;1;E";
    ConfigDb other;
    EXPECT_FALSE(parse_configuration(other, lines, prompts, debug_line));
    set_debug_sink({});
    EXPECT_EQ(debug, std::vector<std::string>{"problem with GET_SAMPLE:Index"});
}

}  // namespace
}  // namespace kelvo::expression_test
