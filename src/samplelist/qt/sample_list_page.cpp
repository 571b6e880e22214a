#include "samplelist/qt/sample_list_page.h"
#include "config/program_context.h"

#include "ground/documents.h"
#include "ground/qt/list_ops.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"
#include "ground/text_utils.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <exception>

namespace kelvo {

namespace {

const QColor cyan(0, 255, 255);

QColor status_colour(RowStatus status)
{
    switch (status) {
    case RowStatus::done: return QColor(0, 255, 0);
    case RowStatus::running: return QColor(255, 255, 0);
    case RowStatus::stopped: return QColor(255, 0, 0);
    case RowStatus::none: break;
    }
    return QColor(255, 255, 255);
}

int cell_type_of(ColumnKind kind)
{
    switch (kind) {
    case ColumnKind::text: return SpreadCellType::edit;
    case ColumnKind::numeric: return SpreadCellType::float_number;
    case ColumnKind::list:
    case ColumnKind::choice: return SpreadCellType::combo_box;
    case ColumnKind::check_box: return SpreadCellType::check_box;
    case ColumnKind::status:
    case ColumnKind::none: break;
    }
    return SpreadCellType::static_text;
}

QPushButton* make_button(const char* name, const char* caption)
{
    auto* b = new QPushButton(caption);
    b->setObjectName(name);
    return b;
}

}  // namespace

SampleListPage::SampleListPage(const ConfigDb& db, QWidget* parent) : QWidget(parent), document_(program_context_with(db))
{
    setObjectName("sample_list_editor");
    sheet = new SpreadGrid(this);
    sheet->setObjectName("sheet");
    insert_line_button = make_button("insert_line_button", "&Insert Line");
    append_line_button = make_button("append_line_button", "&Append line");
    delete_line_button = make_button("delete_line_button", "&Delete line");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert_line_button);
    buttons->addWidget(append_line_button);
    buttons->addWidget(delete_line_button);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addWidget(sheet, 1);

    document_.set_hooks(this);
    document_.table().set_observer(this);

    connect(insert_line_button, &QPushButton::clicked, this, [this] { insert_line_buttonClick(); });
    connect(append_line_button, &QPushButton::clicked, this, [this] { append_line_buttonClick(); });
    connect(delete_line_button, &QPushButton::clicked, this, [this] { delete_line_buttonClick(); });
    connect(sheet, &SpreadGrid::OnKeyUp, this, &SampleListPage::sheetKeyUp);
    connect(sheet, &SpreadGrid::OnLeaveCell, this, &SampleListPage::sheetLeaveCell);
    connect(sheet, &SpreadGrid::OnChange, this, &SampleListPage::sheetChange);
    connect(sheet, &SpreadGrid::OnAdvance, this, &SampleListPage::sheetAdvance);
    connect(sheet, &SpreadGrid::OnMouseDown, this, &SampleListPage::sheetMouseDown);
}

SampleListPage::~SampleListPage()
{
    document_.table().set_observer(nullptr);
    document_.set_hooks(nullptr);
}

void SampleListPage::guarded(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const std::exception& e) {
        qWarning("sample list: %s", e.what());
    }
}

// ---- Set-up

void SampleListPage::adopt_name_box(QComboBox* box)
{
    list_select_box = box;
    connect(box, &QComboBox::activated, this, [this] { list_select_boxChange(); });
}

const std::vector<std::string>& SampleListPage::program_list(ProgramList list) const
{
    switch (list) {
    case ProgramList::trays: return trays_;
    case ProgramList::injectors: return injectors_;
    case ProgramList::methods:
    case ProgramList::none: break;
    }
    return methods_;
}

void SampleListPage::set_program_list(ProgramList list, const std::vector<std::string>& entries)
{
    switch (list) {
    case ProgramList::methods: methods_ = entries; break;
    case ProgramList::trays: trays_ = entries; break;
    case ProgramList::injectors: injectors_ = entries; break;
    case ProgramList::none: return;
    }
    if (!set_up_done_) return;
    const ColumnTable& columns = document_.columns();
    for (int col = 1; col <= columns.count(); ++col)
        if (columns.column(col).kind == ColumnKind::choice && columns.column(col).program_list == list) apply_combo_list(col);
}

void SampleListPage::set_up()
{
    if (!set_up_done_) {
        const auto first = [](const std::vector<std::string>& v) { return v.empty() ? std::string() : v.front(); };
        document_.columns().build_fixed({first(methods_), first(trays_), first(injectors_)});
        if (prepare_columns) prepare_columns(document_.columns());
        set_up_done_ = true;
    }
    refresh_columns();
}

