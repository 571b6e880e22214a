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
    ASSERT_TRUE(sim.apply_control("error-text ERROR"));
    EXPECT_EQ(ask("WASH(1,0,)"), "ERROR\r");

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


// ---- The line's pace

// Microseconds that n bytes take at the speed (10 bit times each).
std::int64_t line_us(std::size_t n, int speed) { return static_cast<std::int64_t>(n) * 10'000'000 / speed; }

class PacedSimTest : public SimTest {
protected:
    PacedSimTest() { sim.set_pace_factor(1); }
    // Sends a line at the speed; the clock stays where it is.
    void send(const std::string& line, int speed = 9600) { sim.receive(line + "\r", speed); }
    // Advances to the absolute time (µs) and takes what has arrived.
    std::string at(std::int64_t us, int speed = 9600)
    {
        sim.advance_us(us - sim.now_us());
        return sim.take_due_output(speed);
    }
};

TEST_F(PacedSimTest, BytesCrossTheLineAtTenBitTimesEach)
{
    send("GET_STAT");  // 9 bytes reach the instrument after 9 byte times
    const std::int64_t answered = line_us(9, 9600);
    EXPECT_EQ(at(answered), "");
    EXPECT_EQ(sim.transcript().back(), "GET_STAT");
    EXPECT_EQ(at(answered + line_us(3, 9600) + 2), "REA");
    EXPECT_EQ(at(answered + line_us(6, 9600) - 2), "DY");
    EXPECT_EQ(at(answered + line_us(6, 9600) + 2), "\r");
    EXPECT_FALSE(sim.has_output());
    EXPECT_EQ(sim.us_to_next_output(), -1);
}

TEST_F(PacedSimTest, ConfigurationArrivesInPiecesAtTheLineLimit)
{
    sim.set_speed(38400);
    std::string expected;
    for (const auto& l : link_test::demo_configuration()) expected += l + "\r";
    expected += "READY\r";
    send("GET_CONFIG", 38400);
    // Taken whenever the simulator says more is worth taking, as kelvo-sim does.
    std::string got;
    int pieces = 0;
    while (sim.has_output()) {
        const std::int64_t wait = sim.us_to_next_output();
        ASSERT_GE(wait, 0);
        const std::string piece = at(sim.now_us() + wait, 38400);
        if (!piece.empty()) ++pieces;
        got += piece;
    }
    EXPECT_EQ(got, expected);
    EXPECT_GE(pieces, static_cast<int>(expected.size() / 16));
    // The last byte lands exactly when the line could have carried it all.
    const std::int64_t limit = line_us(11 + expected.size(), 38400);
    EXPECT_GE(sim.now_us(), limit - 1);
    EXPECT_LE(sim.now_us(), limit + 2);
}

TEST_F(PacedSimTest, SpeedChangeAnsweredAtTheOldPaceThenTheNew)
{
    send("SET_BAUD 38400");
    const std::int64_t t = line_us(15, 9600);
    EXPECT_EQ(at(t + line_us(6, 9600) - 2), "READY");
    EXPECT_EQ(at(t + line_us(6, 9600) + 2), "\r");
    send("GET_STAT", 38400);
    const std::int64_t u = sim.now_us() + line_us(9, 38400);
    EXPECT_EQ(at(u + line_us(6, 38400) - 2, 38400), "READY");
    EXPECT_EQ(at(u + line_us(6, 38400) + 2, 38400), "\r");
    // A factor makes the line that much faster.
    ASSERT_TRUE(sim.apply_control("pace-factor 100"));
    send("GET_STAT", 38400);
    EXPECT_EQ(at(sim.now_us() + line_us(15, 38400) / 100 + 2, 38400), "READY\r");
}

