#pragma once
// Contexts for the tests: the configuration under test with the program's
// method folder (which the fixtures point at their folders), the prompts and
// clock installed at the time of each call, and the buffered debug list.
#include "config/program_context.h"

namespace kelvo::test {

inline Context context_with(const ConfigDb& db) { return program_context_with(db); }
inline Context context_with(const ConfigDb& db, Clock& clock) { return program_context_with(db, clock); }

}  // namespace kelvo::test
