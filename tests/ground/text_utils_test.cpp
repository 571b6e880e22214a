#include "ground/text_utils.h"
#include "ground/duration.h"

#include "recording_prompts.h"

#include <gtest/gtest.h>

#include <clocale>

using namespace kelvo;

TEST(TextUtils, SameTextIgnoresAsciiCaseOnly)
{
    EXPECT_TRUE(same_text("Macro", "mACRO"));
    EXPECT_FALSE(same_text("Macro", "Macro "));
    EXPECT_TRUE(same_text("", ""));
}

TEST(TextUtils, NextFieldKeepsBlanksBeforeTheDelimiter)
{
    const std::string text = "  A ,B";
    std::size_t pos = 0;
    EXPECT_EQ(next_field(text, pos, ','), "A ");
    EXPECT_EQ(next_field(text, pos, ','), "B");
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(next_field(text, pos, ','), "");
    EXPECT_EQ(pos, text.size());

    std::string empties = "A;;C";
    pos = 0;
    EXPECT_EQ(next_field(empties, pos, ';'), "A");
    EXPECT_EQ(next_field(empties, pos, ';'), "");
    EXPECT_EQ(next_field(empties, pos, ';'), "C");

    std::string tabs = "\tA";
    pos = 0;
    EXPECT_EQ(next_field(tabs, pos, ';'), "\tA");  // only blanks are skipped
}

TEST(TextUtils, FirstNonBlankAndNames)
{
    EXPECT_EQ(first_non_blank("   "), 3u);
    EXPECT_EQ(first_non_blank(""), 1u);
    EXPECT_EQ(first_non_blank("  x"), 3u);
    EXPECT_EQ(first_non_blank("x"), 1u);
    EXPECT_EQ(strip_extension("wash.kma.bak"), "wash");
    EXPECT_EQ(strip_extension("wash"), "wash");
    EXPECT_EQ(file_title("/lab/methods/Fill syringe.kma"), "Fill syringe");
    EXPECT_EQ(file_title("C:\\lab\\inject.KME"), "inject");
}

TEST(TextUtils, DecimalForm)
{
    for (const char* yes : {"12.5", "-3", ".5", "5.", ".", "-.", "007"}) EXPECT_TRUE(is_decimal(yes)) << yes;
    for (const char* no : {"", "-", "1.2.3", "+1", " 1", "1e3", "1,5", "1 ", "--1"}) EXPECT_FALSE(is_decimal(no)) << no;
    double v = 99;
    EXPECT_TRUE(parse_decimal("-12.25", v));
    EXPECT_DOUBLE_EQ(v, -12.25);
    EXPECT_TRUE(parse_decimal("-.", v));
    EXPECT_DOUBLE_EQ(v, 0);
    EXPECT_FALSE(parse_decimal("1.2.3", v));
    EXPECT_EQ(v, 0);
    EXPECT_EQ(decimal_or_zero("abc"), 0);
    EXPECT_DOUBLE_EQ(decimal_or_zero("2.5"), 2.5);
}

TEST(TextUtils, ReadNumbersShowTheLabelledMessage)
{
    test::RecordingPrompts p;
    double d = 7;
    EXPECT_FALSE(read_decimal(p, "1,5", " volume", d));
    EXPECT_EQ(d, 0);
    int i = 7;
    EXPECT_FALSE(read_integer(p, "12a", "list 3", i));
    EXPECT_EQ(i, 0);
    EXPECT_FALSE(read_integer(p, "", "x", i));
    EXPECT_FALSE(read_integer(p, "99999999999", "x", i));
    ASSERT_EQ(p.shown.size(), 4u);
    EXPECT_EQ(p.shown[0], "error: Not a real number: volume");
    EXPECT_EQ(p.shown[1], "error: Not a number:list 3");

    p.shown.clear();
    EXPECT_TRUE(read_integer(p, "  -42", "x", i));
    EXPECT_EQ(i, -42);
    EXPECT_TRUE(read_integer(p, "+7", "x", i));
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(read_integer(p, "$1F", "x", i));
    EXPECT_EQ(i, 31);
    EXPECT_TRUE(read_integer(p, "-2147483648", "x", i));
    EXPECT_EQ(i, -2147483647 - 1);
    EXPECT_TRUE(p.shown.empty());
}

