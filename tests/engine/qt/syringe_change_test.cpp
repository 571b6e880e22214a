// The out-of-range dialog: its text, the entry it proposes, the OK rules
// with their three refusals, and the value taken when it is closed without OK.
#include "engine/qt/syringe_change.h"

#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "ground/text_utils.h"
#include "recording_prompts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kelvo;

namespace {

std::string refusal_of(const std::string& text, const std::string& unit, double minimum, double maximum)
{
    std::string refusal;
    const std::optional<double> v = accept_out_of_range_entry(text, unit, minimum, maximum, refusal);
    return v ? "accepted " + decimal_text(*v) : refusal;
}

class SyringeChangeTest : public ::testing::Test {
protected:
    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
};

}  // namespace

TEST(SyringeChangeTexts, TheMessageWritesEachNumberWithItsUnit)
{
    EXPECT_EQ(out_of_range_text("ASPIRATE:Volume", "\xB5l", 12.5, 0, 10),
              "ASPIRATE:Volume:12.5\xB5l is out of range (0\xB5l - 10\xB5l)");
    EXPECT_EQ(out_of_range_text("Macro \"Wash\" parameter \"Strokes\"", "", 0, 1, 99),
              "Macro \"Wash\" parameter \"Strokes\":0 is out of range (1 - 99)");
    // Seconds are written as durations.
    EXPECT_EQ(out_of_range_text("WAIT:Time", "s", 4000, 0, 3600), "WAIT:Time:66:40s is out of range (0:00s - 60:00s)");
    EXPECT_EQ(out_of_range_entry(90, "s"), "1:30");
    EXPECT_EQ(out_of_range_entry(0.25, "ml"), "0.25");
    // A negative bound in seconds has no duration form that reads back.
    EXPECT_EQ(out_of_range_entry(-5, "s"), "-5");
}

TEST(SyringeChangeRules, OkTakesNumbersWithinTheBoundsInclusive)
{
    EXPECT_EQ(refusal_of("10", "\xB5l", 0, 10), "accepted 10");   // the maximum itself
    EXPECT_EQ(refusal_of("0", "\xB5l", 0, 10), "accepted 0");     // the minimum itself
    EXPECT_EQ(refusal_of("-2.5", "mm", -5, 0), "accepted -2.5");
    EXPECT_EQ(refusal_of("10.001", "\xB5l", 0, 10), "10.001 is out of range!");
    EXPECT_EQ(refusal_of("-1", "\xB5l", 0, 10), "-1 is out of range!");
    // A bound computed with rounding noise still accepts its written form.
    EXPECT_EQ(refusal_of("0.3", "", 0, 0.1 + 0.2), "accepted 0.3");
}

TEST(SyringeChangeRules, RefusalsNameTheEntry)
{
    EXPECT_EQ(refusal_of("abc", "\xB5l", 0, 10), "abc is not a number");
    EXPECT_EQ(refusal_of("1,5", "\xB5l", 0, 10), "1,5 is not a number");
    EXPECT_EQ(refusal_of("", "\xB5l", 0, 10), " is not a number");
    EXPECT_EQ(refusal_of("1:30", "\xB5l", 0, 100), "1:30 is not a number");  // durations only for seconds
    EXPECT_EQ(refusal_of("1e3", "", 0, 10000), "1e3 is not a number");
    // Seconds: numbers and durations, anything else is not a time.
    EXPECT_EQ(refusal_of("1:30", "s", 0, 600), "accepted 90");
    EXPECT_EQ(refusal_of(":45", "s", 0, 600), "accepted 45");
    EXPECT_EQ(refusal_of("75", "s", 0, 600), "accepted 75");
    EXPECT_EQ(refusal_of("1:60", "s", 0, 600), "1:60 is not a time");
    EXPECT_EQ(refusal_of("soon", "s", 0, 600), "soon is not a time");
    EXPECT_EQ(refusal_of("10:01", "s", 0, 600), "10:01 is out of range!");
}

TEST_F(SyringeChangeTest, OkStaysOpenOnARefusalAndTakesAnAcceptedEntry)
{
    Tsyringe_change dialog;
    EXPECT_EQ(dialog.windowTitle(), "Parameter out of range");
    dialog.prepare("WAIT:Time", "s", 600, 0, 600, 700);
    EXPECT_EQ(from_qstring(dialog.message_label->text()), "WAIT:Time:11:40s is out of range (0:00s - 10:00s)");
    EXPECT_EQ(from_qstring(dialog.value_edit->text()), "10:00");
    dialog.value_edit->setText("11:00");
    EXPECT_FALSE(dialog.ok_buttonClick());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: 11:00 is out of range!"});
    EXPECT_EQ(dialog.taken_value(), 600);
    dialog.value_edit->setText("5:30");
    EXPECT_TRUE(dialog.ok_buttonClick());
    EXPECT_EQ(dialog.taken_value(), 330);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(SyringeChangeTest, AskReturnsTheEntryOrTheProposedValueWhenClosedOtherwise)
{
    Tsyringe_change dialog;
    OutOfRangeDialog& asker = dialog;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.value_edit->setText("7");
        dialog.ok_button->click();
    });
    EXPECT_EQ(asker.ask("ASPIRATE:Volume", "\xB5l", 10, 0, 10, 12), 7);

    // Escape (or the close button) takes the proposed bound.
    QTimer::singleShot(0, &dialog, [&] {
        dialog.value_edit->setText("3");
        dialog.reject();
    });
    EXPECT_EQ(asker.ask("ASPIRATE:Volume", "\xB5l", 10, 2, 2, 1), 2);
    EXPECT_TRUE(prompts.shown.empty());
}
