// The demo configuration shipped in examples/methods.
#include "ground/text_utils.h"
#include "ground/debug_lines.h"
#include "ground/file_io.h"
#include "config_test_support.h"
#include "ground/duration.h"
#include "ground/prompts.h"
#include "language/bound_check.h"

#include <algorithm>
#include <cmath>

namespace kelvo::config_test {
namespace {

class DemoConfig : public ConfigFixture {
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        bytes = file_bytes(demo_config_path());
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(read_text_lines(demo_config_path(), lines));
    }
    std::string bytes;
    std::vector<std::string> lines;
};

TEST_F(DemoConfig, IsWindows1252WithCrLfLines)
{
    EXPECT_NE(bytes.find("\xB5m"), std::string::npos);
    EXPECT_NE(bytes.find("m\xB0"
                         "C"),
              std::string::npos);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
        }
        if (bytes[i] == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare CR at " << i;
        }
        // No UTF-8 sequences: the two-byte forms of µ and ° start with 0xC2.
        EXPECT_NE(static_cast<unsigned char>(bytes[i]), 0xC2u) << "UTF-8 at " << i;
    }
}

TEST_F(DemoConfig, ParsesWithoutAnyMessage)
{
    ASSERT_TRUE(parse_configuration(db, lines, prompts, debug_line));
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(debug.empty());
    EXPECT_EQ(db.list_count(), 7);
    EXPECT_EQ(db.class_count(), 9);
    EXPECT_EQ(db.object_count(), 25);
    EXPECT_EQ(db.atom_count(), 23);
    for (const char* c : {"SYRINGE", "TRAY", "TRAY_HOLDER", "TRAY_TYPE", "INJECTOR", "SYNC_SIGNAL", "OUT_SIGNAL",
                          "WASH_STATION"})
        EXPECT_LT(db.class_index(c), db.class_count()) << c;
    EXPECT_EQ(objects_of_class(db, "SYRINGE").size(), 2u);
    EXPECT_EQ(objects_of_class(db, "TRAY_HOLDER").size(), 2u);
    EXPECT_EQ(objects_of_class(db, "TRAY_TYPE").size(), 3u);
    EXPECT_EQ(objects_of_class(db, "TRAY").size(), 6u);
    EXPECT_EQ(objects_of_class(db, "INJECTOR").size(), 2u);
    EXPECT_EQ(db.numeric_value("Syr100ul", "Max Volume"), 100);
    EXPECT_EQ(db.numeric_value("Syr10ul", "Fill Speed"), 5);
    EXPECT_EQ(db.numeric_value("Cooler Zone", "Set Point"), 6);
    // The reversed tray type and a tray of it on the upper level.
    EXPECT_LT(db.numeric_value("MT96", "Col Length Y"), 0);
    EXPECT_EQ(db.tray_type("Tray4"), "MT96");
    EXPECT_EQ(db.numeric_value("Tray4", "Path Offset Z"), 50);
    // Written back as the instrument reported it.
    EXPECT_EQ(db.object_line(db.object_index("Tray4")), "TRAY;Tray4;Stack;MT96;0;70000;50000;0;0;50000;ABC");
}

TEST_F(DemoConfig, ArgumentsCoverEveryKindAndUnit)
{
    ASSERT_TRUE(parse_configuration(db, lines, prompts, debug_line));
    bool kinds[4] = {};
    bool optional = false;
    std::vector<std::string> units;
    for (const ConfigAtom& a : db.atoms())
        for (const AtomArgument& g : a.arguments) {
            kinds[static_cast<int>(g.kind)] = true;
            optional = optional || !g.required;
            if (g.kind == ArgumentKind::numeric) units.push_back(g.unit);
        }
    EXPECT_TRUE(kinds[0] && kinds[1] && kinds[3]);
    EXPECT_TRUE(optional);
    for (const std::string u : {"", "\xB5l", "mm", "\xB5l/s", "\xB0"
                                                              "C",
                                "s"})
        EXPECT_NE(std::find(units.begin(), units.end(), u), units.end()) << u;
}

