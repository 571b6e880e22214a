#include "language/bound_check.h"

#include "config/config_db.h"
#include "language/expression.h"

namespace kelvo {

bool bound_check(const ConfigDb& db, const std::string& text, const std::string& unit, int atom)
{
    ValidityContext context;
    context.unit = unit;
    context.empty_accepted = false;
    context.syr_allowed = true;
    context.atom = atom;
    return expression_valid(db, text, context);
}

bool parse_configuration(ConfigDb& db, const std::vector<std::string>& lines, Prompts& prompts,
                         const DebugSink& debug)
{
    return db.parse(lines, bound_check, prompts, debug);
}

}  // namespace kelvo
