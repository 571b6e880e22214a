// cadenzor-cli expr: the validity test of a parameter expression against a
// configuration and, when it is valid, its evaluation with the run-time
// values given on the command line.
#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "ground/text_utils.h"
#include "cli/cli_prompts.h"
#include "cli/commands.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "language/bound_check.h"
#include "language/expression.h"

#include <iostream>
#include <string>
#include <vector>

namespace kelvo::cli {
namespace {

constexpr const char* expr_usage =
    "usage: cadenzor-cli expr --config FILE [--unit U] [--empty-ok] [--syr] [--line 'ATOM(v1,v2,)']\n"
    "         [--param 'NAME (UNIT);...=VALUE']... [--syringe NAME] [--set NAME=VALUE]... TEXT\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli expr: " << why << "\n" << expr_usage;
    return 2;
}

// Command-line texts are UTF-8; everything inside is Windows-1252.
bool to_cp1252(const std::string& utf8, std::string& out)
{
    bool ok = true;
    out = utf8_to_cp1252(utf8, &ok);
    return ok;
}

// "ATOM(v1,v2,)": the atom name and its values; the empty piece after the
// last comma is no value.
bool split_atom_line(const std::string& line, std::string& atom, std::vector<std::string>& values)
{
    const auto open = line.find('(');
    if (open == std::string::npos || line.empty() || line.back() != ')') return false;
    atom = line.substr(0, open);
    const std::string inside = line.substr(open + 1, line.size() - open - 2);
    values.clear();
    std::size_t start = 0;
    while (start < inside.size()) {
        const auto comma = inside.find(',', start);
        if (comma == std::string::npos) {
            values.push_back(inside.substr(start));
            break;
        }
        values.push_back(inside.substr(start, comma - start));
        start = comma + 1;
    }
    return true;
}

// A parameter line of the macro file format: numeric "NAME (UNIT);..." or
// object "NAME;CLASS;...".
bool read_parameter(const ConfigDb& db, const std::string& line, MacroParameter& parameter)
{
    std::size_t pos = 0;
    const std::string first = next_field(line, pos, ';');
    const std::string second = next_field(line, pos, ';');
    parameter = MacroParameter{};
    if (!second.empty() && db.class_index(second) < db.class_count()) {
        parameter.name = first;
        parameter.classes = db.class_bit(second);
        return !first.empty();
    }
    const auto open = first.find('(');
    if (open == std::string::npos || open < 2) return false;
    const auto close = first.find(')', open + 1);
    if (close == std::string::npos) return false;
    parameter.name = first.substr(0, open - 1);
    parameter.unit = first.substr(open + 1, close - open - 1);
    return true;
}

// The command line of expr, as given (UTF-8).
struct ExprArguments {
    std::string config_path, unit, line, syringe, text;
    bool empty_ok = false, syr = false, have_text = false;
    std::vector<std::string> parameter_args, set_args;
};

// Returned by the steps that let the command go on.
constexpr int go_on = -1;

int read_arguments(const Args& args, ExprArguments& e)
{
    bool options_done = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takes_value = a == "--config" || a == "--unit" || a == "--line" || a == "--param" ||
                                 a == "--syringe" || a == "--set";
        if (!options_done && takes_value) {
            if (i + 1 >= args.size()) return usage_error(a + " needs a value");
            const std::string& v = args[++i];
            if (a == "--config") e.config_path = v;
            else if (a == "--unit") e.unit = v;
            else if (a == "--line") e.line = v;
            else if (a == "--param") e.parameter_args.push_back(v);
            else if (a == "--syringe") e.syringe = v;
            else e.set_args.push_back(v);
        } else if (!options_done && a == "--empty-ok") {
            e.empty_ok = true;
        } else if (!options_done && a == "--syr") {
            e.syr = true;
        } else if (!options_done && a == "--") {
            options_done = true;
        } else if (!options_done && a.size() > 2 && a.compare(0, 2, "--") == 0) {
            return usage_error("unknown option " + a);
        } else {
            // A text such as -2+3 is no option.
            if (e.have_text) return usage_error("more than one TEXT");
            e.text = a;
            e.have_text = true;
        }
    }
    if (e.config_path.empty()) return usage_error("--config FILE is required");
    if (!e.have_text) return usage_error("TEXT is missing");
    return go_on;
}

int read_configuration(const std::string& config_path, ConfigDb& db)
{
    std::vector<std::string> lines;
    if (!read_text_lines(config_path, lines)) {
        std::cerr << "cadenzor-cli expr: cannot read " << config_path << "\n";
        return 2;
    }
    if (!parse_configuration(db, lines, prompts(), debug_line)) {
        std::cerr << "cadenzor-cli expr: the configuration " << config_path << " does not parse\n";
        return 2;
    }
    return go_on;
}

