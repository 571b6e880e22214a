#include "language/expression_table.h"

#include <algorithm>
#include <utility>

namespace kelvo::expression_detail {
namespace {

using Word = std::uint64_t;

bool is_split_char(char c) { return c == '+' || c == '-' || c == '*' || c == '/'; }
bool starts_after(char c) { return is_split_char(c) || c == '(' ; }
bool ends_before(char c) { return is_split_char(c) || c == ')'; }

// Whether a bit of [lo, hi] is set in a & b & c.
bool any_in(const Word* a, const Word* b, const Word* c, int lo, int hi)
{
    const int wl = lo >> 6, wh = hi >> 6;
    for (int w = wl; w <= wh; ++w) {
        Word x = a[w] & b[w] & c[w];
        if (w == wl) x &= ~Word(0) << (lo & 63);
        if (w == wh) x &= ~Word(0) >> (63 - (hi & 63));
        if (x) return true;
    }
    return false;
}

bool any_in(const Word* a, const Word* b, int lo, int hi)
{
    const int wl = lo >> 6, wh = hi >> 6;
    for (int w = wl; w <= wh; ++w) {
        Word x = a[w] & b[w];
        if (w == wl) x &= ~Word(0) << (lo & 63);
        if (w == wh) x &= ~Word(0) >> (63 - (hi & 63));
        if (x) return true;
    }
    return false;
}

void set_bit(Word* row, int k) { row[k >> 6] |= Word(1) << (k & 63); }

constexpr std::size_t none = static_cast<std::size_t>(-1);

}  // namespace

std::size_t SpanTable::Entries::bytes() const
{
    return (start_id.size() + end_id.size()) * sizeof(int) + accepted.size() + touched.size();
}

double SpanTable::ranges(FrameChain& chain)
{
    chain.complete();
    double total = 0;
    for (int f = 0; f < chain.frame_count(); ++f) {
        const std::string& t = chain.text(f);
        double starts = 0, ends = 0;
        for (std::size_t i = 0; i <= t.size(); ++i) {
            if (i == 0 || starts_after(t[i - 1])) ++starts;
            if (i == t.size() || ends_before(t[i])) ++ends;
        }
        total += starts * ends / 2;
    }
    return total;
}

UnitSet SpanTable::reachable_units(int asked)
{
    UnitSet set = static_cast<UnitSet>(1u << asked);
    for (bool grew = true; grew;) {
        grew = false;
        for (int u = 0; u < unit_slots; ++u) {
            if (!((set >> u) & 1)) continue;
            for (const char op : {'+', '*', '/'}) {
                Combination c[4];
                const int n = combinations(op, u, c);
                for (int i = 0; i < n; ++i) {
                    const UnitSet more = static_cast<UnitSet>(set | (1u << c[i].left) | (1u << c[i].right));
                    if (more != set) {
                        set = more;
                        grew = true;
                    }
                }
            }
        }
    }
    return set;
}

SpanTable::SpanTable(FrameChain& chain, UnitSet units, std::size_t atom_length, const Atoms& atoms, bool with_touch,
                     std::size_t keep_bytes)
    : chain_(chain), units_(units), atom_length_(atom_length), with_touch_(with_touch)
{
    chain_.complete();
    const int frames = chain_.frame_count();
    frames_.resize(static_cast<std::size_t>(frames));
    kept_.assign(static_cast<std::size_t>(frames), false);
    // A frame needs the entries of the next one (where the normal forms of
    // its parts with stray blanks are), so the last frame comes first.
    Entries spare;
    const Entries* next = nullptr;
    std::size_t total = 0;
    for (int f = frames - 1; f >= 0; --f) {
        Entries current;
        fill(f, next, current, atoms);
        const std::size_t bytes = current.bytes();
        if (f == 0 || total + bytes <= keep_bytes) {
            total += bytes;
            frames_[static_cast<std::size_t>(f)] = std::move(current);
            kept_[static_cast<std::size_t>(f)] = true;
            next = &frames_[static_cast<std::size_t>(f)];
        } else {
            spare = std::move(current);
            next = &spare;
        }
    }
}

bool SpanTable::kept(int f) const { return f >= 0 && f < static_cast<int>(kept_.size()) && kept_[static_cast<std::size_t>(f)]; }

std::size_t SpanTable::index(const Entries& x, int b, int e)
{
    if (b < 0 || e < 0 || static_cast<std::size_t>(e) >= x.end_id.size() || b >= e) return none;
    const int s = x.start_id[static_cast<std::size_t>(b)], t = x.end_id[static_cast<std::size_t>(e)];
    if (s < 0 || t < 0) return none;
    return static_cast<std::size_t>(s) * x.ends + static_cast<std::size_t>(t);
}

UnitSet SpanTable::accepted(int f, int b, int e) const
{
    if (!kept(f)) return 0;
    const Entries& x = frames_[static_cast<std::size_t>(f)];
    const std::size_t i = index(x, b, e);
    return i == none ? 0 : x.accepted[i];
}

UnitSet SpanTable::touched(int f, int b, int e) const
{
    if (!kept(f)) return 0;
    const Entries& x = frames_[static_cast<std::size_t>(f)];
    const std::size_t i = index(x, b, e);
    if (i == none) return 0;
    return with_touch_ ? x.touched[i] : x.accepted[i];
}

void SpanTable::fill(int f, const Entries* next, Entries& out, const Atoms& atoms)
{
    const std::string& t = chain_.text(f);
    const int n = static_cast<int>(t.size());

    // The boundaries of the ranges the rules reach.
    std::vector<int> starts, ends;
    out.start_id.assign(static_cast<std::size_t>(n) + 1, -1);
    out.end_id.assign(static_cast<std::size_t>(n) + 1, -1);
    for (int i = 0; i <= n; ++i) {
        if (i == 0 || starts_after(t[static_cast<std::size_t>(i - 1)])) {
            out.start_id[static_cast<std::size_t>(i)] = static_cast<int>(starts.size());
            starts.push_back(i);
        }
        if (i == n || ends_before(t[static_cast<std::size_t>(i)])) {
            out.end_id[static_cast<std::size_t>(i)] = static_cast<int>(ends.size());
            ends.push_back(i);
        }
    }
    const std::size_t S = starts.size(), E = ends.size();
    out.ends = E;
    out.accepted.assign(S * E, 0);
    if (with_touch_) out.touched.assign(S * E, 0);

    // Operators: their order numbers, and bit masks by kind.
    std::vector<int> ops_before(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i)
        ops_before[static_cast<std::size_t>(i) + 1] = ops_before[static_cast<std::size_t>(i)] +
                                                       (is_split_char(t[static_cast<std::size_t>(i)]) ? 1 : 0);
    const int m = ops_before[static_cast<std::size_t>(n)];
    // Characters no number or time holds.
    std::vector<int> unnumeric_before(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i) {
        const char c = t[static_cast<std::size_t>(i)];
        const bool numeric = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == ':';
        unnumeric_before[static_cast<std::size_t>(i) + 1] = unnumeric_before[static_cast<std::size_t>(i)] + (numeric ? 0 : 1);
    }
    const std::size_t words = static_cast<std::size_t>(m + 63) / 64 + 1;
    std::vector<Word> kind_mask[3];  // + and -, *, /
    for (auto& k : kind_mask) k.assign(words, 0);
    for (int i = 0; i < n; ++i) {
        const char c = t[static_cast<std::size_t>(i)];
        if (!is_split_char(c)) continue;
        const int kind = (c == '+' || c == '-') ? 0 : c == '*' ? 1 : 2;
        set_bit(kind_mask[kind].data(), ops_before[static_cast<std::size_t>(i)]);
    }
    static constexpr char kind_char[3] = {'+', '*', '/'};

    // Unit slots in use, packed.
    int slot_of[unit_slots];
    int slots = 0;
    int unit_list[unit_slots];
    for (int u = 0; u < unit_slots; ++u) {
        slot_of[u] = ((units_ >> u) & 1) ? slots : -1;
        if (slot_of[u] >= 0) unit_list[slots++] = u;
    }
    // Per unit: which parts from a start end at an operator (bit = the
    // operator), which parts to an end begin after an operator.
    const std::size_t U = static_cast<std::size_t>(slots);
    std::vector<Word> acc_left(U * S * words, 0), acc_right(U * E * words, 0);
    std::vector<Word> touch_left, touch_right;
    if (with_touch_) {
        touch_left.assign(U * S * words, 0);
        touch_right.assign(U * E * words, 0);
    }
    auto row = [&](std::vector<Word>& v, int u, std::size_t id, std::size_t count) {
        return v.data() + (static_cast<std::size_t>(slot_of[u]) * count + id) * words;
    };
    // The first and last bit set in each row, so that sparse rows cost
    // nothing (a text of operators only has nothing but empty rows).
    struct Span {
        int first = 1 << 30, last = -1;
        void add(int k)
        {
            if (k < first) first = k;
            if (k > last) last = k;
        }
    };
    std::vector<Span> acc_left_span(U * S), acc_right_span(U * E), touch_left_span, touch_right_span;
    if (with_touch_) {
        touch_left_span.resize(U * S);
        touch_right_span.resize(U * E);
    }
    auto span_of = [&](std::vector<Span>& v, int u, std::size_t id, std::size_t count) -> Span& {
        return v[static_cast<std::size_t>(slot_of[u]) * count + id];
    };

    // A part: the range's normal form, in this frame or the next.
    auto part = [&](int b, int e, UnitSet& acc, UnitSet& touch) {
        acc = touch = 0;
        if (b >= e) return;  // parts are never empty
        const Entries* x = &out;
        if (chain_.stray_before(f, e) != chain_.stray_before(f, b)) {
            if (!next) return;
            x = next;
            b -= chain_.stray_before(f, b);
            e -= chain_.stray_before(f, e);
        }
        const std::size_t i = index(*x, b, e);
        if (i == none) return;
        acc = x->accepted[i];
        touch = with_touch_ ? x->touched[i] : acc;
    };

    for (std::size_t ei = 0; ei < E; ++ei) {
        const int e = ends[ei];
        for (std::size_t si = S; si-- > 0;) {
            const int b = starts[si];
            if (b >= e) continue;
            const int len = e - b;
            UnitSet acc = 0, touch = 0;
            // What a range is depends on its text alone. A range without
            // stray blanks is in the next frame as it is here: it was
            // decided there already.
            const bool copied = next && chain_.stray_before(f, e) == chain_.stray_before(f, b);
            if (copied) {
                const std::size_t i = index(*next, b - chain_.stray_before(f, b), e - chain_.stray_before(f, e));
                if (i != none) {
                    acc = next->accepted[i];
                    touch = with_touch_ ? next->touched[i] : acc;
                }
            }
            // Only names (no longer than atom_length_), numbers and times
            // (digits, ".", ":" and at most two signs) can be operands.
            const bool may_be_number =
                ops_before[static_cast<std::size_t>(e)] - ops_before[static_cast<std::size_t>(b)] <= 2 &&
                unnumeric_before[static_cast<std::size_t>(e)] == unnumeric_before[static_cast<std::size_t>(b)];
            if (!copied && (may_be_number || static_cast<std::size_t>(len) <= atom_length_)) {
                const AtomUnits a = atoms(std::string_view(t).substr(static_cast<std::size_t>(b), static_cast<std::size_t>(len)));
                acc |= a.accepted & units_;
                touch |= a.touched & units_;
            }
            UnitSet ca, ct;
            if (!copied && t[static_cast<std::size_t>(b)] == '-') {
                part(b + 1, e, ca, ct);
                acc |= ca;
                touch |= ct;
            }
            if (!copied && len >= 2 && t[static_cast<std::size_t>(b)] == '(' && t[static_cast<std::size_t>(e - 1)] == ')') {
                part(b + 1, e - 1, ca, ct);
                acc |= ca;
                touch |= ct;
            }
            // The operators at b+1 .. e-2.
            const int lo = ops_before[static_cast<std::size_t>(b + 1)];
            const int hi = !copied && len >= 3 ? ops_before[static_cast<std::size_t>(e - 1)] - 1 : lo - 1;
            if (lo <= hi) {
                for (int s = 0; s < slots; ++s) {
                    const int u = unit_list[s];
                    const UnitSet bit = static_cast<UnitSet>(1u << u);
                    for (int kind = 0; kind < 3; ++kind) {
                        const bool need_acc = !(acc & bit);
                        const bool need_touch = with_touch_ && !(touch & bit);
                        if (!need_acc && !need_touch) break;
                        Combination c[4];
                        const int count = combinations(kind_char[kind], u, c);
                        const Word* mask = kind_mask[kind].data();
                        for (int i = 0; i < count; ++i) {
                            const Word* left = row(acc_left, c[i].left, si, S);
                            const Word* right = row(acc_right, c[i].right, ei, E);
                            const Span& ls = span_of(acc_left_span, c[i].left, si, S);
                            const Span& rs = span_of(acc_right_span, c[i].right, ei, E);
                            const int a_lo = std::max({lo, ls.first, rs.first}), a_hi = std::min({hi, ls.last, rs.last});
                            if (!(acc & bit) && a_lo <= a_hi && any_in(mask, left, right, a_lo, a_hi)) acc |= bit;
                            if (with_touch_ && !(touch & bit)) {
                                // The left part is always tried, the right one
                                // only when the left one succeeded (it may
                                // have succeeded where it is accepted).
                                const Span& ts = span_of(touch_left_span, c[i].left, si, S);
                                const Span& us = span_of(touch_right_span, c[i].right, ei, E);
                                const int t_lo = std::max(lo, ts.first), t_hi = std::min(hi, ts.last);
                                const int b_lo = std::max({lo, ls.first, us.first}), b_hi = std::min({hi, ls.last, us.last});
                                if ((t_lo <= t_hi && any_in(mask, row(touch_left, c[i].left, si, S), t_lo, t_hi)) ||
                                    (b_lo <= b_hi && any_in(mask, left, row(touch_right, c[i].right, ei, E), b_lo, b_hi)))
                                    touch |= bit;
                            }
                        }
                    }
                }
            }
            const std::size_t at = si * E + ei;
            out.accepted[at] = acc;
            if (with_touch_) out.touched[at] = touch;

            const bool before_operator = e < n && is_split_char(t[static_cast<std::size_t>(e)]);
            const bool after_operator = b > 0 && is_split_char(t[static_cast<std::size_t>(b - 1)]);
            if (!before_operator && !after_operator) continue;
            UnitSet pa, pt;
            part(b, e, pa, pt);
            for (int s = 0; s < slots; ++s) {
                const int u = unit_list[s];
                if (before_operator) {
                    const int k = ops_before[static_cast<std::size_t>(e)];
                    if ((pa >> u) & 1) {
                        set_bit(row(acc_left, u, si, S), k);
                        span_of(acc_left_span, u, si, S).add(k);
                    }
                    if (with_touch_ && ((pt >> u) & 1)) {
                        set_bit(row(touch_left, u, si, S), k);
                        span_of(touch_left_span, u, si, S).add(k);
                    }
                }
                if (after_operator) {
                    const int k = ops_before[static_cast<std::size_t>(b - 1)];
                    if ((pa >> u) & 1) {
                        set_bit(row(acc_right, u, ei, E), k);
                        span_of(acc_right_span, u, ei, E).add(k);
                    }
                    if (with_touch_ && ((pt >> u) & 1)) {
                        set_bit(row(touch_right, u, ei, E), k);
                        span_of(touch_right_span, u, ei, E).add(k);
                    }
                }
            }
        }
    }
}

}  // namespace kelvo::expression_detail