void SampleListPage::refresh_columns()
{
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    font.setBold(false);
    sheet->setFont(font);
    sheet->set_button_draw_mode(1);
    sheet->set_process_tab(true);
    sheet->set_back_color_style(1);
    sheet->set_edit_enter_action(SpreadEnterAction::next_row);
    sheet->set_auto_clipboard(false);
    sheet->set_max_rows(0);
    sheet->set_max_cols(document_.columns().count());
    format_columns();
    table_reset();
}

void SampleListPage::apply_combo_list(int col) { apply_combo_list(*sheet, col, col); }

void SampleListPage::apply_combo_list(SpreadGrid& grid, int grid_col, int col)
{
    const SampleColumn& c = document_.columns().column(col);
    const std::vector<std::string> entries =
        c.kind == ColumnKind::list ? document_.columns().items_of(col) : program_list(c.program_list);
    QString items;
    for (const std::string& e : entries) items += to_qstring(e) + '\t';
    items += "None";
    grid.set_block_mode(false);
    grid.set_col(grid_col);
    grid.set_row(-1);
    grid.set_type_combo_box_list(items);
    grid.set_type_combo_box_editable(c.editable);
}

// The column's heading, cell type, width and visibility, for all rows of the
// grid column, present and future.
void SampleListPage::format_column(SpreadGrid& grid, int grid_col, int col)
{
    const SampleColumn& c = document_.columns().column(col);
    grid.set_block_mode(false);
    grid.set_col(grid_col);
    grid.set_row(0);
    grid.set_text(to_qstring(c.heading));
    grid.set_row(-1);
    grid.set_cell_type(cell_type_of(c.kind));
    grid.set_type_h_align(SpreadHAlign::left);
    switch (c.kind) {
    case ColumnKind::text:
        grid.set_type_edit_char_case(SpreadCharCase::upper);
        grid.set_type_edit_len(c.text_length);
        break;
    case ColumnKind::numeric:
        grid.set_type_float_decimal_places(c.decimals);
        grid.set_type_float_min(c.minimum);
        grid.set_type_float_max(c.maximum);
        grid.set_type_float_separator(false);
        grid.set_type_float_decimal_char('.');
        break;
    case ColumnKind::check_box: grid.set_type_check_text(QString()); break;
    case ColumnKind::list:
    case ColumnKind::choice: apply_combo_list(grid, grid_col, col); break;
    case ColumnKind::status:
    case ColumnKind::none: break;
    }
    grid.set_col_width(grid_col, c.width);
    grid.set_col(grid_col);
    grid.set_col_hidden(c.hidden);
}

void SampleListPage::format_columns()
{
    for (int col = 1; col <= document_.columns().count(); ++col) format_column(*sheet, col, col);
}

// ---- The vial dialog's default sheet

std::vector<int> SampleListPage::default_sheet_columns() const
{
    std::vector<int> cols;
    for (int col = 1; col <= document_.columns().count(); ++col)
        if (col != column_no::status && col != column_no::tray && col != column_no::vial) cols.push_back(col);
    return cols;
}

void SampleListPage::set_up_default_sheet(SpreadGrid& grid)
{
    if (!set_up_done_) return;
    // A column keeps what the sheet showed for it; a new one shows its default.
    const std::vector<std::string> old = grid.max_rows() >= 1 ? default_sheet_values(grid) : std::vector<std::string>();
    const std::vector<int> cols = default_sheet_columns();
    grid.set_auto_clipboard(false);
    grid.set_process_tab(true);
    grid.set_max_cols(static_cast<int>(cols.size()));
    grid.set_max_rows(1);
    for (std::size_t i = 0; i < cols.size(); ++i) {
        const int col = cols[i];
        const int grid_col = static_cast<int>(i) + 1;
        format_column(grid, grid_col, col);
        const auto k = static_cast<std::size_t>(col - 1);
        const std::string value = k < old.size() && !old[k].empty() ? old[k] : document_.columns().column(col).default_text;
        grid.set_col(grid_col);
        grid.set_row(1);
        grid.set_value(to_qstring(normalise_cell(document_.columns().column(col), value)));
    }
    default_sheet_headings_.clear();
    for (int col : cols) default_sheet_headings_.push_back(document_.columns().column(col).heading);
}

std::vector<std::string> SampleListPage::default_sheet_values(SpreadGrid& grid) const
{
    std::vector<std::string> values(static_cast<std::size_t>(document_.columns().count()));
    // Read by heading, so that values follow their columns when columns change.
    for (int grid_col = 1; grid_col <= grid.max_cols(); ++grid_col) {
        const auto i = static_cast<std::size_t>(grid_col - 1);
        if (i >= default_sheet_headings_.size()) break;
        for (int col = 1; col <= document_.columns().count(); ++col) {
            if (!same_text(document_.columns().column(col).heading, default_sheet_headings_[i])) continue;
            grid.set_block_mode(false);
            grid.set_col(grid_col);
            grid.set_row(1);
            values[static_cast<std::size_t>(col - 1)] = from_qstring(grid.value());
            break;
        }
    }
    return values;
}

