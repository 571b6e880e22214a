#include "samplelist/sample_table.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace kelvo {

const char* status_text(RowStatus status)
{
    switch (status) {
    case RowStatus::done: return "Done";
    case RowStatus::running: return "Running";
    case RowStatus::stopped: return "Stopped";
    case RowStatus::none: break;
    }
    return "";
}

int TableSelection::current_row() const
{
    if (block) return row1 <= 0 ? 1 : row1;
    return active_row <= 0 ? 1 : active_row;
}

namespace {

bool holds_separator(const std::string& text) { return text.find_first_of(";\t") != std::string::npos; }

bool is_combo(const SampleColumn& c) { return c.kind == ColumnKind::list || c.kind == ColumnKind::choice; }

}  // namespace

std::vector<std::vector<std::string>> split_clipboard(const std::string& text, int* line_ends)
{
    std::vector<std::vector<std::string>> lines;
    int ends = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::vector<std::string> pieces;
        std::size_t p = 0;
        while (true) {
            const std::size_t tab = line.find('\t', p);
            if (tab == std::string::npos) {
                if (p < line.size() || pieces.empty()) pieces.push_back(line.substr(p));
                break;
            }
            pieces.push_back(line.substr(p, tab - p));
            p = tab + 1;
        }
        lines.push_back(std::move(pieces));
        if (end == std::string::npos) break;
        ++ends;
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
    if (line_ends) *line_ends = ends;
    return lines;
}

SampleTable::SampleTable(const ColumnTable& columns, Prompts& prompts)
    : columns_(columns), prompts_(prompts), observer_(&default_observer_)
{
}

void SampleTable::set_observer(TableObserver* observer) { observer_ = observer ? observer : &default_observer_; }

std::string SampleTable::cell(int col, int row) const
{
    if (!valid_row(row) || !columns_.valid(col)) return {};
    const Row& r = rows_[static_cast<std::size_t>(row - 1)];
    if (col == column_no::status) return status_text(r.status);
    const auto i = static_cast<std::size_t>(col - 1);
    return i < r.cells.size() ? r.cells[i] : std::string();
}

void SampleTable::put(Row& row, int col, const std::string& text) const
{
    if (!columns_.valid(col) || col == column_no::status) return;
    if (row.cells.size() < static_cast<std::size_t>(cols())) row.cells.resize(static_cast<std::size_t>(cols()));
    row.cells[static_cast<std::size_t>(col - 1)] = normalise_cell(columns_.column(col), text);
}

void SampleTable::set_cell(int col, int row, const std::string& text)
{
    if (!valid_row(row) || !columns_.valid(col)) return;
    put(rows_[static_cast<std::size_t>(row - 1)], col, text);
    observer_->rows_changed(row, row);
}

std::vector<std::string> SampleTable::formatted_row() const
{
    std::vector<std::string> cells(static_cast<std::size_t>(cols()));
    for (int col = 1; col <= cols(); ++col)
        if (col != column_no::status)
            cells[static_cast<std::size_t>(col - 1)] = normalise_cell(columns_.column(col), columns_.column(col).default_text);
    return cells;
}

SampleTable::Row SampleTable::new_row(const std::vector<std::string>& cells) const
{
    Row r;
    r.cells.resize(static_cast<std::size_t>(cols()));
    for (int col = 2; col <= cols(); ++col) {
        const auto i = static_cast<std::size_t>(col - 1);
        put(r, col, i < cells.size() ? cells[i] : std::string());
    }
    return r;
}

SampleTable::Row SampleTable::blank_row() const
{
    Row r;
    r.cells.resize(static_cast<std::size_t>(cols()));
    for (int col = 2; col <= cols(); ++col)
        if (columns_.column(col).hidden) put(r, col, columns_.column(col).default_text);
    return r;
}

// ---- Status

RowStatus SampleTable::status(int row) const
{
    return valid_row(row) ? rows_[static_cast<std::size_t>(row - 1)].status : RowStatus::none;
}

