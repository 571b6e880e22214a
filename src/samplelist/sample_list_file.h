#pragma once
// The sample list file (".ksl") and its export (".txt"): a header line of
// the headings of columns 2..N, then one line per row, every cell followed
// by the separator (";" in the file, a tab in the export). Column 1
// (Status) is never written. Lines end with CR LF.
#include "ground/method_folder.h"

#include <string>
#include <vector>

namespace kelvo {

class ColumnTable;
class SampleTable;

inline constexpr char list_separator = ';';
inline constexpr char export_separator = '\t';

std::string list_header_line(const ColumnTable& columns, char separator);
std::string list_row_line(const SampleTable& table, int row, char separator);
// The header and every row.
std::vector<std::string> list_lines(const SampleTable& table, char separator);

// The cells of columns 1..N of a data line: Status empty, then for each
// column from 2 the next field (leading blanks skipped, up to the next
// ";"); columns beyond the line's last field are empty.
std::vector<std::string> split_list_line(const std::string& line, int column_count);

// The first cell (row, then column from 2) whose text holds the separator
// (or, for the file, a tab): row 0 when there is none.
struct CellRef {
    int col = 0;
    int row = 0;
};
CellRef cell_holding(const SampleTable& table, const std::string& characters);

}  // namespace kelvo
