// Parameter expressions: the validity test and the evaluation of arbitrary
// texts in every unit and context. The first byte chooses the context; the
// first line of the rest is the text, later lines are the values a macro
// call gives the parameters. Texts of up to 400 characters are also decided
// by the split-scan decider, which must agree; inputs stop at 1200 bytes.
#include "fuzz_support.h"

#include "language/expression.h"
#include "language/expression_oracle.h"

#include <cstdio>
#include <cstdlib>

namespace {

using namespace kelvo;

const ParameterTable& parameters()
{
    static const ParameterTable table = [] {
        ParameterTable t;
        MacroParameter volume;
        volume.name = "Volume";
        volume.unit = "\xB5l";
        MacroParameter speed;
        speed.name = "Speed";
        speed.unit = "\xB5l/s";
        MacroParameter wait;
        wait.name = "Wait Time";
        wait.unit = "s";
        MacroParameter count;
        count.name = "n";
        MacroParameter tray;
        tray.name = "Tray";
        tray.classes = 1;
        t = {volume, speed, wait, count, tray};
        return t;
    }();
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Longer texts are the benchmark's business: under the sanitizers one of
    // 4000 characters takes seconds, which would read as a time-out.
    if (size < 1 || size > 1200) return 0;
    static fuzz::QuietPrompts prompts;
    PromptsScope scope(prompts);
    const ConfigDb& db = fuzz::demo_config();
    static const char* const units[] = {"", "\xB5l", "\xB5l/s", "s", "mm", "", "\xB5l", "s"};
    const std::uint8_t choice = data[0];
    std::vector<std::string> lines = fuzz::input_lines(data + 1, size - 1);
    const std::string text = lines.empty() ? std::string() : lines.front();
    std::vector<std::string> call_values(lines.size() > 1 ? lines.begin() + 1 : lines.end(), lines.end());

    ValidityContext v;
    v.unit = units[choice & 7];
    v.syr_allowed = (choice & 8) != 0;
    v.atom = (choice & 16) ? db.atom_index("GET_SAMPLE") : -1;
    v.parameters = (choice & 32) ? &parameters() : nullptr;
    v.empty_accepted = (choice & 64) != 0;
    const bool valid = expression_valid(db, text, v);
    if (expression_normal_form(text).size() <= 400) {
        const bool oracle = expression_valid_by_split_scan(db, text, v);
        if (valid != oracle) {
            std::fprintf(stderr, "the deciders disagree: table %d, split scan %d\n", valid, oracle);
            std::abort();
        }
    }

    EvaluationContext e;
    e.unit = v.unit;
    e.syringe = (choice & 8) ? "Syr10ul" : "";
    e.label = "Fuzz";
    e.atom = v.atom;
    e.parameters = v.parameters;
    e.call_values = (choice & 128) ? &call_values : nullptr;
    RunValues run;
    run.sl.volume = 5;
    run.sl.index = 3;
    run.mounted_syringe = "Syr10ul";
    run.atom_line_values = {"Tray1", "1", "1", "1", "1", "1", ""};
    const EvaluationResult r = evaluate_expression_quietly(db, text, e, run);
    if (expression_normal_form(text).size() <= 400) {
        const EvaluationResult o = evaluate_expression_by_split_scan(db, text, e, run);
        if (r.ok != o.ok || (r.ok && r.value != o.value && !(r.value != r.value && o.value != o.value)) ||
            r.messages != o.messages) {
            std::fprintf(stderr, "the evaluations disagree: %d %g, split scan %d %g\n", r.ok, r.value, o.ok, o.value);
            std::abort();
        }
    }
    return 0;
}
