// cadenzor-cli run-list against the kelvo-sim process over a real
// pseudo-terminal: what the instrument receives row by row and cycle by
// cycle, the log, and the row statuses at the end, for the injections per
// vial, SL ENTRY and SL EXIT, Stop answered Yes and No, a syringe mismatch,
// an instrument that falls silent, and a method that expands to nothing;
// and in ChemStation mode beside ds-sim on the session bus: the rows handed
// over at each WAIT_FOR_DS, the run held until READY, Stop ending a wait
// that never ends, and no data system on the bus.
#include "pty/child_process.h"
#include "pty/sim_transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <csignal>
#include <unistd.h>
#include <vector>

namespace kelvo::pty_test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int limit_ms = 60000;
const std::string header = "Method;Volume;Tray;Injector;Volume 2;Tray 2;Injector 2;Vial;Inj/Vial;\r\n";

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A row of the list: method, volume, Inj/Vial (Tray1, LCVlv1, vial = volume).
std::string row(const std::string& method, int volume, const std::string& count)
{
    return method + ";" + std::to_string(volume) + ";Tray1;LCVlv1;1.0;;;" + std::to_string(volume) + ";" + count +
           ";\r\n";
}

std::string wash(int volume) { return "WASH_SYRINGE(Wash2," + std::to_string(volume * 1000) + ",3,1000,1000,)"; }

class RunListScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        dir = fs::temp_directory_path() / ("kelvo_list_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        folder = dir / "methods";
        fs::create_directories(folder);
        fs::copy_file(fs::path(KELVO_SOURCE_DIR) / "examples/methods/latest_kelvo.kol", dir / "instrument.kol");
        fs::copy_file(dir / "instrument.kol", folder / "latest_kelvo.kol");
        write(folder / "Wash.kma", "Station;WASH_STATION\r\nVolume (\xB5l);1;0;SYR.Max Volume\r\n"
                                   "WASH_SYRINGE(Station,Volume,3,1,1,)\r\n");
        write(folder / "Homes.kma", "REPEAT(6,)\r\nMOVE_TO_HOME()\r\nEND()\r\n");
        write(folder / "Home.kma", "MOVE_TO_HOME()\r\n");
        // The row's volume reaches the instrument: each row sends its own command.
        write(folder / "Inject.KME", "//one wash of the row's volume\r\nsyringe:Syr10ul\r\nWash(Wash2,SL.volume)\r\n");
        write(folder / "Homes.KME", "syringe:Syr10ul\r\nHomes()\r\n");
        write(folder / "Home.KME", "syringe:Syr10ul\r\nHome()\r\n");
        write(folder / "Big.KME", "syringe:Syr100ul\r\nWash(Wash2,SL.volume)\r\n");
        write(folder / "Empty.KME", "syringe:Syr10ul\r\n");
        write(folder / "SL ENTRY.kma", "SET_SPEED(Slow,)\r\n");
        write(folder / "SL EXIT.kma", "SET_SPEED(Fast,)\r\n");
        std::ofstream(dir / "settings.reg", std::ios::binary)
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
               "\"Atom timeout (msec)\"=dword:000003e8\r\n"
               "\"Status timeout (msec)\"=dword:000003e8\r\n"
               "\"Polling interval\"=dword:00000032\r\n";
        setenv("CADENZOR_SETTINGS", (dir / "settings.reg").c_str(), 1);
    }
    void TearDown() override
    {
        sim.terminate();
        ds.terminate();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static void write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
    void write_list(const std::string& rows) const { write(folder / "L.ksl", header + rows); }

    void start_sim(Lines extra)
    {
        Lines args = {"--config", (dir / "instrument.kol").string(), "--link", (dir / "kelvo").string(),
                      "--transcript", (dir / "transcript.txt").string(), "--atom-time", "100"};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(sim.start(KELVO_SIM_PATH, args));
        std::string device;
        ASSERT_TRUE(sim.read_line(device, limit_ms)) << sim.err();
    }
    // ds-sim under a name of this test's own (tests share the bus).
    void start_ds(Lines extra)
    {
        static std::atomic<int> counter{0};
        service = "Cadenzor Test " + std::to_string(getpid()) + "-" + std::to_string(counter++);
        Lines args = {"--service", service, "--exchange", (dir / "exchange.ini").string(), "--transcript",
                      (dir / "ds-transcript.txt").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(ds.start(DS_SIM_PATH, args));
        std::string bus_name;  // printed once the name is its own
        ASSERT_TRUE(ds.read_line(bus_name, limit_ms)) << ds.err();
    }
    std::string ds_transcript() const
    {
        std::ifstream in(dir / "ds-transcript.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int run_list(Lines extra)
    {
        ChildProcess cli;
        Lines args = {"run-list", folder.string(), "L", "--device", (dir / "kelvo").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        EXPECT_TRUE(cli.start(KELVO_CLI_PATH, args));
        const int code = cli.wait(limit_ms);
        out = cli.out();
        err = cli.err();
        return code;
    }
    // What the instrument received after start-up, without the polling.
    Lines commands() const
    {
        Lines lines;
        bool run = false;
        for (const SimTranscriptLine& t : read_transcript(dir / "transcript.txt")) {
            run = run || t.line == "GET_SYR";
            if (run && t.line != "GET_ATOM_INFO") lines.push_back(t.line);
        }
        return lines;
    }
    // The longest pause between two commands of the run (polls left out), ms.
    std::int64_t longest_pause() const
    {
        std::int64_t longest = 0, last = -1;
        for (const SimTranscriptLine& t : read_transcript(dir / "transcript.txt")) {
            if (t.line == "GET_ATOM_INFO") continue;
            if (last >= 0 && t.line != "GET_SYR") longest = std::max(longest, t.ms - last);
            last = t.ms;
        }
        return longest;
    }
    // The lines of standard output that begin with the prefix, without it.
    Lines printed(const std::string& prefix) const
    {
        Lines lines;
        std::istringstream in(out);
        for (std::string l; std::getline(in, l);)
            if (l.rfind(prefix, 0) == 0) lines.push_back(l.substr(prefix.size()));
        return lines;
    }
    Lines running_lines() const
    {
        Lines lines;
        for (const std::string& l : printed("log: "))
            if (l.rfind("Running Line ", 0) == 0) lines.push_back(l);
        return lines;
    }

    fs::path dir, folder;
    std::string service;
    ChildProcess sim, ds;
    std::string out, err;
};

TEST_F(RunListScenario, InjectionsPerVialRepeatTheMethodAndSlEntryAndExitFrameTheList)
{
    write_list(row("Inject", 1, "3") + row("Inject", 2, ""));
    start_sim({});
    ASSERT_EQ(run_list({}), 0) << out << err;
    // "GET_SYR" once per row; SL ENTRY before the first sample only, SL EXIT
    // after the last only.
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), wash(1), wash(1), "GET_SYR", wash(2),
                                 "SET_SPEED(2,)"}));
    EXPECT_EQ(running_lines(),
              (Lines{"Running Line 1: Method \"Inject,\" Syringe Syr10ul,   Volume 1,  Tray Tray1,   Vial 1    (cycle  1 of 3 cycles)",
                     "Running Line 1: Method \"Inject,\" Syringe Syr10ul,   Volume 1,  Tray Tray1,   Vial 1    (cycle  2 of 3 cycles)",
                     "Running Line 1: Method \"Inject,\" Syringe Syr10ul,   Volume 1,  Tray Tray1,   Vial 1    (cycle  3 of 3 cycles)",
                     "Running Line 2: Method \"Inject,\" Syringe Syr10ul,   Volume 2,  Tray Tray1,   Vial 2    (cycle  1 of 1 cycles)"}));
    const Lines log = printed("log: ");
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Started execution of sample list");
    EXPECT_EQ(log.back(), "Sample list completed.");
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: done"}));
}

