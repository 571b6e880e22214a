// Reading the configuration text: sections, records, values, messages.
#include "config/config_parser.h"
#include "config_test_support.h"

#include <cmath>
#include <cstring>

namespace kelvo::config_test {
namespace {

using Strings = std::vector<std::string>;
const std::string micro_l = "\xB5l";

class ConfigParse : public ConfigFixture {};

TEST(ConfigFields, SplitsAtSemicolonsSkippingLeadingBlanksOnly)
{
    EXPECT_EQ(split_config_fields("A;B;"), (Strings{"A", "B"}));
    EXPECT_EQ(split_config_fields("A;;C"), (Strings{"A", "", "C"}));
    EXPECT_EQ(split_config_fields("  A ;  B"), (Strings{"A ", "B"}));
    EXPECT_EQ(split_config_fields("A; "), (Strings{"A", ""}));
    EXPECT_EQ(split_config_fields(""), Strings{});
    EXPECT_EQ(split_config_fields(std::string("A;B\0C;D", 7)), (Strings{"A", "B"}));
}

TEST_F(ConfigParse, OnlySyringeClassGivesOneClassNoObjectsAndTheFourBuiltInAtoms)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n")));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(db.list_count(), 0);
    EXPECT_EQ(db.class_count(), 1);
    EXPECT_EQ(db.syringe_class(), 0);
    EXPECT_EQ(db.object_count(), 0);
    ASSERT_EQ(db.atom_count(), 4);
    EXPECT_EQ(db.atoms()[0].name, "INC_INDEX");
    EXPECT_EQ(db.atoms()[1].name, "REPEAT");
    EXPECT_EQ(db.atoms()[2].name, "END");
    EXPECT_EQ(db.atoms()[3].name, "WAIT_FOR_DS");
    EXPECT_TRUE(db.atoms()[0].arguments.empty());
    EXPECT_TRUE(db.atoms()[2].arguments.empty());
    EXPECT_TRUE(db.atoms()[3].arguments.empty());
    ASSERT_EQ(db.atoms()[1].arguments.size(), 1u);
    const AtomArgument& count = db.atoms()[1].arguments[0];
    EXPECT_EQ(count.name, "Count");
    EXPECT_EQ(count.kind, ArgumentKind::numeric);
    EXPECT_TRUE(count.required);
    EXPECT_EQ(count.unit, "");
    EXPECT_EQ(count.minimum, "0");
    EXPECT_EQ(count.maximum, "1000000");
    EXPECT_EQ(count.default_value, "1");
    EXPECT_EQ(count.increment, "1");
}

TEST_F(ConfigParse, EmptySectionsWithoutSyringeClassFail)
{
    EXPECT_FALSE(parse(config_text("", "")));
    EXPECT_EQ(shown(), Strings{"error: No syringe class was found!"});
}

TEST_F(ConfigParse, HeadersAreRecognisedInAnyCaseButNotWithBlanks)
{
    EXPECT_TRUE(parse("[LISTS]\n[Classes]\n!syringe\n[OBJECTS]\n[atoms]\n"));
    EXPECT_EQ(db.class_count(), 1);
    EXPECT_EQ(db.syringe_class(), 0);

    // A missing header fails without a message box.
    EXPECT_FALSE(parse(" [lists]\n[classes]\n!SYRINGE\n[objects]\n[atoms]\n"));
    EXPECT_FALSE(parse("[lists] \n[classes]\n!SYRINGE\n[objects]\n[atoms]\n"));
    EXPECT_FALSE(parse("[lists]\n[classes]\n!SYRINGE\n[objects]\n"));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(debug.back(), "no [atoms] line in the configuration");
}

TEST_F(ConfigParse, LinesBeforeListsAreIgnoredAndALaterHeaderCounts)
{
    ASSERT_TRUE(parse("anything;at;all\n[lists]\n1;0;Old\n[lists]\n2;0;New\n[classes]\n!SYRINGE\n[objects]\n[atoms]\n"));
    EXPECT_FALSE(db.list(1).defined);
    EXPECT_TRUE(db.list(2).defined);
    EXPECT_EQ(db.list_count(), 1);
}

TEST_F(ConfigParse, EmptyAndBlankLinesAreSkipped)
{
    ASSERT_TRUE(parse("[lists]\n\n1;0;A\n   \n[classes]\n\n!SYRINGE\n\nMax Volume;0;1;0;1;nl\n[objects]\n\n"
                      "SYRINGE;S1;1000\n[atoms]\n\n!A1\n\nVolume;0;1;0;1;nl\n\n"));
    EXPECT_EQ(db.list_count(), 1);
    EXPECT_EQ(db.classes()[0].properties.size(), 1u);
    EXPECT_EQ(db.object_count(), 1);
    EXPECT_EQ(db.atoms()[0].arguments.size(), 1u);
}

TEST_F(ConfigParse, ListsAreStoredUnderTheirIdUpToTheFirstEmptyEntry)
{
    ASSERT_TRUE(parse(config_text("3;10;A;B;;C\n0;2;X\n99;0\n", "!SYRINGE\n")));
    EXPECT_EQ(db.list_count(), 3);
    EXPECT_TRUE(db.list(3).defined);
    EXPECT_EQ(db.list(3).maximum, 10);
    EXPECT_EQ(db.list(3).entries, (Strings{"A", "B"}));
    EXPECT_EQ(db.list(0).entries, Strings{"X"});
    EXPECT_TRUE(db.list(99).defined);
    EXPECT_TRUE(db.list(99).entries.empty());
    EXPECT_FALSE(db.list(1).defined);
    EXPECT_FALSE(db.list(100).defined);
    EXPECT_FALSE(db.list(-1).defined);
}

TEST_F(ConfigParse, ListFailures)
{
    struct Case {
        std::string lists, message;
    };
    const Case cases[] = {
        {"100;3;A\n", "error: bad list id 100"},
        {"-1;3;A\n", "error: bad list id -1"},
        {"5;-1;A\n", "error: bad list max 5"},
        {"1;2;A\nx;3\n", "error: Not a number:list 2"},
        {"1;2;A\n\n2;y\n", "error: Not a number:list 3"},  // the position counts the skipped line
        {"1\n", "error: Not a number:list 1"},
        {";\n", "error: Not a number:list 1"},  // not a blank line: an empty id
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        EXPECT_FALSE(parse(config_text(c.lists, "!SYRINGE\n"))) << c.lists;
        EXPECT_EQ(shown(), Strings{c.message}) << c.lists;
    }
}

TEST_F(ConfigParse, PropertiesOfAllFourKinds)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\nMax Volume;0;1000;10;0.5;nl\n#Plunger;0;1;1;2\n&Part Number\n"
                                      "Holder;HOLDER;SYRINGE\n!HOLDER\nWidth;1;2;3;4\n")));
    const auto& p = db.classes()[0].properties;
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].name, "Max Volume");
    EXPECT_EQ(p[0].kind, PropertyKind::numeric);
    EXPECT_EQ(p[0].minimum, 0);
    EXPECT_EQ(p[0].maximum, 1000);
    EXPECT_EQ(p[0].default_value, 10);
    EXPECT_EQ(p[0].increment, 0.5);
    EXPECT_EQ(p[0].unit, micro_l);
    EXPECT_EQ(p[1].name, "Plunger");
    EXPECT_EQ(p[1].kind, PropertyKind::list_index);
    EXPECT_EQ(p[1].maximum, 1);
    EXPECT_EQ(p[1].default_value, 1);
    EXPECT_EQ(p[1].list_or_classes, 2u);
    EXPECT_EQ(p[2].name, "Part Number");
    EXPECT_EQ(p[2].kind, PropertyKind::text);
    // The class test sees HOLDER although it is defined further down.
    EXPECT_EQ(p[3].name, "Holder");
    EXPECT_EQ(p[3].kind, PropertyKind::object_ref);
    EXPECT_EQ(p[3].list_or_classes, 0b11u);
    EXPECT_EQ(db.classes()[1].properties[0].unit, "");  // no unit code
    // 8 bytes per number, 20 per text or reference.
    EXPECT_EQ(p[0].offset, 0);
    EXPECT_EQ(p[1].offset, 8);
    EXPECT_EQ(p[2].offset, 16);
    EXPECT_EQ(p[3].offset, 36);
    EXPECT_EQ(db.classes()[0].value_size, 56);
    EXPECT_EQ(db.classes()[1].value_size, 8);
}

