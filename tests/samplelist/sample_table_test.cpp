// The sample table: fixed columns, cell rules, the editing operations with
// their MaxRows bookkeeping and edit check, the clipboard format, statuses.
#include "samplelist/sample_table.h"
#include "sample_list_support.h"

namespace kelvo::samplelist_test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Records what the grid would be told.
class RecordingObserver : public TableObserver {
public:
    void table_reset() override { events.push_back("reset"); }
    void rows_inserted(int row, int count) override { events.push_back("insert " + std::to_string(row) + "+" + std::to_string(count)); }
    void rows_removed(int row, int count) override { events.push_back("remove " + std::to_string(row) + "+" + std::to_string(count)); }
    void rows_changed(int row1, int row2) override { events.push_back("change " + std::to_string(row1) + ".." + std::to_string(row2)); }
    void activate(int col, int row) override { events.push_back("activate " + std::to_string(col) + "," + std::to_string(row)); }
    std::vector<std::string> events;
};

class SampleTableTest : public SampleListFixture {
protected:
    void SetUp() override
    {
        SampleListFixture::SetUp();
        table().set_observer(&observer);
    }
    SampleTable& table() { return document.table(); }
    // Row r as "c2|c3|...|c10".
    std::string row(int r)
    {
        std::string s;
        for (int c = 2; c <= table().cols(); ++c) s += table().cell(c, r) + (c < table().cols() ? "|" : "");
        return s;
    }
    // Three rows whose Method cells are A, B, C.
    void three_rows()
    {
        for (const char* m : {"A", "B", "C"}) add_row({m, "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"});
        observer.events.clear();
    }
    std::string methods()
    {
        std::string s;
        for (int r = 1; r <= table().rows(); ++r) s += table().cell(column_no::method, r).empty() ? "_" : table().cell(column_no::method, r);
        return s;
    }
    static TableSelection active(int col, int row) { return {col, row, false, 0, 0, 0, 0}; }
    static TableSelection block(int col1, int col2, int row1, int row2) { return {1, 1, true, col1, col2, row1, row2}; }
    void running_at(int row) { table().set_run_position({true, row}); }

    RecordingObserver observer;
};

TEST_F(SampleTableTest, TheFixedColumnsHaveTheirHeadingsKindsAndDefaults)
{
    struct Expected {
        const char* heading;
        ColumnKind kind;
        const char* default_text;
        int length;
    };
    const Expected expected[] = {
        {"Status", ColumnKind::status, "", 12},           {"Method", ColumnKind::choice, "Standard Injection", 0},
        {"Volume", ColumnKind::text, "1.0", 10},          {"Tray", ColumnKind::choice, "Tray1", 0},
        {"Injector", ColumnKind::choice, "LCVlv1", 0},    {"Volume 2", ColumnKind::text, "1.0", 10},
        {"Tray 2", ColumnKind::choice, "Tray1", 0},       {"Injector 2", ColumnKind::choice, "LCVlv1", 0},
        {"Vial", ColumnKind::text, "1", 4},               {"Inj/Vial", ColumnKind::text, "1", 4},
    };
    const ColumnTable& columns = document.columns();
    ASSERT_EQ(columns.count(), 10);
    for (int col = 1; col <= 10; ++col) {
        const Expected& e = expected[col - 1];
        const SampleColumn& c = columns.column(col);
        EXPECT_EQ(c.heading, e.heading);
        EXPECT_EQ(c.kind, e.kind) << e.heading;
        EXPECT_EQ(c.default_text, e.default_text) << e.heading;
        EXPECT_EQ(c.text_length, e.length) << e.heading;
        EXPECT_TRUE(c.flag_a);
        EXPECT_FALSE(c.editable);
    }
    // Empty program lists leave the choice defaults empty.
    ColumnTable bare;
    bare.build_fixed({});
    EXPECT_EQ(bare.column(column_no::tray).default_text, "");
    // The table holds 40 columns at most.
    for (int i = 11; i <= 40; ++i) EXPECT_TRUE(bare.add_column({}));
    EXPECT_FALSE(bare.add_column({}));
}

