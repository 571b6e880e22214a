#include "language/expression.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/expression_frames.h"
#include "language/expression_oracle.h"
#include "language/expression_parts.h"
#include "language/expression_table.h"

#include <cmath>
#include <cstdint>
#include <algorithm>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace kelvo {
namespace {

using expression_parts::iequal;

using namespace expression_detail;

// What was decided for (frame, range, unit). Ranges of the whole text's
// frame begin at its start or after one of + - * / ( and end at its end or
// before one of + - * / ), so a table over those boundaries holds them all;
// the rare ranges of later frames go to a hash map.
template <typename Entry>
class RangeMemo {
public:
    explicit RangeMemo(const std::string& top)
    {
        const std::size_t n = top.size();
        start_id_.assign(n + 1, -1);
        end_id_.assign(n + 1, -1);
        int starts = 0, ends = 0;
        for (std::size_t i = 0; i <= n; ++i) {
            const char before = i > 0 ? top[i - 1] : '+';
            const char at = i < n ? top[i] : '+';
            if (before == '+' || before == '-' || before == '*' || before == '/' || before == '(') start_id_[i] = starts++;
            if (at == '+' || at == '-' || at == '*' || at == '/' || at == ')') end_id_[i] = ends++;
        }
        ends_ = static_cast<std::size_t>(ends);
        const std::size_t entries = static_cast<std::size_t>(starts) * ends_ * unit_slots;
        // A text of operators only would want megabytes; it gets the hash map.
        if (entries * sizeof(Entry) <= dense_byte_limit) dense_.resize(entries);
    }
    Entry& at(int f, int b, int e, int u)
    {
        if (f == 0 && !dense_.empty()) {
            const int sb = start_id_[static_cast<std::size_t>(b)], se = end_id_[static_cast<std::size_t>(e)];
            if (sb >= 0 && se >= 0)
                return dense_[(static_cast<std::size_t>(sb) * ends_ + static_cast<std::size_t>(se)) * unit_slots +
                              static_cast<std::size_t>(u)];
        }
        const std::uint64_t key = (static_cast<std::uint64_t>(f) << 40) | (static_cast<std::uint64_t>(b) << 24) |
                                  (static_cast<std::uint64_t>(e) << 8) | static_cast<std::uint64_t>(u);
        return sparse_[key];  // references into an unordered_map survive rehashing
    }

private:
    static constexpr std::size_t dense_byte_limit = std::size_t(4) << 20;
    std::vector<int> start_id_, end_id_;
    std::size_t ends_ = 0;
    std::vector<Entry> dense_;
    std::unordered_map<std::uint64_t, Entry> sparse_;
};

// The first parameter of that name, or nullptr.
const MacroParameter* first_parameter(const ParameterTable* table, std::string_view name, int* position = nullptr)
{
    if (!table) return nullptr;
    for (std::size_t i = 0; i < table->size(); ++i) {
        if (iequal((*table)[i].name, name)) {
            if (position) *position = static_cast<int>(i);
            return &(*table)[i];
        }
    }
    return nullptr;
}

// Parameters stand for numbers only when they are numeric; an object
// parameter's empty unit does not make it a dimensionless value.
bool parameter_fits(const MacroParameter* p, const std::string& unit) { return p && !p->is_object() && p->unit == unit; }

// ---------------------------------------------------------------- validity

// The longest text any operand of the test can be other than a number or a
// time (names, properties, parameters): longer parts holding more than two
// of + - * / are never operands.
std::size_t operand_length_bound(const ConfigDb& db, int atom, const ParameterTable* parameters)
{
    std::size_t longest_property = 9;  // "Max Index"
    for (const ConfigClass& c : db.classes())
        for (const ConfigProperty& p : c.properties) longest_property = std::max(longest_property, p.name.size());
    std::size_t bound = 13;  // "SL.injpervial"
    bound = std::max(bound, 4 + longest_property);  // "SYR." and a property
    if (atom >= 0 && atom < db.atom_count())
        for (const AtomArgument& a : db.atoms()[static_cast<std::size_t>(atom)].arguments)
            bound = std::max(bound, a.name.size() + 1 + longest_property);
    if (parameters)
        for (const MacroParameter& p : *parameters) bound = std::max(bound, p.name.size());
    return bound;
}

// The operand rules that need no context, in every unit slot at once: a
// plain number fits every unit (true: nothing more to test), a time fits "s",
// "Repeat Count" has no unit.
bool context_free_operand(std::string_view t, AtomUnits& a)
{
    if (expression_parts::plain_number(t, nullptr)) {
        a.accepted = (1u << unit_slots) - 1;
        return true;
    }
    if (expression_parts::time_form(t, nullptr)) a.accepted |= 1u << unit_s;
    if (iequal(t, "Repeat Count")) a.accepted |= 1u << unit_none;
    return false;
}

// The operand rules of the validity test, in every unit slot at once.
AtomUnits validity_operand(const ConfigDb& db, const ValidityContext& context, const UnitTable& units,
                           std::string_view t)
{
    AtomUnits a;
    if (t.empty() || context_free_operand(t, a)) return a;
    if (iequal(t, "SL.volume") || iequal(t, "SL.volume2")) a.accepted |= 1u << unit_ul;
    if (iequal(t, "SL.index") || iequal(t, "SL.injpervial")) a.accepted |= 1u << unit_none;
    const MacroParameter* parameter = first_parameter(context.parameters, t);
    for (int u = 0; u < unit_slots; ++u) {
        const std::string& unit = units.name(u);
        if ((context.syr_allowed && expression_parts::syringe_property(db, t, unit) >= 0) ||
            expression_parts::object_property_fits(db, context.atom, t, unit) || parameter_fits(parameter, unit))
            a.accepted |= static_cast<UnitSet>(1u << u);
    }
    a.touched = a.accepted;
    return a;
}

// Texts longer than the old bound of 400 characters are refused when their
// table would hold more ranges than this (about a second's work): only a
// text with both hundreds of operators and long runs of blanks next to them
// (every blank of such a run makes another frame) comes near it.
constexpr std::size_t always_decided_length = 400;
constexpr double range_budget = 2.5e6;

bool beyond_budget(FrameChain& chain)
{
    return chain.text(0).size() > always_decided_length && SpanTable::ranges(chain) > range_budget;
}

// The validity test over the table of parts.
bool table_valid(const ConfigDb& db, const ValidityContext& context, std::string normal)
{
    const UnitTable units(context.unit);
    FrameChain chain(std::move(normal));
    if (beyond_budget(chain)) return false;
    const SpanTable::Atoms atoms = [&](std::string_view t) { return validity_operand(db, context, units, t); };
    const SpanTable table(chain, SpanTable::reachable_units(units.asked()),
                          operand_length_bound(db, context.atom, context.parameters), atoms, false, 0);
    const int size = static_cast<int>(chain.text(0).size());
    return (table.accepted(0, 0, size) >> units.asked()) & 1;
}

// The split scan: the rules read top down, each part decided once. Kept as
// the reference the table is tested against.
class SplitScanValidator {
public:
    SplitScanValidator(const ConfigDb& db, const ValidityContext& context, std::string normal)
        : db_(db), context_(context), units_(context.unit), size_(static_cast<int>(normal.size())),
          chain_(std::move(normal)), memo_(chain_.text(0))
    {
    }