TEST_F(ConfigParse, UnitCodesAreTranslated)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\nA;0;1;0;1;nl\nB;0;1;0;1;\xB5m\nC;0;1;0;1;nl/s\nD;0;1;0;1;m\xB0"
                                      "C\nE;0;1;0;1;E\nF;0;1;0;1;ms\nG;0;1;0;1;NL\n")));
    const auto& p = db.classes()[0].properties;
    EXPECT_EQ(p[0].unit, micro_l);
    EXPECT_EQ(p[1].unit, "mm");
    EXPECT_EQ(p[2].unit, "\xB5l/s");
    EXPECT_EQ(p[3].unit, "\xB0"
                         "C");
    EXPECT_EQ(p[4].unit, "");
    EXPECT_EQ(p[5].unit, "ms");
    EXPECT_EQ(p[6].unit, "NL");  // codes are compared exactly
}

TEST_F(ConfigParse, ClassFailures)
{
    struct Case {
        std::string classes, message;
    };
    const Case cases[] = {
        {"!TRAY\n", "error: No syringe class was found!"},
        {"!SYRINGE\nMax Volume;a;1;1;1;nl\n", "error: Not a real number:SYRINGE:Max Volume min"},
        {"!SYRINGE\nMax Volume;0;1e3;1;1;nl\n", "error: Not a real number:SYRINGE:Max Volume max"},
        {"!SYRINGE\nMax Volume;0;1;;1;nl\n", "error: Not a real number:SYRINGE:Max Volume default"},
        {"!SYRINGE\nMax Volume;0;1;1;1,5;nl\n", "error: Not a real number:SYRINGE:Max Volume increment"},
        {"!SYRINGE\nMax Volume;0;1;1\n", "error: Not a real number:SYRINGE:Max Volume increment"},
        {"!SYRINGE\n#Plunger;0;+1;0;2\n", "error: Not a real number:SYRINGE:Plunger max"},
        {"!SYRINGE\n#Plunger;0;1;0;x\n", "error: Not a number:SYRINGE:Plunger list number"},
        {"!SYRINGE\n#Plunger;0;1;0\n", "error: Not a number:SYRINGE:Plunger list number"},
        {"!SYRINGE\nHolder;SYRINGE;NOPE\n", "error: NOPE in class SYRINGE is not a class!"},
        {"Orphan;0;1;0;1;nl\n!SYRINGE\n", "error: Property without a class at line 3"},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        EXPECT_FALSE(parse(config_text("", c.classes))) << c.classes;
        EXPECT_EQ(shown(), Strings{c.message}) << c.classes;
    }
}

