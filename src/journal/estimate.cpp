#include "journal/estimate.h"

#include "config/config_db.h"
#include "engine/expand.h"
#include "engine/resolve.h"
#include "engine/run_lists.h"
#include "ground/cp1252.h"
#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "journal/run_journal.h"
#include "language/macro.h"
#include "language/value_checks.h"
#include "samplelist/sample_list_run.h"
#include "samplelist/sample_columns.h"
#include "samplelist/sample_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kelvo {

// ---- DurationModel

void DurationModel::learn(const std::vector<JournalRecord>& records)
{
    for (const JournalRecord& r : records) {
        if (r.value("kind", std::string()) != "finished") continue;
        const auto atom = r.find("atom"), text = r.find("text"), ms = r.find("duration_ms");
        if (atom == r.end() || text == r.end() || ms == r.end() || !atom->is_string() || !text->is_string() ||
            !ms->is_number())
            continue;
        const std::int64_t duration = ms->get<std::int64_t>();
        if (duration < 0) continue;
        add(utf8_to_cp1252(atom->get<std::string>()), utf8_to_cp1252(text->get<std::string>()), duration);
    }
}

void DurationModel::add(const std::string& atom, const std::string& text, std::int64_t duration_ms)
{
    AtomHistory& h = atoms_[upper_text(atom)];
    const double d = static_cast<double>(duration_ms);
    h.all.sum += d;
    ++h.all.count;
    Mean& m = h.by_text[text];
    m.sum += d;
    ++m.count;
    // Texts whose means differ by more than a tenth (and a quarter second)
    // make the atom's duration depend on its arguments.
    if (!h.varies && h.by_text.size() > 1) {
        const double mean = m.value();
        for (const auto& [other, om] : h.by_text) {
            const double diff = std::fabs(om.value() - mean);
            if (diff > 250 && diff > 0.1 * std::max(om.value(), mean)) {
                h.varies = true;
                break;
            }
        }
    }
}

bool DurationModel::knows(const std::string& atom) const { return atoms_.count(upper_text(atom)) > 0; }

bool DurationModel::depends_on_arguments(const std::string& atom) const
{
    const auto it = atoms_.find(upper_text(atom));
    return it != atoms_.end() && it->second.varies;
}

std::optional<double> DurationModel::duration_ms(const std::string& atom, const std::string& text) const
{
    const auto it = atoms_.find(upper_text(atom));
    if (it == atoms_.end()) return std::nullopt;
    if (it->second.varies) {
        const auto t = it->second.by_text.find(text);
        if (t != it->second.by_text.end()) return t->second.value();
    }
    return it->second.all.value();
}

// ---- Estimate

Estimate& Estimate::operator+=(const Estimate& other)
{
    ms += other.ms;
    unknown_atoms.insert(other.unknown_atoms.begin(), other.unknown_atoms.end());
    failed = failed || other.failed;
    return *this;
}

