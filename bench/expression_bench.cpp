// Cost of the validity test and the evaluation of parameter expressions on
// long and hostile texts. The split scan tries every operator position with
// up to four unit combinations and tests both sides the same way; without
// remembering what it decided for each part it takes exponential time on
// texts whose fault sits at the far end (see BM_UnrememberingSplitScan).
#include "ground/text_utils.h"
#include "ground/debug_lines.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "language/expression.h"
#include "language/expression_oracle.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

namespace {

using namespace kelvo;

const std::string ul = "\xB5l";

const ConfigDb& demo()
{
    static ConfigDb db = [] {
        ConfigDb d;
        std::vector<std::string> lines;
        if (!read_text_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol", lines) || !parse_configuration(d, lines, prompts(), debug_line)) {
            std::cerr << "cannot parse the demo configuration\n";
            std::exit(1);
        }
        return d;
    }();
    return db;
}

int operators_in(const std::string& t)
{
    int n = 0;
    for (std::size_t i = 1; i + 1 < t.size(); ++i) n += t[i] == '+' || t[i] == '-' || t[i] == '*' || t[i] == '/';
    return n;
}

// About 200 characters with 60 operators, valid in µl.
std::string long_valid()
{
    // Terms each valid in µl, joined by + and -.
    static const char* const terms[] = {"35", "(1-4)*3", "SL.volume", "2*9", "1/4", "0.5", "6-1", "7"};
    std::string t = "SL.volume";
    for (int i = 0; operators_in(t) < 60; ++i) {
        t += i % 2 ? '-' : '+';
        t += terms[i % 8];
    }
    return t;
}

// The same refused only by its last operand: every split must be tried.
std::string long_invalid() { return long_valid().substr(0, 190) + "+Bogus"; }

// Worst for a split scan that does not remember: the fault at the far end,
// "*" giving four unit combinations at every position.
std::string product_chain(int factors)
{
    std::string t;
    for (int i = 0; i < factors; ++i) t += "1*";
    return t + "SL.volume*SL.volume";
}

std::string nested(int depth)
{
    std::string t;
    for (int i = 0; i < depth; ++i) t += "(1-";
    return t + "SL.index" + std::string(static_cast<std::size_t>(depth), ')');
}

ValidityContext context_for(const std::string& unit)
{
    ValidityContext c;
    c.unit = unit;
    c.syr_allowed = true;
    c.atom = demo().atom_index("GET_SAMPLE");
    return c;
}

void report(benchmark::State& state, const std::string& text)
{
    state.counters["chars"] = static_cast<double>(text.size());
    state.counters["operators"] = operators_in(text);
}

void run_valid(benchmark::State& state, const std::string& text, bool expected)
{
    const ValidityContext c = context_for(ul);
    for (auto _ : state) {
        const bool v = expression_valid(demo(), text, c);
        if (v != expected) state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(v);
    }
    report(state, text);
}

void run_evaluate(benchmark::State& state, const std::string& text)
{
    EvaluationContext c;
    c.unit = ul;
    c.syringe = "Syr10ul";
    c.atom = demo().atom_index("GET_SAMPLE");
    RunValues run;
    run.atom_line_values = {"Tray1", "1", "1", "1", "1", "1", ""};
    for (auto _ : state) benchmark::DoNotOptimize(evaluate_expression_quietly(demo(), text, c, run));
    report(state, text);
}

void BM_ValidLong(benchmark::State& s) { run_valid(s, long_valid(), true); }
void BM_InvalidLong(benchmark::State& s) { run_valid(s, long_invalid(), false); }
void BM_InvalidProductChain(benchmark::State& s) { run_valid(s, product_chain(static_cast<int>(s.range(0))), false); }
void BM_InvalidNested(benchmark::State& s) { run_valid(s, nested(static_cast<int>(s.range(0))), false); }
void BM_EvaluateLong(benchmark::State& s) { run_evaluate(s, long_valid()); }
void BM_EvaluateInvalidLong(benchmark::State& s) { run_evaluate(s, long_invalid()); }
void BM_EvaluateProductChain(benchmark::State& s) { run_evaluate(s, product_chain(static_cast<int>(s.range(0)))); }

// The rules read literally, for comparison: every part normalised and tested
// afresh, nothing remembered.
class Unremembering {
public:
    explicit Unremembering(const ConfigDb& db) : db_(db) {}
    bool valid(std::string t, const std::string& u)
    {
        t = expression_normal_form(t);
        if (t.empty()) return false;
        if (is_plain_number(t)) return true;
        if ((same_text(t, "SL.volume") || same_text(t, "SL.volume2")) && u == ul) return true;
        if ((same_text(t, "SL.index") || same_text(t, "SL.injpervial")) && u.empty()) return true;
        if (t[0] == '-' && valid(t.substr(1), u)) return true;
        if (t.size() >= 2 && t.front() == '(' && t.back() == ')' && valid(t.substr(1, t.size() - 2), u)) return true;
        if (t.size() < 3) return false;
        for (std::size_t p = 1; p + 1 < t.size(); ++p) {
            const std::string l = t.substr(0, p), r = t.substr(p + 1);
            switch (t[p]) {
            case '+':
            case '-':
                if (valid(l, u) && valid(r, u)) return true;
                break;
            case '*':
                if ((valid(l, u) && valid(r, "")) || (valid(l, "") && valid(r, u))) return true;
                if (u == ul && ((valid(l, "\xB5l/s") && valid(r, "s")) || (valid(l, "s") && valid(r, "\xB5l/s"))))
                    return true;
                break;
            case '/':
                if (valid(l, u) && valid(r, "")) return true;
                break;
            default:
                break;
            }
        }
        return false;
    }

private:
    [[maybe_unused]] const ConfigDb& db_;
};

void BM_UnrememberingSplitScan(benchmark::State& s)
{
    const std::string text = product_chain(static_cast<int>(s.range(0)));
    Unremembering literal(demo());
    for (auto _ : s) benchmark::DoNotOptimize(literal.valid(text, ul));
    report(s, text);
}
void BM_RememberingSplitScan(benchmark::State& s) { run_valid(s, product_chain(static_cast<int>(s.range(0))), false); }

BENCHMARK(BM_ValidLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InvalidLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InvalidProductChain)->Arg(60)->Arg(90)->Arg(190)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InvalidNested)->Arg(40)->Arg(60)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluateLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluateInvalidLong)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluateProductChain)->Arg(90)->Arg(190)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UnrememberingSplitScan)->DenseRange(4, 12, 4)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RememberingSplitScan)->DenseRange(4, 12, 4)->Unit(benchmark::kMicrosecond);