TEST_F(ConfigParse, ObjectValuesInScaledUnitsAreStoredInThousandsWhenIntegers)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\nV;0;1;0;1;nl\nL;0;1;0;1;\xB5m\nT;0;1;0;1;m\xB0"
                                      "C\nS;0;1;0;1;nl/s\nN;0;1;0;1;E\n#P;0;1;0;0\n&Text\n",
                                  "SYRINGE;A;1500;2000;-25000;500;1500;1500;hello\n"
                                  "SYRINGE;B;1.5;0;1500.5;-0;7;3;\n")));
    EXPECT_EQ(db.numeric_value("A", "V"), 1.5);
    EXPECT_EQ(db.numeric_value("A", "L"), 2);
    EXPECT_EQ(db.numeric_value("A", "T"), -25);
    EXPECT_EQ(db.numeric_value("A", "S"), 0.5);
    EXPECT_EQ(db.numeric_value("A", "N"), 1500);  // not a scaled unit
    EXPECT_EQ(db.numeric_value("A", "P"), 1500);  // list index: never scaled
    EXPECT_EQ(db.text_value("A", "Text"), "hello");
    EXPECT_EQ(db.numeric_value("B", "V"), 1.5);  // a value with a point is in the unit already
    EXPECT_EQ(db.numeric_value("B", "L"), 0);
    EXPECT_EQ(db.numeric_value("B", "T"), 1500.5);
    EXPECT_EQ(db.numeric_value("B", "S"), 0);
    EXPECT_FALSE(std::signbit(db.numeric_value("B", "S")));
    EXPECT_EQ(db.text_value("B", "Text"), "");
    // Blocks follow one another in the value store.
    EXPECT_EQ(db.objects()[0].offset, 0);
    EXPECT_EQ(db.objects()[1].offset, db.classes()[0].value_size);
    EXPECT_EQ(db.value_store_used(), 2 * db.classes()[0].value_size);
    double stored;
    std::memcpy(&stored, db.value_store().data() + db.classes()[0].properties[0].offset, sizeof stored);
    EXPECT_EQ(stored, 1.5);
}

