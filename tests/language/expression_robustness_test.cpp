// Randomised checks. Short texts are compared with a literal, unremembering
// reading of the validity rules (exponential, so only short texts); long
// hostile texts must be decided and evaluated without crash or hang. In this
// context (a syringe given, parameter values that evaluate, small numbers)
// evaluation must succeed exactly where the validity test accepts.
#include "ground/text_utils.h"
#include "expression_fixture.h"
#include "language/expression_parts.h"

#include <random>
#include <string>
#include <vector>

namespace kelvo::expression_test {
namespace {

namespace parts = expression_parts;

// The rules as written: every part is normalised and tested afresh.
class LiteralRules {
public:
    LiteralRules(const ConfigDb& db, const ValidityContext& validity) : db_(db), v_(validity) {}

    bool valid(std::string t, const std::string& u, bool empty_ok)
    {
        t = expression_normal_form(t);
        if (t.empty()) return empty_ok;
        if (is_plain_number(t)) return true;
        if (u == "s" && is_time_form(t)) return true;
        if (same_text(t, "Repeat Count") && u.empty()) return true;
        if ((same_text(t, "SL.volume") || same_text(t, "SL.volume2")) && u == micro_litre) return true;
        if ((same_text(t, "SL.index") || same_text(t, "SL.injpervial")) && u.empty()) return true;
        if (v_.syr_allowed && parts::syringe_property(db_, t, u) >= 0) return true;
        if (parts::object_property_fits(db_, v_.atom, t, u)) return true;
        if (v_.parameters) {
            const MacroParameter* p = find_parameter(*v_.parameters, t);
            if (p && !p->is_object() && p->unit == u) return true;
        }
        if (t[0] == '-' && valid(t.substr(1), u, false)) return true;
        if (t.size() >= 2 && t.front() == '(' && t.back() == ')' && valid(t.substr(1, t.size() - 2), u, false))
            return true;
        if (t.size() < 3) return false;
        for (std::size_t p = 1; p + 1 < t.size(); ++p)
            for (const auto& [l, r] : combinations(t[p], u))
                if (valid(t.substr(0, p), l, false) && valid(t.substr(p + 1), r, false)) return true;
        return false;
    }

private:
    static std::vector<std::pair<std::string, std::string>> combinations(char op, const std::string& u)
    {
        switch (op) {
        case '+':
        case '-': return {{u, u}};
        case '*':
            if (u == micro_litre) return {{u, ""}, {"", u}, {micro_litre_per_s, "s"}, {"s", micro_litre_per_s}};
            return {{u, ""}, {"", u}};
        case '/':
            if (u == micro_litre_per_s) return {{u, ""}, {micro_litre, "s"}};
            return {{u, ""}};
        default: return {};
        }
    }
    const ConfigDb& db_;
    const ValidityContext& v_;
};

const std::vector<std::string>& tokens()
{
    static const std::vector<std::string> t = {
        "1", "2", "0", "0.5", "-", "+", "*", "/", "(", ")", " ", "  ", "   ", "-", "*", "(", ")",
        "SL.volume", "SL.index", "SYR.Fill Speed", "SYR.Max Volume", "Tray.Max Index", "Tray.Vial Depth",
        "1:30", ":", "Vol", "Wait", "Repeat Count", "Repeat", "x", ".", "Source"};
    return t;
}

std::string soup(std::mt19937& random, std::size_t max_tokens, std::size_t max_length)
{
    std::uniform_int_distribution<std::size_t> count(1, max_tokens);
    std::uniform_int_distribution<std::size_t> pick(0, tokens().size() - 1);
    std::string text;
    const std::size_t n = count(random);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string& t = tokens()[pick(random)];
        if (text.size() + t.size() > max_length) break;
        text += t;
    }
    return text;
}

// Operands joined by operators, with groups and blanks here and there, and
// now and then a token broken: texts near the valid ones.
std::string near_valid(std::mt19937& random, std::size_t max_length)
{
    // Mostly dimensionless operands, which combine in any way.
    static const std::vector<std::string> plain = {"1", "2", "0.5", "SL.index", "Tray.Max Index", "Repeat Count"};
    static const std::vector<std::string> mixed = {"1", "2", "0.5", "SL.volume", "SL.index", "SYR.Fill Speed",
                                                   "Tray.Max Index", "1:30", "Vol", "Wait", "Repeat Count"};
    static const std::vector<std::string> operators = {"+", "-", "*", "/", " * ", "  -  "};
    std::uniform_int_distribution<int> percent(0, 99);
    const std::vector<std::string>& operands = percent(random) < 70 ? plain : mixed;
    std::uniform_int_distribution<std::size_t> operand(0, operands.size() - 1), op(0, operators.size() - 1);
    std::string text;
    int open = 0;
    while (text.size() < max_length) {
        if (percent(random) < 15) {
            text += "(";
            ++open;
        }
        if (percent(random) < 10) text += "-";
        text += operands[operand(random)];
        while (open > 0 && percent(random) < 30) {
            text += ")";
            --open;
        }
        if (text.size() + 20 > max_length) break;
        text += operators[op(random)];
    }
    text += std::string(static_cast<std::size_t>(open), ')');
    if (percent(random) < 20 && !text.empty()) {
        std::uniform_int_distribution<std::size_t> at(0, text.size() - 1);
        text[at(random)] = "+-*/() x"[percent(random) % 8];
    }
    return text.substr(0, max_length);
}

class ExpressionRobustness : public ExpressionTest {
protected:
    void SetUp() override
    {
        ExpressionTest::SetUp();
        MacroParameter source;
        source.name = "Source";
        source.classes = db.tray_bit();
        parameters = {numeric_parameter("Vol", micro_litre), numeric_parameter("Wait", "s"), source};
        values = {"SL.volume*2", "1:30+5", "Tray1"};
        validity.syr_allowed = true;
        validity.atom = atom("GET_SAMPLE");
        validity.parameters = &parameters;
        context.syringe = "Syr10";
        context.atom = validity.atom;
        context.parameters = &parameters;
        context.call_values = &values;
        run.atom_line_values = {"SL.tray", "1", "1", "1", ""};
        run.sl.tray = "Tray1";
        run.sl.volume = 2.5;
        run.sl.index = 3;
        run.repeat_count = 4;
        run.repeat_remaining = 2;
    }

