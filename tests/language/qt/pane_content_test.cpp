// What the editor panes show, worked out apart from the widgets: the slots of
// an atom and of a called macro, and the values carried beyond the slots.
#include "config/config_db.h"
#include "language/qt/atom_pane_rules.h"
#include "language/qt/call_pane_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvo;

namespace {

AtomArgument numeric(const std::string& name, const std::string& default_value, bool required = true)
{
    AtomArgument a;
    a.name = name;
    a.minimum = "0";
    a.maximum = "100";
    a.default_value = default_value;
    a.required = required;
    return a;
}

}  // namespace

TEST(PaneContent, ANewAtomShowsItsDefaultsAndCarriesTheArgumentsBeyondTheSlots)
{
    const ConfigDb db;
    ConfigAtom atom{.name = "MOVE", .arguments = {numeric("A", "1"), numeric("B", "2", false), numeric("C", "3"),
                                                   numeric("D", "4", false)}};
    const PaneContent content = atom_pane_content(db, atom, nullptr, {}, 2);
    ASSERT_EQ(content.shown.size(), 2u);
    EXPECT_EQ(content.shown[0].label, "A");
    EXPECT_EQ(content.shown[0].hint, "Range: 0 to 100\n\tDefault: 1");
    EXPECT_FALSE(content.shown[0].choice);
    EXPECT_EQ(content.shown[0].text, "1");
    EXPECT_EQ(content.shown[1].text, "") << "an optional argument starts empty";
    EXPECT_EQ(content.hidden_values, (std::vector<std::string>{"3", ""}));
}

TEST(PaneContent, AnAtomLineShowsItsValues)
{
    const ConfigDb db;
    ConfigAtom atom{.name = "MOVE", .arguments = {numeric("A", "1"), numeric("B", "2"), numeric("C", "3")}};
    const std::vector<std::string> values{"7", "8"};
    const PaneContent content = atom_pane_content(db, atom, &values, {}, 1);
    ASSERT_EQ(content.shown.size(), 1u);
    EXPECT_EQ(content.shown[0].text, "7");
    // The line lacks the third value: it stays empty.
    EXPECT_EQ(content.hidden_values, (std::vector<std::string>{"8", ""}));
}

TEST(PaneContent, ACallShowsTheParametersOfTheCalledMacro)
{
    const ConfigDb db;
    ParameterTable parameters(3);
    parameters[0].name = "Volume";
    parameters[0].default_value = "5";
    parameters[1].name = "Time";
    parameters[1].default_value = "6";
    parameters[2].name = "Speed";
    parameters[2].default_value = "9";
    const PaneContent defaults = call_pane_content(db, parameters, nullptr, "", 2);
    ASSERT_EQ(defaults.shown.size(), 2u);
    EXPECT_EQ(defaults.shown[0].text, "5");
    EXPECT_EQ(defaults.shown[1].text, "6");
    EXPECT_EQ(defaults.hidden_values, std::vector<std::string>{"9"});

    const std::vector<std::string> values{"1", "2", "3"};
    const PaneContent call = call_pane_content(db, parameters, &values, "", 14);
    ASSERT_EQ(call.shown.size(), 3u);
    EXPECT_EQ(call.shown[2].text, "3");
    EXPECT_TRUE(call.hidden_values.empty());
}