TEST_F(ConfigParse, ObjectFailures)
{
    struct Case {
        std::string objects, message;
    };
    const Case cases[] = {
        {"FOO;x\n", "error: FOO is not a known class!"},
        {"syringe;\n", "error: an object of class syringe must have a name to be defined"},
        {"SYRINGE\n", "error: an object of class SYRINGE must have a name to be defined"},
        {"SYRINGE;S1;12a\n", "error: Not a real number:S1:Max Volume"},
        {"SYRINGE;S1\n", "error: Not a real number:S1:Max Volume"},
        // Every object is checked before any value is read.
        {"SYRINGE;S1;x\nFOO;y\n", "error: FOO is not a known class!"},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        EXPECT_FALSE(parse(config_text("", "!SYRINGE\nMax Volume;0;1;0;1;nl\n", c.objects))) << c.objects;
        EXPECT_EQ(shown(), Strings{c.message}) << c.objects;
    }
}

TEST_F(ConfigParse, ArgumentsOfAllKinds)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n!TRAY\n", "",
                                  "!GET\nTray;TRAY;SYRINGE\n?#Tray;0;5;1;3\nVolume;0;10;1;0.5;nl\n?Count;0;9;1;1;E\n"
                                  "!HOME\n")));
    ASSERT_EQ(db.atom_count(), 6);
    const ConfigAtom& get = db.atoms()[0];
    ASSERT_EQ(get.arguments.size(), 4u);
    EXPECT_EQ(get.arguments[0].kind, ArgumentKind::object);
    EXPECT_EQ(get.arguments[0].list_or_classes, 0b11u);
    EXPECT_TRUE(get.arguments[0].required);
    const AtomArgument& tray = get.arguments[1];
    EXPECT_EQ(tray.name, "Tray");
    EXPECT_EQ(tray.kind, ArgumentKind::list_index);
    EXPECT_FALSE(tray.required);
    EXPECT_EQ(tray.minimum, "0");
    EXPECT_EQ(tray.maximum, "5");
    EXPECT_EQ(tray.default_value, "1");
    EXPECT_EQ(tray.list_or_classes, 3u);
    const AtomArgument& volume = get.arguments[2];
    EXPECT_EQ(volume.kind, ArgumentKind::numeric);
    EXPECT_EQ(volume.unit, micro_l);
    EXPECT_EQ(volume.increment, "0.5");
    EXPECT_TRUE(volume.required);
    EXPECT_EQ(get.arguments[3].unit, "");
    EXPECT_FALSE(get.arguments[3].required);
    EXPECT_TRUE(db.atoms()[1].arguments.empty());
    EXPECT_EQ(db.atoms()[2].name, "INC_INDEX");
}