// The forms the demo's bounds are written in, each valid as a parameter
// expression in the argument's unit: a plain number, a time (unit "s"), a
// numeric syringe property or an object argument's property of that unit,
// "Max Index" of an object argument (no unit), or one of these divided by a
// plain number.
bool simple_bound(const ConfigDb& db, int atom, const std::string& text, const std::string& unit)
{
    if (is_decimal(text)) return true;
    if (unit == "s" && is_duration(text)) return true;
    const std::string head = dotted_head(text), tail = dotted_tail(text);
    if (same_text(head, "SYR")) {
        for (const ConfigProperty& p : db.classes()[static_cast<std::size_t>(db.syringe_class())].properties)
            if (p.kind == PropertyKind::numeric && same_text(p.name, tail) && p.unit == unit) return true;
    }
    if (db.is_valid_property_reference(atom, text, unit)) return true;
    const auto slash = text.rfind('/');
    return slash != std::string::npos && slash > 0 && is_decimal(text.substr(slash + 1)) &&
           simple_bound(db, atom, text.substr(0, slash), unit);
}

TEST_F(DemoConfig, BoundsAreExpressionsInTheArgumentsUnit)
{
    ASSERT_TRUE(parse_configuration(db, lines, prompts, debug_line));
    int references = 0;
    for (int a = 0; a < db.atom_count(); ++a)
        for (const AtomArgument& g : db.atoms()[static_cast<std::size_t>(a)].arguments) {
            if (g.kind == ArgumentKind::object) continue;
            const std::string unit = g.kind == ArgumentKind::numeric ? g.unit : std::string();
            for (const std::string* b : {&g.minimum, &g.maximum, &g.default_value})
                EXPECT_TRUE(simple_bound(db, a, *b, unit)) << db.atoms()[static_cast<std::size_t>(a)].name << ":" << g.name << " " << *b;
            if (g.kind == ArgumentKind::numeric) {
                EXPECT_TRUE(simple_bound(db, a, g.increment, unit)) << g.name;
            }
            for (const std::string* b : {&g.minimum, &g.maximum, &g.default_value})
                references += b->find('.') != std::string::npos && !is_decimal(*b);
        }
    EXPECT_GT(references, 10);
}

TEST_F(DemoConfig, CleanupAcceptsWashOneSevenOnesAndTwoEmptyValues)
{
    ASSERT_TRUE(parse_configuration(db, lines, prompts, debug_line));
    const int cleanup = db.atom_index("CLEANUP");
    ASSERT_LT(cleanup, db.atom_count());
    const auto& args = db.atoms()[static_cast<std::size_t>(cleanup)].arguments;
    ASSERT_EQ(args.size(), 10u);
    EXPECT_EQ(args[0].kind, ArgumentKind::object);
    EXPECT_TRUE(ConfigDb::test_bit(args[0].list_or_classes, db.class_index(db.class_name_of_object("Wash1"))));
    EXPECT_TRUE(args[0].required);
    for (std::size_t i = 1; i <= 7; ++i) {
        EXPECT_EQ(args[i].kind, ArgumentKind::numeric) << i;
        EXPECT_TRUE(args[i].required) << i;
        // 1 lies within plain-number bounds and fits the increment.
        double minimum, maximum, increment;
        ASSERT_TRUE(parse_decimal(args[i].minimum, minimum)) << i;
        EXPECT_LE(minimum, 1) << i;
        if (parse_decimal(args[i].maximum, maximum)) {
            EXPECT_GE(maximum, 1) << i;
        }
        ASSERT_TRUE(parse_decimal(args[i].increment, increment)) << i;
        const double steps = 1 / increment;
        EXPECT_NEAR(steps, std::round(steps), 1e-9) << i;
    }
    EXPECT_FALSE(args[8].required);
    EXPECT_FALSE(args[9].required);
}

}  // namespace
}  // namespace kelvo::config_test
