// Sample list files and export: the formats byte for byte, load with the
// header check, save, save as, the changed test and its debug line, ask to
// save, selecting, restore at start, export with its dialog rules.
#include "samplelist/sample_list_file.h"
#include "ground/documents.h"
#include "sample_list_support.h"

#include <filesystem>

#include <unistd.h>

namespace kelvo::samplelist_test {
namespace {

class SampleListFileTest : public SampleListFixture {
protected:
    std::string row(int r)
    {
        std::string s;
        for (int c = 2; c <= document.table().cols(); ++c) s += document.table().cell(c, r) + (c < document.table().cols() ? "|" : "");
        return s;
    }
    std::string setting() { return read_setting_text("Sample List", "?"); }
    // A data-system column after the fixed ones.
    void add_sample_name_column()
    {
        SampleColumn c;
        c.heading = "Sample Name";
        c.kind = ColumnKind::text;
        c.text_length = 20;
        document.columns().add_column(c);
    }
};

const std::string two_rows = fixed_header + "\r\n"
                             "Standard Injection;1.0;Tray1;LCVlv1;1.0;;;1;2;\r\n"
                             "Big;5;Tray2;LCVlv2;2.5;Tray3;LCVlv1;2;1;\r\n";

TEST_F(SampleListFileTest, SaveWritesTheHeaderAndEveryCellFollowedByASemicolon)
{
    add_row({"Standard Injection", "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "2"});
    add_row({"Big", "5", "Tray2", "LCVlv2", "2.5", "Tray3", "LCVlv1", "2", "1"});
    document.table().set_status(1, RowStatus::done);
    ASSERT_TRUE(document.save("Demo"));
    EXPECT_EQ(read_list("Demo"), two_rows);
    EXPECT_EQ(hooks.calls, (std::vector<std::string>{"busy on", "busy off", "refill_names"}));
    EXPECT_NE(test::read_file(dir.file("cadenzor.log")).find(" : rewrote sample list Demo\r\n"), std::string::npos);
    // The export: the same lines with tabs.
    ASSERT_TRUE(document.write_export("Demo", SampleListDocument::ExistingFile::refuse));
    EXPECT_EQ(test::read_file(dir.file("Demo.txt")),
              "Method\tVolume\tTray\tInjector\tVolume 2\tTray 2\tInjector 2\tVial\tInj/Vial\t\r\n"
              "Standard Injection\t1.0\tTray1\tLCVlv1\t1.0\t\t\t1\t2\t\r\n"
              "Big\t5\tTray2\tLCVlv2\t2.5\tTray3\tLCVlv1\t2\t1\t\r\n");
}

TEST_F(SampleListFileTest, LoadSplitsFieldsAndFillsMissingOnesEmpty)
{
    struct Case {
        const char* what;
        std::string line;
        std::string row;
    };
    const Case cases[] = {
        {"whole", "Big;5;Tray2;LCVlv2;2.5;Tray3;LCVlv1;2;1;", "Big|5|Tray2|LCVlv2|2.5|Tray3|LCVlv1|2|1"},
        {"sixth and seventh empty", "Big;5;Tray2;LCVlv2;2.5;;;2;1;", "Big|5|Tray2|LCVlv2|2.5|||2|1"},
        {"fewer fields", "Big;5;Tray2", "Big|5|Tray2||||||"},
        {"leading blanks dropped", "  Big;   5 ;Tray2;LCVlv2;2.5;;;2;1;", "Big|5 |Tray2|LCVlv2|2.5|||2|1"},
        {"text cells in capitals", "Big;abc;Tray2;LCVlv2;2.5;;;2;1;", "Big|ABC|Tray2|LCVlv2|2.5|||2|1"},
        {"empty line", "", "||||||||"},
    };
    for (const Case& c : cases) {
        write_list("L", fixed_header + "\r\n" + c.line + "\r\n");
        ASSERT_TRUE(document.load("L")) << c.what;
        ASSERT_EQ(document.table().rows(), 1) << c.what;
        EXPECT_EQ(row(1), c.row) << c.what;
    }
    EXPECT_TRUE(shown().empty());
}

TEST_F(SampleListFileTest, TheHeaderMustMatchTheColumnsApartFromCase)
{
    const std::string wrong = "error: Sample list \"L\" has the wrong columns";
    struct Case {
        const char* what;
        bool extra_column;
        std::string header;
        bool loads;
    };
    const Case cases[] = {
        {"same", false, fixed_header, true},
        {"other case", false, "METHOD;volume;TRAY;Injector;Volume 2;Tray 2;Injector 2;VIAL;Inj/Vial;", true},
        {"file has a data-system column", false, fixed_header + "Sample Name;", false},
        {"columns have a data-system column", true, fixed_header, false},
        {"both have it", true, fixed_header + "sample name;", true},
        {"no final semicolon", false, fixed_header.substr(0, fixed_header.size() - 1), false},
        {"empty file", false, "", false},
    };
    for (const Case& c : cases) {
        document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
        if (c.extra_column) add_sample_name_column();
        document.table().clear();
        add_row({"Big"});
        prompts.shown.clear();
        write_list("L", c.header.empty() ? "" : c.header + "\r\nBig;1;Tray1;LCVlv1;1;;;1;1;\r\n");
        EXPECT_EQ(document.load("L"), c.loads) << c.what;
        EXPECT_EQ(document.table().rows(), c.loads ? 1 : 0) << c.what;
        EXPECT_EQ(shown(), c.loads ? std::vector<std::string>{} : std::vector<std::string>{wrong}) << c.what;
    }
}

TEST_F(SampleListFileTest, LoadIsRefusedWhileRunningAndForMissingOrOverlongFiles)
{
    add_row({"Big"});
    document.table().set_run_position({true, 1});
    write_list("L", two_rows);
    EXPECT_FALSE(document.load("L"));
    document.table().set_run_position({});
    EXPECT_FALSE(document.load("Missing"));
    EXPECT_EQ(document.table().rows(), 1);

    std::string big = fixed_header + "\r\n";
    for (int i = 0; i <= max_sample_rows; ++i) big += "Big;1;Tray1;LCVlv1;1;;;1;1;\r\n";
    write_list("Huge", big);
    EXPECT_FALSE(document.load("Huge"));
    EXPECT_EQ(document.table().rows(), 0);
    ASSERT_EQ(shown().size(), 3u);
    EXPECT_EQ(shown()[0], "error: You may not edit the sample list while it is running!");
    EXPECT_EQ(shown()[1].rfind("error: couldnt read ", 0), 0u);
    EXPECT_EQ(shown()[2], "error: Sample list \"Huge\" has more than 10000 rows, more than a sample list holds");
}

TEST_F(SampleListFileTest, TenThousandRowsWithHiddenColumnsSurviveSaveLoadAndExport)
{
    add_sample_name_column();
    document.columns().column(column_no::volume2).hidden = true;
    document.columns().column(11).hidden = true;
    std::vector<std::vector<std::string>> rows;
    for (int i = 1; i <= max_sample_rows; ++i)
        rows.push_back({"", i % 2 ? "Big" : "standard injection", std::to_string(i % 9) + ".5", "Tray" + std::to_string(1 + i % 2),
                        "LCVlv" + std::to_string(1 + i % 2), "X" + std::to_string(i), "", "", std::to_string(1 + i % 54), "1",
                        "S" + std::to_string(i)});
    ASSERT_TRUE(document.table().assign(rows));
    ASSERT_TRUE(document.save("Long"));
    document.select_name("Long");
    EXPECT_FALSE(document.changed());
    const std::string saved = read_list("Long");
    ASSERT_TRUE(document.write_export("Long", SampleListDocument::ExistingFile::refuse));

    document.table().clear();
    ASSERT_TRUE(document.load("Long"));
    ASSERT_EQ(document.table().rows(), max_sample_rows);
    for (int r : {1, 2, 5000, max_sample_rows})
        for (int c = 2; c <= 11; ++c)
            EXPECT_EQ(document.table().cell(c, r), rows[static_cast<std::size_t>(r - 1)][static_cast<std::size_t>(c - 1)]);
    ASSERT_TRUE(document.save("Long"));
    EXPECT_EQ(read_list("Long"), saved);
    std::string tabs = saved;
    for (char& ch : tabs)
        if (ch == ';') ch = '\t';
    EXPECT_EQ(test::read_file(dir.file("Long.txt")), tabs);
    EXPECT_TRUE(shown().empty());
}

TEST_F(SampleListFileTest, SaveRefusesAFailedValidationASemicolonAndKeepsTheOldFileOnAFailedWrite)
{
    write_list("Demo", two_rows);
    ASSERT_TRUE(document.load("Demo"));
    // Validation first: nothing is written.
    document.table().set_cell(column_no::tray, 1, "Tray9");
    EXPECT_FALSE(document.save("Demo"));
    // Validation comes before the ";" test.
    document.table().set_cell(column_no::tray, 1, "Tray1");
    document.table().set_cell(column_no::method, 2, "Big;x");
    EXPECT_FALSE(document.save("Demo"));
    EXPECT_EQ(read_list("Demo"), two_rows);
    ASSERT_EQ(shown().size(), 2u);
    EXPECT_EQ(shown()[0], "error: In row 1,Tray9is not a tray");
    EXPECT_EQ(shown()[1], "error: In row 2, \"Big;x\" is not a method");

    // A folder that cannot be written: the old file stays and the user is told.
    document.table().set_cell(column_no::method, 2, "Big");
    document.table().set_cell(column_no::volume, 2, "7");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    const bool saved = document.save("Demo");
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    if (::geteuid() != 0) {
        EXPECT_FALSE(saved);
        EXPECT_EQ(read_list("Demo"), two_rows);
        EXPECT_EQ(shown().back().rfind("error: couldnt write ", 0), 0u);
        EXPECT_TRUE(document.changed());
    }
}

TEST_F(SampleListFileTest, AWriteProtectedListIsNotReplaced)
{
    write_list("Demo", two_rows);
    ASSERT_TRUE(document.load("Demo"));
    document.table().set_cell(column_no::volume, 2, "7");
    const std::filesystem::path file = dir.path() / "Demo.ksl";
    std::filesystem::permissions(file, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                           std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(document.save("Demo"));
    EXPECT_EQ(read_list("Demo"), two_rows);
    EXPECT_EQ(shown().back(), "error: Sample list Demo is read only");
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::owner_write,
              std::filesystem::perms::none);
}

TEST_F(SampleListFileTest, ACellWithASemicolonCannotBeSaved)
{
    add_row({"Standard Injection", "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "2"});
    SampleColumn note;
    note.heading = "Note";
    note.kind = ColumnKind::choice;
    document.columns().add_column(note);
    document.table().set_cell(11, 1, "a;b");
    EXPECT_FALSE(document.save("Demo"));
    EXPECT_EQ(shown(), std::vector<std::string>{"error: In row 1 the column \"Note\" holds \";\": the list cannot be saved"});
    EXPECT_FALSE(std::filesystem::exists(dir.file("Demo.ksl")));
    document.table().set_cell(11, 1, "a\tb");
    EXPECT_FALSE(document.write_export("Demo", SampleListDocument::ExistingFile::overwrite));
    EXPECT_EQ(shown().back(), "error: In row 1 the column \"Note\" holds a tab: the list cannot be exported");
}

TEST_F(SampleListFileTest, TheChangedTestComparesEveryLineAndWritesTheFirstDifference)
{
    document.select_name("Demo");
    EXPECT_FALSE(document.changed());  // no file, no rows
    add_row({"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    EXPECT_TRUE(document.changed());  // no file, rows
    write_list("Demo", two_rows);
    ASSERT_TRUE(document.load("Demo"));
    EXPECT_FALSE(document.changed());
    document.table().set_cell(column_no::method, 1, "STANDARD INJECTION");
    EXPECT_FALSE(document.changed());  // case does not count
    debug.clear();
    document.table().set_cell(column_no::vial, 2, "3");
    EXPECT_TRUE(document.changed());
    EXPECT_EQ(debug, std::vector<std::string>{"Big;5;Tray2;LCVlv2;2.5;Tray3;LCVlv1;3;1; vs Big;5;Tray2;LCVlv2;2.5;Tray3;LCVlv1;2;1;"});
    document.table().set_cell(column_no::vial, 2, "2");
    document.table().append_line();
    EXPECT_TRUE(document.changed());  // one line more
    // An empty list with a file counts as changed by its line count only.
    document.table().clear();
    EXPECT_TRUE(document.changed());
    write_list("Demo", fixed_header + "\r\n");
    EXPECT_FALSE(document.changed());
}

TEST_F(SampleListFileTest, AskToSaveAsksOnlyForANamedChangedList)
{
    add_row({"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    document.ask_to_save();  // no name
    EXPECT_TRUE(shown().empty());
    document.select_name("Demo");
    prompts.yes_no_answers = {false, true};
    document.ask_to_save();
    EXPECT_FALSE(std::filesystem::exists(dir.file("Demo.ksl")));
    document.ask_to_save();
    EXPECT_TRUE(std::filesystem::exists(dir.file("Demo.ksl")));
    const std::string question = "question: The sample list \"Demo\" has been changed. Do you wish to save it?";
    EXPECT_EQ(shown(), (std::vector<std::string>{question, question}));
    document.ask_to_save();  // saved: not changed
    EXPECT_EQ(shown().size(), 2u);
}

TEST_F(SampleListFileTest, SaveAsAsksForANameRefusesParenthesesAndConfirmsOverwriting)
{
    add_row({"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    write_list("Old", two_rows);
    document.table().set_status(1, RowStatus::done);
    hooks.names = {std::string("A(1)"), std::string("Old"), std::string("Old")};
    prompts.yes_no_answers = {false, true};
    EXPECT_FALSE(document.save_as());  // No to overwriting
    EXPECT_EQ(read_list("Old"), two_rows);
    EXPECT_TRUE(document.save_as());
    EXPECT_EQ(read_list("Old"), fixed_header + "\r\nBig;1;Tray1;LCVlv1;1;;;1;1;\r\n");
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: Please do not use parentheses in the file name",
                                                 "question: Do you really want to overwrite sample list Old?",
                                                 "question: Do you really want to overwrite sample list Old?"}));
    EXPECT_TRUE(hooks.called("ask_save_name Save Sample list []"));
    EXPECT_TRUE(hooks.called("show_name Old"));
    EXPECT_EQ(document.name(), "Old");
    EXPECT_EQ(setting(), "Old");
    EXPECT_EQ(document.table().status(1), RowStatus::none);
    // Save with an empty name is Save As; cancelling writes nothing.
    EXPECT_FALSE(document.save(""));
}

TEST_F(SampleListFileTest, ADottedNameIsCutAtItsFirstDotEverywhere)
{
    add_row({"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    hooks.names = {std::string("Batch.3.ksl")};
    ASSERT_TRUE(document.save_as());
    EXPECT_TRUE(std::filesystem::exists(dir.file("Batch.ksl")));
    EXPECT_EQ(document.name(), "Batch");
    EXPECT_EQ(setting(), "Batch");
    EXPECT_FALSE(document.changed());
    EXPECT_TRUE(sample_list_exists(program_method_folder(), "Batch.anything"));
    document.table().clear();
    ASSERT_TRUE(document.load("Batch.x"));
    EXPECT_EQ(document.table().rows(), 1);
    EXPECT_TRUE(document.save("batch.y"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("batch.ksl")) && !std::filesystem::equivalent(dir.file("batch.ksl"), dir.file("Batch.ksl")));
    // A separator would lead out of the method folder.
    hooks.names = {std::string("../up"), std::nullopt};
    EXPECT_FALSE(document.save_as());
    EXPECT_EQ(shown().back(), "error: Please do not use \\ or / in the file name");
}

TEST_F(SampleListFileTest, SelectingAListAsksToSaveThenLoadsOrEmpties)
{
    write_list("Demo", two_rows);
    document.select_name("First");
    add_row({"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    document.select_list("Demo");
    EXPECT_EQ(shown(), std::vector<std::string>{"question: The sample list \"First\" has been changed. Do you wish to save it?"});
    EXPECT_EQ(document.name(), "Demo");
    EXPECT_EQ(setting(), "Demo");
    EXPECT_EQ(document.table().rows(), 2);
    document.select_list("Nothing");
    EXPECT_EQ(document.table().rows(), 0);
    EXPECT_EQ(setting(), "Nothing");
    // Not while a list runs.
    document.select_list("Demo");
    document.table().set_run_position({true, 1});
    hooks.calls.clear();
    document.select_list("Other");
    EXPECT_EQ(document.name(), "Demo");
    EXPECT_EQ(document.table().rows(), 2);
    EXPECT_EQ(hooks.calls, std::vector<std::string>{"show_name Demo"});
    EXPECT_EQ(shown().back(), "error: You may not edit the sample list while it is running!");
}

TEST_F(SampleListFileTest, RestoreAtStartLoadsTheListOfTheSetting)
{
    write_list("Demo", two_rows);
    struct Case {
        const char* setting;
        bool page_enabled;
        std::string name;
        int rows;
    };
    const Case cases[] = {{"Demo", true, "Demo", 2}, {"demo", true, "demo", 2}, {"Demo", false, "", 0}, {"Gone", true, "", 0}, {"", true, "", 0}};
    for (const Case& c : cases) {
        document.table().clear();
        write_setting_text("Sample List", c.setting);
        document.restore_at_start(c.page_enabled);
        EXPECT_EQ(document.name(), c.name) << c.setting;
        EXPECT_EQ(setting(), c.name) << c.setting;
        EXPECT_EQ(document.table().rows(), c.rows) << c.setting;
    }
}

TEST_F(SampleListFileTest, ExportAsksForAFileAndLandsInTheMethodFolder)
{
    add_row({"Big", "1", "Tray1", "LCVlv1", "1", "", "", "1", "1"});
    const std::string dialog = "export_dialog Export Sample List | Sample lists(*.txt) | *.txt ";
    document.select_name(new_sample_list_name);
    hooks.files = {std::nullopt};
    EXPECT_FALSE(document.export_list());
    EXPECT_TRUE(hooks.called(dialog + "[]"));

    document.select_name("Batch");
    test::write_file(dir.file("Out.txt"), "old");
    hooks.files = {std::string("/elsewhere/Out(2).txt"), std::string("/elsewhere/Out.v2.csv"), std::string("/x/Out.txt")};
    prompts.yes_no_answers = {false, true};
    EXPECT_FALSE(document.export_list());  // No to overwriting
    EXPECT_EQ(test::read_file(dir.file("Out.txt")), "old");
    EXPECT_TRUE(document.export_list());
    EXPECT_TRUE(hooks.called(dialog + "[Batch]"));
    EXPECT_EQ(test::read_file(dir.file("Out.txt")).substr(0, 7), "Method\t");
    EXPECT_FALSE(std::filesystem::exists("/elsewhere"));
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: Please do not use parentheses in the file name",
                                                 "question: Do you really want to overwrite exported sample list Out?",
                                                 "question: Do you really want to overwrite exported sample list Out?"}));
    // An empty list is neither saved nor exported.
    document.table().clear();
    prompts.shown.clear();
    EXPECT_FALSE(document.export_list());
    EXPECT_FALSE(document.save("Batch"));
    EXPECT_EQ(shown(), (std::vector<std::string>{"error: The list is empty!", "error: The list is empty!"}));
}

}  // namespace
}  // namespace kelvo::samplelist_test
