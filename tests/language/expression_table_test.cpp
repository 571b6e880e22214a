// The table of parts against the split scan it replaced: identical validity
// and identical evaluations (value, success, messages) on every text of a
// small alphabet up to four tokens and on random texts up to 400 characters.
#include "expression_fixture.h"

#include "language/expression_oracle.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

namespace kelvo::expression_test {
namespace {

const char* const units[] = {"", micro_litre, micro_litre_per_s, "s", "mm"};

// Operands of every kind the rules know, operators, parentheses and blanks.
const std::vector<std::string>& tokens()
{
    static const std::vector<std::string> t = {
        "1", "2.5", "-3", "1:30", ":5", "0", "SL.volume", "SL.index", "Repeat Count", "SYR.Max Volume",
        "SYR.Fill Speed", "Tray.Max Index", "Tray.Vial Depth", "Vol", "Speed", "Wait", "n", "Cyc", "Obj.Deep",
        "Bogus", "+", "-", "*", "/", "(", ")", " ", "  ", "   ", "-", "*", "(", ")", "+"};
    return t;
}

class ExpressionTable : public ExpressionTest {
protected:
    void SetUp() override
    {
        ExpressionTest::SetUp();
        parameters = {numeric_parameter("Vol", micro_litre), numeric_parameter("Speed", micro_litre_per_s),
                      numeric_parameter("Wait", "s"), numeric_parameter("n", ""), numeric_parameter("Cyc", "")};
        MacroParameter object;
        object.name = "Tray";
        object.classes = 1;
        parameters.push_back(object);
        call_values = {"2*n", "Vol/Wait", "1:30", "3", "Cyc+1", "Tray1"};
        run.sl.volume = 5;
        run.sl.volume2 = 7;
        run.sl.index = 3;
        run.repeat_count = 4;
        run.repeat_remaining = 2;
        run.mounted_syringe = "Syr10";
        run.atom_line_values = {"Tray1", "2", "1", "1"};
    }

    // Compares both deciders on one text in every unit and context; false
    // (after a failure is recorded) when they differ.
    bool same(const std::string& text, std::initializer_list<int> variants = {0, 3}, std::size_t unit_count = 5)
    {
        for (std::size_t ui = 0; ui < unit_count; ++ui) {
            const char* unit = units[ui];
            for (int variant : variants) {
                ValidityContext v;
                v.unit = unit;
                v.syr_allowed = (variant & 1) != 0;
                v.atom = (variant & 2) ? atom("GET_SAMPLE") : -1;
                v.parameters = (variant & 2) ? &parameters : nullptr;
                const bool table = expression_valid(db, text, v);
                const bool scan = expression_valid_by_split_scan(db, text, v);
                if (table != scan) {
                    ADD_FAILURE() << "validity of \"" << text << "\" in \"" << unit << "\" (variant " << variant
                                  << "): table " << table << ", split scan " << scan;
                    return false;
                }
                EvaluationContext e;
                e.unit = unit;
                e.syringe = (variant & 1) ? "Syr10" : "";
                e.label = "LABEL";
                e.atom = v.atom;
                e.parameters = v.parameters;
                e.call_values = (variant & 2) ? &call_values : nullptr;
                const EvaluationResult a = evaluate_expression_quietly(db, text, e, run);
                const EvaluationResult b = evaluate_expression_by_split_scan(db, text, e, run);
                if (a.ok != b.ok || std::memcmp(&a.value, &b.value, sizeof a.value) != 0 || a.messages != b.messages) {
                    ADD_FAILURE() << "evaluation of \"" << text << "\" in \"" << unit << "\" (variant " << variant
                                  << "): table " << a.ok << " " << a.value << " (" << a.messages.size()
                                  << " messages), split scan " << b.ok << " " << b.value << " (" << b.messages.size()
                                  << " messages)";
                    return false;
                }
            }
        }
        return true;
    }

