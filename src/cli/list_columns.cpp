// The columns a data system describes in its column-definition file, for
// run-list --columns.
#include "cli/list_columns.h"

#include "ground/cp1252.h"
#include "ground/ini_file.h"
#include "samplelist/column_definitions.h"

#include <iostream>

namespace kelvo::cli {

bool add_columns_from_file(ColumnTable& columns, const std::string& path)
{
    IniFile file;
    if (!file.load(path)) {
        std::cerr << "error: cannot read the column-definition file " << cp1252_to_utf8(path) << std::endl;
        return false;
    }
    for (const std::string& problem : read_column_definitions(file, columns).problems)
        std::cerr << "columns: " << cp1252_to_utf8(problem) << std::endl;
    return true;
}

}  // namespace kelvo::cli
