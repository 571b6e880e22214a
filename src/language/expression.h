#pragma once
// Parameter expressions: the text form of every numeric value. A text is a
// number, a time, a sample-list variable, "Repeat Count", a property of the
// syringe ("SYR.Max Volume") or of an object argument of the atom
// ("Tray.Max Index"), a macro parameter, or a combination of these with
// + - * / and parentheses; every expression carries a unit.
//
// The validity test decides, without run-time values, whether a text is an
// acceptable expression in a unit; the evaluation computes its value at run
// time. Both split a text at the leftmost operator at which both parts are
// acceptable (no precedence: 10-2-3 is 10-(2-3) = 11), and both remember
// what they decided for each part, so that hostile texts cost polynomial and
// not exponential time.
#include "language/parameter_line.h"
#include "language/sample_variables.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
class Prompts;

// Longer texts (in normal form) are refused. The validity test fills a table
// of parts (expression_table.h): a text of 4000 characters costs at most
// about a second, one of 1000 some milliseconds.
inline constexpr std::size_t expression_length_limit = 4000;

// The settings of a validity test.
struct ValidityContext {
    std::string unit;                            // the unit asked for ("" is dimensionless)
    bool empty_accepted = false;                 // only the whole text; parts are never empty
    bool syr_allowed = false;                    // "SYR." followed by a syringe property
    int atom = -1;                               // atom (index in the database) whose object arguments may be named; -1: none
    const ParameterTable* parameters = nullptr;  // macro parameters that may be named; nullptr: none
};

// The values of the running system that an evaluation reads. The sample-list
// run, the Test Parameters dialog and the execution engine fill them.
struct RunValues {
    SampleVariables sl;                         // "SL.volume", ..., and the objects "SL.tray", ... stand for
    std::string mounted_syringe;                // the object "SYR" stands for
    int repeat_count = 0;                       // of the running (or last) "REPEAT" block
    int repeat_remaining = 0;                   // starts at the count, one less at each "END"
    std::vector<std::string> atom_line_values;  // of the atom line being executed, by argument position
};

// The settings of an evaluation.
struct EvaluationContext {
    std::string unit;
    std::string syringe;   // the object whose properties "SYR." names; empty: none (then "SYR." names nothing)
    std::string label;     // ends the messages ("SL.volume has wrong units for " + label)
    int atom = -1;         // atom of the line being executed; -1: none
    const ParameterTable* parameters = nullptr;           // nullptr: no parameter context
    const std::vector<std::string>* call_values = nullptr;  // what the macro call gives each parameter, by position
};

// The outcome of an evaluation with the messages that arose on the way, in
// order. They explain a failure; a success makes them moot.
struct EvaluationResult {
    bool ok = false;
    double value = 0;
    std::vector<std::string> messages;
};

// --- the operations ---

bool expression_valid(const ConfigDb& db, const std::string& text, const ValidityContext& context);

// Evaluates text. On failure shows the first message that arose while
// evaluating (error box, through prompts), if any; on success shows nothing.
// value is 0 on failure.
bool evaluate_expression(const ConfigDb& db, Prompts& prompts, const std::string& text,
                         const EvaluationContext& context, const RunValues& run, double& value);
// The same without showing anything.
EvaluationResult evaluate_expression_quietly(const ConfigDb& db, const std::string& text,
                                             const EvaluationContext& context, const RunValues& run);

// The evaluation for a line of the error path: no parameter context; object
// arguments take their values from the error-handler command being executed.
// Shows as evaluate_expression does.
bool evaluate_error_command_expression(const ConfigDb& db, Prompts& prompts, const std::string& text,
                                       const std::string& unit, const std::string& syringe,
                                       const std::string& label, int atom,
                                       const std::vector<std::string>& command_values, const RunValues& run,
                                       double& value);

// --- the pieces ---

// Drops a leading and a trailing blank and every blank next to one of
// ( ) * + - / (judged on the text as given). Other blanks stay ("Repeat Count").
std::string expression_normal_form(const std::string& text);

// The decimal form: optional "-", digits with at most one ".".
bool is_plain_number(const std::string& text);
// Minutes and seconds: ":S", "M:" or "M:S" with M an integer and S a plain
// number below 60.
bool is_time_form(const std::string& text);
// The seconds of a time form (0 for any other text).
double time_form_seconds(const std::string& text);

// The value of property B for object O in unit u, found through at most
// three object references; 1 when no path exists. "Max Index" is
// "Spl Per Col" times "Spl Per Row" of the object where "Spl Per Col" is found.
double property_search(const ConfigDb& db, const std::string& object, const std::string& property,
                       const std::string& unit);

}  // namespace kelvo