// --- texts of 1000 and 4000 characters ---
//
// Goals: any text of 1000 characters decided in under 50 ms, of 4000 in
// under 1 s. The worst cases for the table are many operators of the kind
// with the most unit combinations ("*"), texts of operators only (the most
// parts), and blanks next to operators (parts whose normal form lies in a
// later frame).

std::string sized(std::string unit_text, std::size_t size)
{
    std::string t;
    while (t.size() + unit_text.size() <= size) t += unit_text;
    return t;
}

// "1*1*...*1*SL.volume*SL.volume": refused only by its end.
std::string chain_of(std::size_t size) { return sized("1*", size - 19) + "SL.volume*SL.volume"; }
// Valid in µl: SL.volume*(2-(1*(2-...))).
std::string valid_of(std::size_t size) { return "SL.volume" + sized("*2-1", size - 9); }
// "+-*/" repeated: every position is a boundary.
std::string operators_of(std::size_t size) { return sized("+-*/", size); }
// "1  *  1  *  ...": every operator flanked by two blanks.
std::string blank_flanked_of(std::size_t size) { return sized("1  *  ", size - 1) + "1"; }
// "(" and a run of blanks: one frame per blank.
std::string blank_run_of(std::size_t size) { return "(" + std::string(size - 3, ' ') + "1)"; }
// Half a product chain, then a run of blanks before the last operand.
std::string chain_and_blanks_of(std::size_t size)
{
    return sized("1*", size / 2) + std::string(size - size / 2 - 10, ' ') + "*SL.volume";
}

void decide(benchmark::State& state, const std::string& text)
{
    const ValidityContext c = context_for(ul);
    for (auto _ : state) benchmark::DoNotOptimize(expression_valid(demo(), text, c));
    report(state, text);
}

#define SIZED_CASE(name, maker)                                                             \
    void BM_Decide##name(benchmark::State& s) { decide(s, maker(static_cast<std::size_t>(s.range(0)))); } \
    BENCHMARK(BM_Decide##name)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond)

SIZED_CASE(ProductChain, chain_of);
SIZED_CASE(Valid, valid_of);
SIZED_CASE(OperatorsOnly, operators_of);
SIZED_CASE(BlankFlanked, blank_flanked_of);
SIZED_CASE(BlankRun, blank_run_of);
SIZED_CASE(ChainAndBlanks, chain_and_blanks_of);

void BM_EvaluateValidSized(benchmark::State& s) { run_evaluate(s, valid_of(static_cast<std::size_t>(s.range(0)))); }
void BM_EvaluateProductChainSized(benchmark::State& s) { run_evaluate(s, chain_of(static_cast<std::size_t>(s.range(0)))); }
BENCHMARK(BM_EvaluateValidSized)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvaluateProductChainSized)->Arg(400)->Arg(1000)->Arg(4000)->Unit(benchmark::kMillisecond);

// The split scan the table replaced, on the same product chains.
void BM_SplitScanProductChain(benchmark::State& s)
{
    const std::string text = chain_of(static_cast<std::size_t>(s.range(0)));
    const ValidityContext c = context_for(ul);
    for (auto _ : s) benchmark::DoNotOptimize(expression_valid_by_split_scan(demo(), text, c));
    report(s, text);
}
BENCHMARK(BM_SplitScanProductChain)->Arg(400)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
