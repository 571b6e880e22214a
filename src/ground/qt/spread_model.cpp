#include "ground/qt/spread_model.h"

#include <algorithm>
#include <utility>

namespace kelvo {

SpreadModel::SpreadModel(QObject* parent) : QAbstractTableModel(parent)
{
    intern(SpreadCellFormat{});  // index 0: a plain edit cell
}

int SpreadModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : max_rows();
}

int SpreadModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : max_cols();
}

const SpreadModel::Cell* SpreadModel::cell(int col, int row) const
{
    if (col < 1 || col > max_cols() || row < 1 || row > max_rows())
        return nullptr;
    return &rows_[row - 1][col - 1];
}

std::uint32_t SpreadModel::intern(const SpreadCellFormat& f)
{
    const auto found = format_index_.find(f);
    if (found != format_index_.end())
        return found->second;
    const auto index = static_cast<std::uint32_t>(formats_.size());
    formats_.push_back(f);
    format_index_.emplace(f, index);
    return index;
}

QVariant SpreadModel::data(const QModelIndex& index, int role) const
{
    const Cell* c = cell(index.column() + 1, index.row() + 1);
    if (!c)
        return {};
    const SpreadCellFormat& f = formats_[c->format];
    switch (role) {
    case Qt::DisplayRole:
        return f.cell_type == SpreadCellType::check_box ? f.check_text : spread_shown_text(c->text, f);
    case Qt::EditRole:
        return spread_editor_text(c->text, f);
    case Qt::TextAlignmentRole:
        return int(spread_alignment(f));
    case Qt::BackgroundRole:
        return qAlpha(c->back) ? QVariant(QColor::fromRgba(c->back)) : QVariant();
    case Qt::CheckStateRole:
        if (f.cell_type == SpreadCellType::check_box)
            return spread_is_checked(c->text) ? Qt::Checked : Qt::Unchecked;
        return {};
    default:
        return {};
    }
}

bool SpreadModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const int col = index.column() + 1;
    const int row = index.row() + 1;
    if (!cell(col, row))
        return false;
    Cell& c = rows_[row - 1][col - 1];
    const SpreadCellFormat& f = formats_[c.format];

    QString text;
    if (role == Qt::EditRole && (f.cell_type == SpreadCellType::edit || f.cell_type == SpreadCellType::float_number
                                 || f.cell_type == SpreadCellType::combo_box))
        text = spread_normalise(value.toString(), f, true);
    else if (role == Qt::CheckStateRole && f.cell_type == SpreadCellType::check_box)
        text = value.toInt() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    else
        return false;

    if (text == c.text)
        return true;
    c.text = text;
    emit dataChanged(index, index);
    emit cell_edited(col, row);
    return true;
}

QVariant SpreadModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < max_cols())
            return headings_[section];
        if (role == Qt::TextAlignmentRole)
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        return {};
    }
    if (role == Qt::DisplayRole)
        return section + 1;
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags SpreadModel::flags(const QModelIndex& index) const
{
    const Cell* c = cell(index.column() + 1, index.row() + 1);
    if (!c)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    switch (formats_[c->format].cell_type) {
    case SpreadCellType::static_text:
        break;
    case SpreadCellType::check_box:
        flags |= Qt::ItemIsUserCheckable;
        break;
    default:
        flags |= Qt::ItemIsEditable;
        break;
    }
    return flags;
}

void SpreadModel::set_max_rows(int rows)
{
    rows = std::max(rows, 0);
    const int old = max_rows();
    if (rows > old) {
        beginInsertRows({}, old, rows - 1);
        rows_.resize(rows, column_defaults_);
        endInsertRows();
    } else if (rows < old) {
        beginRemoveRows({}, rows, old - 1);
        rows_.resize(rows);
        endRemoveRows();
    }
}

void SpreadModel::set_max_cols(int cols)
{
    cols = std::max(cols, 0);
    const int old = max_cols();
    if (cols > old) {
        beginInsertColumns({}, old, cols - 1);
        for (Row& r : rows_)
            r.resize(cols);
        headings_.resize(cols);
        column_defaults_.resize(cols);
        endInsertColumns();
    } else if (cols < old) {
        beginRemoveColumns({}, cols, old - 1);
        for (Row& r : rows_)
            r.resize(cols);
        headings_.resize(cols);
        column_defaults_.resize(cols);
        endRemoveColumns();
    }
}

QString SpreadModel::text(int col, int row) const
{
    if (row == 0)
        return col >= 1 && col <= max_cols() ? headings_[col - 1] : QString();
    const Cell* c = cell(col, row);
    if (!c)
        return {};
    return spread_shown_text(c->text, formats_[c->format]);
}

QString SpreadModel::value(int col, int row) const
{
    if (row == 0)
        return text(col, row);
    const Cell* c = cell(col, row);
    if (!c)
        return {};
    return spread_value_text(c->text, formats_[c->format]);
}