    ParameterTable parameters;
    std::vector<std::string> values;
    ValidityContext validity;
    const std::vector<std::string> units{"", micro_litre, micro_litre_per_s, "s", "mm"};
};

TEST_F(ExpressionRobustness, ShortTextsFollowTheLiteralRules)
{
    std::mt19937 random(20240611);
    int valid_count = 0;
    for (int i = 0; i < 2500; ++i) {
        const std::string text = soup(random, 7, 60);
        for (const std::string& unit : units) {
            validity.unit = unit;
            context.unit = unit;
            LiteralRules literal(db, validity);
            const bool expected = literal.valid(text, unit, false);
            ASSERT_EQ(expression_valid(db, text, validity), expected) << "[" << text << "] in [" << unit << "]";
            ASSERT_EQ(evaluate_expression_quietly(db, text, context, run).ok, expected) << "[" << text << "]";
            valid_count += expected;
        }
    }
    EXPECT_GT(valid_count, 300);  // the soups are not all rubbish
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ExpressionRobustness, LongHostileTextsAreDecidedAndEvaluateExactlyWhereValid)
{
    std::mt19937 random(77);
    int valid_count = 0;
    for (int i = 0; i < 300; ++i) {
        const std::string text = i % 2 ? soup(random, 200, 200) : near_valid(random, 200);
        for (const std::string& unit : units) {
            validity.unit = unit;
            context.unit = unit;
            const bool ok = expression_valid(db, text, validity);
            const EvaluationResult r = evaluate_expression_quietly(db, text, context, run);
            // Every part the rules can accept has a value here: a syringe is
            // given, the parameters' values evaluate, numbers stay small.
            ASSERT_EQ(r.ok, ok) << "[" << text << "] in [" << unit << "]";
            valid_count += ok;
        }
    }
    EXPECT_GT(valid_count, 30);
}

TEST_F(ExpressionRobustness, WorstCasesForAnUnrememberingSplitScanFinish)
{
    validity.unit = micro_litre;
    context.unit = micro_litre;
    std::string chain, nested;
    for (int i = 0; i < 66; ++i) chain += "1*";
    chain += "SL.volume*SL.volume";  // refused only at the very end
    EXPECT_FALSE(expression_valid(db, chain, validity));
    EXPECT_FALSE(evaluate_expression_quietly(db, chain, context, run).ok);
    for (int i = 0; i < 60; ++i) nested += "(1-";
    nested += "SL.index";
    nested += std::string(60, ')');
    EXPECT_FALSE(expression_valid(db, nested, validity));
    std::string blanks;
    for (int i = 0; i < 40; ++i) blanks += "1   -  ";
    blanks += "SL.index";
    EXPECT_FALSE(expression_valid(db, blanks, validity));
    EXPECT_FALSE(evaluate_expression_quietly(db, blanks, context, run).ok);
}

}  // namespace
}  // namespace kelvo::expression_test
