#pragma once
// The columns a chromatography data system adds to the sample list, read
// from its column-definition file (an INI file):
//
//   [system]   Numberofcolumns=n
//   [column1]  Spec=heading#flag#default#type      type: text, numeric, list, checkbox
//              Settings=...                        text: length
//                                                  numeric: minimum#maximum#decimals
//                                                  list: flag#editable#items#lines
//              Line1=...  Line2=...                list: the items, "#"-separated,
//                                                  joined over the lines
//
// Fields run to the next "#"; a missing field is empty; numbers are whole
// numbers ("-" and digits), anything else reads as 0.
//
// Reading the same file again (the data system announces its table anew,
// or the program is told to reload the columns) does not add its columns a
// second time: a column whose heading is in the table already is redefined
// in its place. Appending it again would give the table two columns of one
// heading, and every list saved afterwards would carry a header that the
// next start, which reads the file once, refuses.
#include <string>
#include <vector>

namespace kelvo {

class ColumnTable;
class IniFile;

struct ColumnFileReport {
    int added = 0;
    int redefined = 0;
    // What did not fit: columns beyond the table's 40, items beyond the
    // list-item table's 200. Each text names what was left out.
    std::vector<std::string> problems;
};

// Adds (or redefines) the columns the file defines.
ColumnFileReport read_column_definitions(const IniFile& file, ColumnTable& columns);
// The same from a file; a missing or unreadable file, or an empty path,
// defines no columns.
ColumnFileReport read_column_definition_file(const std::string& path, ColumnTable& columns);

// The "#"-separated field `index` (from 0) of a value; empty when missing.
std::string definition_field(const std::string& value, int index);

}  // namespace kelvo
