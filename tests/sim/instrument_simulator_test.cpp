#include "instrument_simulator.h"

#include "link/sim_wire.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelvo::sim {
namespace {

class SimTest : public ::testing::Test {
protected:
    SimTest() { sim.set_configuration(link_test::demo_configuration()); }
    // Sends a line at 9600 and returns the answer read at 9600.
    std::string ask(const std::string& line, int speed = 9600)
    {
        sim.receive(line + "\r", speed);
        return sim.take_output(speed);
    }
    InstrumentSimulator sim;
};

bool all_high(const std::string& bytes)
{
    for (char c : bytes)
        if ((static_cast<unsigned char>(c) & 0x80) == 0) return false;
    return true;
}

TEST(SimAtoms, ReadFromTheAtomsSection)
{
    const auto atoms = read_atoms({"[lists]", "[ATOMS]", "!WASH", "Volume;0;1;1;1;nl", "?#Side;0;1;0;0", "!END_IT", "!MOVE",
                                   "Tray;TRAY"});
    ASSERT_EQ(atoms.size(), 3u);
    EXPECT_EQ(atoms[0].name, "WASH");
    EXPECT_EQ(atoms[0].argument_count, 2);
    EXPECT_EQ(atoms[1].argument_count, 0);
    EXPECT_EQ(atoms[2].argument_count, 1);
    EXPECT_TRUE(read_atoms({"!WASH"}).empty());
}

TEST(SimGarble, WrongSpeedGivesHighBytesOnly)
{
    const std::string text = "GET_STAT\rREADY\r";
    EXPECT_EQ(garble(text, 9600, 9600), text);
    const std::string slow = garble(text, 9600, 38400);
    const std::string fast = garble(text, 38400, 9600);
    EXPECT_EQ(slow.size(), 2 * text.size());
    EXPECT_LT(fast.size(), text.size());
    EXPECT_TRUE(all_high(slow));
    EXPECT_TRUE(all_high(fast));
}

TEST_F(SimTest, StatusConfigurationFirmwareAndSyringe)
{
    EXPECT_EQ(ask("GET_STAT"), "READY\r");
    std::string config;
    for (const auto& l : link_test::demo_configuration()) config += l + "\r";
    EXPECT_EQ(ask("GET_CONFIG"), config + "READY\r");
    EXPECT_EQ(ask("GET_FW_VERSION"), "KELVO SIM 1.0\rREADY\r");
    EXPECT_EQ(ask("GET_SYR"), "SYR10\rREADY\r");
    sim.set_syringe("SYR100");
    EXPECT_EQ(ask("GET_SYR"), "SYR100\rREADY\r");
    EXPECT_EQ(ask("get_stat"), "@unknown command get_stat\r");
    EXPECT_EQ(ask("???"), "@unknown command ???\r");
    EXPECT_EQ(sim.transcript().size(), 7u);
}

TEST_F(SimTest, SpeedChangesAfterTheAnswerAndWrongSpeedsGarble)
{
    EXPECT_EQ(ask("SET_BAUD 38400"), "READY\r");
    EXPECT_EQ(sim.speed(), 38400);
    // At the old speed the instrument hears junk without a line end.
    const std::size_t heard = sim.transcript().size();
    EXPECT_EQ(ask("GET_STAT", 9600), "");
    EXPECT_EQ(sim.transcript().size(), heard);
    // The junk goes before the next command, which is unknown all the same:
    // the fast probe is answered by an error line.
    const std::string probe = ask("???", 38400);
    ASSERT_GT(probe.size(), 2u);
    EXPECT_EQ(probe[0], '@');
    const std::string line = sim.transcript().back();
    EXPECT_TRUE(all_high(line.substr(0, line.size() - 3)));
    EXPECT_EQ(line.substr(line.size() - 3), "???");
    sim.receive("SET_BAUD 9600\r", 38400);
    EXPECT_EQ(sim.take_output(38400), "READY\r");
    EXPECT_EQ(sim.speed(), 9600);
    // Heard at 38400, a 9600 answer is junk without a line end.
    sim.receive("GET_STAT\r", 9600);
    const std::string junk = sim.take_output(38400);
    EXPECT_FALSE(junk.empty());
    EXPECT_TRUE(all_high(junk));
}

TEST_F(SimTest, AtomsAreCheckedRunAndPolled)
{
    sim.set_atom_time_ms(1000);
    EXPECT_EQ(ask("GET_ATOM_INFO"), "idle\r@\r");
    EXPECT_EQ(ask("NOPE(1)"), "@unknown atom NOPE\r");
    EXPECT_EQ(ask("WASH(1)"), "@wrong number of arguments for WASH\r");
    EXPECT_EQ(ask("MOVE()"), "@wrong number of arguments for MOVE\r");
    EXPECT_EQ(ask("wash(10000,)"), "|\r");  // trailing "," and any case
    EXPECT_TRUE(sim.atom_running());
    EXPECT_EQ(ask("GET_STAT"), "BUSY\r");
    EXPECT_EQ(ask("MOVE(Tray1)"), "BUSY\r");
    EXPECT_EQ(ask("GET_ATOM_INFO"), "WASH running, 1000 ms left\r|\r");
    sim.advance(999);
    EXPECT_TRUE(sim.atom_running());
    sim.advance(1);
    EXPECT_EQ(ask("GET_ATOM_INFO"), "WASH done\r@\r");
    EXPECT_EQ(ask("MOVE(Tray1,)"), "|\r");
    EXPECT_EQ(ask("CANCEL"), "");
    EXPECT_FALSE(sim.atom_running());
    EXPECT_EQ(ask("GET_ATOM_INFO"), "MOVE done\r@\r");
}

TEST_F(SimTest, FaultsFromControlLines)
{
    std::string error;
    EXPECT_FALSE(sim.apply_control("busy x", &error));
    EXPECT_EQ(error, "expected a number: busy x");
    EXPECT_FALSE(sim.apply_control("explode", &error));
    EXPECT_FALSE(sim.apply_control("baud 19200", &error));

    ASSERT_TRUE(sim.apply_control("busy 2"));
    EXPECT_EQ(ask("GET_STAT"), "BUSY\r");
    EXPECT_EQ(ask("GET_STAT"), "BUSY\r");
    EXPECT_EQ(ask("GET_STAT"), "READY\r");

    sim.set_atom_time_ms(0);
    ASSERT_TRUE(sim.apply_control("error-atom 2"));
    EXPECT_EQ(ask("MOVE(Tray1,)"), "|\r");
    EXPECT_EQ(ask("MOVE(Tray1,)"), "@error in atom MOVE\r");
    EXPECT_EQ(ask("MOVE(Tray1,)"), "|\r");
    ASSERT_TRUE(sim.apply_control("error-atom-name wash"));
    EXPECT_EQ(ask("WASH(1,0,)"), "@error in atom WASH\r");

    ASSERT_TRUE(sim.apply_control("silent-on GET_FW"));
    EXPECT_EQ(ask("GET_FW_VERSION"), "");
    EXPECT_EQ(ask("GET_STAT"), "READY\r");
    ASSERT_TRUE(sim.apply_control("silent on"));
    EXPECT_EQ(ask("GET_STAT"), "");
    ASSERT_TRUE(sim.apply_control("clear"));
    EXPECT_EQ(ask("GET_FW_VERSION"), "KELVO SIM 1.0\rREADY\r");

    ASSERT_TRUE(sim.apply_control("garbage 5"));
    const std::string answer = ask("GET_STAT");
    EXPECT_EQ(answer.size(), 5u + 6u);
    EXPECT_TRUE(all_high(answer.substr(0, 5)));
    EXPECT_EQ(answer.substr(5), "READY\r");
    EXPECT_EQ(ask("GET_STAT"), "READY\r");

    sim.set_firmware("V1 10\xB5l 5\xB0" "C");
    ASSERT_TRUE(sim.apply_control("display-chars on"));
    EXPECT_EQ(ask("GET_FW_VERSION"), "V1 10\x9Dl 5\x91" "C\rREADY\r");

    ASSERT_TRUE(sim.apply_control("close-after 2"));
    ask("GET_STAT");
    EXPECT_FALSE(sim.close_requested());
    ask("GET_STAT");
    EXPECT_TRUE(sim.close_requested());
}

TEST_F(SimTest, DownloadedObjectReplacesItsLine)
{
    EXPECT_EQ(ask("DLD_OBJ TRAY;tray1;1;7000;25000"), "READY\r");
    const auto& c = sim.configuration();
    EXPECT_NE(std::find(c.begin(), c.end(), "TRAY;tray1;1;7000;25000"), c.end());
    EXPECT_EQ(std::find(c.begin(), c.end(), "TRAY;Tray1;0;5000;20000"), c.end());
    EXPECT_EQ(ask("DLD_OBJ TRAY;Tray9;1"), "@unknown object Tray9\r");
    EXPECT_EQ(ask("DLD_OBJ TRAY"), "@bad object line\r");
}

}  // namespace
}  // namespace kelvo::sim
