#include "samplelist/sample_list_file.h"

#include "ground/text_utils.h"
#include "samplelist/sample_table.h"

namespace kelvo {

std::string list_header_line(const ColumnTable& columns, char separator)
{
    std::string line;
    for (int col = 2; col <= columns.count(); ++col) {
        line += columns.column(col).heading;
        line += separator;
    }
    return line;
}

std::string list_row_line(const SampleTable& table, int row, char separator)
{
    std::string line;
    for (int col = 2; col <= table.cols(); ++col) {
        line += table.cell(col, row);
        line += separator;
    }
    return line;
}

std::vector<std::string> list_lines(const SampleTable& table, char separator)
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(table.rows()) + 1);
    lines.push_back(list_header_line(table.columns(), separator));
    for (int row = 1; row <= table.rows(); ++row) lines.push_back(list_row_line(table, row, separator));
    return lines;
}

std::vector<std::string> split_list_line(const std::string& line, int column_count)
{
    std::vector<std::string> cells(static_cast<std::size_t>(column_count > 0 ? column_count : 0));
    std::size_t pos = 0;
    for (int col = 2; col <= column_count; ++col)
        cells[static_cast<std::size_t>(col - 1)] = next_field(line, pos, list_separator);
    return cells;
}

CellRef cell_holding(const SampleTable& table, const std::string& characters)
{
    for (int row = 1; row <= table.rows(); ++row)
        for (int col = 2; col <= table.cols(); ++col)
            if (table.cell(col, row).find_first_of(characters) != std::string::npos) return {col, row};
    return {};
}

}  // namespace kelvo
