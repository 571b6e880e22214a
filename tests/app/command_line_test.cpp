#include "app/command_line.h"
#include "app/hints.h"
#include "app/window_title.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(CommandLine, EmptyLineShowsSampleListAndMethodWithSampleListInFront)
{
    const CommandLineOptions o = parse_command_line({});
    EXPECT_TRUE(o.page_shown(Page::sample_list));
    EXPECT_TRUE(o.page_shown(Page::method));
    EXPECT_FALSE(o.page_shown(Page::macro));
    EXPECT_EQ(o.first_page(), Page::sample_list);
    EXPECT_FALSE(o.offline);
    EXPECT_EQ(o.data_system, "Standalone");
    EXPECT_FALSE(o.chemstation());
    EXPECT_FALSE(o.masslynx());
}

TEST(CommandLine, OnlyOffShowsNoTabAndPutsTheMethodPageInFront)
{
    const CommandLineOptions o = parse_command_line({"OFF"});
    for (Page p : all_document_kinds) EXPECT_FALSE(o.page_shown(p));
    EXPECT_EQ(o.first_page(), Page::method);
    EXPECT_TRUE(o.offline);
    EXPECT_TRUE(o.offline_by_switch);
}

TEST(CommandLine, PageSwitchesChooseTabsAndTheFrontPage)
{
    EXPECT_EQ(parse_command_line({"mac"}).first_page(), Page::macro);
    EXPECT_EQ(parse_command_line({"MAC", "Met"}).first_page(), Page::method);
    const CommandLineOptions o = parse_command_line({"MAC", "lst", "DBG", "sng"});
    EXPECT_TRUE(o.page_shown(Page::macro));
    EXPECT_TRUE(o.page_shown(Page::sample_list));
    EXPECT_FALSE(o.page_shown(Page::method));
    EXPECT_EQ(o.first_page(), Page::sample_list);
    EXPECT_TRUE(o.debug_window);
    EXPECT_TRUE(o.single_macro);
    // Whole-argument switches do not match as prefixes.
    const CommandLineOptions p = parse_command_line({"MACRO", "OFFLINE", "LST2"});
    EXPECT_FALSE(p.page_shown(Page::macro));
    EXPECT_FALSE(p.page_shown(Page::sample_list));
    EXPECT_FALSE(p.offline);
}

TEST(CommandLine, PrefixesTakeTheRestAndLaterArgumentsWin)
{
    CommandLineOptions o = parse_command_line({"ds:hpcs", "SR:Service One", "in:GC-MS"});
    EXPECT_TRUE(o.chemstation());
    EXPECT_EQ(o.data_system, "hpcs");
    EXPECT_EQ(o.service_name, "Service One");
    EXPECT_EQ(o.instrument_type, "GC-MS");
    o = parse_command_line({"DS:HPCS", "DS:MassLynx", "OFF", "on"});
    EXPECT_TRUE(o.masslynx());
    EXPECT_FALSE(o.chemstation());
    EXPECT_FALSE(o.offline);
    EXPECT_FALSE(o.offline_by_switch);
    o = parse_command_line({"DS:" + std::string(1200, 'x')});
    EXPECT_EQ(o.data_system.size(), switch_value_limit);
    EXPECT_EQ(parse_command_line({"DS:"}).data_system, "");
    // An unknown argument still counts: the command line is not empty.
    EXPECT_FALSE(parse_command_line({"whatever"}).page_shown(Page::sample_list));
}

TEST(CommandLine, ColumnsFileSwitchLeavesThePagesAlone)
{
    CommandLineOptions o = parse_command_line({"cols:/data/My Columns.ini"});
    EXPECT_EQ(o.columns_file, "/data/My Columns.ini");
    EXPECT_TRUE(o.page_shown(Page::sample_list));  // as with no argument
    EXPECT_TRUE(o.page_shown(Page::method));
    EXPECT_FALSE(o.offline);
    o = parse_command_line({"COLS:a.ini", "MAC", "OFF"});
    EXPECT_EQ(o.columns_file, "a.ini");
    EXPECT_TRUE(o.page_shown(Page::macro));
    EXPECT_FALSE(o.page_shown(Page::sample_list));
    EXPECT_TRUE(o.offline);
}

TEST(WindowTitle, ProductNameOfflineMarkAndFolder)
{
    EXPECT_EQ(window_title(false, false, "/lab/methods"), "KELVO Cadenzor   (/lab/methods)");
    EXPECT_EQ(window_title(true, true, "C:\\M"), "KELVO Ostinar -- offline   (C:\\M)");
    EXPECT_EQ(window_title(false, true, ""), "KELVO Cadenzor -- offline   ()");
}

TEST(WindowTitle, FoldersFrom51CharactersAreShortenedInTheMiddle)
{
    const std::string fifty = "/" + std::string(48, 'a') + "Z";
    ASSERT_EQ(fifty.size(), 50u);
    EXPECT_EQ(title_folder_text(fifty), fifty);
    const std::string fiftyone = fifty + "9";
    EXPECT_EQ(title_folder_text(fiftyone), fiftyone.substr(0, 24) + "..." + fiftyone.substr(26));
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += static_cast<char>('A' + i % 26);
    const std::string shown = title_folder_text(sixty);
    EXPECT_EQ(shown.size(), 52u);
    EXPECT_EQ(shown, sixty.substr(0, 24) + "..." + sixty.substr(35));
    EXPECT_EQ(window_title(true, true, sixty), "KELVO Ostinar -- offline   (" + shown + ")");
}

TEST(HintTiming, MacroChoiceStaysLongAndTheSequenceListAsksPerLine)
{
    EXPECT_EQ(hint_timing("macros_of_method", 40).display_ms, 100000);
    EXPECT_FALSE(hint_timing("macros_of_method", 40).narrowed);
    const HintTiming band = hint_timing("method_box", 40);
    EXPECT_TRUE(band.narrowed);
    EXPECT_EQ(band.band_top, 32);
    EXPECT_EQ(band.band_bottom, 48);
    EXPECT_EQ(band.display_ms, 9000);
    EXPECT_EQ(hint_timing("lock_button", 3).display_ms, 9000);
    EXPECT_EQ(hint_timing("Method_Box", 3).narrowed, false);  // component names match exactly
}