TEST_F(RunListScenario, StopConfirmedInRowTwoRunsTheExitAndLeavesTheLaterRowsAlone)
{
    write(folder / "METHOD EXIT.kma", "SET_SPEED(Normal,)\r\n");
    write_list(row("Inject", 1, "1") + row("Home", 2, "1") + row("Inject", 3, "1") + row("Inject", 4, "1") +
               row("Inject", 5, "1"));
    start_sim({"--atom-time", "MOVE_TO_HOME=20000"});
    ASSERT_EQ(run_list({"--stop-after-ms", "3000"}), 1) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), "SET_SPEED(1,)", "GET_SYR", "MOVE_TO_HOME()",
                                 "CANCEL", "SET_SPEED(1,)", "SET_SPEED(2,)"}));
    EXPECT_TRUE(contains(err, "question: Do you really want to stop the execution of the whole sample list?\n")) << err;
    const Lines log = printed("log: ");
    EXPECT_NE(std::find(log.begin(), log.end(), "Sample List Execution Stopped"), log.end());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "Sample list completed.");
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: stopped", "3: none", "4: none", "5: none"}));
}

TEST_F(RunListScenario, StopAnsweredNoLosesNoCommand)
{
    write_list(row("Homes", 1, "1") + row("Homes", 2, "1"));
    start_sim({});
    ASSERT_EQ(run_list({"--stop-after-ms", "600", "--stop-answer", "no"}), 0) << out << err;
    Lines expected = {"GET_SYR", "SET_SPEED(0,)"};
    expected.insert(expected.end(), 6, "MOVE_TO_HOME()");
    expected.push_back("GET_SYR");
    expected.insert(expected.end(), 6, "MOVE_TO_HOME()");
    expected.push_back("SET_SPEED(2,)");
    EXPECT_EQ(commands(), expected);
    // The question held the run (half a second): an atom finished meanwhile,
    // and its successor went out after the answer.
    EXPECT_GE(longest_pause(), 300);
    EXPECT_TRUE(contains(err, "answer: no\n")) << err;
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: done"}));
}

TEST_F(RunListScenario, ASyringeMismatchInRowTwoEndsTheListThere)
{
    write_list(row("Inject", 1, "1") + row("Big", 2, "1") + row("Inject", 3, "1"));
    start_sim({});
    ASSERT_EQ(run_list({}), 1) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), "GET_SYR"}));
    EXPECT_EQ(printed("syringe mismatch: "),
              (Lines{"Method \"Big\" uses syringe \"Syr100ul\" but syringe \"Syr10ul\" is in the KELVO. Please insert "
                     "syringe \"Syr100ul\" into the KELVO."}));
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: stopped", "3: none"}));
}

TEST_F(RunListScenario, AnInstrumentFallingSilentInRowThreeStopsTheList)
{
    write_list(row("Inject", 1, "1") + row("Inject", 2, "1") + row("Inject", 3, "1") + row("Inject", 4, "1"));
    start_sim({"--silent-on", wash(3)});
    ASSERT_EQ(run_list({}), 1) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), "GET_SYR", wash(2), "GET_SYR", wash(3)}));
    EXPECT_TRUE(contains(err, "error: The kelvo is not responding!\n")) << err;
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: done", "3: stopped", "4: none"}));
}

TEST_F(RunListScenario, AbortInTheErrorDialogStopsTheRowAndExitsThree)
{
    write_list(row("Inject", 1, "1") + row("Inject", 2, "1") + row("Inject", 3, "1"));
    start_sim({"--error-atom", "3"});
    ASSERT_EQ(run_list({"--on-error", "abort"}), 3) << out << err;
    // SL EXIT still runs after the aborted row, which was made the last.
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), "GET_SYR", wash(2), "SET_SPEED(2,)"}));
    EXPECT_TRUE(contains(err, "error dialog: " + wash(2) + ": error :error in atom WASH_SYRINGE\n")) << err;
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: stopped", "3: none"}));
}

