#pragma once
// The sample list's columns: an ordered table of at most 40 column records
// (the ten fixed columns first, then those a data system describes) and the
// one list-item table that the list columns share. Columns count from 1 in
// display order; the number is also the grid column.
#include <string>
#include <vector>

namespace kelvo {

// none: a data-system column of a type this program does not know; its
// cells are plain text without an editor of their own.
enum class ColumnKind { none = 0, text = 1, numeric = 2, list = 3, check_box = 4, choice = 5, status = 6 };

// The live list a choice column offers; the page supplies its entries.
enum class ProgramList { none, methods, trays, injectors };

struct SampleColumn {
    std::string heading;       // also the column's key in files and settings
    std::string default_text;  // what new cells get
    ColumnKind kind = ColumnKind::text;
    bool flag_a = true;        // kept for the data system, not used here
    bool editable = false;     // list and choice: the combo also takes typed text
    bool flag_b = false;       // kept for the data system, not used here
    int text_length = 0;       // text: most characters a cell holds (0: no limit)
    int decimals = 0;          // numeric
    double minimum = 0, maximum = 0;  // numeric
    int item_count = 0, first_item = 0;  // list: entries of the list-item table
    ProgramList program_list = ProgramList::none;  // choice
    double width = 10;         // in the grid's width units
    bool hidden = false;       // not shown, not validated; new rows get the default
};

// Numbers of the fixed columns.
namespace column_no {
inline constexpr int status = 1;
inline constexpr int method = 2;
inline constexpr int volume = 3;
inline constexpr int tray = 4;
inline constexpr int injector = 5;
inline constexpr int volume2 = 6;
inline constexpr int tray2 = 7;
inline constexpr int injector2 = 8;
inline constexpr int vial = 9;
inline constexpr int inj_per_vial = 10;
}  // namespace column_no

inline constexpr int fixed_column_count = 10;

// The first entries of the program lists when the fixed columns are built:
// they become the defaults of the choice columns (empty when a list is).
struct FixedColumnDefaults {
    std::string method;
    std::string tray;
    std::string injector;
};

class ColumnTable {
public:
    static constexpr int capacity = 40;
    static constexpr int list_item_capacity = 200;

    // Empties the table and the list-item table, then builds the ten fixed
    // columns.
    void build_fixed(const FixedColumnDefaults& defaults);
    // Appends a column; false when the table is full.
    bool add_column(const SampleColumn& column);
    // Appends an entry to the list-item table; false when it is full.
    bool add_list_item(const std::string& item);

    int count() const { return static_cast<int>(columns_.size()); }
    bool valid(int col) const { return col >= 1 && col <= count(); }
    // col from 1; must be valid.
    const SampleColumn& column(int col) const { return columns_[static_cast<std::size_t>(col - 1)]; }
    SampleColumn& column(int col) { return columns_[static_cast<std::size_t>(col - 1)]; }
    bool hidden(int col) const { return valid(col) && column(col).hidden; }
    // The entries a list column offers.
    std::vector<std::string> items_of(int col) const;
    const std::vector<std::string>& list_items() const { return list_items_; }

private:
    std::vector<SampleColumn> columns_;
    std::vector<std::string> list_items_;
};

// What a cell of the column holds when it is given `text`: text cells in
// capitals and cut to their length, numeric cells the number fitted into
// the range and rounded to the decimals, written without trailing zeros
// (empty for no number), status cells nothing, the others the text itself.
std::string normalise_cell(const SampleColumn& column, const std::string& text);

// Capitals of Windows-1252 text (the accented letters too).
std::string upper_cp1252(const std::string& text);

}  // namespace kelvo
