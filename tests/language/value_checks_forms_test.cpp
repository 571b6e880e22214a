// Stored and display forms of values and the value check in its contexts.
#include "ground/text_utils.h"
#include "language/value_checks.h"
#include "macro_test_support.h"

namespace kelvo::macro_test {
namespace {

const std::string mu_l = "\xB5l";
const std::string mu_l_s = "\xB5l/s";

TEST(ValueStoredForm, TimeFormsBecomeSecondsOtherTextsStay)
{
    EXPECT_EQ(stored_form("1:30"), "90");
    EXPECT_EQ(stored_form(":45"), "45");
    EXPECT_EQ(stored_form("2:"), "120");
    EXPECT_EQ(stored_form("0:00.5"), "0.5");
    EXPECT_EQ(stored_form("-2:30"), "-90");
    EXPECT_EQ(stored_form("1:60"), "1:60");  // seconds must be below 60
    EXPECT_EQ(stored_form("90"), "90");
    EXPECT_EQ(stored_form("SL.volume*2"), "SL.volume*2");
    EXPECT_EQ(stored_form(""), "");
}

TEST(ValueDisplayForm, PlainSecondsShowAsMinutesAndSeconds)
{
    EXPECT_EQ(display_form("90", "s"), "1:30");
    EXPECT_EQ(display_form("65", "s"), "1:05");
    EXPECT_EQ(display_form("120", "s"), "2:00");
    EXPECT_EQ(display_form("5", "s"), "0:05");
    EXPECT_EQ(display_form("60.5", "s"), "1:000.5");
    EXPECT_EQ(display_form("0", "s"), "0:00");
    EXPECT_EQ(display_form("59.5", "s"), "0:59.5");
    EXPECT_EQ(display_form("125.5", "s"), "2:05.5");
    EXPECT_EQ(display_form("600", "s"), "10:00");
    EXPECT_EQ(display_form(".5", "s"), "0:000.5");
    // No rounding noise in the seconds part.
    EXPECT_EQ(display_form("60.1", "s"), "1:000.1");
    EXPECT_EQ(display_form("3599.99", "s"), "59:59.99");
}

TEST(ValueDisplayForm, OtherValuesAndUnitsStayUnchanged)
{
    EXPECT_EQ(display_form("90", mu_l), "90");
    EXPECT_EQ(display_form("90", "ms"), "90");
    EXPECT_EQ(display_form("Delay", "s"), "Delay");
    EXPECT_EQ(display_form("1:30", "s"), "1:30");
}

TEST(ValueDisplayForm, EveryShownValueReadsBackToTheSameNumber)
{
    for (const std::string v : {"0", "5", "59.75", "60", "60.5", "61", "90", "119.999", "3600", "7261.25", "0.001",
                                "-5", "-90", "-60.5", "123456789"}) {
        const std::string shown = display_form(v, "s");
        EXPECT_EQ(decimal_or_zero(stored_form(shown)), decimal_or_zero(v)) << v << " shown as " << shown;
    }
    // Negative values have no minutes-and-seconds form that reads back.
    EXPECT_EQ(display_form("-90", "s"), "-90");
}

TEST(ValueNumberText, NeverUsesTheExponentForm)
{
    EXPECT_EQ(number_text(-0.25), "-0.25");
    EXPECT_EQ(number_text(0.0000001), "0.0000001");
    EXPECT_EQ(number_text(1e20), "100000000000000000000");
}

class ValueCheckContexts : public ::testing::Test {
protected:
    const ConfigDb& db = demo_db();
    int atom(const std::string& name) const { return db.atom_index(name); }
    ParameterTable params{
        MacroParameter{"Volume", mu_l, "1", "0", "10", 0},
        MacroParameter{"Delay", "s", "0", "0", "60", 0},
        MacroParameter{"Tray", "", "0", "0", "0", db.tray_bit()},
    };
};

TEST_F(ValueCheckContexts, TimeFormsOnlyInSeconds)
{
    const ValueContext c = call_value_context();
    EXPECT_TRUE(value_check(db, "1:30", "s", c));
    EXPECT_TRUE(value_check(db, ":45", "s", c));
    EXPECT_TRUE(value_check(db, "2:", "s", c));
    EXPECT_FALSE(value_check(db, "1:60", "s", c));
    EXPECT_FALSE(value_check(db, "1:30", mu_l, c));
}

TEST_F(ValueCheckContexts, ContextsDecideEmptySyringeAtomAndParameters)
{
    // Bounds of a macro parameter: "SYR." yes, empty no, no parameters.
    EXPECT_TRUE(value_check(db, "SYR.Max Volume", mu_l, parameter_bound_context()));
    EXPECT_FALSE(value_check(db, "", mu_l, parameter_bound_context()));
    EXPECT_FALSE(value_check(db, "Volume", mu_l, parameter_bound_context()));
    // A macro call value: no "SYR.", no empty.
    EXPECT_FALSE(value_check(db, "SYR.Max Volume", mu_l, call_value_context()));
    EXPECT_TRUE(value_check(db, "SL.volume*2", mu_l, call_value_context()));
    EXPECT_FALSE(value_check(db, "", mu_l, call_value_context()));
    // An atom argument: empty only when optional; the atom's object arguments
    // and the macro's parameters may be named.
    const int get_sample = atom("GET_SAMPLE");
    EXPECT_FALSE(value_check(db, "", "s", atom_argument_context(get_sample, false, params)));
    EXPECT_TRUE(value_check(db, "", "s", atom_argument_context(get_sample, true, params)));
    EXPECT_TRUE(value_check(db, "Volume", mu_l, atom_argument_context(get_sample, false, params)));
    EXPECT_FALSE(value_check(db, "Volume", "s", atom_argument_context(get_sample, false, params)));
    EXPECT_TRUE(value_check(db, "Tray.Vial Depth-2", "mm", atom_argument_context(get_sample, false, params)));
    EXPECT_TRUE(value_check(db, "Delay+1:00", "s", expansion_context(get_sample, params)));
    EXPECT_TRUE(value_check(db, "", mu_l, expansion_context(get_sample, params)));
    // Without parameters (error macros) names of parameters are unknown.
    EXPECT_FALSE(value_check(db, "Volume", mu_l, parameterless_macro_context(get_sample)));
    EXPECT_TRUE(value_check(db, "Tray.Max Index", "", configuration_bound_context(get_sample)));
    EXPECT_FALSE(value_check(db, "Tray.Max Index", "", configuration_bound_context(atom("AIR_GAP"))));
}

// Numbers beyond the doubles: 309 digits and more.
const std::string huge(320, '9');

TEST(ValueForms, NumbersBeyondTheDoublesAreNoNumbersAndNeverBecomeInf)
{
    EXPECT_FALSE(is_decimal(huge));
    EXPECT_FALSE(is_decimal("-" + huge));
    EXPECT_FALSE(is_duration(huge + ":"));
    EXPECT_FALSE(is_duration(huge + ":30"));
    // Shown and stored as typed, without a throw and without "INF".
    EXPECT_EQ(display_form(huge, "s"), huge);
    EXPECT_EQ(stored_form(huge + ":"), huge + ":");
    EXPECT_EQ(stored_form(huge + ":30"), huge + ":30");
    // Long but finite numbers keep their value, also as minutes.
    EXPECT_TRUE(is_decimal("0." + huge));
    EXPECT_NEAR(decimal_or_zero("0." + huge), 1.0, 1e-12);
    EXPECT_EQ(decimal_or_zero(std::string(300, '1')), decimal_or_zero("1" + std::string(299, '1')));
    EXPECT_EQ(stored_form("3000000000:30"), "180000000030");
    EXPECT_EQ(stored_form("3000000000:"), "180000000000");
}

TEST_F(ValueCheckContexts, NumbersBeyondTheDoublesFailTheCheck)
{
    for (const std::string& unit : {std::string("s"), mu_l}) {
        EXPECT_FALSE(value_check(db, huge, unit, call_value_context())) << unit;
        EXPECT_FALSE(value_check(db, "1+" + huge, unit, call_value_context())) << unit;
        EXPECT_FALSE(value_check(db, huge, unit, parameter_bound_context())) << unit;
    }
    EXPECT_FALSE(value_check(db, huge + ":", "s", call_value_context()));
    EXPECT_FALSE(value_check(db, huge + ":30", "s", call_value_context()));
    EXPECT_TRUE(value_check(db, std::string(300, '9'), "s", call_value_context()));
}

}  // namespace
}  // namespace kelvo::macro_test
