// cadenzor-cli get-config against the kelvo-sim process over a real
// pseudo-terminal.
#include "pty/child_process.h"
#include "pty/sim_transcript.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kelvo::pty_test {
namespace {

namespace fs = std::filesystem;

constexpr int limit_ms = 60000;

const std::vector<std::string> configuration = {
    "[lists]",
    "0;2;Left;Right",
    "[classes]",
    "!SYRINGE",
    "Volume;0;1000000;10000;1;nl",
    "&Kind",
    "!TRAY",
    "#Side;0;1;0;0",
    "Depth;0;100000;0;1;\xB5m",
    "[objects]",
    "SYRINGE;SYR10;10000;Glass",
    "TRAY;Tray1;0;5000",
    "[atoms]",
    "!WASH",
    "Volume;0;100;1;1;nl",
    "?#Side;0;1;0;0",
};

std::string joined(const std::vector<std::string>& lines, const std::string& end)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? end : "") + lines[i];
    return out;
}

std::string read_file(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class GetConfigScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        dir = fs::temp_directory_path() / ("kelvo_pty_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(dir);
        config_file = dir / "instrument.kol";
        // The instrument's own file has LF line ends; what the program saves
        // has CR LF between the lines.
        std::ofstream(config_file, std::ios::binary) << joined(configuration, "\n") << "\n";
        folder = dir / "methods";
        write_settings("00000064");
        setenv("CADENZOR_SETTINGS", (dir / "settings.reg").c_str(), 1);
    }
    // Short time-outs and a quick service timer keep the scenarios fast.
    void write_settings(const std::string& polling_interval_dword)
    {
        std::ofstream(dir / "settings.reg", std::ios::binary)
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
               "\"Atom timeout (msec)\"=dword:000003e8\r\n"
               "\"Status timeout (msec)\"=dword:000003e8\r\n"
               "\"Polling interval\"=dword:"
            << polling_interval_dword << "\r\n";
    }
    void TearDown() override
    {
        sim.terminate();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // Starts kelvo-sim and waits for its device line.
    void start_sim(std::vector<std::string> extra)
    {
        std::vector<std::string> args = {"--config", config_file.string(), "--link", (dir / "kelvo").string(),
                                         "--transcript", (dir / "transcript.txt").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        ASSERT_TRUE(sim.start(KELVO_SIM_PATH, args));
        ASSERT_TRUE(sim.read_line(device, limit_ms)) << sim.err();
        ASSERT_EQ(device.rfind("/dev/", 0), 0u) << device;
        ASSERT_EQ(fs::read_symlink(dir / "kelvo").string(), device);
    }

    int get_config(bool trace = true)
    {
        ChildProcess cli;
        std::vector<std::string> args = {"get-config", "--device", (dir / "kelvo").string(), "--folder", folder.string()};
        if (trace) args.push_back("--trace");
        EXPECT_TRUE(cli.start(KELVO_CLI_PATH, args));
        const int code = cli.wait(limit_ms);
        out = cli.out();
        err = cli.err();
        return code;
    }

    // The received lines, without the simulator's time stamps.
    std::vector<std::string> transcript() const
    {
        std::vector<std::string> lines;
        for (const auto& t : read_transcript(dir / "transcript.txt")) lines.push_back(t.line);
        return lines;
    }

    fs::path dir, config_file, folder;
    ChildProcess sim;
    std::string device, out, err;
};

TEST_F(GetConfigScenario, OnlineReadsSavesAndParsesTheConfiguration)
{
    start_sim({"--firmware", "FW 2.31 \xC2\xB5", "--display-chars"});
    ASSERT_EQ(get_config(), 0) << out << err;
    EXPECT_TRUE(contains(out, "firmware FW 2.31 \xC2\xB5\n")) << out;
    EXPECT_TRUE(contains(out, "objects 2\n")) << out;
    EXPECT_TRUE(contains(out, "> GET_STAT\n< READY\n> SET_BAUD 38400\n< READY\n")) << out;
    EXPECT_TRUE(contains(out, "status: Receiving configuration from Kelvo\n"));
    EXPECT_TRUE(contains(out, "status: 2 objects received from Kelvo\n"));
    EXPECT_EQ(read_file(folder / "latest_kelvo.kol"), joined(configuration, "\r\n"));
    EXPECT_TRUE(fs::exists(folder / "TrayInfo.txt"));
    EXPECT_EQ(transcript(),
              (std::vector<std::string>{"GET_STAT", "SET_BAUD 38400", "GET_CONFIG", "SET_BAUD 9600", "GET_FW_VERSION"}));

    // The program closes and the simulator stays reachable for the next one.
    ASSERT_EQ(get_config(false), 0) << out << err;
    EXPECT_EQ(transcript().size(), 10u);
}

TEST_F(GetConfigScenario, InstrumentLeftAt38400IsFoundByTheFastProbe)
{
    start_sim({"--baud", "38400"});
    ASSERT_EQ(get_config(), 0) << out << err;
    EXPECT_TRUE(contains(out, "> GET_STAT\n> ???\n< @")) << out;
    EXPECT_TRUE(contains(out, "objects 2\n"));
    const auto t = transcript();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0].substr(t[0].size() - 3), "???");  // after the junk of GET_STAT at 9600
    EXPECT_EQ(t[3], "GET_FW_VERSION");
    // The line is back at 9600: a second run goes the normal way.
    ASSERT_EQ(get_config(), 0) << out << err;
    EXPECT_TRUE(contains(out, "> GET_STAT\n< READY\n> SET_BAUD 38400\n")) << out;
}