std::vector<std::string> SampleListPage::tray_page_values(SpreadGrid& grid) const
{
    std::vector<std::string> values = default_sheet_values(grid);
    const ColumnTable& columns = document_.columns();
    for (int col = 1; col <= columns.count(); ++col)
        if (columns.column(col).hidden) values[static_cast<std::size_t>(col - 1)] = columns.column(col).default_text;
    return values;
}

void SampleListPage::show_default_sheet_values(SpreadGrid& grid, const std::vector<std::string>& values)
{
    const ColumnTable& columns = document_.columns();
    for (std::size_t i = 0; i < default_sheet_headings_.size(); ++i) {
        for (int col = 1; col <= columns.count(); ++col) {
            const auto k = static_cast<std::size_t>(col - 1);
            if (k >= values.size() || !same_text(columns.column(col).heading, default_sheet_headings_[i])) continue;
            grid.set_block_mode(false);
            grid.set_col(static_cast<int>(i) + 1);
            grid.set_row(1);
            grid.set_value(to_qstring(normalise_cell(columns.column(col), values[k])));
            break;
        }
    }
}

void SampleListPage::add_vial_rows(const std::vector<int>& vials, const std::string& tray, bool insert,
                                   SpreadGrid* default_sheet)
{
    guarded([&] {
        const std::vector<std::string> values =
            default_sheet ? default_sheet_values(*default_sheet) : std::vector<std::string>();
        document_.table().add_vial_rows(vials, tray, insert, selection(), values);
    });
}

// ---- Showing the table

void SampleListPage::show_rows(int row1, int row2)
{
    const SampleTable& t = document_.table();
    showing_ = true;
    const bool many = row2 - row1 > 50;
    if (many) sheet->set_redraw(false);
    sheet->set_block_mode(false);
    for (int row = row1; row <= row2; ++row) {
        sheet->set_row(row);
        for (int col = 2; col <= t.cols(); ++col) {
            sheet->set_col(col);
            sheet->set_value(to_qstring(t.cell(col, row)));
        }
        show_status(row);
    }
    if (many) sheet->set_redraw(true);
    showing_ = false;
}

void SampleListPage::show_status(int row)
{
    sheet->set_block_mode(false);
    sheet->set_col(column_no::status);
    sheet->set_row(row);
    sheet->set_text(status_text(document_.table().status(row)));
    paint_cell(column_no::status, row);
}

void SampleListPage::paint_cell(int col, int row)
{
    if (col < 1 || row < 1 || row > sheet->max_rows() || col > sheet->max_cols()) return;
    QColor colour;  // the plain white
    if (col == active_col_ && row == active_row_) colour = cyan;
    else if (col == column_no::status) colour = status_colour(document_.table().status(row));
    sheet->set_block_mode(false);
    sheet->set_col(col);
    sheet->set_row(row);
    sheet->set_back_color(colour);
}

void SampleListPage::repaint_statuses()
{
    for (int row : document_.table().take_status_repaints())
        if (row <= sheet->max_rows()) show_status(row);
}

void SampleListPage::table_reset()
{
    showing_ = true;
    sheet->set_max_rows(0);
    sheet->set_max_rows(document_.table().rows());
    showing_ = false;
    follow_active_cell();
    if (document_.table().rows() > 0) show_rows(1, document_.table().rows());
}

void SampleListPage::rows_inserted(int row, int count)
{
    showing_ = true;
    // The grid keeps its row count on insertion: grow first.
    sheet->set_max_rows(sheet->max_rows() + count);
    sheet->set_block_mode(true);
    sheet->set_row(row);
    sheet->set_row2(row + count - 1);
    sheet->action(SpreadAction::insert_row);
    sheet->set_block_mode(false);
    showing_ = false;
    follow_active_cell();
    show_rows(row, row + count - 1);
}

void SampleListPage::rows_removed(int row, int count)
{
    showing_ = true;
    sheet->set_block_mode(true);
    sheet->set_row(row);
    sheet->set_row2(row + count - 1);
    sheet->action(SpreadAction::delete_row);
    sheet->set_block_mode(false);
    // ... and lower it after deletion.
    sheet->set_max_rows(sheet->max_rows() - count);
    showing_ = false;
    follow_active_cell();
}

// The grid moves its cursor with the rows (and the cyan cell with it).
void SampleListPage::follow_active_cell()
{
    active_col_ = sheet->active_col();
    active_row_ = sheet->active_row();
}

void SampleListPage::rows_changed(int row1, int row2) { show_rows(row1, row2); }

void SampleListPage::activate(int col, int row)
{
    sheet->set_block_mode(false);
    sheet->set_col(col);
    sheet->set_row(row);
    sheet->action(SpreadAction::active_cell);
}