TEST_F(PacedSimTest, SplitDelayAndLineEndFaults)
{
    std::string error;
    EXPECT_FALSE(sim.apply_control("split 3,x", &error));
    EXPECT_EQ(error, "expected numbers separated by \",\": split 3,x");
    EXPECT_FALSE(sim.apply_control("line-end lfcr", &error));
    EXPECT_EQ(error, "expected cr, lf or crlf: line-end lfcr");

    sim.set_pace_factor(0);  // an infinitely fast line shows the pauses alone
    ASSERT_TRUE(sim.apply_control("split 3,7"));
    ASSERT_TRUE(sim.apply_control("split-gap 30"));
    send("GET_FW_VERSION");  // "KELVO SIM 1.0\rREADY\r"
    EXPECT_EQ(at(0), "KEL");
    EXPECT_EQ(at(29'999), "");
    EXPECT_EQ(at(30'000), "VO S");
    EXPECT_EQ(at(60'000), "IM 1.0\rREADY\r");
    ASSERT_TRUE(sim.apply_control("clear"));

    ASSERT_TRUE(sim.apply_control("delay 250"));
    send("GET_STAT");
    EXPECT_EQ(at(sim.now_us() + 249'999), "");
    EXPECT_EQ(at(sim.now_us() + 1), "READY\r");
    ASSERT_TRUE(sim.apply_control("delay 0"));

    ASSERT_TRUE(sim.apply_control("line-end crlf"));
    EXPECT_EQ(ask("GET_SYR"), "SYR10\r\nREADY\r\n");
    ASSERT_TRUE(sim.apply_control("line-end lf"));
    EXPECT_EQ(ask("GET_STAT"), "READY\n");
    ASSERT_TRUE(sim.apply_control("line-end cr"));
    EXPECT_EQ(ask("GET_STAT"), "READY\r");
}

TEST_F(PacedSimTest, DeviceClosesInTheMiddleOfAnAnswer)
{
    EXPECT_FALSE(sim.apply_control("close-after 2 x"));
    // The second line's answer stops after 3 bytes; nothing after it comes.
    ASSERT_TRUE(sim.apply_control("close-after 2 3"));
    EXPECT_EQ(ask("GET_STAT"), "READY\r");
    send("GET_FW_VERSION");
    send("GET_STAT");
    EXPECT_FALSE(sim.close_requested());
    EXPECT_EQ(at(sim.now_us() + 1'000'000), "KEL");
    EXPECT_TRUE(sim.close_requested());
    EXPECT_FALSE(sim.has_output());

    // By default half the answer gets through, also when taken at once.
    InstrumentSimulator other;
    other.set_configuration(link_test::demo_configuration());
    ASSERT_TRUE(other.apply_control("close-after 1"));
    other.receive("GET_FW_VERSION\r", 9600);
    EXPECT_EQ(other.take_output(9600), "KELVO SIM ");
    EXPECT_TRUE(other.close_requested());
}

TEST_F(PacedSimTest, AtomsRunTheirOwnTimesAndTheTranscriptKeepsArrivalTimes)
{
    sim.set_pace_factor(0);
    std::vector<TranscriptLine> lines;
    sim.set_transcript_sink([&](const TranscriptLine& t) { lines.push_back(t); });
    EXPECT_FALSE(sim.apply_control("atom-time WASH", nullptr));
    ASSERT_TRUE(sim.apply_control("atom-time wash 300"));
    ASSERT_TRUE(sim.apply_control("atom-time 50"));
    EXPECT_EQ(sim.atom_time_ms("WASH"), 300);
    EXPECT_EQ(sim.atom_time_ms("MOVE"), 50);

    sim.advance(1000);
    EXPECT_EQ(ask("WASH(1,0,)"), "|\r");
    EXPECT_EQ(ask("GET_STAT"), "BUSY\r");
    EXPECT_EQ(ask("GET_ATOM_INFO"), "WASH running, 300 ms left\r|\r");
    sim.advance(120);
    EXPECT_EQ(ask("GET_ATOM_INFO"), "WASH running, 180 ms left\r|\r");
    EXPECT_EQ(ask("CANCEL"), "");
    EXPECT_EQ(ask("GET_STAT"), "READY\r");
    EXPECT_EQ(ask("GET_ATOM_INFO"), "WASH done\r@\r");
    EXPECT_EQ(ask("MOVE(Tray1,)"), "|\r");
    sim.advance(50);
    EXPECT_EQ(ask("GET_ATOM_INFO"), "MOVE done\r@\r");

    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].ms, 1000);
    EXPECT_EQ(lines[0].line, "WASH(1,0,)");
    EXPECT_EQ(lines[4].ms, 1120);
    EXPECT_EQ(lines[4].line, "CANCEL");
    EXPECT_EQ(lines[8].ms, 1170);

    // Paced, a command arrives when its last byte has crossed the line.
    sim.set_pace_factor(1);
    send("GET_STAT");
    EXPECT_EQ(lines.back().ms, 1170 + line_us(9, 9600) / 1000);
}

}  // namespace
}  // namespace kelvo::sim
