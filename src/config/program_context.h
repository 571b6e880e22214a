#pragma once
// The program-wide context: the one place that binds the configuration
// database, the program's method folder, the installed prompts and clock and
// the buffered debug list together. Only composition roots (the program's
// start-up, the command-line commands, tests) and the Qt adapters read it;
// they hand it to the core.
#include "config/context.h"

namespace kelvo {

const Context& program_context();
// The program-wide context with another configuration database (an editor
// page or a test that checks against its own).
Context program_context_with(const ConfigDb& db);
// The same with another clock as well.
Context program_context_with(const ConfigDb& db, Clock& clock);

}  // namespace kelvo