TEST(TextUtils, IntegerForms)
{
    EXPECT_TRUE(is_integer("-12"));
    EXPECT_FALSE(is_integer("-"));
    EXPECT_FALSE(is_integer(""));
    EXPECT_FALSE(is_integer("1.0"));
    EXPECT_EQ(integer_or_zero("12a"), 0);
    EXPECT_EQ(integer_or_zero("-"), 0);
    EXPECT_EQ(integer_or_zero("-15"), -15);
    EXPECT_EQ(integer_or_zero("99999999999"), 0);
    EXPECT_TRUE(is_positive_integer("007"));
    EXPECT_FALSE(is_positive_integer("000"));
    EXPECT_FALSE(is_positive_integer(""));
    EXPECT_FALSE(is_positive_integer("-1"));
}

TEST(TextUtils, DecimalTextIsShortestAndLocaleFree)
{
    EXPECT_EQ(decimal_text(1.5), "1.5");
    EXPECT_EQ(decimal_text(0), "0");
    EXPECT_EQ(decimal_text(-0.0), "0");
    EXPECT_EQ(decimal_text(100), "100");
    EXPECT_EQ(decimal_text(-2.25), "-2.25");
    EXPECT_EQ(decimal_text(0.1 + 0.2), "0.3");
    EXPECT_EQ(decimal_text(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(decimal_text(123456789012345.0), "123456789012345");
    EXPECT_EQ(decimal_text(1e15), "1E15");
    EXPECT_EQ(decimal_text(0.00001), "0.00001");
    EXPECT_EQ(decimal_text(1.5e-7), "1.5E-7");
    // A decimal-comma locale must not leak into the text.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        EXPECT_EQ(decimal_text(1.5), "1.5");
        std::setlocale(LC_NUMERIC, "C");
    }
}

TEST(TextUtils, Durations)
{
    for (const char* yes : {"1:30", ":45", "3:", "-1:00", "1:-5", "0:59.5"}) EXPECT_TRUE(is_duration(yes)) << yes;
    for (const char* no : {"1:60", ":", "5", "1:2:3", "a:10", "", "1.5:00"}) EXPECT_FALSE(is_duration(no)) << no;
    EXPECT_EQ(duration_seconds("1:30"), 90);
    EXPECT_EQ(duration_seconds(":45"), 45);
    EXPECT_EQ(duration_seconds("2:"), 120);
    EXPECT_EQ(duration_seconds("-2:30"), -90);
    EXPECT_EQ(duration_seconds("1:-5"), 55);
    EXPECT_EQ(duration_seconds("90"), 0);
    EXPECT_TRUE(is_seconds("59.9"));
    EXPECT_FALSE(is_seconds("60"));
}

TEST(TextUtils, DurationTextRoundTrips)
{
    const std::pair<double, const char*> cases[] = {
        {90, "1:30"}, {65, "1:05"}, {60, "1:00"}, {5, "0:05"}, {0, "0:00"},
        {125.5, "2:05.5"}, {0.5, "0:000.5"}, {59.5, "0:59.5"}, {600, "10:00"}};
    for (const auto& [seconds, text] : cases) EXPECT_EQ(duration_text(seconds), text) << seconds;
    for (double s : {0.0, 0.5, 1.0, 9.75, 59.5, 60.0, 61.25, 3599.0, 7200.5})
        EXPECT_DOUBLE_EQ(duration_seconds(duration_text(s)), s) << s;
    EXPECT_EQ(display_value("90", "S"), "1:30");
    EXPECT_EQ(display_value("90", "ms"), "90");
    EXPECT_EQ(display_value("SL.volume", "s"), "SL.volume");
}