TEST_F(RunListScenario, AnExchangeEndedByErrorStopsTheRowInsteadOfHanging)
{
    write_list(row("Inject", 1, "1") + row("Inject", 2, "1"));
    start_sim({"--error-atom", "2", "--error-text", "ERROR"});
    ASSERT_EQ(run_list({}), 1) << out << err;
    EXPECT_TRUE(contains(err, "error: The KELVO had an error! Please check the terminal\n")) << err;
    EXPECT_EQ(printed("row "), (Lines{"1: stopped", "2: none"}));
}

TEST_F(RunListScenario, AMethodThatExpandsToNothingIsStoppedAndExitsOne)
{
    fs::remove(folder / "SL ENTRY.kma");
    fs::remove(folder / "SL EXIT.kma");
    write_list(row("Inject", 1, "1") + row("Empty", 2, "1") + row("Inject", 3, "1"));
    start_sim({});
    ASSERT_EQ(run_list({}), 1) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", wash(1), "GET_SYR"}));
    EXPECT_TRUE(contains(err, "error: Method Empty is empty!\n")) << err;
    EXPECT_EQ(printed("log: ").back(), "Sample list completed.");
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: stopped", "3: none"}));
}

TEST_F(RunListScenario, SigtermStopsTheListAsAConfirmedStop)
{
    write_list(row("Home", 1, "1") + row("Inject", 2, "1"));
    start_sim({"--atom-time", "MOVE_TO_HOME=20000"});
    ChildProcess cli;
    ASSERT_TRUE(cli.start(KELVO_CLI_PATH, {"run-list", folder.string(), "L", "--device", (dir / "kelvo").string()}));
    for (int waited = 0; waited < limit_ms; waited += 50) {
        const Lines sent = commands();
        if (std::find(sent.begin(), sent.end(), "MOVE_TO_HOME()") != sent.end()) break;
        usleep(50 * 1000);
    }
    kill(cli.pid(), SIGTERM);
    ASSERT_EQ(cli.wait(limit_ms), 1) << cli.out() << cli.err();
    out = cli.out();
    // The running atom is cancelled and SL EXIT still runs.
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", "MOVE_TO_HOME()", "CANCEL", "SET_SPEED(2,)"}));
    EXPECT_TRUE(contains(cli.err(), "error: stopped by a signal\n")) << cli.err();
    EXPECT_EQ(printed("row "), (Lines{"1: stopped", "2: none"}));
}

TEST_F(RunListScenario, UsageAndMissingListsAreRefused)
{
    EXPECT_EQ(run_list({"--stop-answer", "maybe"}), 2);
    EXPECT_TRUE(contains(err, "--stop-answer takes yes or no")) << err;
    EXPECT_EQ(run_list({}), 2);
    EXPECT_TRUE(contains(err, "error: no sample list L in ")) << err;
}

