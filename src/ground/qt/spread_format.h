#pragma once
// Cell formats of the spreadsheet grid: a cell type with its settings, and
// the rules that turn a text into what a cell of that type holds and shows.
// The codes are plain ints because callers (and the settings they come from)
// speak in the grid's numeric codes.
#include <QString>
#include <QStringList>

#include <cstddef>

namespace kelvo {

// CellType codes.
struct SpreadCellType {
    enum : int { edit = 1, float_number = 2, static_text = 5, combo_box = 8, check_box = 10 };
};

// TypeHAlign codes. "automatic" puts numbers right and everything else left.
struct SpreadHAlign {
    enum : int { automatic = 0, left = 1, right = 2, center = 3 };
};

// TypeEditCharCase codes.
struct SpreadCharCase {
    enum : int { as_typed = 0, upper = 1, lower = 2 };
};

struct SpreadCellFormat {
    int cell_type = SpreadCellType::edit;
    int h_align = SpreadHAlign::automatic;

    // Edit cells. A length of 0 means no limit.
    int edit_len = 0;
    int edit_char_case = SpreadCharCase::as_typed;

    // Float cells.
    int float_decimals = 2;
    double float_min = -99999999.99;
    double float_max = 99999999.99;
    QChar float_decimal_char = QLatin1Char('.');
    bool float_separator = false;  // thousands separators in the shown text

    // Combo-box cells.
    QStringList combo_items;
    bool combo_editable = false;

    // Check-box cells: the caption drawn beside the box.
    QString check_text;

    bool operator==(const SpreadCellFormat&) const = default;
};

struct SpreadCellFormatHash {
    std::size_t operator()(const SpreadCellFormat& f) const noexcept;
};

// The item list of a combo box given as tab-separated text. Each item is
// normally followed by a tab, so a trailing tab does not add an empty item.
QStringList spread_parse_combo_list(const QString& tab_separated);

// What a cell of format f stores when it is given `text`. Edit cells apply
// the character case and the length limit; float cells keep the number
// clamped to the range and rounded to the decimal places, written with "."
// and no separators ("" when the text is no number). `shown_form` says the
// text is written as the cell shows it (its decimal character, separators);
// otherwise it is the unformatted form with ".".
QString spread_normalise(const QString& text, const SpreadCellFormat& f, bool shown_form);

// The text a cell shows for its stored content.
QString spread_shown_text(const QString& stored, const SpreadCellFormat& f);
// The text an editor starts with: a float without separators.
QString spread_editor_text(const QString& stored, const SpreadCellFormat& f);
// The unformatted value: a float without trailing zeros ("1.5" for 1.50).
QString spread_value_text(const QString& stored, const SpreadCellFormat& f);

bool spread_is_checked(const QString& stored);

// Where a cell's text sits (always vertically centred).
Qt::Alignment spread_alignment(const SpreadCellFormat& f);

}  // namespace kelvo
