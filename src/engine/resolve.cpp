#include "engine/resolve.h"

#include "config/config_db.h"
#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/parameter_line.h"
#include "language/value_checks.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvo {
namespace {

// The object a special name stands for, or nullptr.
const std::string* special_object(const RunValues& v, const std::string& text)
{
    if (same_text(text, "SL.tray")) return &v.sl.tray;
    if (same_text(text, "SL.tray2")) return &v.sl.tray2;
    if (same_text(text, "SL.injector")) return &v.sl.injector;
    if (same_text(text, "SL.injector2")) return &v.sl.injector2;
    if (same_text(text, "SYR")) return &v.mounted_syringe;
    return nullptr;
}

struct MacroCall {
    ParameterTable parameters;
    std::vector<std::string> values;
    bool present = false;
};

// The parameters and call values of the macro that line k came from.
MacroCall call_of(const ResolveInput& in, std::size_t k)
{
    MacroCall call;
    if (k >= in.lists.origins.size()) return call;
    const ExpandedLineOrigin& origin = in.lists.origins[k];
    const auto method_line = static_cast<std::size_t>(origin.method_line);
    if (method_line >= in.lists.running_method.size()) return call;
    call.present = true;
    // The lines were read and checked by the expansion; read them quietly.
    for (const std::string& line : in.lists.macro_params_of(k)) {
        MacroParameter p;
        if (!read_parameter_line(in.db, in.prompts, line, p)) p.name.clear();
        call.parameters.push_back(p);
    }
    call.values = call_line_values(in.lists.running_method[method_line]);
    return call;
}

bool resolve_numeric(const ResolveInput& in, const ConfigAtom& atom, int atom_index, const AtomArgument& arg,
                     const std::string& text, const MacroCall* call, const std::vector<std::string>& line_values,
                     std::string& out)
{
    const std::string label = atom.name + ":" + arg.name;
    if (text.empty()) {
        if (arg.required) {
            in.prompts.show_error(label + " cannot be defaulted");
            return false;
        }
        out.clear();
        return true;
    }
    RunValues values = in.values;
    values.atom_line_values = line_values;
    EvaluationContext context;
    context.unit = arg.unit;
    context.syringe = in.lists.syringe;
    context.label = label;
    context.atom = atom_index;
    if (call) {
        context.parameters = &call->parameters;
        context.call_values = &call->values;
    }
    double value = 0;
    if (!evaluate_expression(in.db, in.prompts, text, context, values, value) || !std::isfinite(value)) {
        in.prompts.show_error(label + ": cant understand " + text);
        return false;
    }
    context.parameters = nullptr;
    context.call_values = nullptr;
    double minimum = 0, maximum = 0;
    if (!evaluate_expression(in.db, in.prompts, arg.minimum, context, values, minimum)) {
        in.prompts.show_error("cant understand " + arg.minimum);
        return false;
    }
    if (!evaluate_expression(in.db, in.prompts, arg.maximum, context, values, maximum)) {
        in.prompts.show_error("cant understand " + arg.maximum);
        return false;
    }
    if (value < minimum)
        value = in.dialog.ask(label, arg.unit, maximum, minimum, minimum, value);
    else if (value > maximum)
        value = in.dialog.ask(label, arg.unit, maximum, minimum, maximum, value);
    if (!instrument_integer(value, arg.unit, out)) {
        in.prompts.show_error(label + ": cant understand " + text);
        return false;
    }
    return true;
}

std::optional<std::string> resolve(const ResolveInput& in, const std::string& line, const MacroCall* call)
{
    const std::string name = line_name(line);
    const int atom_index = in.db.atom_index(name);
    if (atom_index >= in.db.atom_count()) return line;
    const ConfigAtom& atom = in.db.atoms()[static_cast<std::size_t>(atom_index)];
    const std::vector<std::string> texts = atom_line_values(line);
    std::vector<std::string> resolved;
    for (std::size_t i = 0; i < atom.arguments.size(); ++i) {
        const AtomArgument& arg = atom.arguments[i];
        const std::string text = i < texts.size() ? texts[i] : std::string();
        std::string out;
        switch (arg.kind) {
        case ArgumentKind::list_index:
            out = std::to_string(in.db.list_position(static_cast<int>(arg.list_or_classes), text));
            break;
        case ArgumentKind::object:
            if (const std::string* object = special_object(in.values, text)) {
                out = *object;
            } else {
                out = text;
                if (call) {
                    const int position = parameter_position(call->parameters, text);
                    if (position >= 0)
                        out = static_cast<std::size_t>(position) < call->values.size()
                                  ? call->values[static_cast<std::size_t>(position)]
                                  : std::string();
                }
            }
            break;
        case ArgumentKind::numeric:
            if (!resolve_numeric(in, atom, atom_index, arg, text, call, texts, out)) return std::nullopt;
            break;
        }
        resolved.push_back(out);
    }
    return atom_line_text(name, resolved);
}

}  // namespace

bool instrument_integer(double value, const std::string& unit, std::string& out)
{
    if (is_scaled_unit(unit)) value *= 1000;
    if (!std::isfinite(value)) return false;
    // Decimal fractions are not exact in binary: 0.29 µl is 289.99999999999997
    // thousandths, which must still be sent as 290. Within a relative 1e-9 of
    // an integer the value is that integer; otherwise the fraction is cut off.
    const double nearest = std::round(value);
    value = std::abs(value - nearest) <= 1e-9 * std::max(1.0, std::abs(value)) ? nearest : std::trunc(value);
    // The instrument counts in 32-bit integers; beyond them lies nonsense.
    if (value > 2147483647.0 || value < -2147483648.0) return false;
    out = std::to_string(static_cast<long long>(value));
    return true;
}

std::optional<std::string> resolve_command(const ResolveInput& in, std::size_t k, const std::string& line)
{
    if (k < in.lists.origins.size() && in.lists.is_marker_line(in.lists.origins[k].method_line)) return line;
    const MacroCall call = call_of(in, k);
    return resolve(in, line, call.present ? &call : nullptr);
}

std::optional<std::string> resolve_error_command(const ResolveInput& in, const std::string& line)
{
    return resolve(in, line, nullptr);
}

}  // namespace kelvo