    bool whole() { return rules(0, 0, size_, units_.asked()); }

private:
    enum : std::uint8_t { unknown = 0, refused = 1, accepted = 2 };

    bool part(int f, int b, int e, int u)
    {
        chain_.to_normal_form(f, b, e);
        return rules(f, b, e, u);
    }

    bool rules(int f, int b, int e, int u)
    {
        const std::uint8_t known = memo_.at(f, b, e, u);
        if (known != unknown) return known == accepted;
        const bool valid = decide(f, b, e, u);
        memo_.at(f, b, e, u) = valid ? accepted : refused;
        return valid;
    }

    bool decide(int f, int b, int e, int u)
    {
        const std::string_view t = std::string_view(chain_.text(f)).substr(static_cast<std::size_t>(b),
                                                                            static_cast<std::size_t>(e - b));
        const std::string& unit = units_.name(u);
        if (t.empty()) return false;  // parts are never empty
        if (expression_parts::plain_number(t, nullptr)) return true;
        if (u == unit_s && expression_parts::time_form(t, nullptr)) return true;
        if (iequal(t, "Repeat Count") && u == unit_none) return true;
        if ((iequal(t, "SL.volume") || iequal(t, "SL.volume2")) && u == unit_ul) return true;
        if ((iequal(t, "SL.index") || iequal(t, "SL.injpervial")) && u == unit_none) return true;
        if (context_.syr_allowed && expression_parts::syringe_property(db_, t, unit) >= 0) return true;
        if (expression_parts::object_property_fits(db_, context_.atom, t, unit)) return true;
        if (parameter_fits(first_parameter(context_.parameters, t), unit)) return true;
        if (t.front() == '-' && part(f, b + 1, e, u)) return true;
        if (t.size() >= 2 && t.front() == '(' && t.back() == ')' && part(f, b + 1, e - 1, u)) return true;
        if (t.size() < 3) return false;
        for (int p = chain_.next_operator(f, b + 1); p <= e - 2; p = chain_.next_operator(f, p + 1)) {
            Combination c[4];
            const int n = combinations(chain_.text(f)[static_cast<std::size_t>(p)], u, c);
            for (int i = 0; i < n; ++i)
                if (part(f, b, p, c[i].left) && part(f, p + 1, e, c[i].right)) return true;
        }
        return false;
    }

