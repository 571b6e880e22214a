#include "ground/qt/spread_grid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPrinter>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

namespace kelvo {

namespace {

constexpr double default_col_width = 10.0;

int shift_mask(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
         | (modifiers & Qt::AltModifier ? 4 : 0);
}

int button_code(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

int col_of(const QModelIndex& index)
{
    return index.isValid() ? index.column() + 1 : -1;
}

int row_of(const QModelIndex& index)
{
    return index.isValid() ? index.row() + 1 : -1;
}

// Orders a pair of bounds and fits it into 1..last; -1 means all of them.
std::pair<int, int> span(int a, int b, int last, int first = 1)
{
    if (a == -1 || b == -1)
        return {1, last};
    return {std::max(std::min(a, b), first), std::min(std::max(a, b), last)};
}

}  // namespace

SpreadGrid::SpreadGrid(QWidget* parent)
    : QTableView(parent), model_(new SpreadModel(this)), delegate_(new SpreadDelegate(*model_, look_, this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);

    // White cells with black text whatever the desktop theme says, under
    // clearly grey headings.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
    pal.setColor(QPalette::Button, QColor(224, 224, 224));
    pal.setColor(QPalette::ButtonText, Qt::black);
    horizontalHeader()->setPalette(pal);
    verticalHeader()->setPalette(pal);

    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);

    connect(model_, &SpreadModel::cell_edited, this, &SpreadGrid::OnChange);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                emit OnLeaveCell(col_of(previous), row_of(previous), col_of(current), row_of(current));
            });
    connect(delegate_, &SpreadDelegate::enter_pressed, this, &SpreadGrid::enter_pressed);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &SpreadGrid::section_resized);

    // Mouse presses anywhere on the grid are reported, headings included.
    viewport()->installEventFilter(this);
    horizontalHeader()->viewport()->installEventFilter(this);
    verticalHeader()->viewport()->installEventFilter(this);
    if (auto* corner = findChild<QAbstractButton*>()) {
        corner->installEventFilter(this);
        corner->setPalette(pal);
    }

    apply_metrics();
}

SpreadGrid::~SpreadGrid() = default;

// ---- Content

QString SpreadGrid::text() const
{
    return model_->text(col_, row_);
}

void SpreadGrid::set_text(const QString& text)
{
    if (const auto b = addressed_block())
        model_->write_text(*b, text, true);
}

QString SpreadGrid::value() const
{
    return model_->value(col_, row_);
}

void SpreadGrid::set_value(const QString& value)
{
    if (const auto b = addressed_block())
        model_->write_text(*b, value, false);
}

std::optional<SpreadBlock> SpreadGrid::addressed_block() const
{
    const int col2 = block_mode_ ? col2_ : col_;
    const int row2 = block_mode_ ? row2_ : row_;
    SpreadBlock b;
    std::tie(b.col1, b.col2) = span(col_, col2, max_cols());
    // Row 0 (the headings) is only reached by addressing it.
    std::tie(b.row1, b.row2) = span(row_, row2, max_rows(), 0);
    b.whole_columns = row_ == -1 || row2 == -1;
    if (b.col1 > b.col2 || (b.row1 > b.row2 && !b.whole_columns))
        return std::nullopt;
    return b;
}

// ---- Size

void SpreadGrid::set_max_cols(int cols)
{
    const int old = max_cols();
    model_->set_max_cols(cols);
    widths_.resize(max_cols(), default_col_width);
    for (int col = old + 1; col <= max_cols(); ++col)
        apply_width(col);
}

void SpreadGrid::set_max_rows(int rows)
{
    model_->set_max_rows(rows);
}

// ---- Cursor and selection

int SpreadGrid::active_col() const
{
    return currentIndex().isValid() ? currentIndex().column() + 1 : 0;
}

int SpreadGrid::active_row() const
{
    return currentIndex().isValid() ? currentIndex().row() + 1 : 0;
}

bool SpreadGrid::is_block_selected() const
{
    return selected_block().col1 != 0;
}

SpreadGrid::Selection SpreadGrid::selected_block() const
{
    const QItemSelection selection = selectionModel()->selection();
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    qint64 cells = 0;
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
        cells += qint64(range.width()) * range.height();
    }
    const QModelIndex current = currentIndex();
    // Nothing, or just the active cell, is no block.
    if (cells == 0 || (cells == 1 && current.row() == top && current.column() == left))
        return {};

    Selection s{left + 1, right + 1, top + 1, bottom + 1};
    if (left == 0 && right == max_cols() - 1)
        s.col1 = s.col2 = -1;
    if (top == 0 && bottom == max_rows() - 1)
        s.row1 = s.row2 = -1;
    return s;
}

