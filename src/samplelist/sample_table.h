#pragma once
// The sample table: rows of cells over the column table, a status per row
// with the shadow of what the status cell last showed, and every editing
// operation of the Sample List page as an operation on the table (so the
// grid only shows it). At most 10000 rows; nothing is written outside the
// table. A refused operation shows its message and changes nothing.
//
// Rows and columns count from 1. Column 1 (Status) holds no text of its
// own: it reads as the text of the row's status.
#include "samplelist/sample_columns.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

class Prompts;

enum class RowStatus : std::uint8_t { none = 0, done = 1, running = 2, stopped = 3 };

// "", "Done", "Running", "Stopped".
const char* status_text(RowStatus status);

inline constexpr int max_sample_rows = 10000;

inline constexpr const char* running_line_text = "You may not edit lines above the running line!";
inline constexpr const char* row_limit_text = "A sample list holds at most 10000 rows";
// A ";" (or a tab) would split the cell in two when the file is read back.
inline constexpr const char* cell_character_text = "A sample list cell cannot hold \";\" or a tab";

// The grid's cursor and selection as the editing operations take them.
// In a block, col1 == -1 stands for whole rows and row1 == -1 for whole
// columns (both for everything). 0 for the active cell means none.
struct TableSelection {
    int active_col = 0, active_row = 0;
    bool block = false;
    int col1 = 0, col2 = 0, row1 = 0, row2 = 0;

    bool whole_rows() const { return block && col1 == -1; }
    bool whole_columns() const { return block && row1 == -1 && col1 != -1; }
    // The block's first row (1 for -1), else the active row (1 for none).
    int current_row() const;
};

// What the grid that shows the table is told. Inserted and changed rows are
// to be shown again whole.
class TableObserver {
public:
    virtual ~TableObserver() = default;
    virtual void table_reset() {}
    virtual void rows_inserted(int row, int count) { (void)row, (void)count; }
    virtual void rows_removed(int row, int count) { (void)row, (void)count; }
    virtual void rows_changed(int row1, int row2) { (void)row1, (void)row2; }
    // The cell becomes the active cell.
    virtual void activate(int col, int row) { (void)col, (void)row; }
};

// Where a sample list run stands (set by the run; row from 1).
struct RunPosition {
    bool running = false;
    int row = 0;
};

class SampleTable {
public:
    // prompts: where the messages of refused operations go (not owned).
    SampleTable(const ColumnTable& columns, Prompts& prompts);
    SampleTable(const SampleTable&) = delete;
    SampleTable& operator=(const SampleTable&) = delete;

    void set_observer(TableObserver* observer);  // nullptr: none

    const ColumnTable& columns() const { return columns_; }
    int rows() const { return static_cast<int>(rows_.size()); }
    int cols() const { return columns_.count(); }

    // A cell as files and the run read it (numeric cells as their value).
    // Cells outside the table read as empty.
    std::string cell(int col, int row) const;
    // Writes the text as the cell holds it (see normalise_cell); outside the
    // table nothing happens.
    void set_cell(int col, int row, const std::string& text);
    // A row of the defaults of every column (Status empty), as formatting
    // leaves it.
    std::vector<std::string> formatted_row() const;

    // --- status ---
    RowStatus status(int row) const;
    void set_status(int row, RowStatus status);
    // Every row back to none.
    void clear_statuses();
    // Rows whose status differs from what their status cell last showed;
    // the shadow is updated, so each change is reported once.
    std::vector<int> take_status_repaints();

    // Asks the grid to make the cell active.
    void request_active(int col, int row) { observer_->activate(col, row); }

    void set_run_position(const RunPosition& position) { run_ = position; }
    const RunPosition& run_position() const { return run_; }
    // While a list runs, rows at or above the running row cannot be edited.
    // False (after the message) when the current row is one of them.
    bool edit_check(int current_row) const;

    // --- whole table ---
    void clear();
    // The rows given as cells of columns 1..N (missing cells empty, Status
    // ignored), each normalised; statuses none. False, and the table left
    // as it is, beyond the row limit.
    bool assign(const std::vector<std::vector<std::string>>& rows);

    // --- editing operations of the page ---
    // "&Insert Line": a new row at the current row, hidden columns holding
    // their defaults and the others empty.
    bool insert_line(const TableSelection& selection);
    // "&Append line": a copy of the last row (Status empty) with Vial + 1,
    // or a row of defaults (Vial + 1) in an empty table; its Method cell
    // becomes active.
    bool append_line();
    // "&Delete line": the selected rows, everything for a block of all rows,
    // or the active row.
    bool delete_line(const TableSelection& selection);
    // Ctrl+C: the selected cells, each followed by a tab, the last of each
    // row by CR LF instead.
    std::string copy(const TableSelection& selection) const;
    // Ctrl+X: copy into clipboard, then delete whole selected rows. False
    // (clipboard untouched) when the edit check refuses.
    bool cut(const TableSelection& selection, std::string& clipboard);
    // Ctrl+V: lines at line ends, cells at tabs, filled from the current
    // cell; whole rows insert a row per line end first; whole columns take
    // the first piece into every row of the first selected column.
    bool paste(const TableSelection& selection, const std::string& clipboard);
    // The user changed a cell: ";" and tabs are refused; "None" (any case)
    // empties a combo cell. False when refused (the cell keeps its text and
    // the grid is told to show it again).
    bool edit_cell(int col, int row, const std::string& text);
    // Rows for vials picked in the vial dialog, inserted at the current row
    // or appended: Tray the tray, Vial the vial, every other column but
    // Status the sheet's value for it (its default when hidden or missing).
    // sheet_values[col - 1] is the default sheet's cell for column col.
    bool add_vial_rows(const std::vector<int>& vials, const std::string& tray, bool insert,
                       const TableSelection& selection, const std::vector<std::string>& sheet_values);

private:
    struct Row {
        std::vector<std::string> cells;  // columns 1..N; [0] (Status) stays empty
        RowStatus status = RowStatus::none;
        RowStatus shown = RowStatus::none;
    };

    bool valid_row(int row) const { return row >= 1 && row <= rows(); }
    bool room_for(int count) const;
    Row new_row(const std::vector<std::string>& cells) const;
    // Hidden columns hold their defaults, the others are empty.
    Row blank_row() const;
    void put(Row& row, int col, const std::string& text) const;
    void insert_rows(int at, std::vector<Row> rows);
    void remove_rows(int first, int last);
    void paste_lines(int col, int row, const std::vector<std::vector<std::string>>& lines);

    const ColumnTable& columns_;
    Prompts& prompts_;
    TableObserver default_observer_;
    TableObserver* observer_;
    std::vector<Row> rows_;
    RunPosition run_;
};

// The clipboard text split into lines (at CR LF, CR or LF; a last line end
// starts no line) and each line into pieces at tabs (a tab that ends the
// line adds no piece). line_ends is set to the number of line ends.
std::vector<std::vector<std::string>> split_clipboard(const std::string& text, int* line_ends = nullptr);

}  // namespace kelvo