TEST_F(ConfigParse, ArgumentFailuresWriteTheProblemLine)
{
    struct Case {
        std::string atoms;
        Strings messages;
        std::string debug;
    };
    const Case cases[] = {
        {"!ASP\n#Speed;0;2;1;x\n", {"error: Not a number:ASP:Speed list number"}, "problem with ASP:Speed"},
        {"!MOVE\nTarget;SYRINGE;NOPE\n", {"error: NOPE in MOVE:Target is not a class!"}, "problem with MOVE:Target"},
        // A bound that fails its check has no message of its own.
        {"!ASP\nVolume;;10;1;1;nl\n", {}, "problem with ASP:Volume"},
        {"!ASP\nVolume;0;10;1;;nl\n", {}, "problem with ASP:Volume"},
        {"!ASP\n?#Vial;0;;1;2\n", {}, "problem with ASP:Vial"},
        {"!ASP\nVolume;0;" + std::string(43, '1') + ";1;1;nl\n",
         {"error: Bound too long (at most 42 characters) in ASP:Volume at line 7"},
         "problem with ASP:Volume"},
    };
    for (const Case& c : cases) {
        prompts.shown.clear();
        debug.clear();
        EXPECT_FALSE(parse(config_text("", "!SYRINGE\n", "", c.atoms))) << c.atoms;
        EXPECT_EQ(shown(), c.messages) << c.atoms;
        EXPECT_EQ(debug, Strings{c.debug}) << c.atoms;
    }
    // 42 characters fit.
    EXPECT_TRUE(parse(config_text("", "!SYRINGE\n", "", "!ASP\nVolume;0;" + std::string(42, '1') + ";1;1;nl\n")));
}

TEST_F(ConfigParse, ArgumentBeforeTheFirstAtomIsRefused)
{
    EXPECT_FALSE(parse(config_text("", "!SYRINGE\n", "", "Volume;0;1;0;1;nl\n!ASP\n")));
    EXPECT_EQ(shown(), Strings{"error: Argument without an atom at line 6"});
}

TEST_F(ConfigParse, ReparseReplacesEverything)
{
    ASSERT_TRUE(parse(config_text("1;0;A\n", "!SYRINGE\n!TRAY\n", "TRAY;T1\n", "!X\n")));
    ASSERT_FALSE(parse(config_text("", "!TRAY\n")));
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n")));
    EXPECT_EQ(db.list_count(), 0);
    EXPECT_FALSE(db.list(1).defined);
    EXPECT_EQ(db.class_count(), 1);
    EXPECT_EQ(db.object_count(), 0);
    EXPECT_EQ(db.value_store_used(), 0);
    EXPECT_EQ(db.atom_count(), 4);
}

// --- capacities ---

std::string many(int n, const std::string& prefix, const std::string& suffix = "")
{
    std::string text;
    for (int i = 0; i < n; ++i) text += prefix + std::to_string(i) + suffix + "\n";
    return text;
}

TEST_F(ConfigParse, ThirtyTwoClassesFitTheClassSetAndMoreAreRefused)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n" + many(31, "!C"), "", "!A\nX;C30;SYRINGE\n")));
    EXPECT_EQ(db.class_count(), 32);
    EXPECT_EQ(db.class_bit("C30"), 1u << 31);
    EXPECT_EQ(db.atoms()[0].arguments[0].list_or_classes, (1u << 31) | 1u);

    EXPECT_FALSE(parse(config_text("", "!SYRINGE\n" + many(32, "!C"))));
    EXPECT_EQ(shown().back(), "error: Too many classes (at most 32) at line 35");
}

