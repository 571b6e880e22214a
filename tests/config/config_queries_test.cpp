// Lookups of the configuration database, the object line and the
// reference-menu fills.
#include "config_test_support.h"

namespace kelvo::config_test {
namespace {

using Strings = std::vector<std::string>;
const std::string micro_l = "\xB5l";
const std::string micro_l_s = "\xB5l/s";

// A small instrument: two syringes, a holder with trays, an injector and
// atoms with object arguments.
const std::string sample = config_text(
    "0;2;Slow;Normal;Fast;normal\n",
    "!SYRINGE\nMax Volume;0;1;0;1;nl\nFill Speed;0;1;0;1;nl/s\nMax Speed;0;1;0;1;nl/s\n#Plunger;0;1;0;0\n"
    "Needle Length;0;1;0;1;\xB5m\n&Part Number\n"
    "!TRAY\nTray Holder;TRAY_HOLDER\nTray Type;TRAY_TYPE\nOffset X;0;1;0;1;\xB5m\n"
    "!TRAY_HOLDER\nPosition X;0;1;0;1;\xB5m\n"
    "!TRAY_TYPE\nSpl Per Row;0;1;0;1;E\nSpl Per Col;0;1;0;1;E\nVial Depth;0;1;0;1;\xB5m\n"
    "!INJECTOR\nDepth;0;1;0;1;E\n"
    "!SYNC_SIGNAL\n!OUT_SIGNAL\n",
    "SYRINGE;S10;10000;2500;50000;1;51000;P-10\n"
    "SYRINGE;S100;100000;2500;50000;0;51000;P-100\n"
    "TRAY_HOLDER;Stack;1000\n"
    "TRAY_TYPE;VT54;9;6;32000\n"
    "TRAY;T1;Stack;VT54;1500\n"
    "TRAY;T2;stack;vt54;2500\n"
    "TRAY;T3;Other;VT54;-500\n"
    "INJECTOR;Inj1;2.5\n"
    "INJECTOR;s10;3.5\n",
    "!GET\nTray;TRAY\nIndex;1;Tray.Max Index;1;1;E\nDepth;0;Tray.Vial Depth;0;1;\xB5m\n!INJECT\nInjector;INJECTOR\n"
    "#Speed;0;2;1;0\n");

class ConfigClassNames : public ConfigFixture {};

class ConfigQueries : public ConfigFixture {
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        ASSERT_TRUE(parse(sample)) << (shown().empty() ? "" : shown().front());
    }
};

TEST_F(ConfigQueries, ClassLookups)
{
    EXPECT_EQ(db.class_index("tray_type"), 3);
    EXPECT_EQ(db.class_index("NOPE"), db.class_count());
    EXPECT_EQ(db.tray_bit(), 1u << 1);
    EXPECT_EQ(db.syringe_bit(), 1u);
    EXPECT_EQ(db.injector_bit(), 1u << 4);
    EXPECT_EQ(db.sync_signal_bit(), 1u << 5);
    EXPECT_EQ(db.out_signal_bit(), 1u << 6);
    EXPECT_EQ(db.class_bit("NOPE"), 0u);
    EXPECT_TRUE(ConfigDb::test_bit(0b100u, 2));
    EXPECT_FALSE(ConfigDb::test_bit(0b100u, 1));
    EXPECT_FALSE(ConfigDb::test_bit(~0u, 32));
    EXPECT_FALSE(ConfigDb::test_bit(~0u, -1));
    EXPECT_TRUE(ConfigDb::test_bit(~0u, 31));
}

TEST_F(ConfigQueries, ObjectLookupsAndClasses)
{
    EXPECT_EQ(db.object_index("t2"), 5);
    EXPECT_EQ(db.object_index("nope"), db.object_count());
    // "s10" is both a syringe and (later) an injector: the last one counts.
    EXPECT_EQ(db.object_index("S10"), 8);
    EXPECT_EQ(db.class_name_of_object("S10"), "INJECTOR");
    EXPECT_EQ(db.class_name_of_object(0), "SYRINGE");
    EXPECT_EQ(db.class_name_of_object(-1), "");
    EXPECT_EQ(db.class_name_of_object(db.object_count()), "");
    EXPECT_EQ(db.class_name_of_object("nope"), "");
    EXPECT_TRUE(db.is_tray("t1"));
    EXPECT_FALSE(db.is_tray("Stack"));
    EXPECT_TRUE(db.is_tray_holder("STACK"));
    EXPECT_TRUE(db.is_tray_type("VT54"));
    EXPECT_TRUE(db.is_injector("Inj1"));
    EXPECT_FALSE(db.is_injector("nope"));
    EXPECT_TRUE(db.is_tray_on_holder("T1", "stack"));
    EXPECT_TRUE(db.is_tray_on_holder("T2", "Stack"));
    EXPECT_FALSE(db.is_tray_on_holder("T3", "Stack"));
    EXPECT_FALSE(db.is_tray_on_holder("Stack", "Stack"));
    EXPECT_EQ(db.tray_type("T2"), "vt54");
    EXPECT_EQ(objects_of_class(db, "tray"), (Strings{"T1", "T2", "T3"}));
    EXPECT_EQ(objects_of_class(db, "SYRINGE"), (Strings{"S10", "S100"}));
    EXPECT_TRUE(objects_of_class(db, "NOPE").empty());
}

TEST_F(ConfigQueries, ValuesByNameAndByPosition)
{
    EXPECT_EQ(db.numeric_value("S100", "max volume"), 100);
    EXPECT_EQ(db.numeric_value("S100", "Fill Speed"), 2.5);
    EXPECT_EQ(db.numeric_value("S100", "Plunger"), 0);
    EXPECT_EQ(db.text_value("S100", "Part Number"), "P-100");
    EXPECT_EQ(db.numeric_value("T3", "Offset X"), -0.5);
    // Unknown object or property, or the other kind: empty text and 0.
    EXPECT_EQ(db.text_value("nope", "Part Number"), "");
    EXPECT_EQ(db.numeric_value("nope", "Max Volume"), 0);
    EXPECT_EQ(db.numeric_value("S100", "nope"), 0);
    EXPECT_EQ(db.text_value("S100", "Max Volume"), "");
    EXPECT_EQ(db.numeric_value("S100", "Part Number"), 0);

    const int s100 = db.object_index("S100");
    EXPECT_EQ(db.numeric_value(s100, 0), 100);
    EXPECT_EQ(db.text_value(s100, 5), "P-100");
    db.set_numeric_value(s100, 0, 250);
    db.set_text_value(s100, 5, "NEW");
    EXPECT_EQ(db.numeric_value("S100", "Max Volume"), 250);
    EXPECT_EQ(db.text_value("S100", "Part Number"), "NEW");
    EXPECT_EQ(db.numeric_value("S10", "Depth"), 3.5);  // neighbours untouched
    // Out of range or the other kind changes nothing and reads nothing.
    db.set_text_value(s100, 0, "text into a number");
    db.set_numeric_value(s100, 5, 1);
    db.set_numeric_value(s100, 99, 1);
    db.set_numeric_value(-1, 0, 1);
    db.set_text_value(db.object_count(), 0, "x");
    EXPECT_EQ(db.numeric_value(s100, 0), 250);
    EXPECT_EQ(db.text_value(s100, 5), "NEW");
    EXPECT_EQ(db.numeric_value(s100, 6), 0);
    EXPECT_EQ(db.text_value(-1, 0), "");
}

TEST_F(ConfigQueries, AtomsListsAndReferences)
{
    EXPECT_EQ(db.atom_index("get"), 0);
    EXPECT_EQ(db.atom_index("repeat"), 3);
    EXPECT_EQ(db.atom_index("nope"), db.atom_count());
    EXPECT_EQ(db.list_position(0, "fast"), 2);
    EXPECT_EQ(db.list_position(0, "Normal"), 3);  // the last of that name
    EXPECT_EQ(db.list_position(0, "nope"), -1);
    EXPECT_EQ(db.list_position(7, "Slow"), -1);
    EXPECT_EQ(db.list_position(1000, "Slow"), -1);

    const int get = db.atom_index("GET");
    EXPECT_TRUE(db.atom_has_object_argument(get, "tray"));
    EXPECT_FALSE(db.atom_has_object_argument(get, "Index"));  // numeric
    EXPECT_FALSE(db.atom_has_object_argument(-1, "Tray"));
    EXPECT_FALSE(db.atom_has_object_argument(db.atom_count(), "Tray"));
    EXPECT_TRUE(db.is_valid_property_reference(get, "Tray.Max Index", ""));
    EXPECT_TRUE(db.is_valid_property_reference(get, "tray.max index", ""));
    EXPECT_FALSE(db.is_valid_property_reference(get, "Tray.Max Index", "mm"));
    EXPECT_TRUE(db.is_valid_property_reference(get, "Tray.Vial Depth", "mm"));
    EXPECT_FALSE(db.is_valid_property_reference(get, "Tray.Vial Depth", ""));
    EXPECT_TRUE(db.is_valid_property_reference(get, "Tray.Spl Per Row", ""));
    EXPECT_FALSE(db.is_valid_property_reference(get, "Index.Spl Per Row", ""));
    EXPECT_FALSE(db.is_valid_property_reference(get, "Max Index", ""));
    EXPECT_FALSE(db.is_valid_property_reference(db.atom_index("INJECT"), "Tray.Max Index", ""));

    EXPECT_TRUE(db.is_syr_reference("SYR.Max Volume"));
    EXPECT_TRUE(db.is_syr_reference("syr.anything.else"));
    EXPECT_FALSE(db.is_syr_reference("SYR"));
    EXPECT_FALSE(db.is_syr_reference("SYRINGE.Max Volume"));
    ConfigDb empty;
    EXPECT_FALSE(empty.is_syr_reference("SYR.Max Volume"));
}

TEST_F(ConfigQueries, ObjectLineScalesRoundsHalfToEvenAndKeepsTexts)
{
    EXPECT_EQ(db.object_line(0), "SYRINGE;S10;10000;2500;50000;1;51000;P-10");
    EXPECT_EQ(db.object_line(db.object_index("T3"), "Renamed"), "TRAY;Renamed;Other;VT54;-500");
    EXPECT_EQ(db.object_line(db.object_index("Inj1")), "INJECTOR;Inj1;2");    // unscaled 2.5
    EXPECT_EQ(db.object_line(db.object_index("S10")), "INJECTOR;s10;4");      // unscaled 3.5
    const int s100 = db.object_index("S100");
    db.set_numeric_value(s100, 0, 1.5);        // µl
    db.set_numeric_value(s100, 1, 0.0625);     // µl/s: 62.5 nl/s
    db.set_numeric_value(s100, 4, -0.0004);    // mm: -0.4 µm
    EXPECT_EQ(db.object_line(s100), "SYRINGE;S100;1500;62;50000;0;0;P-100");
    EXPECT_EQ(db.object_line(-1), "");
    EXPECT_EQ(db.object_line(db.object_count()), "");
}

TEST_F(ConfigQueries, ReferenceFills)
{
    EXPECT_EQ(reference_fill_1(""), (Strings{"SL.index", "SL.injpervial"}));
    EXPECT_EQ(reference_fill_1(micro_l), (Strings{"SL.volume", "SL.volume2"}));
    EXPECT_TRUE(reference_fill_1("mm").empty());

    EXPECT_EQ(reference_fill_2(db, micro_l), (Strings{"SL.volume", "SL.volume2", "SYR.Max Volume"}));
    EXPECT_EQ(reference_fill_2(db, micro_l_s), (Strings{"SYR.Fill Speed", "SYR.Max Speed"}));
    EXPECT_EQ(reference_fill_2(db, "mm"), (Strings{"SYR.Needle Length"}));
    // List-index and text properties are not numeric values.
    EXPECT_EQ(reference_fill_2(db, ""), (Strings{"SL.index", "SL.injpervial"}));

    const Strings parameters = {
        "Volume (\xB5l);1;0;SYR.Max Volume",
        "Second (\xB5l);2;0;10",
        "Count ();1;0;9",
        "Where;TRAY",
        "Flow (\xB5l/s);1;0;5",
        "sl.volume (\xB5l);1;0;5",  // same caption as an earlier item
    };
    EXPECT_EQ(reference_fill_3(db, micro_l, parameters),
              (Strings{"SL.volume", "SL.volume2", "SYR.Max Volume", "Volume", "Second"}));
    EXPECT_EQ(reference_fill_3(db, "", parameters), (Strings{"SL.index", "SL.injpervial", "Count"}));
    EXPECT_EQ(reference_fill_3(db, micro_l_s, parameters), (Strings{"SYR.Fill Speed", "SYR.Max Speed", "Flow"}));
}

TEST_F(ConfigClassNames, TwoClassesOfOneNameLookupsFindTheLastBitsTheFirst)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n!TRAY\n!INJECTOR\n!tray\nDepth;0;1;0;1;E\n", "TRAY;T1;4\n")));
    EXPECT_EQ(db.class_index("TRAY"), 3);
    EXPECT_EQ(db.tray_bit(), 1u << 1);
    // Objects take the class found by name: the last one.
    EXPECT_EQ(db.objects()[0].class_index, 3);
    EXPECT_EQ(db.numeric_value("T1", "Depth"), 4);
}

