// The columns a data system describes in its column-definition file, for
// run-list --columns. The reader of that file is not part of this program
// yet: the option is refused with a message until it is.
#include "cli/list_columns.h"

#include "ground/cp1252.h"

#include <iostream>

namespace kelvo::cli {

bool add_columns_from_file(ColumnTable& columns, const std::string& path)
{
    (void)columns;
    std::cerr << "error: column-definition files cannot be read yet: " << cp1252_to_utf8(path) << std::endl;
    return false;
}

}  // namespace kelvo::cli