void SpreadGrid::action(int code)
{
    switch (code) {
    case SpreadAction::active_cell:
        if (col_ >= 1 && col_ <= max_cols() && row_ >= 1 && row_ <= max_rows())
            setCurrentIndex(cell_index(col_, row_));
        break;
    case SpreadAction::select_block: {
        const auto [col1, col2] = span(col_, col2_, max_cols());
        const auto [row1, row2] = span(row_, row2_, max_rows());
        if (col1 <= col2 && row1 <= row2)
            selectionModel()->select(QItemSelection(cell_index(col1, row1), cell_index(col2, row2)),
                                     QItemSelectionModel::ClearAndSelect);
        break;
    }
    case SpreadAction::delete_row: {
        const auto [row1, row2] = span(row_, block_mode_ ? row2_ : row_, max_rows());
        model_->delete_rows(row1, row2);
        break;
    }
    case SpreadAction::insert_row:
        model_->insert_rows(row_, block_mode_ && row2_ >= row_ ? row2_ - row_ + 1 : 1);
        break;
    case SpreadAction::print:
        if (printer_) {
            print(*printer_);
        } else {
            QPrinter printer(QPrinter::HighResolution);
            print(printer);
        }
        break;
    default:
        break;
    }
}

// ---- Cell types

void SpreadGrid::change_format(const std::function<void(SpreadCellFormat&)>& change)
{
    if (const auto b = addressed_block())
        model_->write_format(*b, change);
}

void SpreadGrid::set_cell_type(int type)
{
    change_format([type](SpreadCellFormat& f) { f.cell_type = type; });
}

void SpreadGrid::set_type_h_align(int align)
{
    change_format([align](SpreadCellFormat& f) { f.h_align = align; });
}

void SpreadGrid::set_type_edit_len(int len)
{
    change_format([len](SpreadCellFormat& f) { f.edit_len = std::max(len, 0); });
}

void SpreadGrid::set_type_edit_char_case(int char_case)
{
    change_format([char_case](SpreadCellFormat& f) { f.edit_char_case = char_case; });
}

void SpreadGrid::set_type_float_decimal_places(int places)
{
    change_format([places](SpreadCellFormat& f) { f.float_decimals = std::clamp(places, 0, 15); });
}

void SpreadGrid::set_type_float_min(double min)
{
    change_format([min](SpreadCellFormat& f) { f.float_min = min; });
}

void SpreadGrid::set_type_float_max(double max)
{
    change_format([max](SpreadCellFormat& f) { f.float_max = max; });
}

void SpreadGrid::set_type_float_decimal_char(int ch)
{
    change_format([ch](SpreadCellFormat& f) { f.float_decimal_char = QChar(ch); });
}

void SpreadGrid::set_type_float_separator(bool on)
{
    change_format([on](SpreadCellFormat& f) { f.float_separator = on; });
}

void SpreadGrid::set_type_combo_box_list(const QString& tab_separated)
{
    const QStringList items = spread_parse_combo_list(tab_separated);
    change_format([&items](SpreadCellFormat& f) { f.combo_items = items; });
}

void SpreadGrid::set_type_combo_box_editable(bool on)
{
    change_format([on](SpreadCellFormat& f) { f.combo_editable = on; });
}

void SpreadGrid::set_type_check_text(const QString& text)
{
    change_format([&text](SpreadCellFormat& f) { f.check_text = text; });
}

// ---- Look

void SpreadGrid::set_back_color(const QColor& color)
{
    if (const auto b = addressed_block())
        model_->write_back_color(*b, color);
}

void SpreadGrid::set_back_color_style(int style)
{
    look_.back_color_style = style;
    viewport()->update();
}

void SpreadGrid::set_button_draw_mode(int mode)
{
    look_.button_draw_mode = mode;
    viewport()->update();
}

void SpreadGrid::set_redraw(bool on)
{
    if (on == redraw_)
        return;
    redraw_ = on;
    setUpdatesEnabled(on);
    model_->set_notify(on);
    if (on)
        viewport()->update();
}

// ---- Columns

void SpreadGrid::set_col_hidden(bool hidden)
{
    const auto [col1, col2] = span(col_, block_mode_ ? col2_ : col_, max_cols());
    resizing_ = true;
    for (int col = col1; col <= col2; ++col)
        setColumnHidden(col - 1, hidden);
    resizing_ = false;
    // A column shown again gets its own width back, even one set while hidden.
    if (!hidden) {
        for (int col = col1; col <= col2; ++col)
            apply_width(col);
    }
}