void SampleTable::set_status(int row, RowStatus status)
{
    if (valid_row(row)) rows_[static_cast<std::size_t>(row - 1)].status = status;
}

void SampleTable::clear_statuses()
{
    for (Row& r : rows_) r.status = RowStatus::none;
}

std::vector<int> SampleTable::take_status_repaints()
{
    std::vector<int> changed;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].status == rows_[i].shown) continue;
        rows_[i].shown = rows_[i].status;
        changed.push_back(static_cast<int>(i) + 1);
    }
    return changed;
}

bool SampleTable::edit_check(int current_row) const
{
    if (run_.running && run_.row >= current_row) {
        prompts_.show_error(running_line_text);
        return false;
    }
    return true;
}

bool SampleTable::room_for(int count) const
{
    if (rows() + count <= max_sample_rows) return true;
    prompts_.show_error(row_limit_text);
    return false;
}

// ---- Whole table

void SampleTable::clear()
{
    rows_.clear();
    observer_->table_reset();
}

bool SampleTable::assign(const std::vector<std::vector<std::string>>& rows)
{
    if (rows.size() > static_cast<std::size_t>(max_sample_rows)) return false;
    std::vector<Row> fresh;
    fresh.reserve(rows.size());
    for (const auto& cells : rows) fresh.push_back(new_row(cells));
    rows_ = std::move(fresh);
    observer_->table_reset();
    return true;
}

void SampleTable::insert_rows(int at, std::vector<Row> rows)
{
    const int count = static_cast<int>(rows.size());
    if (count == 0) return;
    at = std::clamp(at, 1, this->rows() + 1);
    rows_.insert(rows_.begin() + (at - 1), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    observer_->rows_inserted(at, count);
}

void SampleTable::remove_rows(int first, int last)
{
    first = std::max(first, 1);
    last = std::min(last, rows());
    if (first > last) return;
    rows_.erase(rows_.begin() + (first - 1), rows_.begin() + last);
    observer_->rows_removed(first, last - first + 1);
}

// ---- Editing

bool SampleTable::insert_line(const TableSelection& selection)
{
    const int at = selection.current_row();
    if (!edit_check(at) || !room_for(1)) return false;
    std::vector<Row> one;
    one.push_back(blank_row());
    insert_rows(at, std::move(one));
    return true;
}

bool SampleTable::append_line()
{
    if (!room_for(1)) return false;
    Row r = rows_.empty() ? new_row(formatted_row()) : new_row(rows_.back().cells);
    if (columns_.valid(column_no::vial)) {
        const std::string vial = r.cells[static_cast<std::size_t>(column_no::vial - 1)];
        put(r, column_no::vial, std::to_string(static_cast<long long>(integer_or_zero(vial)) + 1));
    }
    std::vector<Row> one;
    one.push_back(std::move(r));
    insert_rows(rows() + 1, std::move(one));
    observer_->activate(column_no::method, rows());
    return true;
}

bool SampleTable::delete_line(const TableSelection& selection)
{
    if (rows_.empty() || !edit_check(selection.current_row())) return false;
    if (selection.block && selection.row1 == -1) {
        clear();
    } else if (selection.block) {
        remove_rows(std::max(std::min(selection.row1, selection.row2), 1),
                    std::max(std::max(selection.row1, selection.row2), 1));
    } else {
        if (!valid_row(selection.active_row)) return false;
        remove_rows(selection.active_row, selection.active_row);
    }
    return true;
}

std::string SampleTable::copy(const TableSelection& s) const
{
    int col1 = s.active_col, col2 = s.active_col, row1 = s.active_row, row2 = s.active_row;
    if (s.block) {
        col1 = s.col1 == -1 ? 1 : std::min(s.col1, s.col2);
        col2 = s.col1 == -1 ? cols() : std::max(s.col1, s.col2);
        row1 = s.row1 == -1 ? 1 : std::min(s.row1, s.row2);
        row2 = s.row1 == -1 ? rows() : std::max(s.row1, s.row2);
    }
    col1 = std::max(col1, 1);
    col2 = std::min(col2, cols());
    row1 = std::max(row1, 1);
    row2 = std::min(row2, rows());
    std::string text;
    for (int row = row1; row <= row2; ++row) {
        for (int col = col1; col <= col2; ++col) {
            text += cell(col, row);
            text += col == col2 ? "\r\n" : "\t";
        }
    }
    return text;
}

bool SampleTable::cut(const TableSelection& selection, std::string& clipboard)
{
    if (!edit_check(selection.current_row())) return false;
    clipboard = copy(selection);
    if (selection.whole_rows()) delete_line(selection);
    return true;
}

void SampleTable::paste_lines(int col, int row, const std::vector<std::vector<std::string>>& lines)
{
    int last = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int r = row + static_cast<int>(i);
        if (!valid_row(r)) break;
        Row& target = rows_[static_cast<std::size_t>(r - 1)];
        for (std::size_t j = 0; j < lines[i].size(); ++j) {
            const int c = col + static_cast<int>(j);
            if (c > cols()) break;
            put(target, c, lines[i][j]);
        }
        last = r;
    }
    if (last >= row) observer_->rows_changed(row, last);
}

