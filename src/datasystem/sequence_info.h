#pragma once
// The row that the data system gets, and the exchange file's section
// "sequence info" that carries it.
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

class IniFile;

inline constexpr const char* sequence_info_section = "sequence info";

// One sample-list row as the data system sees it: the list's name and, for
// every grid column from Method to the last (Status left out), the heading
// and the cell's displayed text.
struct SequenceRow {
    std::string sequence_name;
    std::vector<std::pair<std::string, std::string>> cells;  // heading, displayed text
};

// "column01", ..., "column09", "column10", ...: position counted from Method.
std::string sequence_column_key(std::size_t position);

// Erases the section, then writes "numcolumns" (the columns with Status),
// "sequencename" and one "column" key per cell: heading + "#" + text.
void write_sequence_info(IniFile& file, const SequenceRow& row);

// Why the path may not be used as the exchange file; empty when it names an
// existing regular file. A symbolic link is refused as well: the program
// writes only the file the data system named itself.
std::string exchange_file_refusal(const std::string& path);

}  // namespace kelvo
