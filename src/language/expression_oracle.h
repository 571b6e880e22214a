#pragma once
// The expression deciders as they were before the table of parts: the rules
// read top down, every operator of a part tried in turn, each part decided
// once. They give the same answers as expression_valid and
// evaluate_expression_quietly and serve the tests (and the fuzz harness) as
// the reference; they cost the cube of the number of operators.
#include "language/expression.h"

namespace kelvo {

bool expression_valid_by_split_scan(const ConfigDb& db, const std::string& text, const ValidityContext& context);

EvaluationResult evaluate_expression_by_split_scan(const ConfigDb& db, const std::string& text,
                                                   const EvaluationContext& context, const RunValues& run);

}  // namespace kelvo