TEST_F(SampleTableTest, CellsHoldWhatTheirKindAllows)
{
    SampleColumn text;
    text.kind = ColumnKind::text;
    text.text_length = 4;
    SampleColumn number;
    number.kind = ColumnKind::numeric;
    number.decimals = 2;
    number.minimum = -5;
    number.maximum = 100;
    SampleColumn choice;
    choice.kind = ColumnKind::choice;
    SampleColumn status;
    status.kind = ColumnKind::status;
    struct Case {
        const SampleColumn* column;
        std::string in, out;
    };
    const Case cases[] = {
        {&text, "abcdef", "ABCD"},      {&text, "\xe9t\xe9", "\xc9T\xc9"}, {&text, "\xb5l", "\xb5L"},
        {&number, "1.5", "1.5"},        {&number, "1.50", "1.5"},          {&number, "2.345", "2.35"},
        {&number, "1000", "100"},       {&number, "-9", "-5"},             {&number, " +3 ", "3"},
        {&number, "x", ""},             {&number, "7.00", "7"},            {&choice, "tray1", "tray1"},
        {&status, "Done", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(normalise_cell(*c.column, c.in), c.out) << c.in;
}

TEST_F(SampleTableTest, AppendingToAnEmptyTableGivesTheDefaultsWithTheVialPlusOne)
{
    ASSERT_TRUE(table().append_line());
    EXPECT_EQ(table().rows(), 1);
    EXPECT_EQ(row(1), "Standard Injection|1.0|Tray1|LCVlv1|1.0|Tray1|LCVlv1|2|1");
    EXPECT_EQ(observer.events, (std::vector<std::string>{"insert 1+1", "activate 2,1"}));
}

TEST_F(SampleTableTest, AppendingCopiesTheLastRowWithItsVialPlusOneAndNoStatus)
{
    struct Case {
        std::string vial, next;
    };
    const Case cases[] = {{"7", "8"}, {"007", "8"}, {"ABC", "1"}, {"", "1"}, {"9999", "1000"}};
    for (const Case& c : cases) {
        table().clear();
        add_row({"Big", "2.5", "Tray2", "LCVlv2", "", "Tray3", "", c.vial, "2"});
        table().set_status(1, RowStatus::done);
        ASSERT_TRUE(table().append_line());
        EXPECT_EQ(row(2), "Big|2.5|Tray2|LCVlv2||Tray3||" + c.next + "|2") << c.vial;
        EXPECT_EQ(table().cell(column_no::status, 2), "");
        EXPECT_EQ(table().cell(column_no::status, 1), "Done");
    }
    // Appending is not refused by a running list.
    running_at(5);
    EXPECT_TRUE(table().append_line());
    EXPECT_TRUE(shown().empty());
}

TEST_F(SampleTableTest, InsertPutsANewRowAtTheCurrentRowWithHiddenDefaults)
{
    three_rows();
    document.columns().column(column_no::volume).hidden = true;
    ASSERT_TRUE(table().insert_line(active(4, 2)));
    EXPECT_EQ(methods(), "A_BC");
    EXPECT_EQ(row(2), "|1.0|||||||");
    EXPECT_EQ(observer.events, (std::vector<std::string>{"insert 2+1"}));
    // The current row: the first row of a block (1 for whole columns), else
    // the active row (1 without one).
    ASSERT_TRUE(table().insert_line(block(2, 3, 4, 5)));
    EXPECT_EQ(methods(), "A_B_C");
    ASSERT_TRUE(table().insert_line(block(2, 2, -1, -1)));
    EXPECT_EQ(methods(), "_A_B_C");
    ASSERT_TRUE(table().insert_line(active(0, 0)));
    EXPECT_EQ(methods(), "__A_B_C");
}

TEST_F(SampleTableTest, TheEditCheckRefusesRowsAtOrAboveTheRunningRow)
{
    three_rows();
    running_at(2);
    const std::string refused = "error: You may not edit lines above the running line!";
    struct Case {
        const char* what;
        bool (*run)(SampleTable&, const TableSelection&);
    };
    const Case operations[] = {
        {"insert", [](SampleTable& t, const TableSelection& s) { return t.insert_line(s); }},
        {"delete", [](SampleTable& t, const TableSelection& s) { return t.delete_line(s); }},
        {"paste", [](SampleTable& t, const TableSelection& s) { return t.paste(s, "X\r\n"); }},
        {"cut", [](SampleTable& t, const TableSelection& s) {
             std::string clip = "kept";
             const bool ok = t.cut(s, clip);
             return ok || clip != "kept";
         }},
        {"vials", [](SampleTable& t, const TableSelection& s) { return t.add_vial_rows({1}, "Tray1", true, s, {}); }},
    };
    for (const Case& op : operations) {
        for (int current : {1, 2}) {
            prompts.shown.clear();
            EXPECT_FALSE(op.run(table(), active(2, current))) << op.what << current;
            EXPECT_EQ(shown(), std::vector<std::string>{refused}) << op.what;
            EXPECT_EQ(methods(), "ABC") << op.what;
        }
    }
    // Below the running row editing goes on; typing is never checked.
    EXPECT_TRUE(table().insert_line(active(2, 3)));
    EXPECT_TRUE(table().edit_cell(column_no::method, 1, "Z"));
    EXPECT_EQ(methods(), "ZB_C");
}

TEST_F(SampleTableTest, DeleteTakesTheBlockAllRowsOrTheActiveRow)
{
    struct Case {
        const char* what;
        TableSelection selection;
        std::string left;
        const char* event;
    };
    const Case cases[] = {
        {"active row", active(3, 2), "AC", "remove 2+1"},
        {"block", block(2, 4, 2, 3), "A", "remove 2+2"},
        {"reversed block", block(2, 4, 3, 2), "A", "remove 2+2"},
        {"whole rows", block(-1, -1, 1, 2), "C", "remove 1+2"},
        {"all rows", block(-1, -1, -1, -1), "", "reset"},
        {"whole columns", block(3, 3, -1, -1), "", "reset"},
        {"no active cell", active(0, 0), "ABC", nullptr},
    };
    for (const Case& c : cases) {
        table().clear();
        three_rows();
        table().delete_line(c.selection);
        EXPECT_EQ(methods(), c.left) << c.what;
        EXPECT_EQ(table().rows(), static_cast<int>(c.left.size())) << c.what;
        if (c.event) EXPECT_EQ(observer.events, std::vector<std::string>{c.event}) << c.what;
        else EXPECT_TRUE(observer.events.empty()) << c.what;
    }
    table().clear();
    EXPECT_FALSE(table().delete_line(active(1, 1)));
}

TEST_F(SampleTableTest, CopyWritesTabsBetweenCellsAndCrLfAfterEachRow)
{
    add_row({"M1", "1.0", "Tray1", "LCVlv1", "2.0", "", "", "3", "1"});
    add_row({"M2", "1.5", "Tray2", "LCVlv2", "", "Tray3", "LCVlv1", "4", "2"});
    table().set_status(1, RowStatus::done);
    struct Case {
        const char* what;
        TableSelection selection;
        std::string text;
    };
    const Case cases[] = {
        {"active cell", active(3, 2), "1.5\r\n"},
        {"block", block(2, 3, 1, 2), "M1\t1.0\r\nM2\t1.5\r\n"},
        {"whole row", block(-1, -1, 2, 2), "\tM2\t1.5\tTray2\tLCVlv2\t\tTray3\tLCVlv1\t4\t2\r\n"},
        {"whole column", block(9, 10, -1, -1), "3\t1\r\n4\t2\r\n"},
        {"status column", block(1, 1, -1, -1), "Done\r\n\r\n"},
        {"nothing", active(0, 0), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(table().copy(c.selection), c.text) << c.what;
}

TEST_F(SampleTableTest, PasteFillsRowsFromTheCurrentCell)
{
    struct Case {
        const char* what;
        TableSelection selection;
        std::string clipboard;
        std::vector<std::string> rows;  // rows 1.. as "c2|c3|..."
    };
    const std::string abc = "A|1.0|Tray1|LCVlv1|1.0|||1|1";
    const Case cases[] = {
        {"one cell", active(3, 2), "2.5\r\n", {abc, "B|2.5|Tray1|LCVlv1|1.0|||1|1", "C|1.0|Tray1|LCVlv1|1.0|||1|1"}},
        {"a block of text", active(9, 1), "5\t3\t99\r\n6\t2\r\n",
         {"A|1.0|Tray1|LCVlv1|1.0|||5|3", "B|1.0|Tray1|LCVlv1|1.0|||6|2", "C|1.0|Tray1|LCVlv1|1.0|||1|1"}},
        {"past the last row", active(2, 3), "X\r\nY\r\nZ\r\n", {abc, "B|1.0|Tray1|LCVlv1|1.0|||1|1", "X|1.0|Tray1|LCVlv1|1.0|||1|1"}},
        {"lines ended by CR or LF alone", active(2, 1), "P\rQ\nR", {"P|1.0|Tray1|LCVlv1|1.0|||1|1", "Q|1.0|Tray1|LCVlv1|1.0|||1|1", "R|1.0|Tray1|LCVlv1|1.0|||1|1"}},
        {"first column of a block", block(4, 5, 2, 2), "Tray9\r\n", {abc, "B|1.0|Tray9|LCVlv1|1.0|||1|1", "C|1.0|Tray1|LCVlv1|1.0|||1|1"}},
        {"text cells in capitals, cut", active(3, 1), "abcdefghijklm\r\n", {"A|ABCDEFGHIJ|Tray1|LCVlv1|1.0|||1|1", "B|1.0|Tray1|LCVlv1|1.0|||1|1", "C|1.0|Tray1|LCVlv1|1.0|||1|1"}},
        {"whole columns", block(9, 10, -1, -1), "42\t7\r\n8\r\n",
         {"A|1.0|Tray1|LCVlv1|1.0|||42|1", "B|1.0|Tray1|LCVlv1|1.0|||42|1", "C|1.0|Tray1|LCVlv1|1.0|||42|1"}},
        {"whole rows insert one row per line end", block(-1, -1, 2, 2), "\tX\t2.0\r\n\tY\r\n",
         {abc, "X|2.0|||||||", "Y||||||||", "B|1.0|Tray1|LCVlv1|1.0|||1|1", "C|1.0|Tray1|LCVlv1|1.0|||1|1"}},
    };
    for (const Case& c : cases) {
        table().clear();
        for (const char* m : {"A", "B", "C"}) add_row({m, "1.0", "Tray1", "LCVlv1", "1.0", "", "", "1", "1"});
        EXPECT_TRUE(table().paste(c.selection, c.clipboard)) << c.what;
        ASSERT_EQ(table().rows(), static_cast<int>(c.rows.size())) << c.what;
        for (int r = 1; r <= table().rows(); ++r) EXPECT_EQ(row(r), c.rows[static_cast<std::size_t>(r - 1)]) << c.what << " row " << r;
    }
    EXPECT_TRUE(shown().empty());
}

TEST_F(SampleTableTest, CopiedRowsPasteBackWhole)
{
    document.columns().column(column_no::volume2).hidden = true;
    add_row({"M1", "1.0", "Tray1", "LCVlv1", "2.0", "Tray2", "", "3", "1"});
    add_row({"M2", "1.5", "Tray2", "LCVlv2", "9.9", "Tray3", "LCVlv1", "4", "2"});
    std::string clip;
    ASSERT_TRUE(table().cut(block(-1, -1, 1, 2), clip));
    EXPECT_EQ(table().rows(), 0);
    ASSERT_TRUE(table().paste(block(-1, -1, 1, 1), clip));
    ASSERT_EQ(table().rows(), 2);
    EXPECT_EQ(row(1), "M1|1.0|Tray1|LCVlv1|2.0|Tray2||3|1");
    EXPECT_EQ(row(2), "M2|1.5|Tray2|LCVlv2|9.9|Tray3|LCVlv1|4|2");
}

TEST_F(SampleTableTest, ASemicolonOrTabIsRefusedWhereItEntersAndNothingIsLost)
{
    three_rows();
    const std::string refused = "error: A sample list cell cannot hold \";\" or a tab";
    EXPECT_FALSE(table().paste(active(2, 1), "X;Y\r\n"));
    EXPECT_FALSE(table().paste(block(-1, -1, 1, 1), "\tA\r\n\tB;C\r\n"));
    EXPECT_FALSE(table().edit_cell(column_no::volume, 1, "1;2"));
    EXPECT_FALSE(table().edit_cell(column_no::volume, 1, "1\t2"));
    EXPECT_EQ(shown(), (std::vector<std::string>{refused, refused, refused, refused}));
    EXPECT_EQ(methods(), "ABC");
    EXPECT_EQ(row(1), "A|1.0|Tray1|LCVlv1|1.0|||1|1");
    // The grid is told to show the cell as it stays.
    EXPECT_EQ(observer.events, (std::vector<std::string>{"change 1..1", "change 1..1"}));
}

TEST_F(SampleTableTest, ChoosingNoneEmptiesAComboCellOnly)
{
    three_rows();
    EXPECT_TRUE(table().edit_cell(column_no::tray2, 1, "nONe"));
    EXPECT_EQ(table().cell(column_no::tray2, 1), "");
    EXPECT_TRUE(table().edit_cell(column_no::tray, 1, "None"));
    EXPECT_EQ(table().cell(column_no::tray, 1), "");
    EXPECT_TRUE(table().edit_cell(column_no::volume, 1, "none"));
    EXPECT_EQ(table().cell(column_no::volume, 1), "NONE");
}

TEST_F(SampleTableTest, VialRowsTakeTheSheetValuesTheTrayAndTheirVials)
{
    three_rows();
    document.columns().column(column_no::injector).hidden = true;
    std::vector<std::string> sheet(10, "");
    sheet[column_no::method - 1] = "Big";
    sheet[column_no::volume - 1] = "2.0";
    sheet[column_no::injector - 1] = "LCVlv2";  // hidden: the default instead
    sheet[column_no::inj_per_vial - 1] = "3";
    ASSERT_TRUE(table().add_vial_rows({5, 17}, "Tray4", true, active(2, 2), sheet));
    EXPECT_EQ(methods(), "ABigBigBC");
    EXPECT_EQ(row(2), "Big|2.0|Tray4|LCVlv1||||5|3");
    EXPECT_EQ(row(3), "Big|2.0|Tray4|LCVlv1||||17|3");
    ASSERT_TRUE(table().add_vial_rows({9}, "Tray2", false, active(2, 1), {}));
    EXPECT_EQ(row(6), "Standard Injection|1.0|Tray2|LCVlv1|1.0|Tray1|LCVlv1|9|1");
}

TEST_F(SampleTableTest, StatusChangesAreRepaintedOnce)
{
    three_rows();
    table().set_status(1, RowStatus::done);
    table().set_status(2, RowStatus::running);
    table().set_status(9, RowStatus::stopped);  // outside: ignored
    EXPECT_EQ(table().take_status_repaints(), (std::vector<int>{1, 2}));
    EXPECT_TRUE(table().take_status_repaints().empty());
    EXPECT_EQ(table().cell(column_no::status, 2), "Running");
    table().set_status(2, RowStatus::stopped);
    EXPECT_EQ(table().cell(column_no::status, 2), "Stopped");
    table().clear_statuses();
    EXPECT_EQ(table().take_status_repaints(), (std::vector<int>{1, 2}));
    EXPECT_EQ(table().cell(column_no::status, 1), "");
    // A status moves with its row.
    table().set_status(3, RowStatus::done);
    table().insert_line(active(2, 1));
    EXPECT_EQ(table().status(4), RowStatus::done);
}

TEST_F(SampleTableTest, TheTableHoldsTenThousandRowsAtMost)
{
    Rows rows(max_sample_rows, std::vector<std::string>(10, "1"));
    ASSERT_TRUE(table().assign(rows));
    const std::string full = "error: A sample list holds at most 10000 rows";
    EXPECT_FALSE(table().append_line());
    EXPECT_FALSE(table().insert_line(active(2, 5)));
    EXPECT_FALSE(table().paste(block(-1, -1, 1, 1), "X\r\n"));
    EXPECT_FALSE(table().add_vial_rows({1}, "Tray1", false, active(2, 1), {}));
    EXPECT_EQ(shown(), (std::vector<std::string>(4, full)));
    EXPECT_EQ(table().rows(), max_sample_rows);
    rows.push_back(rows.back());
    EXPECT_FALSE(table().assign(rows));
    EXPECT_EQ(table().rows(), max_sample_rows);
}

}  // namespace
}  // namespace kelvo::samplelist_test