    ParameterTable parameters;
    std::vector<std::string> call_values;
};

TEST_F(ExpressionTable, EveryTextOfUpToThreeTokensIsDecidedAsTheSplitScanDecides)
{
    // Every pair of tokens, and every triple of a smaller set.
    std::vector<std::string> t = tokens();
    std::sort(t.begin(), t.end());
    t.erase(std::unique(t.begin(), t.end()), t.end());
    int texts = 0;
    for (const std::string& a : t)
        for (const std::string& b : t) {
            ++texts;
            if (!same(a + b)) return;
        }
    const std::vector<std::string> few = {"1", "SL.volume", "Vol", "Bogus", "-", "+", "*", "/", "(", ")", " ", "  "};
    for (const std::string& a : few)
        for (const std::string& b : few)
            for (const std::string& c : few) {
                ++texts;
                if (!same(a + b + c)) return;
            }
    EXPECT_GT(texts, 2000);
}

TEST_F(ExpressionTable, EveryShortTextOfOperatorsDigitsAndBlanksIsDecidedAsTheSplitScanDecides)
{
    // Every text of up to five characters over a small alphabet: the corners
    // of signs, parentheses and blanks.
    const std::string alphabet = "1-*() ";
    std::vector<std::size_t> digits;
    int texts = 0;
    for (std::size_t length = 1; length <= 5; ++length) {
        digits.assign(length, 0);
        for (;;) {
            std::string text;
            for (std::size_t d : digits) text += alphabet[d];
            ++texts;
            if (!same(text, {0}, 2)) return;
            std::size_t i = 0;
            while (i < length && ++digits[i] == alphabet.size()) digits[i++] = 0;
            if (i == length) break;
        }
    }
    EXPECT_EQ(texts, 6 + 36 + 216 + 1296 + 7776);
}

// Random texts: tokens joined, sometimes a raw character between them, up to
// a length drawn for each text. Many short ones and a few of up to 400.
std::string random_text(std::mt19937& random, std::size_t longest)
{
    const auto& t = tokens();
    std::uniform_int_distribution<std::size_t> pick(0, t.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    const std::size_t length = std::uniform_int_distribution<std::size_t>(1, longest)(random);
    std::string text;
    while (text.size() < length) {
        if (percent(random) < 4) text += static_cast<char>(std::uniform_int_distribution<int>(32, 126)(random));
        else text += t[pick(random)];
    }
    if (text.size() > 400) text.resize(400);
    return text;
}

TEST_F(ExpressionTable, RandomTextsAreDecidedAsTheSplitScanDecides)
{
    std::mt19937 random(20261209);
    const auto start = std::chrono::steady_clock::now();
    int texts = 0;
    for (int i = 0; i < 1500; ++i, ++texts)
        if (!same(random_text(random, 40))) return;
    for (int i = 0; i < 150; ++i, ++texts)
        if (!same(random_text(random, 120))) return;
    // The long ones cost the split scan most; stop early on a slow machine
    // (the sanitizer build).
    for (int i = 0; i < 8 && std::chrono::steady_clock::now() - start < std::chrono::seconds(8); ++i, ++texts)
        if (!same(random_text(random, 400))) return;
    EXPECT_GE(texts, 1650);
}

TEST_F(ExpressionTable, LongTextsAreAcceptedUpToTheLimit)
{
    std::string text = "SL.volume";
    while (text.size() + 4 <= 1200) text += "*2-1";
    EXPECT_GT(text.size(), 400u);
    EXPECT_TRUE(valid(text, micro_litre));
    EXPECT_FALSE(valid(text + "+Bogus", micro_litre));
    std::string blanks = "(" + std::string(1500, ' ') + "1)";
    EXPECT_FALSE(valid(blanks, ""));
    EXPECT_TRUE(valid("(  1)", ""));
    // A long valid text evaluates: SL.volume*(2-(1*(2-(1*...(2-1))))) = 3*1.
    context.unit = micro_litre;
    run.sl.volume = 3;
    const EvaluationResult r = evaluate_expression_quietly(db, text, context, run);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value, 3);
}

}  // namespace
}  // namespace kelvo::expression_test
