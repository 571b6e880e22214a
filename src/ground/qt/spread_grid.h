#pragma once
// The spreadsheet grid that shows the sample list, the tray page's default
// sheet and the test-values sheet.
//
// It is driven the way the program drives a spreadsheet control: set a cell
// address (col, row, and with block mode col2, row2), then read or write
// properties of that cell or block. Rows and columns count from 1; row 0 is
// the column headings; -1 stands for every row (or every column). Writes
// outside the table are ignored: the table never grows by itself.
//
// Cells live in SpreadModel (one compact vector per row, shared formats) and
// are painted and edited by SpreadDelegate; no cell owns a widget, so 10000
// rows stay quick.
#include "ground/qt/spread_delegate.h"
#include "ground/qt/spread_format.h"
#include "ground/qt/spread_model.h"
#include "ground/qt/spread_print.h"

#include <QTableView>

#include <optional>
#include <vector>

class QPrinter;

namespace kelvo {

// Action codes.
struct SpreadAction {
    enum : int { active_cell = 0, select_block = 2, delete_row = 5, insert_row = 7, print = 13 };
};

// EditEnterAction codes: where Enter moves the active cell. next_row goes
// down like `down` but raises OnAdvance at the last row.
struct SpreadEnterAction {
    enum : int { none = 0, up = 1, down = 2, left = 3, right = 4, next_row = 5 };
};

// A cell found by the hit test: 0 for the heading row or the row-number
// column, -1 when the point is outside the cells.
struct SpreadCellRef {
    int col = -1;
    int row = -1;
    bool operator==(const SpreadCellRef&) const = default;
};

class SpreadGrid : public QTableView {
    Q_OBJECT
public:
    explicit SpreadGrid(QWidget* parent = nullptr);
    ~SpreadGrid() override;

    using QTableView::edit;  // edit(index) stays public beside the override below

    // Typing into a cell that cannot be edited does nothing; it does not
    // jump to a cell starting with that letter.
    void keyboardSearch(const QString&) override {}

    // ---- Cell address
    void set_col(int col) { col_ = col; }
    int col() const { return col_; }
    void set_row(int row) { row_ = row; }
    int row() const { return row_; }
    void set_col2(int col) { col2_ = col; }
    int col2() const { return col2_; }
    void set_row2(int row) { row2_ = row; }
    int row2() const { return row2_; }
    void set_block_mode(bool on) { block_mode_ = on; }
    bool block_mode() const { return block_mode_; }

    // ---- Content of the addressed cell (writes: of every cell of the block)
    // Text is what the cell shows; for a float cell Value is the unformatted
    // number ("1.5" where Text shows "1.50"), for other cells it is the text.
    QString text() const;
    void set_text(const QString& text);
    QString value() const;
    void set_value(const QString& value);

    // ---- Size. Rows added later start blank with their columns' settings.
    int max_cols() const { return model_->max_cols(); }
    void set_max_cols(int cols);
    int max_rows() const { return model_->max_rows(); }
    void set_max_rows(int rows);
    int data_row_cnt() const { return model_->data_row_count(); }

    // ---- Cursor and selection. No active cell reads as 0; the block bounds
    // are -1 for a selection of whole rows (columns) or whole columns (rows).
    int active_col() const;
    int active_row() const;
    bool is_block_selected() const;
    int sel_block_col() const { return selected_block().col1; }
    int sel_block_col2() const { return selected_block().col2; }
    int sel_block_row() const { return selected_block().row1; }
    int sel_block_row2() const { return selected_block().row2; }

    // 0 makes the addressed cell active; 2 selects Col..Col2 x Row..Row2;
    // 5 deletes rows Row (..Row2 in block mode), leaving blank rows at the
    // end; 7 inserts a row at Row (Row..Row2 in block mode: that many),
    // dropping the rows pushed past the end; 13 prints on the printer given
    // to set_printer. Rows inserted start blank with the columns' settings.
    void action(int code);

    // ---- Cell type and its settings, for the addressed cell or block.
    // Addressing whole columns (row -1) also sets what new rows start with.
    void set_cell_type(int type);
    int cell_type() const { return format().cell_type; }
    void set_type_h_align(int align);
    int type_h_align() const { return format().h_align; }
    void set_type_edit_len(int len);  // 0: no limit
    int type_edit_len() const { return format().edit_len; }
    void set_type_edit_char_case(int char_case);
    int type_edit_char_case() const { return format().edit_char_case; }
    void set_type_float_decimal_places(int places);
    int type_float_decimal_places() const { return format().float_decimals; }
    void set_type_float_min(double min);
    double type_float_min() const { return format().float_min; }
    void set_type_float_max(double max);
    double type_float_max() const { return format().float_max; }
    void set_type_float_decimal_char(int ch);  // a character code, 46 for "."
    int type_float_decimal_char() const { return format().float_decimal_char.unicode(); }
    void set_type_float_separator(bool on);
    bool type_float_separator() const { return format().float_separator; }
    void set_type_combo_box_list(const QString& tab_separated);
    QStringList type_combo_box_items() const { return format().combo_items; }
    void set_type_combo_box_editable(bool on);
    bool type_combo_box_editable() const { return format().combo_editable; }
    void set_type_check_text(const QString& text);
    QString type_check_text() const { return format().check_text; }

