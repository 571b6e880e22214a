#pragma once
// A small configuration for the expression tests: a syringe class with
// volume, flow and length properties, trays whose tray type holds the
// geometry, and a chain of classes linked by references for the depth of the
// property search.
#include "ground/prompts.h"
#include "ground/debug_lines.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "language/expression.h"
#include "recording_prompts.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

namespace kelvo::expression_test {

inline const char* const micro_litre = "\xB5l";
inline const char* const micro_litre_per_s = "\xB5l/s";

inline std::vector<std::string> expression_config_lines()
{
    return {
        "[lists]",
        "0;2;Slow;Fast",
        "[classes]",
        "!SYRINGE",
        "Max Volume;0;1000000;10000;1;nl",
        "Fill Speed;0;1000000;5000;1;nl/s",
        "Needle Length;0;100000;51000;1;\xB5m",
        "#Plunger;0;1;0;0",
        "&Part Number",
        "!TRAY_TYPE",
        "Spl Per Row;1;100;1;1;E",
        "Spl Per Col;1;100;1;1;E",
        "Vial Depth;0;100000;30000;1;\xB5m",
        "Label;0;10;0;1;E",
        "!TRAY_HOLDER",
        "Position Z;0;100000;0;1;\xB5m",
        "!HOLDER2",
        "Height;0;100000;0;1;\xB5m",
        "!TRAY",
        "Tray Holder;TRAY_HOLDER;HOLDER2",
        "Tray Type;TRAY_TYPE",
        "Offset Z;-500000;500000;0;1;\xB5m",
        "&Label",
        "!INJECTOR",
        "Depth;0;100000;20000;1;\xB5m",
        "!LINK1",
        "Next;LINK2",
        "!LINK2",
        "Next;LINK3",
        "!LINK3",
        "Next;LINK4",
        "!LINK4",
        "Next;LINK5",
        "Deep;0;100;0;1;E",
        "!LINK5",
        "Deeper;0;100;0;1;E",
        "Back;LINK1",
        "[objects]",
        "SYRINGE;Syr10;10000;5000;51000;0;SGE-10",
        "SYRINGE;Syr100;100000;20000;60000;1;SGE-100",
        "TRAY_TYPE;VT60;10;6;30000;3",
        "TRAY_HOLDER;Stack;25000",
        "HOLDER2;Shelf;40000",
        "TRAY;Tray1;Stack;VT60;1500;A",
        "TRAY;Tray2;Shelf;VT60;0;B",
        "TRAY;Tray3;Stack;NoSuchType;0;C",
        "INJECTOR;Inj1;20000",
        "LINK1;L1;L2",
        "LINK2;L2;L3",
        "LINK3;L3;L4",
        "LINK4;L4;L5;7",
        "LINK5;L5;9;L1",
        "[atoms]",
        "!GET_SAMPLE",
        "Tray;TRAY",
        "Index;1;Tray.Max Index;1;1;E",
        "Volume;0;SYR.Max Volume;1;0.1;nl",
        "Penetration;0;Tray.Vial Depth;1;0.1;\xB5m",
        "?Wait;0;1:00;0:30;1;s",
        "!INJECT",
        "Injector;INJECTOR",
        "Speed;0.1;SYR.Fill Speed;1;0.1;nl/s",
        "!CHECK_SYRINGE",
        "Syringe;SYRINGE",
        "!PROBE",
        "Obj;LINK1;LINK2",
        "Count;0;10;1;1;E",
    };
}

class ExpressionTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(parse_configuration(db, expression_config_lines(), prompts, debug_line)) << (prompts.shown.empty() ? "" : prompts.shown[0]); }

    int atom(const std::string& name) const { return db.atom_index(name); }

    bool valid(const std::string& text, const std::string& unit, bool syr = false, int atom_index = -1,
               const ParameterTable* parameters = nullptr, bool empty_ok = false) const
    {
        ValidityContext c;
        c.unit = unit;
        c.syr_allowed = syr;
        c.atom = atom_index;
        c.parameters = parameters;
        c.empty_accepted = empty_ok;
        return expression_valid(db, text, c);
    }

    // Evaluates with the fixture's context and run values; NaN on failure so
    // that a failure never passes for a value.
    double eval(const std::string& text, const std::string& unit = "")
    {
        double v = 0;
        context.unit = unit;
        return evaluate_expression(db, prompts, text, context, run, v) ? v : std::nan("");
    }
    EvaluationResult quietly(const std::string& text, const std::string& unit)
    {
        context.unit = unit;
        return evaluate_expression_quietly(db, text, context, run);
    }

    test::RecordingPrompts prompts;
    PromptsScope scope{prompts};
    ConfigDb db;
    EvaluationContext context{"", "", "LABEL", -1, nullptr, nullptr};
    RunValues run;
};

inline MacroParameter numeric_parameter(const std::string& name, const std::string& unit)
{
    MacroParameter p;
    p.name = name;
    p.unit = unit;
    return p;
}

}  // namespace kelvo::expression_test