bool SpreadGrid::col_hidden() const
{
    return col_ >= 1 && col_ <= max_cols() && isColumnHidden(col_ - 1);
}

double SpreadGrid::col_width(int col) const
{
    return col >= 1 && col <= max_cols() ? widths_[col - 1] : 0.0;
}

void SpreadGrid::set_col_width(int col, double width)
{
    const auto [col1, col2] = span(col, col, max_cols());
    for (int c = col1; c <= col2; ++c) {
        widths_[c - 1] = std::max(width, 0.0);
        apply_width(c);
    }
}

void SpreadGrid::set_user_resize_col(bool on)
{
    user_resize_col_ = on;
    horizontalHeader()->setSectionResizeMode(on ? QHeaderView::Interactive : QHeaderView::Fixed);
}

double SpreadGrid::char_width() const
{
    return std::max(1.0, QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')));
}

void SpreadGrid::apply_width(int col)
{
    resizing_ = true;
    horizontalHeader()->resizeSection(col - 1, static_cast<int>(std::lround(widths_[col - 1] * char_width())));
    resizing_ = false;
}

void SpreadGrid::apply_metrics()
{
    const QFontMetrics fm(font());
    const int row_height = fm.height() + 6;
    verticalHeader()->setMinimumSectionSize(std::min(verticalHeader()->minimumSectionSize(), row_height));
    verticalHeader()->setDefaultSectionSize(row_height);
    for (int col = 1; col <= max_cols(); ++col)
        apply_width(col);
}

void SpreadGrid::section_resized(int logical, int, int new_size)
{
    if (resizing_ || logical >= max_cols() || horizontalHeader()->isSectionHidden(logical))
        return;
    widths_[logical] = new_size / char_width();
    const int col = logical + 1;
    if (width_change_first_ == 0) {
        width_change_first_ = width_change_last_ = col;
    } else {
        width_change_first_ = std::min(width_change_first_, col);
        width_change_last_ = std::max(width_change_last_, col);
    }
    // A drag reports once, when the button is let go.
    if (QGuiApplication::mouseButtons() == Qt::NoButton)
        report_width_change();
}

void SpreadGrid::report_width_change()
{
    if (width_change_first_ == 0)
        return;
    const int first = width_change_first_;
    const int last = width_change_last_;
    width_change_first_ = width_change_last_ = 0;
    emit OnColWidthChange(first, last);
}

// ---- Editing

void SpreadGrid::set_process_tab(bool on)
{
    setTabKeyNavigation(on);
}

int SpreadGrid::next_shown_col(int col, int step) const
{
    // A column of width 0 is as good as hidden to the user.
    for (int c = col + step; c >= 1 && c <= max_cols(); c += step) {
        if (!isColumnHidden(c - 1) && columnWidth(c - 1) > 0)
            return c;
    }
    return 0;
}

QModelIndex SpreadGrid::moveCursor(CursorAction cursor_action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    if ((cursor_action != MoveNext && cursor_action != MovePrevious) || !current.isValid())
        return QTableView::moveCursor(cursor_action, modifiers);

    // Tab runs along the row and on to the next one; past the last cell (or
    // before the first) the program decides what happens.
    const bool forward = cursor_action == MoveNext;
    int row = row_of(current);
    int col = next_shown_col(col_of(current), forward ? 1 : -1);
    if (col == 0) {
        row += forward ? 1 : -1;
        col = forward ? next_shown_col(0, 1) : next_shown_col(max_cols() + 1, -1);
    }
    if (row >= 1 && row <= max_rows() && col != 0)
        return cell_index(col, row);

    emit OnAdvance(forward);
    // The handler may have moved the cursor (to a row it appended).
    return currentIndex() != current ? currentIndex() : QModelIndex();
}

bool SpreadGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // A click on a combo-box button opens the list at once, as the button
    // promises; elsewhere the usual triggers apply.
    const auto* click = event && event->type() == QEvent::MouseButtonRelease ? static_cast<QMouseEvent*>(event)
                                                                              : nullptr;
    const bool on_button = click && click->button() == Qt::LeftButton
                        && model_->format(col_of(index), row_of(index)).cell_type == SpreadCellType::combo_box
                        && SpreadDelegate::combo_button_rect(visualRect(index)).contains(click->position().toPoint());
    if (!on_button)
        return QTableView::edit(index, trigger, event);
    if (!QTableView::edit(index, DoubleClicked, event))
        return false;
    for (QComboBox* combo : viewport()->findChildren<QComboBox*>()) {
        if (combo->isVisible())
            QTimer::singleShot(0, combo, &QComboBox::showPopup);
    }
    return true;
}