    const ConfigDb& db_;
    const ValidityContext& context_;
    UnitTable units_;
    int size_;
    FrameChain chain_;
    RangeMemo<std::uint8_t> memo_;
};

// -------------------------------------------------------------- evaluation

// What one evaluation shares with the evaluations of the parameter values it
// names.
struct EvaluationSession {
    const ConfigDb& db;
    const EvaluationContext& context;
    const RunValues& run;
    std::vector<std::string> messages;
    enum : std::uint8_t { unknown = 0, running = 1, failed = 2, done = 3 };
    std::vector<std::uint8_t> parameter_state;  // by position
    std::vector<double> parameter_value;
    bool pruned = true;  // false: the split scan alone (the reference)

    void message(const std::string& text)
    {
        for (const std::string& m : messages)
            if (m == text) return;
        messages.push_back(text);
    }
};

bool evaluate_normal(EvaluationSession& session, std::string normal, const std::string& unit, double& value);

// The sample-list names whose unit is fixed; asked for in another unit
// each leaves the message "<name> has wrong units for <label>" once.
constexpr const char* fixed_unit_names[4] = {"SL.volume", "SL.volume2", "SL.index", "SL.injpervial"};

// The operand rules of the evaluation in every unit slot at once: where one
// may give a value (accepted), and where trying it may leave a message or
// evaluate a parameter value (touched). silent: bit i set when the message
// of fixed_unit_names[i] is recorded already (another changes nothing).
AtomUnits evaluation_operand(const ConfigDb& db, const EvaluationContext& c, const UnitTable& units, std::string_view t,
                             unsigned silent)
{
    AtomUnits a;
    if (t.empty() || context_free_operand(t, a)) return a;
    for (unsigned i = 0; i < 4; ++i) {
        if (!iequal(t, fixed_unit_names[i])) continue;
        a.accepted |= 1u << (i < 2 ? unit_ul : unit_none);
        if (!((silent >> i) & 1)) a.touched = (1u << unit_slots) - 1;
    }
    const MacroParameter* parameter = c.call_values ? first_parameter(c.parameters, t) : nullptr;
    for (int u = 0; u < unit_slots; ++u) {
        const std::string& unit = units.name(u);
        if ((!c.syringe.empty() && expression_parts::syringe_property(db, t, unit) >= 0) ||
            expression_parts::object_property_fits(db, c.atom, t, unit))
            a.accepted |= static_cast<UnitSet>(1u << u);
        if (parameter_fits(parameter, unit)) {
            // The value is evaluated (its messages recorded) when first named.
            a.accepted |= static_cast<UnitSet>(1u << u);
            a.touched |= static_cast<UnitSet>(1u << u);
        }
    }
    return a;
}

// Tables of later frames are kept for the pruning up to this size.
constexpr std::size_t evaluation_table_bytes = std::size_t(16) << 20;

// The evaluation reads the rules top down, as the split scan does, so that
// the value and the messages come from the leftmost split that works; the
// table of parts (when pruned) lets it pass over every part that can
// neither give a value nor leave a message, which it would try in vain.
class Evaluator {
public:
    Evaluator(EvaluationSession& session, std::string normal, const std::string& unit)
        : s_(session), units_(unit), size_(static_cast<int>(normal.size())), chain_(std::move(normal)),
          memo_(chain_.text(0))
    {
        if (s_.pruned && beyond_budget(chain_)) refused_ = true;
        else if (s_.pruned) build_table();
    }

