#include "language/expression.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/expression_parts.h"

#include <cmath>
#include <cstdint>
#include <deque>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace kelvo {
namespace {

using expression_parts::iequal;

bool is_operator_char(char c) { return c == '(' || c == ')' || c == '*' || c == '+' || c == '-' || c == '/'; }

// --- units ---
//
// Only the unit asked for, the empty unit, "µl", "µl/s" and "s" ever occur
// in one test, so units are small indexes; any other unit asked for takes
// the last slot.
enum Unit : int { unit_none = 0, unit_ul = 1, unit_ul_per_s = 2, unit_s = 3, unit_other = 4, unit_slots = 5 };

class UnitTable {
public:
    explicit UnitTable(const std::string& asked)
    {
        names_[unit_none] = "";
        names_[unit_ul] = "\xB5l";
        names_[unit_ul_per_s] = "\xB5l/s";
        names_[unit_s] = "s";
        names_[unit_other] = asked;
        asked_ = unit_other;
        for (int u = 0; u < unit_other; ++u)
            if (names_[u] == asked) asked_ = u;
    }
    int asked() const { return asked_; }
    const std::string& name(int u) const { return names_[u]; }

private:
    std::string names_[unit_slots];
    int asked_;
};

struct Combination {
    int left, right;
};

// The unit combinations of an operation asked for unit u, in the order tried.
int combinations(char op, int u, Combination out[4])
{
    int n = 0;
    switch (op) {
    case '+':
    case '-':
        out[n++] = {u, u};
        break;
    case '*':
        out[n++] = {u, unit_none};
        out[n++] = {unit_none, u};
        if (u == unit_ul) {
            out[n++] = {unit_ul_per_s, unit_s};
            out[n++] = {unit_s, unit_ul_per_s};
        }
        break;
    case '/':
        out[n++] = {u, unit_none};
        if (u == unit_ul_per_s) out[n++] = {unit_ul, unit_s};
        break;
    default:
        break;
    }
    return n;
}

// --- the parts of a text ---
//
// Every part is normalised again before it is tested. Parts are ranges of the
// whole text's normal form, and a range normally is its own normal form: a
// blank next to an operator was dropped already. Only where a run of blanks
// touched an operator does a blank survive next to one ("a  +b" becomes
// "a +b"); such stray blanks are dropped by the normal form of any part that
// holds them. A frame is a text and its ranges; the next frame is the same
// text without its stray blanks, and the normal form of a range that holds
// stray blanks is the corresponding range of the next frame. Every part that
// the rules reach begins after an operator (or at the start) and ends before
// one (or at the end), so a blank at either end of it is stray as well.
class FrameChain {
public:
    explicit FrameChain(std::string top) { add(std::move(top)); }

    const std::string& text(int f) const { return frames_[static_cast<std::size_t>(f)].text; }

    // The first position from i on that holds + - * /, or the text's size.
    int next_operator(int f, int i) const
    {
        return frames_[static_cast<std::size_t>(f)].next_operator[static_cast<std::size_t>(i)];
    }

    // Moves frame f's range [b, e) to the range that holds its normal form.
    void to_normal_form(int& f, int& b, int& e)
    {
        Frame* frame = &frames_[static_cast<std::size_t>(f)];
        if (frame->stray_before[static_cast<std::size_t>(e)] == frame->stray_before[static_cast<std::size_t>(b)]) return;
        if (frame->next < 0) {
            std::string next;
            const std::string& t = frame->text;
            for (std::size_t i = 0; i < t.size(); ++i)
                if (frame->stray_before[i + 1] == frame->stray_before[i]) next += t[i];
            frame->next = static_cast<int>(frames_.size());
            add(std::move(next));
            frame = &frames_[static_cast<std::size_t>(f)];
        }
        // A kept character's position in the next frame is the number of kept characters before it.
        b -= frame->stray_before[static_cast<std::size_t>(b)];
        e -= frame->stray_before[static_cast<std::size_t>(e)];
        f = frame->next;
    }

private:
    struct Frame {
        std::string text;
        std::vector<int> stray_before;   // stray blanks in [0, i)
        std::vector<int> next_operator;  // so that the split scan skips operands at once
        int next = -1;
    };

    void add(std::string text)
    {
        Frame frame;
        frame.text = std::move(text);
        const std::string& t = frame.text;
        const std::size_t n = t.size();
        frame.stray_before.assign(n + 1, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const bool stray = t[i] == ' ' && (i == 0 || i + 1 == n || is_operator_char(t[i - 1]) || is_operator_char(t[i + 1]));
            frame.stray_before[i + 1] = frame.stray_before[i] + (stray ? 1 : 0);
        }
        frame.next_operator.assign(n + 1, static_cast<int>(n));
        for (std::size_t i = n; i-- > 0;) {
            const char c = t[i];
            frame.next_operator[i] = (c == '+' || c == '-' || c == '*' || c == '/') ? static_cast<int>(i)
                                                                                  : frame.next_operator[i + 1];
        }
        frames_.push_back(std::move(frame));  // a deque: earlier frames stay where they are
    }

    std::deque<Frame> frames_;
};

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

class Validator {
public:
    Validator(const ConfigDb& db, const ValidityContext& context, std::string normal)
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

    void message(const std::string& text)
    {
        for (const std::string& m : messages)
            if (m == text) return;
        messages.push_back(text);
    }
};

bool evaluate_normal(EvaluationSession& session, std::string normal, const std::string& unit, double& value);

class Evaluator {
public:
    Evaluator(EvaluationSession& session, std::string normal, const std::string& unit)
        : s_(session), units_(unit), size_(static_cast<int>(normal.size())), chain_(std::move(normal)),
          memo_(chain_.text(0))
    {
    }

    bool whole(double& value) { return rules(0, 0, size_, units_.asked(), value); }

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
    Validator validator(db, context, std::move(normal));
    return validator.whole();
}

EvaluationResult evaluate_expression_quietly(const ConfigDb& db, const std::string& text,
                                             const EvaluationContext& context, const RunValues& run)
{
    EvaluationSession session{db, context, run, {}, {}, {}};
    EvaluationResult result;
    result.ok = evaluate_normal(session, expression_normal_form(text), context.unit, result.value);
    // A number too large for a double is no value that could be sent or stored.
    if (result.ok && !std::isfinite(result.value)) result.ok = false;
    if (!result.ok) result.value = 0;
    result.messages = std::move(session.messages);
    return result;
}

bool evaluate_expression(const ConfigDb& db, const std::string& text, const EvaluationContext& context,
                         const RunValues& run, double& value)
{
    const EvaluationResult result = evaluate_expression_quietly(db, text, context, run);
    value = result.value;
    // Messages that arose while the split scan tried combinations that came
    // to nothing say nothing about a text that evaluated; a failure shows the
    // first cause only, the caller adds its own message.
    if (!result.ok && !result.messages.empty()) show_error(result.messages.front());
    return result.ok;
}

bool evaluate_error_command_expression(const ConfigDb& db, const std::string& text, const std::string& unit,
                                       const std::string& syringe, const std::string& label, int atom,
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
    return evaluate_expression(db, text, context, values, value);
}

}  // namespace kelvo