void SpreadGrid::enter_pressed()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    int col = col_of(current);
    int row = row_of(current);
    switch (enter_action_) {
    case SpreadEnterAction::up:
        row = std::max(row - 1, 1);
        break;
    case SpreadEnterAction::down:
        row = std::min(row + 1, max_rows());
        break;
    case SpreadEnterAction::left:
        if (const int c = next_shown_col(col, -1))
            col = c;
        break;
    case SpreadEnterAction::right:
        if (const int c = next_shown_col(col, 1))
            col = c;
        break;
    case SpreadEnterAction::next_row:
        if (row >= max_rows()) {
            emit OnAdvance(true);
            return;
        }
        ++row;
        break;
    default:
        return;
    }
    setCurrentIndex(cell_index(col, row));
}

void SpreadGrid::keyPressEvent(QKeyEvent* event)
{
    if (!auto_clipboard_
        && (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut)
            || event->matches(QKeySequence::Paste))) {
        event->accept();
        return;
    }
    const QModelIndex current = currentIndex();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // Handled here so that Tab is always taken, even when it stays put
        // at the end: otherwise Qt would offer it again as a focus move.
        if (tabKeyNavigation() && plain) {
            const bool back = event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier);
            const QModelIndex next = moveCursor(back ? MovePrevious : MoveNext, event->modifiers());
            if (next.isValid() && next != currentIndex())
                setCurrentIndex(next);
            event->accept();
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (state() != EditingState) {
            enter_pressed();
            event->accept();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (state() != EditingState && current.isValid() && (model_->flags(current) & Qt::ItemIsEditable)) {
            model_->setData(current, QString(), Qt::EditRole);
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTableView::keyPressEvent(event);
}

void SpreadGrid::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        emit OnKeyUp(event->key(), shift_mask(event->modifiers()));
    QTableView::keyReleaseEvent(event);
}

void SpreadGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        apply_metrics();
}

bool SpreadGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (const auto* widget = qobject_cast<QWidget*>(watched)) {
            const QPoint p = widget->mapTo(this, mouse->position().toPoint());
            emit OnMouseDown(button_code(mouse->button()), shift_mask(mouse->modifiers()), to_twips_x(p.x()),
                             to_twips_y(p.y()));
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == horizontalHeader()->viewport()) {
        report_width_change();
    }
    return QTableView::eventFilter(watched, event);
}

// ---- Hit test

int SpreadGrid::to_twips_x(int pixels) const
{
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpiX()));
}

int SpreadGrid::to_twips_y(int pixels) const
{
    return static_cast<int>(std::lround(pixels * 1440.0 / logicalDpiY()));
}

SpreadCellRef SpreadGrid::cell_at(int x_twips, int y_twips) const
{
    const QPoint p(static_cast<int>(std::floor(x_twips * logicalDpiX() / 1440.0)),
                   static_cast<int>(std::floor(y_twips * logicalDpiY() / 1440.0)));
    const QRect cells = viewport()->geometry();
    const QRect headings = horizontalHeader()->isVisible() ? horizontalHeader()->geometry() : QRect();
    const QRect numbers = verticalHeader()->isVisible() ? verticalHeader()->geometry() : QRect();

    const auto col_at = [&](int x) {
        const int c = columnAt(x - cells.left());
        return c < 0 ? -1 : c + 1;
    };
    const auto row_at = [&](int y) {
        const int r = rowAt(y - cells.top());
        return r < 0 ? -1 : r + 1;
    };

    SpreadCellRef hit;
    if (cells.contains(p))
        hit = {col_at(p.x()), row_at(p.y())};
    else if (headings.contains(p))
        hit = {col_at(p.x()), 0};
    else if (numbers.contains(p))
        hit = {0, row_at(p.y())};
    else if (QRect(numbers.left(), headings.top(), numbers.width(), headings.height()).contains(p))
        hit = {0, 0};
    if (hit.col < 0 || hit.row < 0)
        return {};
    return hit;
}

// ---- Printing

int SpreadGrid::print(QPrinter& printer)
{
    SpreadPrintSheet sheet;
    sheet.model = model_;
    sheet.font = font();
    for (int col = 1; col <= max_cols(); ++col) {
        if (!isColumnHidden(col - 1)) {
            sheet.columns.push_back(col);
            sheet.widths.push_back(widths_[col - 1]);
        }
    }
    sheet.row1 = 1;
    sheet.row2 = max_rows();
    return spread_print(printer, sheet, print_);
}

}  // namespace kelvo