// "--line": the atom whose line the text stands in, and the line's values.
int read_atom_line(const ConfigDb& db, const std::string& line_1252, RunValues& run, int& atom)
{
    atom = -1;
    if (line_1252.empty()) return go_on;
    std::string atom_name;
    if (!split_atom_line(line_1252, atom_name, run.atom_line_values))
        return usage_error("--line must have the form ATOM(v1,v2,)");
    atom = db.atom_index(atom_name);
    if (atom >= db.atom_count()) return usage_error("unknown atom " + cp1252_to_utf8(atom_name));
    return go_on;
}

// "--param": the macro's parameters and the call's values for them.
int read_parameters(const ConfigDb& db, const std::vector<std::string>& parameter_args, ParameterTable& parameters,
                    std::vector<std::string>& call_values)
{
    for (const std::string& p : parameter_args) {
        std::string p1252;
        if (!to_cp1252(p, p1252)) return usage_error("a text has a character that Windows-1252 cannot hold");
        const auto eq = p1252.find('=');
        MacroParameter parameter;
        if (eq == std::string::npos || !read_parameter(db, p1252.substr(0, eq), parameter))
            return usage_error("--param must be a parameter line, '=' and the value: " + p);
        parameters.push_back(parameter);
        call_values.push_back(p1252.substr(eq + 1));
    }
    return go_on;
}

// "--set": the sample variables and the repeat count of the run.
int read_run_values(const std::vector<std::string>& set_args, RunValues& run)
{
    for (const std::string& s : set_args) {
        std::string s1252;
        if (!to_cp1252(s, s1252)) return usage_error("a text has a character that Windows-1252 cannot hold");
        const auto eq = s1252.find('=');
        const std::string name = eq == std::string::npos ? s1252 : s1252.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : s1252.substr(eq + 1);
        if (eq != std::string::npos && same_text(name, "Repeat Count") && is_integer(value) && value.size() < 10) {
            // Pass n of a block: count n with one pass remaining.
            run.repeat_count = integer_or_zero(value);
            run.repeat_remaining = 1;
        } else if (eq == std::string::npos || !set_sample_variable(run.sl, name, value)) {
            return usage_error("--set needs SL.volume, SL.volume2, SL.index, SL.injpervial, SL.tray, SL.tray2, "
                               "SL.injector, SL.injector2 or Repeat Count, '=' and a fitting value: " + s);
        }
    }
    return go_on;
}

// What the text is tested and evaluated with, in Windows-1252.
struct ExprInput {
    std::string unit, text, syringe;
    int atom = -1;
    const ParameterTable* parameters = nullptr;
    const std::vector<std::string>* call_values = nullptr;
};

// Prints "valid" and the value (or "fails"), or "invalid"; the exit code.
int test_and_evaluate(const ConfigDb& db, const ExprArguments& e, const ExprInput& in, const RunValues& run)
{
    ValidityContext validity;
    validity.unit = in.unit;
    validity.empty_accepted = e.empty_ok;
    validity.syr_allowed = e.syr;
    validity.atom = in.atom;
    validity.parameters = in.parameters;
    if (!expression_valid(db, in.text, validity)) {
        print_line("invalid");
        return 1;
    }
    print_line("valid");

    EvaluationContext evaluation;
    evaluation.unit = in.unit;
    evaluation.syringe = in.syringe;
    evaluation.label = in.text;
    evaluation.atom = in.atom;
    evaluation.parameters = validity.parameters;
    evaluation.call_values = in.call_values;
    double value = 0;
    if (evaluate_expression(db, prompts(), in.text, evaluation, run, value)) print_line("value " + decimal_text(value));
    else print_line("fails");
    return 0;
}

}  // namespace

int run_expr(const Args& args)
{
    ExprArguments e;
    if (const int code = read_arguments(args, e); code != go_on) return code;
    ConfigDb db;
    if (const int code = read_configuration(e.config_path, db); code != go_on) return code;

    ExprInput in;
    std::string line_1252;
    if (!to_cp1252(e.unit, in.unit) || !to_cp1252(e.text, in.text) || !to_cp1252(e.line, line_1252) ||
        !to_cp1252(e.syringe, in.syringe))
        return usage_error("a text has a character that Windows-1252 cannot hold");

    RunValues run;
    run.mounted_syringe = in.syringe;
    if (const int code = read_atom_line(db, line_1252, run, in.atom); code != go_on) return code;
    ParameterTable parameters;
    std::vector<std::string> call_values;
    if (const int code = read_parameters(db, e.parameter_args, parameters, call_values); code != go_on) return code;
    if (const int code = read_run_values(e.set_args, run); code != go_on) return code;
    if (!e.parameter_args.empty()) {
        in.parameters = &parameters;
        in.call_values = &call_values;
    }
    return test_and_evaluate(db, e, in, run);
}

}  // namespace kelvo::cli