// The run journal across a killed process: what was completed is there and
// readable, the list resumes at row 3 (SL ENTRY first, SL EXIT last), the
// estimate comes from the recorded durations, the report names the error
// and the answer given.
TEST_F(RunListScenario, TheJournalSurvivesAKillAndCarriesResumeEstimateAndReport)
{
    const std::string journal = (dir / "journal.jsonl").string();
    write_list(row("Inject", 1, "1") + row("Inject", 2, "1") + row("Home", 3, "1") + row("Inject", 4, "1") +
               row("Inject", 5, "1"));
    start_sim({"--atom-time", "MOVE_TO_HOME=20000"});
    {
        ChildProcess cli;
        ASSERT_TRUE(cli.start(KELVO_CLI_PATH, {"run-list", folder.string(), "L", "--device", (dir / "kelvo").string(),
                                               "--journal", journal}));
        for (int waited = 0; waited < limit_ms; waited += 50) {
            const Lines sent = commands();
            if (std::find(sent.begin(), sent.end(), "MOVE_TO_HOME()") != sent.end()) break;
            usleep(50 * 1000);
        }
        usleep(200 * 1000);
        kill(cli.pid(), SIGKILL);
        cli.wait(limit_ms);
    }
    std::string killed;
    {
        std::ifstream in(journal, std::ios::binary);
        killed.assign(std::istreambuf_iterator<char>(in), {});
    }
    // Whole lines only, every completed atom finished, no end.
    ASSERT_FALSE(killed.empty());
    EXPECT_EQ(killed.back(), '\n');
    const auto count = [&](const std::string& part) {
        int n = 0;
        for (std::size_t at = killed.find(part); at != std::string::npos; at = killed.find(part, at + 1)) ++n;
        return n;
    };
    EXPECT_EQ(count("\"kind\":\"finished\""), 3) << killed;  // SL ENTRY and two washes
    // The running atom was sent and accepted, never finished.
    EXPECT_EQ(count("\"text\":\"MOVE_TO_HOME()\""), 2) << killed;
    EXPECT_EQ(count("\"kind\":\"run_end\""), 0) << killed;

    // Resumed at row 3 on a fresh instrument; the wash of row 4 fails and is ignored.
    sim.terminate();
    start_sim({"--error-atom", "3"});
    ASSERT_EQ(run_list({"--from-row", "3", "--journal", journal, "--on-error", "ignore"}), 3) << out << err;
    // The simulator appends to its transcript: what came after the second connection.
    Lines resumed = commands();
    const auto connected = std::find(resumed.rbegin(), resumed.rend(), "GET_FW_VERSION");
    ASSERT_NE(connected, resumed.rend());
    resumed.erase(resumed.begin(), connected.base());
    EXPECT_EQ(resumed, (Lines{"GET_SYR", "SET_SPEED(0,)", "MOVE_TO_HOME()", "GET_SYR", wash(4), "GET_SYR", wash(5),
                              "SET_SPEED(2,)"}));
    EXPECT_EQ(printed("row "), (Lines{"1: none", "2: none", "3: done", "4: done", "5: done"}));

    ChildProcess estimate;
    ASSERT_TRUE(estimate.start(KELVO_CLI_PATH, {"estimate", folder.string(), "--list", "L", "--journal", journal}));
    ASSERT_EQ(estimate.wait(limit_ms), 0) << estimate.err();
    EXPECT_TRUE(contains(estimate.out(), "estimate 0:00:")) << estimate.out();
    EXPECT_TRUE(contains(estimate.out(), "\nunknown atoms 0\n")) << estimate.out();

    const std::string pdf = (dir / "report.pdf").string();
    ChildProcess report;
    ASSERT_TRUE(report.start(KELVO_CLI_PATH, {"report", journal, "--pdf", pdf, "--run", "2"}));
    ASSERT_EQ(report.wait(limit_ms), 0) << report.err();
    ChildProcess text;
    ASSERT_TRUE(text.start("/usr/bin/pdftotext", {"-layout", pdf, "-"}));
    ASSERT_EQ(text.wait(limit_ms), 0);
    std::string printed_text;  // blanks squeezed: pdftotext places columns only roughly
    for (char c : text.out())
        if (c != ' ' || printed_text.empty() || printed_text.back() != ' ') printed_text += c;
    for (const char* part : {"Run report of sample list \"L\"", "Resumed from row 3", "Outcome: completed",
                             "4 Inject 4 Tray1 4 1", "WASH_SYRINGE(Wash2,4000,3,1000,1000,)\n @error in atom WASH_SYRINGE\n answer: ignore",
                             "1 instrument errors"})
        EXPECT_TRUE(contains(printed_text, part)) << part << "\n" << printed_text;
    ChildProcess missing;
    ASSERT_TRUE(missing.start(KELVO_CLI_PATH, {"report", journal, "--pdf", pdf, "--run", "3"}));
    EXPECT_EQ(missing.wait(limit_ms), 1);
    EXPECT_TRUE(contains(missing.err(), "the journal holds 2 runs, not 3")) << missing.err();
}