TEST_F(ConfigParse, PropertyAndArgumentCapacities)
{
    EXPECT_TRUE(parse(config_text("", "!SYRINGE\n" + many(24, "P", ";0;1;0;1;nl"))));
    EXPECT_FALSE(parse(config_text("", "!SYRINGE\n" + many(25, "P", ";0;1;0;1;nl"))));
    EXPECT_EQ(shown().back(), "error: Too many properties in class SYRINGE (at most 24) at line 28");

    EXPECT_TRUE(parse(config_text("", "!SYRINGE\n", "", "!A\n" + many(40, "X", ";0;1;0;1;nl"))));
    EXPECT_EQ(db.atoms()[0].arguments.size(), 40u);
    EXPECT_FALSE(parse(config_text("", "!SYRINGE\n", "", "!A\n" + many(41, "X", ";0;1;0;1;nl"))));
    EXPECT_EQ(shown().back(), "error: Too many arguments in atom A (at most 40) at line 47");

    EXPECT_TRUE(parse(config_text("", "!SYRINGE\n", "", many(36, "!A"))));
    EXPECT_EQ(db.atom_count(), 40);
    EXPECT_FALSE(parse(config_text("", "!SYRINGE\n", "", many(37, "!A"))));
    EXPECT_EQ(shown().back(), "error: Too many atoms (at most 36 besides the built-in ones) at line 42");
}

TEST_F(ConfigParse, ObjectAndValueStoreCapacities)
{
    // 200 objects of 24 numbers take 38400 bytes.
    const std::string numbers = "!SYRINGE\n" + many(24, "P", ";0;1;0;1;E");
    std::string values;
    for (int i = 0; i < 24; ++i) values += ";1";
    ASSERT_TRUE(parse(config_text("", numbers, many(200, "SYRINGE;S", values))));
    EXPECT_EQ(db.object_count(), 200);
    EXPECT_EQ(db.value_store_used(), 38400);
    EXPECT_EQ(db.numeric_value(199, 23), 1);
    EXPECT_FALSE(parse(config_text("", numbers, many(201, "SYRINGE;S", values))));
    EXPECT_EQ(shown().back(), "error: Too many objects (at most 200) at line 229");

    // 24 texts take 480 bytes: 83 objects fit, the 84th does not.
    const std::string texts = "!SYRINGE\n" + many(24, "&T");
    ASSERT_TRUE(parse(config_text("", texts, many(83, "SYRINGE;S", ";abc"))));
    EXPECT_EQ(db.value_store_used(), 39840);
    EXPECT_EQ(db.text_value(82, 0), "abc");
    EXPECT_FALSE(parse(config_text("", texts, many(84, "SYRINGE;S", ";abc"))));
    EXPECT_EQ(shown().back(), "error: Too many object values (at most 40000 bytes) at line 112");
}

TEST_F(ConfigParse, LinesOfMoreThanFortyOneFieldsAreRefused)
{
    std::string entries;
    for (int i = 0; i < 39; ++i) entries += ";E" + std::to_string(i);
    ASSERT_TRUE(parse(config_text("1;38" + entries + "\n", "!SYRINGE\n")));
    EXPECT_EQ(db.list(1).entries.size(), 39u);
    EXPECT_FALSE(parse(config_text("1;38" + entries + ";E39\n", "!SYRINGE\n")));
    EXPECT_EQ(shown().back(), "error: Too many fields (at most 41) at line 2");
    EXPECT_FALSE(parse(config_text("", "!SYRINGE\n", "", "!A\nX;SYRINGE" + std::string(41, ';') + "x\n")));
    EXPECT_EQ(shown().back(), "error: Too many fields (at most 41) at line 7");
}

TEST_F(ConfigParse, LongTextValuesAreKeptWholeWithoutTouchingTheNextSlot)
{
    const std::string long_name = "A_tray_type_of_24_chars_";
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n!TRAY\n&Tray Type\n&Other\nDepth;0;1;0;1;E\n",
                                  "TRAY;T1;" + long_name + ";ok;7\n")));
    EXPECT_EQ(db.tray_type("T1"), long_name);
    EXPECT_EQ(db.text_value("T1", "Other"), "ok");
    EXPECT_EQ(db.numeric_value("T1", "Depth"), 7);
    // The store slot holds the first 19 characters and its terminating zero.
    const char* slot = reinterpret_cast<const char*>(db.value_store().data());
    EXPECT_EQ(std::string(slot), long_name.substr(0, 19));
    db.set_text_value(0, 0, "short");
    EXPECT_EQ(db.tray_type("T1"), "short");
    EXPECT_EQ(db.text_value("T1", "Other"), "ok");
}

}  // namespace
}  // namespace kelvo::config_test