    bool whole(double& value)
    {
        if (refused_) {
            value = 0;
            return false;
        }
        return rules(0, 0, size_, units_.asked(), value);
    }

private:
    struct Entry {
        std::uint8_t state = 0;  // 0 unknown, 1 failed, 2 evaluated
        double value = 0;
    };

    bool part(int f, int b, int e, int u, double& value)
    {
        chain_.to_normal_form(f, b, e);
        return rules(f, b, e, u, value);
    }

    bool rules(int f, int b, int e, int u, double& value)
    {
        // A part that can neither give a value nor leave a trace fails
        // silently; nothing is lost by not trying it.
        if (table_ && s_.messages.size() != messages_seen_) refresh_table();
        if (table_ && table_->kept(f) && !(((table_->accepted(f, b, e) | table_->touched(f, b, e)) >> u) & 1)) {
            value = 0;
            return false;
        }
        const Entry known = memo_.at(f, b, e, u);
        if (known.state != 0) {
            value = known.value;
            return known.state == 2;
        }
        value = 0;
        const bool ok = decide(f, b, e, u, value);
        if (!ok) value = 0;
        memo_.at(f, b, e, u) = Entry{static_cast<std::uint8_t>(ok ? 2 : 1), value};
        return ok;
    }

    bool decide(int f, int b, int e, int u, double& v)
    {
        const std::string_view t = std::string_view(chain_.text(f)).substr(static_cast<std::size_t>(b),
                                                                            static_cast<std::size_t>(e - b));
        const std::string& unit = units_.name(u);
        const ConfigDb& db = s_.db;
        const EvaluationContext& c = s_.context;
        const RunValues& run = s_.run;
        if (t.empty()) return false;
        if (expression_parts::plain_number(t, &v)) return true;
        if (u == unit_s && expression_parts::time_form(t, &v)) return true;
        if (iequal(t, "Repeat Count") && u == unit_none) {
            v = run.repeat_count + 1.0 - run.repeat_remaining;
            return true;
        }
        for (const auto& [name, variable] : {std::pair<const char*, double>{"SL.volume", run.sl.volume},
                                             std::pair<const char*, double>{"SL.volume2", run.sl.volume2}}) {
            if (!iequal(t, name)) continue;
            if (u == unit_ul) {
                v = variable;
                return true;
            }
            s_.message(std::string(name) + " has wrong units for " + c.label);
            return false;
        }
        for (const auto& [name, variable] : {std::pair<const char*, int>{"SL.index", run.sl.index},
                                             std::pair<const char*, int>{"SL.injpervial", run.sl.injpervial}}) {
            if (!iequal(t, name)) continue;
            if (u == unit_none) {
                v = variable;
                return true;
            }
            s_.message(std::string(name) + " has wrong units for " + c.label);
            return false;
        }
        if (!c.syringe.empty()) {
            const int p = expression_parts::syringe_property(db, t, unit);
            if (p >= 0) {
                v = expression_parts::numeric_property_of(db, c.syringe, db.classes()[static_cast<std::size_t>(db.syringe_class())]
                                                                             .properties[static_cast<std::size_t>(p)]
                                                                             .name,
                                                          &unit);
                return true;
            }
        }
        if (expression_parts::object_property_fits(db, c.atom, t, unit)) {
            v = object_property_value(t, unit);
            return true;
        }
        int position = -1;
        if (c.call_values && parameter_fits(first_parameter(c.parameters, t, &position), unit) &&
            parameter_value(position, unit, v))
            return true;
        if (t.front() == '-' && part(f, b + 1, e, u, v)) {
            v = -v;
            return true;
        }
        if (t.size() >= 2 && t.front() == '(' && t.back() == ')' && part(f, b + 1, e - 1, u, v)) return true;
        if (t.size() < 3) return false;
        for (int p = chain_.next_operator(f, b + 1); p <= e - 2; p = chain_.next_operator(f, p + 1)) {
            const char op = chain_.text(f)[static_cast<std::size_t>(p)];
            Combination comb[4];
            const int n = combinations(op, u, comb);
            for (int i = 0; i < n; ++i) {
                double left, right;
                if (!part(f, b, p, comb[i].left, left) || !part(f, p + 1, e, comb[i].right, right)) continue;
                switch (op) {
                case '+': v = left + right; break;
                case '-': v = left - right; break;
                case '*': v = left * right; break;
                default: v = right == 0 ? 0 : left / right; break;
                }
                return true;
            }
        }
        return false;
    }