TEST_F(GetConfigScenario, SilentInstrumentRunsOfflineFromTheSavedCopy)
{
    fs::create_directories(folder);
    std::ofstream(folder / "latest_kelvo.kol", std::ios::binary) << joined(configuration, "\r\n");
    start_sim({"--silent"});
    ASSERT_EQ(get_config(), 2) << out << err;
    EXPECT_TRUE(contains(out, "> GET_STAT\n> ???\nstatus: The Kelvo is not connected. Software is running offline.\n"))
        << out;
    EXPECT_TRUE(contains(err, "information: The Kelvo is not connected. Software is running offline.\n")) << err;
    EXPECT_FALSE(contains(out, "firmware"));
}

TEST_F(GetConfigScenario, NoInstrumentAndNoSavedCopy)
{
    ASSERT_EQ(get_config(false), 2) << out << err;
    EXPECT_TRUE(contains(err, "error: The Kelvo is not connected and  there is no latest_kelvo.kol in " + folder.string() +
                                  "!\n"))
        << err;
    EXPECT_TRUE(contains(out, "status: Kelvo and file both unavailable!\n")) << out;
}

TEST_F(GetConfigScenario, DeviceVanishingMidConfigurationIsNoCrash)
{
    start_sim({"--close-after", "3"});
    ASSERT_EQ(get_config(), 2) << out << err;
    EXPECT_TRUE(contains(out, "> GET_CONFIG\n")) << out;
    // Half the configuration came, then the device went: noticed at once,
    // not by the time-out, and nothing of the half answer is saved.
    EXPECT_TRUE(contains(err, "debug: port lost: ")) << err;
    EXPECT_TRUE(contains(out, "status: offline: " + (dir / "kelvo").string() + " went away while waiting for GET_CONFIG\n"))
        << out;
    EXPECT_FALSE(fs::exists(folder / "latest_kelvo.kol"));
    EXPECT_TRUE(contains(err, "error: The Kelvo is not connected and  there is no latest_kelvo.kol")) << err;
    EXPECT_EQ(sim.wait(limit_ms), 0);
}

TEST_F(GetConfigScenario, BusyFaultSetThroughTheControlFifo)
{
    const fs::path fifo = dir / "control";
    start_sim({"--control", fifo.string()});
    ASSERT_TRUE(fs::is_fifo(fifo));
    std::ofstream(fifo) << "busy 1\n";
    std::string applied;
    ASSERT_TRUE(sim.read_line(applied, limit_ms)) << sim.err();
    EXPECT_EQ(applied, "applied busy 1");
    ASSERT_EQ(get_config(), 0) << out << err;
    EXPECT_TRUE(contains(out, "> GET_STAT\n< BUSY\n> GET_STAT\n< READY\n> GET_STAT\n< READY\n")) << out;
    EXPECT_TRUE(contains(err, "error:  The Kelvo is busy! Please check the terminal!\n")) << err;
}


