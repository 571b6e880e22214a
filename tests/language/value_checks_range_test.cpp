// The range check of a method's numeric values against its macros' limits.
#include "language/value_checks.h"
#include "ground/documents.h"
#include "macro_test_support.h"

namespace kelvo::macro_test {
namespace {

struct DialogCall {
    std::string context, unit;
    double maximum, minimum, proposed, value;
};

class FakeOutOfRangeDialog final : public OutOfRangeDialog {
public:
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override
    {
        calls.push_back({context, unit, maximum, minimum, proposed, value});
        return answer ? *answer : proposed;
    }
    std::optional<double> answer;
    std::vector<DialogCall> calls;
};

class MethodRangeCheck : public MacroFixture {
protected:
    void SetUp() override
    {
        MacroFixture::SetUp();
        write_macro("Fill", "//Fill it\r\n"
                            "Tray;TRAY\r\n"
                            "Volume (\xB5l);1;0.5;SYR.Max Volume\r\n"
                            "Wait (s);0;0;1:00\r\n"
                            "AIR_GAP(1,)\r\n");
    }
    FakeOutOfRangeDialog dialog;
    bool changed = false;
};

TEST_F(MethodRangeCheck, PlainNumberBelowTheMinimumProposesTheMinimum)
{
    std::vector<std::string> lines = {"Fill(Tray1,0.1,30)"};
    ASSERT_TRUE(range_check_method(test::context_with(db()), lines, "Syr10ul", dialog, changed));
    ASSERT_EQ(dialog.calls.size(), 1u);
    const DialogCall& c = dialog.calls[0];
    EXPECT_EQ(c.context, "Macro \"Fill\" parameter \"Volume\"");
    EXPECT_EQ(c.unit, "\xB5l");
    EXPECT_DOUBLE_EQ(c.minimum, 0.5);
    EXPECT_DOUBLE_EQ(c.maximum, 10);  // SYR.Max Volume of the method's syringe
    EXPECT_DOUBLE_EQ(c.proposed, 0.5);
    EXPECT_DOUBLE_EQ(c.value, 0.1);
    EXPECT_TRUE(changed);
    EXPECT_EQ(lines[0], "Fill(Tray1,0.5,30)");
    EXPECT_TRUE(shown().empty());
}

TEST_F(MethodRangeCheck, AboveTheMaximumProposesTheMaximumAndTakesTheAnswer)
{
    std::vector<std::string> lines = {"Fill(Tray1,5,90)", "Fill(Tray2,250,0)"};
    dialog.answer = 7.25;
    ASSERT_TRUE(range_check_method(test::context_with(db()), lines, "Syr100ul", dialog, changed));
    ASSERT_EQ(dialog.calls.size(), 2u);
    EXPECT_EQ(dialog.calls[0].context, "Macro \"Fill\" parameter \"Wait\"");
    EXPECT_DOUBLE_EQ(dialog.calls[0].maximum, 60);
    EXPECT_DOUBLE_EQ(dialog.calls[0].proposed, 60);
    EXPECT_DOUBLE_EQ(dialog.calls[1].maximum, 100);
    EXPECT_DOUBLE_EQ(dialog.calls[1].proposed, 100);
    EXPECT_EQ(lines, (std::vector<std::string>{"Fill(Tray1,5,7.25)", "Fill(Tray2,7.25,0)"}));
}

TEST_F(MethodRangeCheck, ExpressionsAndNamesAreNotClamped)
{
    std::vector<std::string> lines = {"Fill(Tray1,SL.volume*2,SL.index)", "Fill(SL.tray,5,60)", "Unknown(1,2)"};
    ASSERT_TRUE(range_check_method(test::context_with(db()), lines, "Syr10ul", dialog, changed));
    EXPECT_TRUE(dialog.calls.empty());
    EXPECT_FALSE(changed);
    EXPECT_EQ(lines, (std::vector<std::string>{"Fill(Tray1,SL.volume*2,SL.index)", "Fill(SL.tray,5,60)", "Unknown(1,2)"}));
}

TEST_F(MethodRangeCheck, UnreadableParameterLineStopsTheCheck)
{
    write_macro("Bad", "Depth (mm);SYR.Max Volume;0;10\r\nAIR_GAP(1,)\r\n");
    std::vector<std::string> lines = {"Bad(1)", "Fill(Tray1,0,0)"};
    EXPECT_FALSE(range_check_method(test::context_with(db()), lines, "Syr10ul", dialog, changed));
    EXPECT_TRUE(dialog.calls.empty());
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "error: Depth: SYR.Max Volume makes no sense ",
                           "error: Macro \"Bad\" parameter \"Depth (mm);SYR.Max Volume;0;10\" is not valid",
                       }));
}

TEST_F(MethodRangeCheck, LimitThatCannotBeEvaluated)
{
    // Without a syringe the "SYR." maximum has no value.
    std::vector<std::string> lines = {"Fill(Tray1,5,0)"};
    EXPECT_FALSE(range_check_method(test::context_with(db()), lines, "", dialog, changed));
    ASSERT_FALSE(shown().empty());
    EXPECT_EQ(shown().back(), "error: Macro \"Fill\" parameter \"Volume\"syntax error in maximum:SYR.Max Volume");
}

}  // namespace
}  // namespace kelvo::macro_test