    // An object argument's property: the object the atom line gives for the
    // argument, with the sample-list and syringe names resolved.
    double object_property_value(std::string_view t, const std::string& unit)
    {
        const ConfigDb& db = s_.db;
        const RunValues& run = s_.run;
        const std::string head = expression_parts::head_of(t);
        const std::string tail = expression_parts::tail_of(t);
        const int position = expression_parts::argument_position(db, s_.context.atom, head);
        // The validity rule admits only object arguments; these guard the
        // messages should the two ever part.
        if (position < 0) {
            s_.message(db.atoms()[static_cast<std::size_t>(s_.context.atom)].name + ":" + head +
                       " does not refer to an object");
            return 1;
        }
        if (db.atoms()[static_cast<std::size_t>(s_.context.atom)].arguments[static_cast<std::size_t>(position)].kind !=
            ArgumentKind::object) {
            s_.message(head + " is not an object");
            return 1;
        }
        std::string object = static_cast<std::size_t>(position) < run.atom_line_values.size()
                                 ? run.atom_line_values[static_cast<std::size_t>(position)]
                                 : std::string();
        if (same_text(object, "SL.tray")) object = run.sl.tray;
        else if (same_text(object, "SL.tray2")) object = run.sl.tray2;
        else if (same_text(object, "SL.injector")) object = run.sl.injector;
        else if (same_text(object, "SL.injector2")) object = run.sl.injector2;
        else if (same_text(object, "SYR")) object = run.mounted_syringe;
        return property_search(db, object, tail, unit);
    }

    // The value the macro call gives the parameter, evaluated once. A value
    // that names its own parameter, directly or through others, fails.
    bool parameter_value(int position, const std::string& unit, double& v)
    {
        const std::size_t i = static_cast<std::size_t>(position);
        if (s_.parameter_state.size() <= i) {
            s_.parameter_state.resize(i + 1, EvaluationSession::unknown);
            s_.parameter_value.resize(i + 1, 0);
        }
        switch (s_.parameter_state[i]) {
        case EvaluationSession::done:
            v = s_.parameter_value[i];
            return true;
        case EvaluationSession::failed:
        case EvaluationSession::running:
            return false;
        default:
            break;
        }
        s_.parameter_state[i] = EvaluationSession::running;
        const std::string text = i < s_.context.call_values->size() ? (*s_.context.call_values)[i] : std::string();
        const bool ok = evaluate_normal(s_, expression_normal_form(text), unit, v);
        s_.parameter_state[i] = ok ? EvaluationSession::done : EvaluationSession::failed;
        s_.parameter_value[i] = ok ? v : 0;
        return ok;
    }

    EvaluationSession& s_;
    UnitTable units_;
    int size_;
    FrameChain chain_;
    RangeMemo<Entry> memo_;
    // The messages of the sample-list names whose message is recorded.
    unsigned silent_names() const
    {
        unsigned silent = 0;
        for (unsigned i = 0; i < 4; ++i) {
            const std::string text = std::string(fixed_unit_names[i]) + " has wrong units for " + s_.context.label;
            for (const std::string& m : s_.messages)
                if (m == text) silent |= 1u << i;
        }
        return silent;
    }

    void build_table()
    {
        messages_seen_ = s_.messages.size();
        silent_ = silent_names();
        const unsigned silent = silent_;
        const SpanTable::Atoms atoms = [this, silent](std::string_view t) {
            return evaluation_operand(s_.db, s_.context, units_, t, silent);
        };
        table_ = std::make_unique<SpanTable>(chain_, SpanTable::reachable_units(units_.asked()),
                                             operand_length_bound(s_.db, s_.context.atom, s_.context.parameters), atoms,
                                             true, evaluation_table_bytes);
    }

