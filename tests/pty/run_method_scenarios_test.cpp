// cadenzor-cli run-method against the kelvo-sim process over a real
// pseudo-terminal: what the instrument receives command by command, the
// error dialog answered Retry and Abort, Stop, a syringe mismatch and an
// instrument that falls silent in the middle of a run.
#include "pty/child_process.h"
#include "pty/sim_transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <filesystem>
#include <fstream>
#include <string>
#include <csignal>
#include <unistd.h>
#include <vector>

namespace kelvo::pty_test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr int limit_ms = 60000;

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class RunMethodScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        dir = fs::temp_directory_path() / ("kelvo_run_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        folder = dir / "methods";
        fs::create_directories(folder);
        fs::copy_file(fs::path(KELVO_SOURCE_DIR) / "examples/methods/latest_kelvo.kol", dir / "instrument.kol");
        write(folder / "Two A.kma", "//Home, then fast\r\nMOVE_TO_HOME()\r\nSET_SPEED(Fast,)\r\n");
        write(folder / "Wash.kma", "Station;WASH_STATION\r\nVolume (\xB5l);1;0;SYR.Max Volume\r\n"
                                   "WASH_SYRINGE(Station,Volume,3,1,1,)\r\n");
        write(folder / "Two.KME", "//two macros\r\nsyringe:Syr10ul\r\nTwo A()\r\nWash(Wash2,2.5)\r\n");
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
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static void write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

    void start_sim(Lines extra)
    {
        Lines args = {"--config", (dir / "instrument.kol").string(), "--link", (dir / "kelvo").string(),
                      "--transcript", (dir / "transcript.txt").string(), "--atom-time", "100"};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(sim.start(KELVO_SIM_PATH, args));
        std::string device;
        ASSERT_TRUE(sim.read_line(device, limit_ms)) << sim.err();
    }
    int run_method(Lines extra)
    {
        ChildProcess cli;
        Lines args = {"run-method", folder.string(), "Two", "--device", (dir / "kelvo").string()};
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
        for (const pty_test::SimTranscriptLine& t : pty_test::read_transcript(dir / "transcript.txt")) {
            run = run || t.line == "GET_SYR";
            if (run && t.line != "GET_ATOM_INFO") lines.push_back(t.line);
        }
        return lines;
    }
    // The longest time from the poll that found an atom finished to the
    // next command's arrival (ms): the next command must not wait for a tick.
    std::int64_t longest_gap_after_finish() const
    {
        std::int64_t longest = -1, last_poll = -1;
        for (const auto& t : read_transcript(dir / "transcript.txt")) {
            if (t.line == "GET_ATOM_INFO") {
                last_poll = t.ms;
            } else if (last_poll >= 0) {
                longest = std::max(longest, t.ms - last_poll);
                last_poll = -1;
            }
        }
        return longest;
    }

    fs::path dir, folder;
    ChildProcess sim;
    std::string out, err;
};

TEST_F(RunMethodScenario, TheMethodRunsCommandByCommandToItsEnd)
{
    start_sim({});
    ASSERT_EQ(run_method({}), 0) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "WASH_SYRINGE(Wash2,2500,3,1000,1000,)"}));
    EXPECT_TRUE(fs::exists(folder / "latest_kelvo.kol"));
    EXPECT_TRUE(contains(out, "status: Running method \"Two\".\n")) << out;
    EXPECT_TRUE(contains(out, "status: MOVE_TO_HOME running, ")) << out;
    EXPECT_TRUE(contains(out, "log: Method \"Two\" completed, elapsed time: 0:0")) << out;
    // The poll's answer "@" is two lines at 9600 baud; the next command
    // follows it at once, not on the next service tick (50 ms here).
    const std::int64_t gap = longest_gap_after_finish();
    std::cout << "longest gap from the finishing poll to the next command: " << gap << " ms" << std::endl;
    EXPECT_GE(gap, 0);
}

TEST_F(RunMethodScenario, RetryResendsTheFailedCommandAndExitsThree)
{
    start_sim({"--error-atom", "2"});
    ASSERT_EQ(run_method({"--on-error", "retry"}), 3) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "SET_SPEED(2,)",
                                 "WASH_SYRINGE(Wash2,2500,3,1000,1000,)"}));
    EXPECT_TRUE(contains(err, "error dialog: SET_SPEED(2,): error :error in atom SET_SPEED\n")) << err;
}

