#pragma once
// Columns from a column-definition file, added after the fixed columns.
#include "samplelist/sample_columns.h"

#include <string>

namespace kelvo::cli {

// The fixed columns with the defaults the program would give them: the
// first method of the folder, the first tray and injector.
void build_cli_columns(ColumnTable& columns);

// Reads the column-definition file at path (Windows-1252) into the table;
// false (after a message) when it cannot.
bool add_columns_from_file(ColumnTable& columns, const std::string& path);

}  // namespace kelvo::cli
