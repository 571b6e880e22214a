#include "cli/commands.h"

namespace kelvo::cli {

// Each command lives in its own file; declare it here and add it to the table.

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = {
    };
    return table;
}

}  // namespace kelvo::cli