const SpreadCellFormat& SpreadModel::format(int col, int row) const
{
    if (const Cell* c = cell(col, row))
        return formats_[c->format];
    if (col >= 1 && col <= max_cols())
        return formats_[column_defaults_[col - 1].format];
    return formats_[0];
}

QColor SpreadModel::back_color(int col, int row) const
{
    const Cell* c = cell(col, row);
    return c && qAlpha(c->back) ? QColor::fromRgba(c->back) : QColor();
}

void SpreadModel::announce(const SpreadBlock& b)
{
    if (!notify_)
        return;
    if (b.row1 == 0)
        emit headerDataChanged(Qt::Horizontal, b.col1 - 1, b.col2 - 1);
    const int first_row = std::max(b.row1, 1);
    if (first_row <= b.row2)
        emit dataChanged(index(first_row - 1, b.col1 - 1), index(b.row2 - 1, b.col2 - 1));
}

void SpreadModel::write_text(const SpreadBlock& b, const QString& text, bool shown_form)
{
    if (b.row1 == 0) {
        for (int col = b.col1; col <= b.col2; ++col)
            headings_[col - 1] = text;
    }
    for (int row = std::max(b.row1, 1); row <= b.row2; ++row) {
        Row& r = rows_[row - 1];
        for (int col = b.col1; col <= b.col2; ++col) {
            Cell& c = r[col - 1];
            c.text = spread_normalise(text, formats_[c.format], shown_form);
        }
    }
    announce(b);
}

void SpreadModel::write_format(const SpreadBlock& b, const std::function<void(SpreadCellFormat&)>& change)
{
    // A block holds few distinct formats, so remember how each one changes
    // rather than hashing a format per cell.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> changed;
    const auto change_index = [&](std::uint32_t from) {
        for (const auto& [old_index, new_index] : changed) {
            if (old_index == from)
                return new_index;
        }
        SpreadCellFormat f = formats_[from];
        change(f);
        const std::uint32_t to = intern(f);
        changed.emplace_back(from, to);
        return to;
    };

    if (b.whole_columns) {
        for (int col = b.col1; col <= b.col2; ++col)
            column_defaults_[col - 1].format = change_index(column_defaults_[col - 1].format);
    }
    for (int row = std::max(b.row1, 1); row <= b.row2; ++row) {
        Row& r = rows_[row - 1];
        for (int col = b.col1; col <= b.col2; ++col) {
            Cell& c = r[col - 1];
            const std::uint32_t to = change_index(c.format);
            if (to == c.format)
                continue;
            // Texts written for the old type are read in the new type's
            // shown form; a float's stored text is already unformatted.
            const bool was_float = formats_[c.format].cell_type == SpreadCellType::float_number;
            c.format = to;
            c.text = spread_normalise(c.text, formats_[to], !was_float);
        }
    }
    announce(b);
}

void SpreadModel::write_back_color(const SpreadBlock& b, const QColor& color)
{
    const QRgb back = color.isValid() ? color.rgb() : 0;  // rgb() is opaque
    if (b.whole_columns) {
        for (int col = b.col1; col <= b.col2; ++col)
            column_defaults_[col - 1].back = back;
    }
    for (int row = std::max(b.row1, 1); row <= b.row2; ++row) {
        Row& r = rows_[row - 1];
        for (int col = b.col1; col <= b.col2; ++col)
            r[col - 1].back = back;
    }
    announce(b);
}

void SpreadModel::insert_rows(int row, int count)
{
    const int rows = max_rows();
    if (row < 1 || row > rows || count < 1)
        return;
    count = std::min(count, rows - row + 1);
    beginRemoveRows({}, rows - count, rows - 1);
    rows_.resize(rows - count);
    endRemoveRows();
    beginInsertRows({}, row - 1, row - 1 + count - 1);
    rows_.insert(rows_.begin() + (row - 1), count, column_defaults_);
    endInsertRows();
}

void SpreadModel::delete_rows(int row1, int row2)
{
    const int rows = max_rows();
    row1 = std::max(row1, 1);
    row2 = std::min(row2, rows);
    if (row1 > row2)
        return;
    const int count = row2 - row1 + 1;
    beginRemoveRows({}, row1 - 1, row2 - 1);
    rows_.erase(rows_.begin() + (row1 - 1), rows_.begin() + row2);
    endRemoveRows();
    beginInsertRows({}, rows - count, rows - 1);
    rows_.resize(rows, column_defaults_);
    endInsertRows();
}

int SpreadModel::data_row_count() const
{
    for (int row = max_rows(); row >= 1; --row) {
        const Row& r = rows_[row - 1];
        if (std::any_of(r.begin(), r.end(), [](const Cell& c) { return !c.text.isEmpty(); }))
            return row;
    }
    return 0;
}

void SpreadModel::set_notify(bool on)
{
    if (on == notify_)
        return;
    notify_ = on;
    if (on && max_cols() > 0) {
        emit headerDataChanged(Qt::Horizontal, 0, max_cols() - 1);
        if (max_rows() > 0)
            emit dataChanged(index(0, 0), index(max_rows() - 1, max_cols() - 1));
    }
}

}  // namespace kelvo