    // ---- Look
    // An invalid colour gives the cell back the plain white.
    void set_back_color(const QColor& color);
    QColor back_color() const { return model_->back_color(col_, row_); }
    void set_back_color_style(int style);
    int back_color_style() const { return look_.back_color_style; }
    void set_button_draw_mode(int mode);
    int button_draw_mode() const { return look_.button_draw_mode; }
    // Off suspends drawing and per-cell change announcements while a caller
    // fills many cells; on shows everything at once.
    void set_redraw(bool on);
    bool redraw() const { return redraw_; }

    // ---- Columns. ColHidden works on the addressed column(s); widths are in
    // widths of the digit "0" of the grid's font, so they survive font changes.
    void set_col_hidden(bool hidden);
    bool col_hidden() const;
    double col_width(int col) const;
    void set_col_width(int col, double width);  // col -1: every column
    void set_user_resize_col(bool on);
    bool user_resize_col() const { return user_resize_col_; }

    // ---- Editing
    // Tab and Shift+Tab move between cells (past the last cell: OnAdvance).
    void set_process_tab(bool on);
    bool process_tab() const { return tabKeyNavigation(); }
    void set_edit_enter_action(int enter_action) { enter_action_ = enter_action; }
    int edit_enter_action() const { return enter_action_; }
    // Off leaves Ctrl+C, Ctrl+X and Ctrl+V to the program (it sees them in
    // OnKeyUp); on copies the active cell's text.
    void set_auto_clipboard(bool on) { auto_clipboard_ = on; }
    bool auto_clipboard() const { return auto_clipboard_; }

    // ---- Hit test. Points are in twips (1440 to the logical inch) from the
    // grid's top-left corner, as OnMouseDown reports them.
    SpreadCellRef cell_at(int x_twips, int y_twips) const;
    int to_twips_x(int pixels) const;
    int to_twips_y(int pixels) const;

    // ---- Printing: every row 1..max_rows and every shown column with the
    // heading row, over as many pages as needed. print returns the page count
    // (0 when the printer could not start).
    void set_print_header(const QString& codes) { print_.header = codes; }
    QString print_header() const { return print_.header; }
    void set_print_footer(const QString& codes) { print_.footer = codes; }
    QString print_footer() const { return print_.footer; }
    void set_print_job_name(const QString& name) { print_.job_name = name; }
    void set_print_margin_top(int twips) { print_.margin_top = twips; }
    void set_print_margin_bottom(int twips) { print_.margin_bottom = twips; }
    void set_print_margin_left(int twips) { print_.margin_left = twips; }
    void set_print_margin_right(int twips) { print_.margin_right = twips; }
    void set_print_border(bool on) { print_.border = on; }
    void set_print_col_headers(bool on) { print_.col_headers = on; }
    void set_print_row_headers(bool on) { print_.row_headers = on; }
    void set_print_grid(bool on) { print_.grid = on; }
    void set_print_color(bool on) { print_.color = on; }
    void set_print_shadows(bool on) { print_.shadows = on; }
    void set_printer(QPrinter* printer) { printer_ = printer; }  // not owned
    int print(QPrinter& printer);

signals:
    // The user moved on from the last cell (next) or back from the first.
    void OnAdvance(bool advance_next);
    // The active cell moved; -1 stands for no cell.
    void OnLeaveCell(int col, int row, int new_col, int new_row);
    // shift: 1 Shift, 2 Ctrl, 4 Alt. key: the Qt key code (letters are their
    // upper-case character codes).
    void OnKeyUp(int key, int shift);
    // The user changed the widths of columns col1..col2.
    void OnColWidthChange(int col1, int col2);
    // button: 1 left, 2 right, 4 middle; x, y in twips as cell_at takes them.
    void OnMouseDown(int button, int shift, int x, int y);
    // The user changed a cell.
    void OnChange(int col, int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction cursor_action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The selection as the grid reports it; col1 == 0 when there is none.
    struct Selection {
        int col1 = 0, col2 = 0, row1 = 0, row2 = 0;
    };

    std::optional<SpreadBlock> addressed_block() const;
    const SpreadCellFormat& format() const { return model_->format(col_, row_); }
    void change_format(const std::function<void(SpreadCellFormat&)>& change);
    Selection selected_block() const;
    QModelIndex cell_index(int col, int row) const { return model_->index(row - 1, col - 1); }
    int next_shown_col(int col, int step) const;
    void enter_pressed();
    void apply_width(int col);
    void apply_metrics();
    void section_resized(int logical, int old_size, int new_size);
    void report_width_change();
    double char_width() const;

    SpreadLook look_;  // before the delegate, which reads it
    SpreadModel* model_;
    SpreadDelegate* delegate_;
    SpreadPrintSettings print_;
    QPrinter* printer_ = nullptr;

    int col_ = 1, row_ = 1, col2_ = 1, row2_ = 1;
    bool block_mode_ = false;
    bool redraw_ = true;
    bool user_resize_col_ = true;
    bool auto_clipboard_ = true;
    int enter_action_ = SpreadEnterAction::none;

    std::vector<double> widths_;  // per column, in character units
    bool resizing_ = false;       // our own section resizes are not the user's
    int width_change_first_ = 0;  // columns whose width the user changed
    int width_change_last_ = 0;
};

}  // namespace kelvo