TEST_F(GetConfigScenario, AnswersCutDelayedOrEndedOddlyStillFormTheirLines)
{
    struct Case {
        std::vector<std::string> faults;
        int code;
        std::string status;  // a status line the run must print
    };
    const std::vector<Case> cases = {
        // Cut inside "READY" and between a line and its CR, and held back
        // (the time-out counts from the last byte, so these all pass).
        {{"--split", "2,5", "--split-gap", "150"}, 0, "status: 2 objects received from Kelvo\n"},
        {{"--delay", "400"}, 0, "status: 2 objects received from Kelvo\n"},
        // The instrument ends its lines with CR alone: an LF stays in the
        // next line, which then is no "READY" (and a line without CR never ends).
        {{"--line-end", "crlf"}, 2, "status: offline: no answer to SET_BAUD 38400 on " },
        {{"--line-end", "lf"}, 2, "status: offline: no answer to GET_STAT on "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults[0] + " " + c.faults[1]);
        start_sim(c.faults);
        EXPECT_EQ(get_config(false), c.code) << out << err;
        EXPECT_TRUE(contains(out, c.status)) << out;
        sim.terminate();
    }
}

TEST_F(GetConfigScenario, ReasonForRunningOfflineIsPrinted)
{
    fs::create_directories(folder);
    std::ofstream(folder / "latest_kelvo.kol", std::ios::binary) << joined(configuration, "\r\n");
    start_sim({"--silent-on", "GET_CONFIG"});
    ASSERT_EQ(get_config(false), 2) << out << err;
    EXPECT_TRUE(contains(out, "status: offline: no answer to GET_CONFIG on " + (dir / "kelvo").string() + "\n")) << out;

    // A device that is not there.
    sim.terminate();
    ASSERT_EQ(get_config(false), 2) << out << err;
    EXPECT_TRUE(contains(out, "status: offline: " + (dir / "kelvo").string() + " cannot be opened\n")) << out;
}

TEST_F(GetConfigScenario, CopyThatCannotBeWrittenFailsTheRun)
{
    // The method folder is a file: nothing can be saved in it.
    std::ofstream(folder, std::ios::binary) << "not a folder";
    start_sim({});
    EXPECT_EQ(get_config(false), 1) << out << err;
    EXPECT_TRUE(contains(err, "error: Could not write " + (folder / "latest_kelvo.kol").string() + "!\n")) << err;
}

TEST_F(GetConfigScenario, RejectedConfigurationLeavesTheSavedCopyAlone)
{
    fs::create_directories(folder);
    const std::string good = joined(configuration, "\r\n");
    std::ofstream(folder / "latest_kelvo.kol", std::ios::binary) << good;
    // An instrument that answers "GET_CONFIG" with "READY" alone.
    std::ofstream(config_file, std::ios::binary | std::ios::trunc) << "";
    start_sim({});
    EXPECT_EQ(get_config(false), 1) << out << err;
    EXPECT_EQ(read_file(folder / "latest_kelvo.kol"), good);
    EXPECT_EQ(read_file(folder / "latest_kelvo.rejected.kol"), "");
    EXPECT_TRUE(contains(err, "information: The configuration received from the Kelvo is not valid; it was saved as " +
                                  (folder / "latest_kelvo.rejected.kol").string() + ", and " +
                                  (folder / "latest_kelvo.kol").string() + " was kept as it was.\n"))
        << err;
}

TEST_F(GetConfigScenario, PollingIntervalOfZeroOrLessIsFlooredAsInTheProgram)
{
    for (const char* interval : {"ffffffec", "00000000"}) {  // -20 and 0
        SCOPED_TRACE(interval);
        write_settings(interval);
        start_sim({});
        EXPECT_EQ(get_config(false), 0) << out << err;
        EXPECT_TRUE(contains(out, "objects 2\n")) << out;
        sim.terminate();
    }
}

TEST_F(GetConfigScenario, TranscriptStampsEachLineWithItsArrivalTime)
{
    start_sim({});
    ASSERT_EQ(get_config(false), 0) << out << err;
    const auto lines = read_transcript(dir / "transcript.txt");
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 1; i < lines.size(); ++i) EXPECT_LE(lines[i - 1].ms, lines[i].ms);
    // The program waits 500 ms after returning the line to 9600 baud.
    EXPECT_GE(lines[4].ms - lines[3].ms, 500);
    EXPECT_EQ(lines[4].line, "GET_FW_VERSION");
}

}  // namespace
}  // namespace kelvo::pty_test