class ChemStationRun : public RunListScenario {
protected:
    void SetUp() override
    {
        RunListScenario::SetUp();
        write(folder / "Wait.kma", "WAIT_FOR_DS()\r\n");
        write(folder / "Ds.KME", "syringe:Syr10ul\r\nWash(Wash2,SL.volume)\r\nWait()\r\nHome()\r\n");
    }
    // The list as saved with the data system's demo columns after the fixed ones.
    void write_ds_list(int rows) const
    {
        std::string text = header.substr(0, header.size() - 2) + "Sample Name;Dilution;Sample Type;Report;\r\n";
        for (int r = 1; r <= rows; ++r) {
            const std::string fixed = row("Ds", r, "1");
            text += fixed.substr(0, fixed.size() - 2) + "S" + std::to_string(r) + ";1;Standard;1;\r\n";
        }
        write(folder / "L.ksl", text);
    }
    int run_ds(Lines extra)
    {
        Lines args = {"--ds", "hpcs", "--service", service};
        args.insert(args.end(), extra.begin(), extra.end());
        return run_list(args);
    }
    static int count(const std::string& text, const std::string& part)
    {
        int n = 0;
        for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};

TEST_F(ChemStationRun, EachWaitHandsTheRowOverAndTheMethodGoesOnOnlyAfterReady)
{
    write_ds_list(2);
    start_sim({});
    start_ds({"--ready-after-ms", "1500"});
    ASSERT_EQ(run_ds({}), 0) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), "MOVE_TO_HOME()", "GET_SYR", wash(2),
                                 "MOVE_TO_HOME()", "SET_SPEED(2,)"}));
    // Nothing reached the instrument while the data system was busy.
    EXPECT_GE(longest_pause(), 1400);
    // One "sequence info" per WAIT_FOR_DS, the row's cells under the
    // headings, the data system's own columns (read at the start) after
    // the fixed ones.
    const std::string sequences = ds_transcript();
    EXPECT_EQ(count(sequences, "[sequence info]"), 2) << sequences;
    EXPECT_TRUE(contains(sequences, "column01=Method#Ds")) << sequences;
    EXPECT_TRUE(contains(sequences, "Volume#2")) << sequences;
    EXPECT_TRUE(contains(sequences, "Sample Name#S2")) << sequences;
    EXPECT_TRUE(contains(sequences, "Sample Type#Standard")) << sequences;
    EXPECT_TRUE(contains(err, "debug: creating links\n")) << err;
    EXPECT_TRUE(contains(err, "debug: sending row to chemstation\n")) << err;
    EXPECT_TRUE(contains(out, "status: Waiting for the data system to report READY")) << out;
    EXPECT_EQ(printed("row "), (Lines{"1: done", "2: done"}));
}

TEST_F(ChemStationRun, StopEndsAWaitForADataSystemThatNeverReportsReady)
{
    write_ds_list(2);
    start_sim({});
    start_ds({"--never-ready"});
    ASSERT_EQ(run_ds({"--stop-after-ms", "2500"}), 1) << out << err;
    // The exit commands run; the row after the wait never starts.
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash(1), "SET_SPEED(2,)"}));
    EXPECT_EQ(count(ds_transcript(), "[sequence info]"), 1);
    EXPECT_EQ(printed("row "), (Lines{"1: stopped", "2: none"}));
}

TEST_F(ChemStationRun, NoDataSystemOnTheBusIsSaidAndNothingRuns)
{
    write_list(row("Ds", 1, "1"));
    start_sim({});
    service = "Cadenzor Nobody " + std::to_string(getpid());
    ASSERT_EQ(run_ds({}), 2) << out << err;
    EXPECT_TRUE(contains(err, "error: cant create SYSTEM:STATUS\n")) << err;
    EXPECT_TRUE(contains(err, "error: cant link to CPWAIT\n")) << err;
    EXPECT_TRUE(contains(err, "error: the data system " + service + " cannot be reached")) << err;
    EXPECT_EQ(commands(), Lines{});
    EXPECT_EQ(run_list({"--service", "X"}), 2);
    EXPECT_TRUE(contains(err, "--service and --instrument go with --ds hpcs")) << err;
}

}  // namespace
}  // namespace kelvo::pty_test