TEST_F(RunMethodScenario, AbortSkipsTheRestOfTheMethod)
{
    write(folder / "METHOD EXIT.kma", "SET_SPEED(Normal,)\r\n");
    start_sim({"--error-atom", "1"});
    ASSERT_EQ(run_method({}), 3) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(1,)"}));
    EXPECT_TRUE(contains(err, "error dialog: MOVE_TO_HOME(): error :error in atom MOVE_TO_HOME\n")) << err;
}

TEST_F(RunMethodScenario, StopCancelsTheRunningAtomOnceAndTheExitPartRuns)
{
    write(folder / "METHOD EXIT.kma", "SET_SPEED(Normal,)\r\n");
    start_sim({"--atom-time", "2000"});
    ASSERT_EQ(run_method({"--stop-after-ms", "300"}), 0) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "CANCEL", "SET_SPEED(1,)"}));
    EXPECT_TRUE(contains(out, "log: Method \"Two\" stopped\n")) << out;
}

TEST_F(RunMethodScenario, ASyringeMismatchSendsOnlyGetSyr)
{
    start_sim({});
    ASSERT_EQ(run_method({"--syringe", "Syr100ul"}), 1) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR"}));
    EXPECT_TRUE(contains(err, "error: The method uses syringe Syr100ul but syringe Syr10ul is in the kelvo!\n")) << err;
}

TEST_F(RunMethodScenario, AnInstrumentFallingSilentMidRunEndsItWithoutHanging)
{
    start_sim({"--silent-on", "SET_SPEED"});
    ASSERT_EQ(run_method({}), 1) << out << err;
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)"}));
    EXPECT_TRUE(contains(err, "error: The kelvo is not responding!\n")) << err;
    EXPECT_TRUE(contains(out, "status: The kelvo is not responding -- operation stopped\n")) << out;
}

TEST_F(RunMethodScenario, ABusyInstrumentIsPolledUntilReadyAndTheCommandSentAgain)
{
    start_sim({"--busy-atom", "2 400"});
    ASSERT_EQ(run_method({}), 0) << out << err;
    const Lines got = commands();
    // SET_SPEED finds the instrument occupied: "BUSY", then "GET_STAT" at
    // most once per tick until "READY", then the same command again.
    ASSERT_GE(got.size(), 6u);
    EXPECT_EQ((Lines{got[0], got[1], got[2]}), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)"}));
    const auto polls = static_cast<std::size_t>(std::count(got.begin(), got.end(), "GET_STAT"));
    EXPECT_GE(polls, 2u);
    EXPECT_LE(polls, 400u / 50u + 3u);  // paced by the 50 ms tick, not by the line
    EXPECT_EQ((Lines{got.end() - 2, got.end()}), (Lines{"SET_SPEED(2,)", "WASH_SYRINGE(Wash2,2500,3,1000,1000,)"}));
    EXPECT_EQ(std::count(got.begin(), got.end(), "SET_SPEED(2,)"), 2);
    EXPECT_TRUE(contains(err, "error: SET_SPEED(2,) The Kelvo is busy! Please check the terminal!\n")) << err;
    EXPECT_TRUE(contains(out, "log: Method \"Two\" completed")) << out;
}

TEST_F(RunMethodScenario, ASignalStopsTheRunningAtomAndEndsTheRun)
{
    start_sim({"--atom-time", "5000"});
    ChildProcess cli;
    ASSERT_TRUE(cli.start(KELVO_CLI_PATH, {"run-method", folder.string(), "Two", "--device", (dir / "kelvo").string()}));
    std::string line;
    while (cli.read_line(line, limit_ms) && line != "status: Running method \"Two\".") {
    }
    ASSERT_EQ(line, "status: Running method \"Two\".") << cli.err();
    usleep(300 * 1000);  // MOVE_TO_HOME is running now
    ::kill(cli.pid(), SIGTERM);
    EXPECT_EQ(cli.wait(limit_ms), 1) << cli.out() << cli.err();
    EXPECT_TRUE(contains(cli.err(), "error: stopped by a signal\n")) << cli.err();
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "CANCEL"}));
}

TEST_F(RunMethodScenario, NoInstrumentNoRun)
{
    ASSERT_EQ(run_method({}), 2) << out << err;
    EXPECT_FALSE(contains(out, "Running method"));
    ASSERT_EQ(run_method({"--on-error", "maybe"}), 2);
    EXPECT_TRUE(contains(err, "--on-error takes abort, retry or ignore")) << err;
}

}  // namespace
}  // namespace kelvo::pty_test