TableSelection SampleListPage::selection() const
{
    TableSelection s;
    s.active_col = sheet->active_col();
    s.active_row = sheet->active_row();
    s.block = sheet->is_block_selected();
    if (s.block) {
        s.col1 = sheet->sel_block_col();
        s.col2 = sheet->sel_block_col2();
        s.row1 = sheet->sel_block_row();
        s.row2 = sheet->sel_block_row2();
    }
    return s;
}

// ---- Handlers

void SampleListPage::insert_line_buttonClick()
{
    guarded([this] { document_.table().insert_line(selection()); });
}

void SampleListPage::append_line_buttonClick()
{
    guarded([this] { document_.table().append_line(); });
}

void SampleListPage::delete_line_buttonClick()
{
    guarded([this] { document_.table().delete_line(selection()); });
}

void SampleListPage::list_select_boxChange()
{
    guarded([this] { document_.select_list(selected_name(list_select_box)); });
}

void SampleListPage::sheetKeyUp(int key, int shift)
{
    if (shift != 2) return;  // Ctrl alone
    switch (key) {
    case Qt::Key_C: copy_selection(); break;
    case Qt::Key_X: cut_selection(); break;
    case Qt::Key_V: paste_clipboard(); break;
    default: break;
    }
}

void SampleListPage::copy_selection()
{
    guarded([this] {
        const std::string text = document_.table().copy(selection());
        if (!text.empty()) QApplication::clipboard()->setText(to_qstring(text));
    });
}

void SampleListPage::cut_selection()
{
    guarded([this] {
        std::string text;
        if (document_.table().cut(selection(), text) && !text.empty())
            QApplication::clipboard()->setText(to_qstring(text));
    });
}

void SampleListPage::paste_clipboard()
{
    guarded([this] {
        const std::string text = from_qstring(QApplication::clipboard()->text());
        sheet->set_redraw(false);
        document_.table().paste(selection(), text);
        sheet->set_redraw(true);
    });
}

void SampleListPage::sheetLeaveCell(int col, int row, int new_col, int new_row)
{
    guarded([&] {
        active_col_ = new_col > 0 ? new_col : 0;
        active_row_ = new_row > 0 ? new_row : 0;
        paint_cell(col, row);
        paint_cell(active_col_, active_row_);
        if (new_row > 0 && new_row != row && open_method && !showing_)
            open_method(document_.table().cell(column_no::method, new_row));
    });
}

void SampleListPage::sheetChange(int col, int row)
{
    if (showing_) return;
    guarded([&] {
        sheet->set_block_mode(false);
        sheet->set_col(col);
        sheet->set_row(row);
        document_.table().edit_cell(col, row, from_qstring(sheet->value()));
    });
}

void SampleListPage::sheetAdvance(bool advance_next)
{
    if (!advance_next) return;
    guarded([this] {
        if (document_.validate()) document_.table().append_line();
    });
}

void SampleListPage::sheetMouseDown(int button, int shift, int x, int y)
{
    (void)button, (void)shift;
    guarded([&] {
        const SpreadCellRef hit = sheet->cell_at(x, y);
        if (hit.col < 0 || hit.row < 0 || (hit.col > 0 && hit.row > 0)) return;
        // A heading selects its row, its column, or (the corner) everything.
        sheet->set_block_mode(false);
        sheet->set_col(hit.col == 0 ? -1 : hit.col);
        sheet->set_col2(hit.col == 0 ? -1 : hit.col);
        sheet->set_row(hit.row == 0 ? -1 : hit.row);
        sheet->set_row2(hit.row == 0 ? -1 : hit.row);
        sheet->action(SpreadAction::select_block);
    });
}

// ---- Hooks

void SampleListPage::show_name(const std::string& name)
{
    if (!list_select_box) return;
    const QSignalBlocker block(list_select_box);
    if (name.empty()) {
        list_select_box->setCurrentIndex(-1);
        return;
    }
    add_name(list_select_box, name);
    select_name(list_select_box, name);
}

void SampleListPage::refill_names()
{
    if (!list_select_box || method_folder().empty()) return;
    refill_keeping_selection(list_select_box, document_path("*", sample_list_extension));
    show_name(document_.name());
}

std::optional<std::string> SampleListPage::choose_export_file(const std::string& folder, const std::string& title,
                                                              const std::string& filter_description,
                                                              const std::string& filter_pattern,
                                                              const std::string& file_name)
{
    (void)filter_pattern;
    if (export_file_dialog) return export_file_dialog(folder, title, filter_description, file_name);
    QFileDialog dialog(this, to_qstring(title), to_qstring(folder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(to_qstring(filter_description));
    dialog.selectFile(to_qstring(file_name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return from_qstring(dialog.selectedFiles().front());
}

void SampleListPage::busy(bool on)
{
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

}  // namespace kelvo