TEST(ConfigNames, DottedNamesAndUnits)
{
    EXPECT_EQ(dotted_head("SYR.Max Volume"), "SYR");
    EXPECT_EQ(dotted_tail("SYR.Max Volume"), "Max Volume");
    EXPECT_EQ(dotted_head("a.b.c"), "a");
    EXPECT_EQ(dotted_tail("a.b.c"), "b.c");
    EXPECT_EQ(dotted_head("plain"), "");
    EXPECT_EQ(dotted_tail("plain"), "plain");
    EXPECT_EQ(dotted_head(".x"), "");
    EXPECT_EQ(dotted_tail(".x"), "x");

    EXPECT_EQ(translate_unit("E"), "");
    EXPECT_EQ(translate_unit("nl"), micro_l);
    EXPECT_EQ(translate_unit("\xB5m"), "mm");
    EXPECT_EQ(translate_unit("nl/s"), micro_l_s);
    EXPECT_EQ(translate_unit("m\xB0"
                             "C"),
              "\xB0"
              "C");
    EXPECT_EQ(translate_unit("e"), "e");
    EXPECT_EQ(translate_unit("s"), "s");
    EXPECT_EQ(translate_unit(""), "");
    for (const std::string u : {"mm", "\xB5l", "\xB0"
                                                "C",
                                "\xB5l/s"})
        EXPECT_TRUE(is_scaled_unit(u)) << u;
    for (const std::string u : {"", "s", "MM", "nl", "\xB5m", "ms"}) EXPECT_FALSE(is_scaled_unit(u)) << u;
}

TEST(ConfigInstance, OneProgramWideDatabase)
{
    EXPECT_EQ(&config(), &config());
    const ConfigDb fresh;
    EXPECT_EQ(fresh.class_count(), 0);
    EXPECT_EQ(fresh.syringe_class(), -1);
    EXPECT_EQ(fresh.class_index("SYRINGE"), 0);
    EXPECT_EQ(fresh.object_index("x"), 0);
    EXPECT_EQ(fresh.atom_index("x"), 0);
    EXPECT_EQ(fresh.value_store().size(), 40000u);
}

}  // namespace
}  // namespace kelvo::config_test