    // A message once recorded is not recorded again: the names that would
    // leave it are tried in vain from now on, and the table is made anew
    // without them (at most once per name).
    void refresh_table()
    {
        messages_seen_ = s_.messages.size();
        if (silent_names() != silent_) build_table();
    }

    std::unique_ptr<SpanTable> table_;
    unsigned silent_ = 0;
    std::size_t messages_seen_ = 0;
    bool refused_ = false;  // a text the table would take too long over
};

bool evaluate_normal(EvaluationSession& session, std::string normal, const std::string& unit, double& value)
{
    value = 0;
    if (normal.empty() || normal.size() > expression_length_limit) return false;
    Evaluator evaluator(session, std::move(normal), unit);
    return evaluator.whole(value);
}

}  // namespace

// ------------------------------------------------------------------ public

std::string expression_normal_form(const std::string& text)
{
    const std::size_t n = text.size();
    std::string out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == ' ' &&
            (i == 0 || i + 1 == n || is_operator_char(text[i - 1]) || is_operator_char(text[i + 1])))
            continue;
        out += text[i];
    }
    return out;
}

bool is_plain_number(const std::string& text) { return expression_parts::plain_number(text, nullptr); }

bool is_time_form(const std::string& text) { return expression_parts::time_form(text, nullptr); }

double time_form_seconds(const std::string& text)
{
    double v = 0;
    expression_parts::time_form(text, &v);
    return v;
}

bool expression_valid(const ConfigDb& db, const std::string& text, const ValidityContext& context)
{
    std::string normal = expression_normal_form(text);
    if (normal.empty()) return context.empty_accepted;
    if (normal.size() > expression_length_limit) return false;
    return table_valid(db, context, std::move(normal));
}

namespace {

EvaluationResult evaluate_in_session(const ConfigDb& db, const std::string& text, const EvaluationContext& context,
                                     const RunValues& run, bool pruned)
{
    EvaluationSession session{db, context, run, {}, {}, {}, pruned};
    EvaluationResult result;
    result.ok = evaluate_normal(session, expression_normal_form(text), context.unit, result.value);
    // A number too large for a double is no value that could be sent or stored.
    if (result.ok && !std::isfinite(result.value)) result.ok = false;
    if (!result.ok) result.value = 0;
    result.messages = std::move(session.messages);
    return result;
}

}  // namespace

EvaluationResult evaluate_expression_quietly(const ConfigDb& db, const std::string& text,
                                             const EvaluationContext& context, const RunValues& run)
{
    return evaluate_in_session(db, text, context, run, true);
}

bool expression_valid_by_split_scan(const ConfigDb& db, const std::string& text, const ValidityContext& context)
{
    std::string normal = expression_normal_form(text);
    if (normal.empty()) return context.empty_accepted;
    if (normal.size() > expression_length_limit) return false;
    SplitScanValidator validator(db, context, std::move(normal));
    return validator.whole();
}

EvaluationResult evaluate_expression_by_split_scan(const ConfigDb& db, const std::string& text,
                                                   const EvaluationContext& context, const RunValues& run)
{
    return evaluate_in_session(db, text, context, run, false);
}

bool evaluate_expression(const ConfigDb& db, Prompts& prompts, const std::string& text,
                         const EvaluationContext& context, const RunValues& run, double& value)
{
    const EvaluationResult result = evaluate_expression_quietly(db, text, context, run);
    value = result.value;
    // Messages that arose while the split scan tried combinations that came
    // to nothing say nothing about a text that evaluated; a failure shows the
    // first cause only, the caller adds its own message.
    if (!result.ok && !result.messages.empty()) prompts.show_error(result.messages.front());
    return result.ok;
}

bool evaluate_error_command_expression(const ConfigDb& db, Prompts& prompts, const std::string& text,
                                       const std::string& unit, const std::string& syringe,
                                       const std::string& label, int atom,
                                       const std::vector<std::string>& command_values, const RunValues& run,
                                       double& value)
{
    RunValues values = run;
    values.atom_line_values = command_values;
    EvaluationContext context;
    context.unit = unit;
    context.syringe = syringe;
    context.label = label;
    context.atom = atom;
    return evaluate_expression(db, prompts, text, context, values, value);
}

}  // namespace kelvo
