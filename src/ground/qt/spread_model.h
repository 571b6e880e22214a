#pragma once
// The cells behind a spreadsheet grid: one compact vector of cells per row.
// Formats are shared: each cell holds the index of its format in a table of
// distinct formats, so 10000 formatted rows cost no more than their texts.
#include "ground/qt/spread_format.h"

#include <QAbstractTableModel>
#include <QColor>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace kelvo {

// A block of cells in grid coordinates: columns and rows from 1, row 0 the
// column headings. Bounds are inclusive and resolved (no -1 left).
struct SpreadBlock {
    int col1 = 1, col2 = 1;
    int row1 = 1, row2 = 1;
    // The block was addressed as whole columns: format and colour writes also
    // become what the column's new rows start with.
    bool whole_columns = false;
};

class SpreadModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SpreadModel(QObject* parent = nullptr);

    // Qt's view of the cells (rows and columns from 0, headings as header data).
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int max_rows() const { return static_cast<int>(rows_.size()); }
    int max_cols() const { return static_cast<int>(column_defaults_.size()); }
    void set_max_rows(int rows);
    void set_max_cols(int cols);

    // Cells in grid coordinates. Out-of-range cells read as empty.
    QString text(int col, int row) const;   // as shown; row 0 gives the heading
    QString value(int col, int row) const;  // unformatted
    const SpreadCellFormat& format(int col, int row) const;
    QColor back_color(int col, int row) const;  // invalid when none is set

    // Writes to every cell of b. Texts are normalised to each cell's format;
    // `shown_form` says the text is written as a cell shows it.
    void write_text(const SpreadBlock& b, const QString& text, bool shown_form);
    void write_format(const SpreadBlock& b, const std::function<void(SpreadCellFormat&)>& change);
    // An invalid colour removes the cell's own colour.
    void write_back_color(const SpreadBlock& b, const QColor& color);

    // Row moves that keep max_rows: inserting drops the rows pushed past the
    // end, deleting leaves blank rows at the end.
    void insert_rows(int row, int count);
    void delete_rows(int row1, int row2);

    // The last row with a non-empty cell, 0 when there is none.
    int data_row_count() const;

    // While off, content changes are not announced cell by cell; turning it
    // back on announces all cells once. Row and column changes are always
    // announced, as views need them to stay consistent.
    void set_notify(bool on);

signals:
    // The user changed a cell (editor or check box), in grid coordinates.
    void cell_edited(int col, int row);

private:
    // back is an ARGB value; alpha 0 means the cell has no colour of its own.
    struct Cell {
        QString text;
        std::uint32_t format = 0;
        QRgb back = 0;
    };
    using Row = std::vector<Cell>;

    const Cell* cell(int col, int row) const;
    std::uint32_t intern(const SpreadCellFormat& f);
    void announce(const SpreadBlock& b);

    std::vector<Row> rows_;
    std::vector<QString> headings_;
    // What a new cell of each column starts as (its text is always empty).
    Row column_defaults_;
    std::vector<SpreadCellFormat> formats_;
    std::unordered_map<SpreadCellFormat, std::uint32_t, SpreadCellFormatHash> format_index_;
    bool notify_ = true;
};

}  // namespace kelvo