bool SampleTable::paste(const TableSelection& selection, const std::string& clipboard)
{
    const int row = selection.current_row();
    if (!edit_check(row)) return false;
    int line_ends = 0;
    const auto lines = split_clipboard(clipboard, &line_ends);
    for (const auto& line : lines)
        for (const std::string& piece : line)
            if (holds_separator(piece)) {
                prompts_.show_error(cell_character_text);
                return false;
            }
    if (selection.whole_rows()) {
        if (!room_for(line_ends)) return false;
        std::vector<Row> fresh(static_cast<std::size_t>(line_ends), blank_row());
        insert_rows(row, std::move(fresh));
        paste_lines(1, std::clamp(row, 1, rows() + 1), lines);
    } else if (selection.whole_columns()) {
        const std::string first = clipboard.substr(0, clipboard.find_first_of("\r\n\t"));
        const int col = std::min(selection.col1, selection.col2);
        if (!columns_.valid(col) || rows_.empty()) return true;
        for (Row& r : rows_) put(r, col, first);
        observer_->rows_changed(1, rows());
    } else {
        int col = selection.block ? std::min(selection.col1, selection.col2) : selection.active_col;
        paste_lines(std::max(col, 1), row, lines);
    }
    return true;
}

bool SampleTable::edit_cell(int col, int row, const std::string& text)
{
    if (!valid_row(row) || !columns_.valid(col)) return false;
    if (holds_separator(text)) {
        prompts_.show_error(cell_character_text);
        observer_->rows_changed(row, row);
        return false;
    }
    const bool none = is_combo(columns_.column(col)) && same_text(text, "None");
    set_cell(col, row, none ? std::string() : text);
    return true;
}

bool SampleTable::add_vial_rows(const std::vector<int>& vials, const std::string& tray, bool insert,
                                const TableSelection& selection, const std::vector<std::string>& sheet_values)
{
    const int current = selection.current_row();
    if (!edit_check(current) || !room_for(static_cast<int>(vials.size()))) return false;
    std::vector<std::string> cells(static_cast<std::size_t>(cols()));
    for (int col = 2; col <= cols(); ++col) {
        const SampleColumn& c = columns_.column(col);
        const auto i = static_cast<std::size_t>(col - 1);
        cells[i] = c.hidden || i >= sheet_values.size() ? c.default_text : sheet_values[i];
    }
    if (columns_.valid(column_no::tray)) cells[column_no::tray - 1] = tray;
    std::vector<Row> fresh;
    for (int vial : vials) {
        if (columns_.valid(column_no::vial)) cells[column_no::vial - 1] = std::to_string(vial);
        fresh.push_back(new_row(cells));
    }
    insert_rows(insert ? current : rows() + 1, std::move(fresh));
    return true;
}

}  // namespace kelvo
