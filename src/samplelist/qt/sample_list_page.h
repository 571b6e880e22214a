#pragma once
// The Sample List page: the grid `sheet` showing the sample table, the
// buttons "&Insert Line", "&Append line" and "&Delete line", and the
// selector `list_select_box` (the main window's, adopted). The table and
// every rule live in SampleListDocument; the page shows the table, turns the
// grid's events into the document's operations and supplies the dialogs.
#include "samplelist/sample_list_document.h"

#include <QWidget>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

namespace kelvo {

class ConfigDb;
class SpreadGrid;

class SampleListPage : public QWidget, public SampleListHooks, public TableObserver {
    Q_OBJECT
public:
    explicit SampleListPage(const ConfigDb& db, QWidget* parent = nullptr);
    ~SampleListPage() override;

    // --- components (objectName = member name) ---
    SpreadGrid* sheet = nullptr;
    QPushButton* insert_line_button = nullptr;  // "&Insert Line"
    QPushButton* append_line_button = nullptr;  // "&Append line"
    QPushButton* delete_line_button = nullptr;  // "&Delete line"
    QComboBox* list_select_box = nullptr;       // the main window's selector, once adopted

    SampleListDocument& document() { return document_; }
    SampleTable& table() { return document_.table(); }

    // The selector lives in the main window's top row; its choices come here.
    void adopt_name_box(QComboBox* box);
    // The entries of a choice column's program list (method names, tray
    // names, injector names): the combo cells offer them, then "None".
    void set_program_list(ProgramList list, const std::vector<std::string>& entries);
    const std::vector<std::string>& program_list(ProgramList list) const;
    // Builds the fixed columns from the first entries of the program lists
    // (once) and sets up the grid: headings, cell types, widths, visibility.
    void set_up();
    bool set_up_done() const { return set_up_done_; }
    // Sets the grid up again after the columns changed (their kinds, widths,
    // visibility or defaults) and shows every row again.
    void refresh_columns();

    // The vial dialog's default sheet: one row of every column but Status,
    // Tray and Vial, in column order, typed as on the page; a column keeps
    // the value the sheet showed for it, a new one shows its default.
    void set_up_default_sheet(SpreadGrid& grid);
    // The sheet's values by table column ([col - 1]; empty for the others).
    std::vector<std::string> default_sheet_values(SpreadGrid& grid) const;
    // The values the tray page keeps for its columns: a hidden column's
    // default, otherwise the sheet's cell ([col - 1]).
    std::vector<std::string> tray_page_values(SpreadGrid& grid) const;
    // Shows values ([col - 1]) in the sheet's cells of those columns.
    void show_default_sheet_values(SpreadGrid& grid, const std::vector<std::string>& values);
    // "Add rows for selected vials", with the default sheet's values.
    void add_vial_rows(const std::vector<int>& vials, const std::string& tray, bool insert, SpreadGrid* default_sheet);

    // The selection and cursor of the grid as the operations take them.
    TableSelection selection() const;

    // A status changed: the rows whose status cell shows something else are
    // repainted (service-timer tick, status-repaint message).
    void repaint_statuses();

    // Called when the fixed columns have been built, before the grid is set
    // up: the data system's columns and the user's column settings.
    std::function<void(ColumnTable& columns)> prepare_columns;
    // Leaving a row opens the method of the new row (when set).
    std::function<void(const std::string& method)> open_method;
    // Export file dialog; replaceable for tests. Returns the chosen file
    // (Windows-1252), nullopt when cancelled.
    std::function<std::optional<std::string>(const std::string& folder, const std::string& title,
                                             const std::string& filter, const std::string& file_name)>
        export_file_dialog;

    // --- handlers ---
    void insert_line_buttonClick();
    void append_line_buttonClick();
    void delete_line_buttonClick();
    void list_select_boxChange();
    void sheetKeyUp(int key, int shift);
    void sheetLeaveCell(int col, int row, int new_col, int new_row);
    void sheetChange(int col, int row);
    void sheetAdvance(bool advance_next);
    void sheetMouseDown(int button, int shift, int x, int y);
    // Ctrl+C, Ctrl+X, Ctrl+V.
    void copy_selection();
    void cut_selection();
    void paste_clipboard();

    // --- SampleListHooks ---
    void show_name(const std::string& name) override;
    void refill_names() override;
    std::optional<std::string> choose_export_file(const std::string& folder, const std::string& title,
                                                  const std::string& filter_description,
                                                  const std::string& filter_pattern,
                                                  const std::string& file_name) override;
    void busy(bool on) override;

signals:
    // "&Print Sample List": the printing is wired from outside.
    void print_requested();

public:
    // --- TableObserver ---
    void table_reset() override;
    void rows_inserted(int row, int count) override;
    void rows_removed(int row, int count) override;
    void rows_changed(int row1, int row2) override;
    void activate(int col, int row) override;

private:
    void format_columns();
    void format_column(SpreadGrid& grid, int grid_col, int col);
    void apply_combo_list(int col);
    void apply_combo_list(SpreadGrid& grid, int grid_col, int col);
    std::vector<int> default_sheet_columns() const;
    void show_rows(int row1, int row2);
    // The cell's background: cyan when active, the status colour in the
    // Status column, white elsewhere.
    void paint_cell(int col, int row);
    void show_status(int row);
    void follow_active_cell();
    // Runs an operation of the page; nothing may escape an event handler.
    void guarded(const std::function<void()>& operation);

    SampleListDocument document_;
    std::vector<std::string> methods_, trays_, injectors_;
    bool set_up_done_ = false;
    bool showing_ = false;  // the page writes into the grid: no change events
    int active_col_ = 0, active_row_ = 0;
    std::vector<std::string> default_sheet_headings_;  // of the default sheet's columns
};

}  // namespace kelvo
