// The data system's column-definition file and the column settings keys.
#include "ground/ini_file.h"
#include "ground/settings.h"
#include "samplelist/column_definitions.h"
#include "samplelist/column_settings.h"
#include "samplelist/sample_columns.h"
#include "samplelist/sample_list_file.h"

#include <gtest/gtest.h>

#include <chrono>

namespace kelvo {
namespace {

ColumnTable fixed_columns()
{
    ColumnTable t;
    t.build_fixed({"M1", "Tray1", "Inj1"});
    return t;
}

const char* const demo_file =
    "[system]\r\n"
    "Numberofcolumns=5\r\n"
    "[column1]\r\n"
    "Spec=Sample Name#1#Blank#text\r\n"
    "Settings=20\r\n"
    "[column2]\r\n"
    "Spec=Dilution#0#1#NUMERIC\r\n"
    "Settings=-5#100#2\r\n"
    "[column3]\r\n"
    "Spec=Sample Type#0#Y#list\r\n"
    "Settings=0#1#3#2\r\n"
    "Line1=X#Y#\r\n"
    "Line2=Z#\r\n"
    "[column4]\r\n"
    "Spec=Bracket#0##checkbox\r\n"
    "[column5]\r\n"
    "Spec=Odd#1#q#spinner\r\n"
    "Settings=7\r\n";

TEST(ColumnDefinitions, EachTypeReadsItsSettings)
{
    ColumnTable t = fixed_columns();
    const ColumnFileReport r = read_column_definitions(IniFile(demo_file), t);
    EXPECT_EQ(r.added, 5);
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(t.count(), 15);

    const SampleColumn& name = t.column(11);
    EXPECT_EQ(name.heading, "Sample Name");
    EXPECT_TRUE(name.flag_a);
    EXPECT_EQ(name.default_text, "Blank");
    EXPECT_EQ(name.kind, ColumnKind::text);
    EXPECT_EQ(name.text_length, 20);

    const SampleColumn& dilution = t.column(12);
    EXPECT_EQ(dilution.kind, ColumnKind::numeric);
    EXPECT_FALSE(dilution.flag_a);
    EXPECT_EQ(dilution.minimum, -5.0);
    EXPECT_EQ(dilution.maximum, 100.0);
    EXPECT_EQ(dilution.decimals, 2);

    const SampleColumn& type = t.column(13);
    EXPECT_EQ(type.kind, ColumnKind::list);
    EXPECT_FALSE(type.flag_b);
    EXPECT_TRUE(type.editable);
    EXPECT_EQ(type.program_list, ProgramList::none);
    EXPECT_EQ(t.items_of(13), (std::vector<std::string>{"X", "Y", "Z"}));

    EXPECT_EQ(t.column(14).kind, ColumnKind::check_box);
    EXPECT_EQ(t.column(15).kind, ColumnKind::none);
    EXPECT_EQ(t.column(15).text_length, 0);
}

TEST(ColumnDefinitions, FieldsAndNumbersAreReadLiterally)
{
    EXPECT_EQ(definition_field("a#b#c", 1), "b");
    EXPECT_EQ(definition_field("a#b", 2), "");
    EXPECT_EQ(definition_field("a##c", 1), "");
    EXPECT_EQ(definition_field("", 0), "");

    ColumnTable t = fixed_columns();
    read_column_definitions(IniFile("[system]\nNumberofcolumns=2\n"
                                    "[column1]\nSpec=N#0#0#numeric\nSettings=-5.5#1e3#x\n"
                                    "[column2]\nSpec=L#0##list\nSettings=1#0#4#1\nLine1=only#\n"),
                            t);
    ASSERT_EQ(t.count(), 12);
    EXPECT_EQ(t.column(11).minimum, 0.0);   // a decimal point reads as 0
    EXPECT_EQ(t.column(11).maximum, 0.0);
    EXPECT_EQ(t.column(11).decimals, 0);
    EXPECT_TRUE(t.column(12).flag_b);
    EXPECT_FALSE(t.column(12).editable);
    EXPECT_EQ(t.items_of(12), (std::vector<std::string>{"only", "", "", ""}));  // missing items are empty
}

TEST(ColumnDefinitions, NothingComesOfAMissingFileOrCount)
{
    for (const char* text : {"", "[system]\nNumberofcolumns=0\n", "[system]\nNumberofcolumns=-3\n",
                             "[system]\nNumberofcolumns=two\n"}) {
        ColumnTable t = fixed_columns();
        EXPECT_EQ(read_column_definitions(IniFile(text), t).added, 0) << text;
        EXPECT_EQ(t.count(), fixed_column_count);
    }
    ColumnTable t = fixed_columns();
    EXPECT_EQ(read_column_definition_file("", t).added, 0);
    EXPECT_EQ(read_column_definition_file("/nonexistent/columns.ini", t).added, 0);
    EXPECT_EQ(t.count(), fixed_column_count);
}

TEST(ColumnDefinitions, ReadingAgainRedefinesInsteadOfDoubling)
{
    ColumnTable once = fixed_columns();
    read_column_definitions(IniFile(demo_file), once);

    ColumnTable twice = fixed_columns();
    read_column_definitions(IniFile(demo_file), twice);
    twice.column(11).width = 33;
    twice.column(12).hidden = true;
    const ColumnFileReport again = read_column_definitions(IniFile(demo_file), twice);
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(again.redefined, 5);
    EXPECT_EQ(twice.count(), once.count());
    EXPECT_EQ(twice.list_items().size(), once.list_items().size());  // same items are not added again
    EXPECT_EQ(twice.column(11).width, 33);                            // the user's choices stay
    EXPECT_TRUE(twice.column(12).hidden);
    // A list saved now still loads after the next start, which reads the file once.
    EXPECT_EQ(list_header_line(twice, list_separator), list_header_line(once, list_separator));

    // A changed definition takes effect in place; new headings are appended.
    read_column_definitions(IniFile("[system]\nNumberofcolumns=2\n[column1]\nSpec=sample name#1#None#text\n"
                                    "Settings=8\n[column2]\nSpec=Vial Rack#0##text\nSettings=4\n"),
                            twice);
    EXPECT_EQ(twice.count(), once.count() + 1);
    EXPECT_EQ(twice.column(11).text_length, 8);
    EXPECT_EQ(twice.column(16).heading, "Vial Rack");
}

TEST(ColumnDefinitions, TablesAreNeverOverrun)
{
    std::string text = "[system]\nNumberofcolumns=45\n";
    for (int i = 1; i <= 45; ++i) text += "[column" + std::to_string(i) + "]\nSpec=C" + std::to_string(i) + "#0##text\n";
    ColumnTable t = fixed_columns();
    const ColumnFileReport r = read_column_definitions(IniFile(text), t);
    EXPECT_EQ(t.count(), ColumnTable::capacity);
    EXPECT_EQ(r.added, 30);
    ASSERT_EQ(r.problems.size(), 15u);
    EXPECT_EQ(r.problems.front(), "The sample list holds at most 40 columns: column \"C31\" was not added");

    std::string items(250 * 2, '#');
    for (std::size_t i = 0; i < items.size(); i += 2) items[i] = 'a';
    ColumnTable l = fixed_columns();
    const ColumnFileReport li = read_column_definitions(
        IniFile("[system]\nNumberofcolumns=2\n[column1]\nSpec=Big#0##list\nSettings=0#0#250#999999999\nLine1=" +
                items + "\n[column2]\nSpec=More#0##list\nSettings=0#0#1#1\nLine1=b#\n"),
        l);
    EXPECT_EQ(l.list_items().size(), static_cast<std::size_t>(ColumnTable::list_item_capacity));
    EXPECT_EQ(l.column(11).item_count, ColumnTable::list_item_capacity);
    EXPECT_EQ(l.column(12).item_count, 0);
    ASSERT_EQ(li.problems.size(), 2u);
    EXPECT_EQ(li.problems[1], "The sample list holds at most 200 list items: column \"More\" got 0 of its items");

    ColumnTable f = fixed_columns();
    const ColumnFileReport fr =
        read_column_definitions(IniFile("[system]\nNumberofcolumns=1\n[column1]\nSpec=VIAL#0##list\n"), f);
    EXPECT_EQ(f.count(), fixed_column_count);
    EXPECT_EQ(f.column(column_no::vial).kind, ColumnKind::text);
    ASSERT_EQ(fr.problems.size(), 1u);
}

TEST(ColumnDefinitions, ACountBeyondTheFileReadsAsFarAsItsLastColumn)
{
    // Two billion columns announced, one defined: read at once, one column
    // and no empty ones after it.
    ColumnTable t = fixed_columns();
    const auto start = std::chrono::steady_clock::now();
    const ColumnFileReport r = read_column_definitions(
        IniFile("[system]\nNumberofcolumns=2000000000\n[column1]\nSpec=Only#0##text\nSettings=5\n"), t);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(r.added, 1);
    EXPECT_TRUE(r.problems.empty());
    ASSERT_EQ(t.count(), fixed_column_count + 1);
    EXPECT_EQ(t.column(fixed_column_count + 1).heading, "Only");
    // A section beyond the count is not read; a gap before the last one is a
    // column without definition, as before.
    ColumnTable g = fixed_columns();
    read_column_definitions(IniFile("[system]\nNumberofcolumns=2\n[column1]\nSpec=A#0##text\n"
                                    "[column3]\nSpec=C#0##text\n"),
                            g);
    EXPECT_EQ(g.count(), fixed_column_count + 1);
    ColumnTable h = fixed_columns();
    read_column_definitions(IniFile("[system]\nNumberofcolumns=3\n[column1]\nSpec=A#0##text\n"
                                    "[Column3]\nSpec=C#0##text\n"),
                            h);
    ASSERT_EQ(h.count(), fixed_column_count + 3);
    EXPECT_EQ(h.column(fixed_column_count + 2).heading, "");
    EXPECT_EQ(h.column(fixed_column_count + 3).heading, "C");
}

TEST(ColumnDefinitions, LineKeysAreFoundWhereverTheyStand)
{
    // Line500 of a list of 500 lines in a section of four entries, Line2
    // before Line1: all joined in number order; a key beyond the count and
    // a second Line1 are not.
    ColumnTable t = fixed_columns();
    read_column_definitions(IniFile("[system]\nNumberofcolumns=1\n[column1]\nSpec=Kind#1##list\n"
                                    "Settings=0#1#4#500\nLine2=b#\nLine500=c#d\nline1=a#\nLine1=x#\nLine501=e\n"
                                    "Line07=f\n"),
                            t);
    ASSERT_EQ(t.count(), fixed_column_count + 1);
    EXPECT_EQ(t.items_of(fixed_column_count + 1), (std::vector<std::string>{"a", "b", "c", "d"}));
    // A huge line count costs nothing.
    ColumnTable big = fixed_columns();
    const auto start = std::chrono::steady_clock::now();
    read_column_definitions(IniFile("[system]\nNumberofcolumns=1\n[column1]\nSpec=Big#1##list\n"
                                    "Settings=0#1#2#2000000000\nLine1=a#b\n"),
                            big);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(big.items_of(fixed_column_count + 1), (std::vector<std::string>{"a", "b"}));
}

// ---- the settings keys

ColumnTable with_data_columns()
{
    ColumnTable t = fixed_columns();
    read_column_definitions(IniFile(demo_file), t);
    return t;
}

TEST(ColumnSettings, MissingKeysAreCreatedFromTheColumns)
{
    MemorySettingsStore store;
    ColumnTable t = with_data_columns();
    t.column(3).width = 4;
    load_column_settings(store, t);
    for (int col = 1; col <= t.count(); ++col) {
        EXPECT_FALSE(t.column(col).hidden);
        EXPECT_EQ(t.column(col).width, default_column_width);
    }
    const auto shown = store.values(visibility_key);
    ASSERT_EQ(shown.size(), 15u);
    EXPECT_EQ(shown[10].first, "Sample Name");
    EXPECT_EQ(shown[10].second, SettingValue::of_dword(1));
    const auto widths = store.values(widths_key);
    ASSERT_EQ(widths.size(), 15u);
    EXPECT_EQ(widths[0].second.bytes, (std::vector<unsigned char>{0, 0, 0, 0, 0, 0, 0x24, 0x40}));  // 10.0
    const auto defaults = store.values(defaults_key);
    ASSERT_EQ(defaults.size(), 15u);
    EXPECT_EQ(defaults[10].second.text, "Blank");
}

TEST(ColumnSettings, StoredValuesApplyByHeadingWithoutCase)
{
    MemorySettingsStore store;
    store.write(visibility_key, "SAMPLE NAME", SettingValue::of_dword(0));
    store.write(visibility_key, "Volume", SettingValue::of_dword(7));
    store.write(widths_key, "sample name", double_setting(17.5));
    store.write(widths_key, "Method", double_setting(-3));
    store.write(defaults_key, "Sample name", SettingValue::of_text("QC"));
    ColumnTable t = with_data_columns();
    t.column(12).hidden = true;  // marked shown first, then what the key says
    load_column_settings(store, t);
    EXPECT_TRUE(t.column(11).hidden);
    EXPECT_FALSE(t.column(3).hidden);
    EXPECT_FALSE(t.column(12).hidden);  // no value: shown
    EXPECT_EQ(t.column(11).width, 17.5);
    EXPECT_EQ(t.column(2).width, 0.0);   // a negative width is no width
    EXPECT_EQ(t.column(12).width, 0.0);  // a heading new to the key: 0 until widened
    EXPECT_EQ(t.column(11).default_text, "QC");
    EXPECT_EQ(t.column(12).default_text, "1");  // keeps the file's default
    EXPECT_EQ(store.values(visibility_key).size(), 2u);  // existing keys are not rewritten by a load
}

TEST(ColumnSettings, SavesReplaceEveryValueAndUnavailableStoresAreSkipped)
{
    MemorySettingsStore store;
    store.write(widths_key, "Gone", double_setting(3));
    ColumnTable t = with_data_columns();
    t.column(11).hidden = true;
    t.column(11).width = 12.25;
    save_column_visibility(store, t);
    save_column_widths(store, t);
    EXPECT_EQ(store.read(visibility_key, "Sample Name"), SettingValue::of_dword(0));
    EXPECT_FALSE(store.read(widths_key, "Gone").has_value());
    EXPECT_EQ(setting_double(*store.read(widths_key, "sample name")), 12.25);

    MemorySettingsStore closed;
    closed.set_available(false);
    ColumnTable u = with_data_columns();
    u.column(11).hidden = true;
    u.column(11).width = 5;
    load_column_settings(closed, u);
    EXPECT_FALSE(u.column(11).hidden);  // marked shown; nothing else comes from the store
    EXPECT_EQ(u.column(11).width, 5);
    save_column_defaults(closed, u);
    EXPECT_TRUE(closed.keys.empty());
}

TEST(ColumnSettings, TrayPageDefaults)
{
    ColumnTable t = with_data_columns();
    EXPECT_FALSE(is_tray_page_column(t, column_no::status));
    EXPECT_FALSE(is_tray_page_column(t, column_no::tray));
    EXPECT_FALSE(is_tray_page_column(t, column_no::vial));
    EXPECT_TRUE(is_tray_page_column(t, column_no::method));
    EXPECT_TRUE(is_tray_page_column(t, 15));

    MemorySettingsStore store;
    std::vector<std::string> values(static_cast<std::size_t>(t.count()));
    values[column_no::method - 1] = "M1";
    values[10] = "Blank";
    load_tray_page_defaults(store, t, values);  // missing: written from the current values
    const auto written = store.values(tray_page_defaults_key);
    ASSERT_EQ(written.size(), 12u);
    EXPECT_EQ(written[0].first, "Method");
    EXPECT_EQ(written[0].second.text, "M1");

    store.write(tray_page_defaults_key, "method", SettingValue::of_text("M2"));
    store.write(tray_page_defaults_key, "Tray", SettingValue::of_text("ignored"));
    std::vector<std::string> shown(static_cast<std::size_t>(t.count()));
    load_tray_page_defaults(store, t, shown);
    EXPECT_EQ(shown[column_no::method - 1], "M2");
    EXPECT_EQ(shown[column_no::tray - 1], "");
    EXPECT_EQ(shown[10], "Blank");

    save_tray_page_defaults(store, t, shown);
    EXPECT_FALSE(store.read(tray_page_defaults_key, "Tray").has_value());
    EXPECT_EQ(store.values(tray_page_defaults_key).size(), 12u);
}

}  // namespace
}  // namespace kelvo
