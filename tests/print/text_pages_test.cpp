// The printouts' page layout and contents, item by item.
#include "language/bound_check.h"
#include "ground/debug_lines.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "print/document_prints.h"
#include "print/text_pages.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvo {
namespace {

// 720 pixels per inch: lines 100 pixels high; 1750 pixels give 10 lines a
// page (17 - 7), so text runs on lines 2 to 9.
TextPageMetrics test_metrics() { return {10, 720, 5000, 1750, 60}; }

// "page:line text", headings marked with "*".
std::vector<std::string> rendered(const TextPages& pages)
{
    std::vector<std::string> out;
    for (const TextPageItem& item : pages.items())
        out.push_back(std::to_string(item.page) + ":" + std::to_string(item.y / pages.line_height()) + " " +
                      (item.heading ? "*" : "") + item.text);
    return out;
}

std::string demo_folder() { return std::string(KELVO_SOURCE_DIR) + "/examples/methods"; }

const ConfigDb& demo_db()
{
    static const ConfigDb db = [] {
        ConfigDb d;
        std::vector<std::string> lines;
        test::RecordingPrompts quiet;
        PromptsScope scope(quiet);
        EXPECT_TRUE(read_text_lines(demo_folder() + "/latest_kelvo.kol", lines) && parse_configuration(d, lines, prompts(), debug_line));
        return d;
    }();
    return db;
}

const DocumentDates dates{"2026-01-02 03:04:05", "2026-02-03 04:05:06", true};

TEST(TextPages, MetricsAndThePageCountTheHeaderAnnounces)
{
    struct Case {
        int pixels_per_inch, page_height, estimate;
        int line_height, lines_per_page, total_pages;
    };
    const Case cases[] = {
        {720, 1750, 10, 100, 10, 2},   // an estimate of exactly N lines announces 2 pages
        {720, 1750, 9, 100, 10, 1},
        {720, 1750, 0, 100, 10, 1},
        {720, 1750, 20, 100, 10, 3},
        {1200, 13600, 50, 166, 74, 1}, // A4 at 1200 dpi, printable height 13600
        {600, 6800, 74, 83, 74, 2},    // integer division: 6000 / 72 = 83
        {720, 500, 5, 100, 3, 2},      // a page too short for text still moves on
    };
    for (const Case& c : cases) {
        TextPages pages({10, c.pixels_per_inch, 5000, c.page_height, 60}, c.estimate);
        EXPECT_EQ(pages.line_height(), c.line_height) << c.pixels_per_inch;
        EXPECT_EQ(pages.lines_per_page(), c.lines_per_page) << c.page_height;
        EXPECT_EQ(pages.total_pages(), c.total_pages) << c.estimate;
    }
}

TEST(TextPages, HeaderOnLineOneOfEveryPageAndBreaksAtLineN)
{
    TextPages pages(test_metrics(), 10);
    for (int i = 1; i <= 17; ++i) pages.plain_line("line " + std::to_string(i));
    const std::vector<std::string> items = rendered(pages);
    ASSERT_EQ(items.size(), 20u);
    EXPECT_EQ(items[0], "1:1 Page 1 of 2");
    EXPECT_EQ(items[1], "1:2 line 1");
    EXPECT_EQ(items[8], "1:9 line 8");
    EXPECT_EQ(items[9], "2:1 Page 2 of 2");
    EXPECT_EQ(items[10], "2:2 line 9");
    EXPECT_EQ(items[17], "2:9 line 16");
    // More pages than announced keep the announced count.
    EXPECT_EQ(items[18], "3:1 Page 3 of 2");
    EXPECT_EQ(items[19], "3:2 line 17");
    EXPECT_EQ(pages.pages_used(), 3);

    // Header right-aligned with 8 characters to spare, text at 5 characters.
    EXPECT_EQ(pages.items()[0], (TextPageItem{1, 5000 - (11 + 8) * 60, 100, "Page 1 of 2", false}));
    EXPECT_EQ(pages.items()[1], (TextPageItem{1, 300, 200, "line 1", false}));
}

TEST(TextPages, HeadingPositionsAndEmptyLines)
{
    TextPages pages(test_metrics(), 1);
    pages.indented_heading("Log File");
    pages.indented_heading("   Indented");
    pages.centred_heading("Method: X");
    pages.centred_heading("  Ab");
    pages.heading(1234, "  From the first non-blank");
    pages.plain_line("");
    pages.indented_heading("");
    pages.plain_line("after two empty lines");
    const std::vector<TextPageItem> expected = {
        {1, 3860, 100, "Page 1 of 1", false},
        {1, 5 * 60, 200, "Log File", true},
        {1, (4 + 4) * 60, 300, "Indented", true},
        {1, (5000 - (9 - 1) * 60) / 2, 400, "Method: X", true},
        {1, (5000 - (4 - 3) * 60) / 2, 500, "Ab", true},
        {1, 1234, 600, "From the first non-blank", true},
        {1, 300, 900, "after two empty lines", false},
    };
    EXPECT_EQ(pages.items(), expected);
}

TEST(DocumentPrints, ValueLinesPadToColumn36)
{
    struct Case {
        std::string text, value, line;
    };
    const Case cases[] = {
        {"    Delay  (m:ss)", "1:30", "    Delay  (m:ss)                   1:30"},
        {"   Injector", "LCVlv1", "   Injector                         LCVlv1"},
        {std::string(36, 'x'), "5", std::string(36, 'x') + "5"},
        {"    A parameter name long enough to overrun", "7", "    A parameter name long enough to overrun7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(value_line(c.text, c.value), c.line);
        EXPECT_EQ(value_line(c.text, c.value).size(), std::max<std::size_t>(c.text.size(), 36) + c.value.size());
    }
}

TEST(DocumentPrints, ParameterNamesAndUnitsOfMacroLines)
{
    struct Case {
        std::string line, name, unit;
    };
    const Case cases[] = {
        {"Delay (s);2;0;600", "Delay", "s"},
        {"Speed (\xB5l/s);SYR.Inject Speed;0.1;SYR.Max Speed", "Speed", "\xB5l/s"},
        {"Strokes ();3;1;99", "Strokes", ""},
        {"Injector;INJECTOR", "Injector", ""},
        {"Station;WASH_STATION;TRAY", "Station", ""},
        {"Odd;1;2;3", "Odd", ""},
    };
    for (const Case& c : cases) {
        std::string name, unit;
        parameter_name_and_unit(demo_db(), c.line, name, unit);
        EXPECT_EQ(name, c.name) << c.line;
        EXPECT_EQ(unit, c.unit) << c.line;
    }
}

TEST(DocumentPrints, MethodPrintout)
{
    test::TempDir dir;
    const std::string previous = method_folder();
    set_method_folder(dir.path().string());
    write_file_atomically(dir.file("Inject Sample.kma"),
                          "//Injects.\r\nInjector;INJECTOR\r\nSignal;OUT_SIGNAL\r\n"
                          "Speed (\xB5l/s);SYR.Inject Speed;0.1;SYR.Max Speed\r\nDelay (s);2;0;600\r\n"
                          "A parameter name long enough to overrun ();1;0;10\r\nVALVE(Injector,Load,)\r\n");
    const std::vector<std::string> method = {
        "//Line one",
        "syringe:Syr10ul",
        "Inject Sample(LCVlv1,Inject1,2,90,3,9)",
        "[MACRO Inject Sample]",
        "Never printed(1)",
    };
    EXPECT_EQ(method_print_estimate(method), 6 + 1 + 3 + 2 + 6);
    const TextPages pages = method_pages(test_metrics(), demo_db(), program_method_folder(), "Demo", method, dates);
    set_method_folder(previous);
    const std::vector<std::string> expected = {
        "1:1 Page 1 of 2",
        "1:2 *Method: Demo",
        "1:4 Created      2026-01-02 03:04:05",
        "1:5 Last changed 2026-02-03 04:05:06",
        "1:7 *Method Description:",
        "1:9 Line one",
        "2:1 Page 2 of 2",
        "2:3 *Syringe: Syr10ul",
        "2:5 *Inject Sample",
        "2:6     Injector                        LCVlv1",
        "2:7     Signal                          Inject1",
        "2:8     Speed  (\xB5l/s)                   2",
        "2:9     Delay  (m:ss)                   1:30",
        "3:1 Page 3 of 2",
        "3:2     A parameter name long enough to overrun3",
        // More values than the macro has parameters: no name.
        "3:3 " + std::string(36, ' ') + "9",
    };
    EXPECT_EQ(rendered(pages), expected);
    EXPECT_EQ(pages.items()[1].x, (5000 - (12 - 1) * 60) / 2);
}

TEST(DocumentPrints, MacroPrintoutOfTheDemoMacro)
{
    std::vector<std::string> lines;
    ASSERT_TRUE(read_text_lines(demo_folder() + "/Inject Sample.kma", lines));
    EXPECT_EQ(macro_print_estimate(lines), 10 + 2 + 4 + 4 + 7 + 4);
    const TextPages pages = macro_pages(test_metrics(), demo_db(), "Inject Sample", lines, unsaved_dates());
    const std::vector<std::string> expected = {
        "1:1 Page 1 of 4",
        "1:2 *Macro: Inject Sample",
        "1:4 Created      not saved",
        "1:5 Last changed not saved",
        "1:7 *Macro Description:",
        "1:9 Moves to the injector, injects the syringe content and switches",
        "2:1 Page 2 of 4",
        "2:2 the valve to inject; Signal marks the injection for the detector.",
        "2:4 *Parameters:",
        "2:6 Injector;INJECTOR",
        "2:7 Signal;OUT_SIGNAL",
        "2:8 Speed (\xB5l/s);5;0.1;SYR.Max Speed",
        "2:9 Delay (s);2;0;600",
        "3:1 Page 3 of 4",
        "3:3 *VALVE",
        "3:4    Injector                         Injector",
        "3:5    Position                         Load",
        "3:7 *INJECT",
        "3:8    Injector                         Injector",
        "3:9    Inject Speed                     Speed",
        "4:1 Page 4 of 4",
        "4:2    Pre Inject Delay                 0",
        "4:3    Post Inject Delay                Delay",
        "4:4    Signal                           Signal",
        "4:6 *VALVE",
        "4:7    Injector                         Injector",
        "4:8    Position                         Inject",
    };
    EXPECT_EQ(rendered(pages), expected);
}

TEST(DocumentPrints, LogPrintoutAndSelectedLines)
{
    const std::vector<std::string> log = {"a : 0", "b : 1", "c : 2", "d : 3"};
    const TextPages pages = log_pages(test_metrics(), log, 1, 2);
    EXPECT_EQ(pages.total_pages(), 1);  // estimate 2 - 1 + 2 = 3
    const std::vector<std::string> expected = {"1:1 Page 1 of 1", "1:2 *Log File", "1:3 b : 1", "1:4 c : 2"};
    EXPECT_EQ(rendered(pages), expected);
    // A range past the end is cut to the lines there are.
    EXPECT_EQ(rendered(log_pages(test_metrics(), log, 3, 99)).back(), "1:3 d : 3");

    const std::string text = "first\nsecond\nthird";
    struct Case {
        std::size_t start, length;
        LineRange lines;
    };
    const Case cases[] = {
        {1, 2, {0, 0}},    // within one line: that line alone
        {7, 3, {1, 1}},
        {2, 4, {0, 1}},    // ends just after the line break: the next line too
        {2, 3, {0, 0}},    // ends on the line break itself
        {5, 1, {0, 1}},    // the line break alone
        {0, 18, {0, 2}},   // everything
        {13, 0, {2, 2}},
    };
    for (const Case& c : cases) EXPECT_EQ(selected_lines(text, c.start, c.length), c.lines) << c.start << "+" << c.length;
}

TEST(DocumentPrints, SampleListHeaderCodes)
{
    EXPECT_EQ(sample_list_print_header("Run 7", dates),
              "/fn\"Courier New\"/fz\"10\"/r/p/cSample List: Run 7/nCreated      2026-01-02 03:04:05"
              "/nLast changed 2026-02-03 04:05:06/n");
}

}  // namespace
}  // namespace kelvo