std::string estimate_text(double ms)
{
    const long long s = std::llround(std::max(0.0, ms) / 1000.0);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

// ---- Estimator

namespace {

// Out-of-range values take the proposed value, as a user pressing OK would.
class ProposedValue final : public OutOfRangeDialog {
public:
    double ask(const std::string&, const std::string&, double, double, double proposed, double) override
    {
        return proposed;
    }
};

class Silent final : public Prompts {
public:
    void show_error(const std::string&) override {}
    void show_information(const std::string&) override {}
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { return AbortRetryIgnore::ignore; }
    bool ask_yes_no(const std::string&) override { return false; }
};

constexpr long long repeat_cap = 100000;

long long repeat_count_of(const std::string& resolved)
{
    const std::vector<std::string> values = atom_line_values(resolved);
    if (values.empty()) return 0;
    const std::string& v = values[0];
    long long n = 0;
    const char* begin = v.data() + v.find_first_not_of(' ') * (v.find_first_not_of(' ') != std::string::npos);
    const auto [end, ec] = std::from_chars(begin, v.data() + v.size(), n);
    (void)end;
    if (ec != std::errc()) return 0;
    return std::clamp(n, -repeat_cap, repeat_cap);
}

}  // namespace

// What a line of an expansion is to the estimate.
enum class LineKind { entry_marker, exit_marker, other, inc_index, repeat, end, fixed, varies, unknown };

struct Estimator::Expanded {
    bool ok = false;
    RunLists lists;
    std::string syringe;
    std::vector<std::string> names;  // line name per expanded line
    std::vector<LineKind> kinds;
    std::vector<double> fixed_ms;    // the duration of a `fixed` line
    // Resolutions made before, by line, SL values and loop counters: rows
    // of a long list repeat the same few values.
    std::unordered_map<std::string, std::string> resolved;
};

Estimator::Estimator(const Context& context, const DurationModel& model)
    : context_(context), db_(context.config), model_(model)
{
}
Estimator::~Estimator() = default;

Estimator::Expanded* Estimator::expanded(const std::string& name)
{
    auto& slot = cache_[upper_text(name)];
    if (slot) return slot.get();
    slot = std::make_unique<Expanded>();
    std::vector<std::string> calls;
    if (!read_list_method(context_.folder, name, slot->syringe, calls)) return slot.get();
    // An estimate shows no message, whatever prompts the context has.
    Silent silent;
    const Context quiet{context_.config, context_.folder, silent, context_.settings, context_.clock, context_.debug};
    if (!expand(quiet, slot->syringe, calls, slot->lists)) return slot.get();
    slot->ok = true;
    for (const std::string& line : slot->lists.expanded_method) {
        const std::string name = line_name(line);
        slot->names.push_back(name);
        LineKind kind = LineKind::other;
        double fixed = 0;
        if (line == check_sl_entry_marker) kind = LineKind::entry_marker;
        else if (line == check_sl_exit_marker) kind = LineKind::exit_marker;
        else if (db_.atom_index(name) >= db_.atom_count() || same_text(name, "WAIT_FOR_DS")) kind = LineKind::other;
        else if (same_text(name, "INC_INDEX")) kind = LineKind::inc_index;
        else if (same_text(name, "REPEAT")) kind = LineKind::repeat;
        else if (same_text(name, "END")) kind = LineKind::end;
        else if (!model_.knows(name)) kind = LineKind::unknown;
        else if (model_.depends_on_arguments(name)) kind = LineKind::varies;
        else {
            kind = LineKind::fixed;
            fixed = model_.duration_ms(name, line).value_or(0);
        }
        slot->kinds.push_back(kind);
        slot->fixed_ms.push_back(fixed);
    }
    return slot.get();
}

Estimate Estimator::method(const std::string& name, const SampleVariables& sl, bool first, bool last)
{
    Estimate e;
    Silent silent;
    Expanded* x = expanded(name);
    if (!x->ok) {
        e.failed = true;
        return e;
    }
    const std::vector<std::string>& lines = x->lists.expanded_method;
    RunValues values;
    values.sl = sl;
    values.mounted_syringe = x->syringe;
    ProposedValue proposed;
    const ResolveInput in{db_, x->lists, values, proposed, silent};
    const auto resolved = [&](std::size_t k) -> const std::string& {
        const SampleVariables& v = values.sl;
        std::string key = std::to_string(k) + '\x1f' + number_text(v.volume) + '\x1f' + number_text(v.volume2) +
                          '\x1f' + std::to_string(v.index) + '\x1f' + std::to_string(v.injpervial) + '\x1f' +
                          v.tray + '\x1f' + v.tray2 + '\x1f' + v.injector + '\x1f' + v.injector2 + '\x1f' +
                          std::to_string(values.repeat_count) + '\x1f' + std::to_string(values.repeat_remaining);
        auto it = x->resolved.find(key);
        if (it == x->resolved.end()) {
            const std::optional<std::string> r = resolve_command(in, k, lines[k]);
            it = x->resolved.emplace(std::move(key), r ? *r : lines[k]).first;
        }
        return it->second;
    };

    long long repeat_left = 0;
    int loop_start = 0;
    long long turns = 0;
    const long long turn_limit = 10'000'000;
    const int count = static_cast<int>(lines.size());
    for (int k = 0; k < count && ++turns < turn_limit;) {
        const std::size_t i = static_cast<std::size_t>(k);
        switch (x->kinds[i]) {
        case LineKind::entry_marker: k = first ? k + 1 : x->lists.body_start; continue;
        case LineKind::exit_marker:
            if (!last) k = count;
            else ++k;
            continue;
        case LineKind::other: break;
        case LineKind::inc_index: ++values.sl.index; break;
        case LineKind::repeat: {
            const long long n = repeat_count_of(resolved(i));
            if (n != 0) {
                repeat_left = n;
                values.repeat_count = static_cast<int>(n);
                values.repeat_remaining = static_cast<int>(n);
                loop_start = k + 1;
            } else {
                int j = k + 1;
                while (j < count && x->kinds[static_cast<std::size_t>(j)] != LineKind::end) ++j;
                k = j;
            }
            break;
        }
        case LineKind::end:
            --repeat_left;
            values.repeat_remaining = static_cast<int>(repeat_left);
            if (repeat_left > 0) {
                k = loop_start;
                continue;
            }
            break;
        case LineKind::fixed: e.ms += x->fixed_ms[i]; break;
        case LineKind::varies: e.ms += model_.duration_ms(x->names[i], resolved(i)).value_or(0); break;
        case LineKind::unknown: e.unknown_atoms.insert(upper_text(x->names[i])); break;
        }
        ++k;
    }
    return e;
}

Estimate Estimator::list(const SampleTable& table, int first_row)
{
    return remaining(table, std::max(1, first_row), 1, std::max(1, first_row));
}

Estimate Estimator::remaining(const SampleTable& table, int from_row, int from_cycle, int first_row)
{
    Estimate total;
    const int rows = table.rows();
    for (int row = std::max(1, from_row); row <= rows; ++row) {
        const SampleVariables sl = sample_variables_of_row(table, row);
        const std::string method = table.cell(column_no::method, row);
        const int cycles = std::max(1, sl.injpervial);
        for (int cycle = row == from_row ? std::max(0, from_cycle - 1) : 0; cycle < cycles; ++cycle) {
            const bool first = row == first_row && cycle == 0;
            const bool last = row == rows && cycle == cycles - 1;
            total += this->method(method, sl, first, last);
        }
    }
    return total;
}

}  // namespace kelvo
