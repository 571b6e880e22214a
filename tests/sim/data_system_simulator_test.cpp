#include "data_system_simulator.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

namespace kelvo::sim {
namespace {

class DsSimTest : public ::testing::Test {
protected:
    DataSystemSimulator make(DataSystemOptions o = {})
    {
        o.exchange_path = dir.file("x.ini");
        o.transcript_path = dir.file("t.txt");
        return DataSystemSimulator(o, [this](const std::string& topic, const std::string& item, const std::string& v) {
            changes.push_back(topic + ":" + item + "=" + v);
        });
    }
    test::TempDir dir;
    std::vector<std::string> changes;
};

}  // namespace

TEST_F(DsSimTest, TableInfoThenSequenceThenReadyAfterTheDelay)
{
    DataSystemSimulator sim = make();
    EXPECT_EQ(sim.request("SYSTEM", "STATUS"), "IDLE");
    EXPECT_EQ(sim.request("cpwait", "Qerant_SequenceStatus$"), "IDLE");
    EXPECT_EQ(sim.request("CPWAIT", "Qerant_SeqStat$"), "");
    ASSERT_TRUE(sim.execute("CPWAIT", "Qerant_CollectTableInfo", 0));
    EXPECT_EQ(test::read_file(dir.file("x.ini")), demo_columns);
    ASSERT_TRUE(sim.execute("CPWAIT", "Qerant_CollectTableInfo", 0));  // announced again
    EXPECT_EQ(changes, (std::vector<std::string>{"CPWAIT:Qerant_TableInfo$=" + dir.file("x.ini"),
                                                 "CPWAIT:Qerant_TableInfo$=" + dir.file("x.ini")}));
    changes.clear();
    test::write_file(dir.file("x.ini"), "[system]\r\n[sequence info]\r\nnumcolumns=2\r\ncolumn01=Method#M\r\n");
    ASSERT_TRUE(sim.execute("CPWAIT", "Qerant_CreateSequence", 100));
    EXPECT_EQ(test::read_file(dir.file("t.txt")), "[sequence info]\nnumcolumns=2\ncolumn01=Method#M\n\n");
    sim.advance(2099);
    EXPECT_EQ(changes, (std::vector<std::string>{"SYSTEM:STATUS=RUN", "CPWAIT:Qerant_SequenceStatus$=RUN"}));
    sim.advance(2100);
    EXPECT_EQ(changes.size(), 4u);
    EXPECT_EQ(changes[2], "CPWAIT:Qerant_SequenceStatus$=READY");
    EXPECT_EQ(sim.sequences_received(), 1);

    std::string error;
    EXPECT_FALSE(sim.execute("SYSTEM", "Qerant_CreateSequence", 0, &error));
    EXPECT_EQ(error, "no macros on topic SYSTEM");
    EXPECT_FALSE(sim.execute("CPWAIT", "Other", 0, &error));
    EXPECT_EQ(error, "unknown macro Other");
}

TEST_F(DsSimTest, GcMsColumnsFileAndFaults)
{
    test::write_file(dir.file("cols.ini"), "[system]\nNumberofcolumns=0\n");
    DataSystemOptions o;
    o.gc_ms = true;
    o.columns_path = dir.file("cols.ini");
    DataSystemSimulator sim = make(o);
    EXPECT_EQ(sim.request("CPWAIT", "Qerant_SeqStat$"), "READY");  // the GC-MS idle word
    ASSERT_TRUE(sim.execute("CPWAIT", "Qerant_CollectTableInfo", 0));
    EXPECT_EQ(test::read_file(dir.file("x.ini")), "[system]\nNumberofcolumns=0\n");

    struct Case { const char* line; bool ok; const char* error; };
    const Case cases[] = {{"slow-ready 5000", true, ""}, {"never-ready on", true, ""},
                          {"slow-ready soon", false, "expected milliseconds: slow-ready soon"},
                          {"never-ready maybe", false, "expected on or off: never-ready maybe"},
                          {"explode", false, "unknown control: explode"}};
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(sim.apply_control(c.line, 0, &error), c.ok) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
    }
    changes.clear();
    ASSERT_TRUE(sim.execute("CPWAIT", "Qerant_CreateSequence", 0));
    sim.advance(60000);  // never ready
    EXPECT_EQ(sim.request("CPWAIT", "Qerant_SeqStat$"), "RUN");
    ASSERT_TRUE(sim.apply_control("never-ready off", 60000));  // the delay is long over
    EXPECT_EQ(sim.request("CPWAIT", "Qerant_SeqStat$"), "READY");

    changes.clear();
    ASSERT_TRUE(sim.apply_control("blank-status on", 0));
    EXPECT_EQ(changes, (std::vector<std::string>{"SYSTEM:STATUS=", "CPWAIT:Qerant_SeqStat$="}));
    ASSERT_TRUE(sim.execute("CPWAIT", "Qerant_CreateSequence", 0));
    sim.advance(6000);
    EXPECT_EQ(sim.request("CPWAIT", "Qerant_SeqStat$"), "");  // every status arrives blank
    EXPECT_FALSE(sim.exit_requested());
    ASSERT_TRUE(sim.apply_control("exit", 0));
    EXPECT_TRUE(sim.exit_requested());
}

}  // namespace kelvo::sim
