#include "link/startup_chain.h"

#include "config/config_db.h"
#include "app/program_configuration.h"

#include "ground/documents.h"
#include "ground/settings.h"
#include "link/prompt_log.h"
#include "link/sim_wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <unistd.h>

namespace kelvo {
namespace {

namespace fs = std::filesystem;
using link_test::EventLoop;
using link_test::PromptLog;
using link_test::SimWiredPort;

std::string read_file(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string joined_crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
    return out;
}

struct FakeConfiguration : ConfigurationStore {
    bool result = true;
    int objects = 2;
    std::vector<std::vector<std::string>> parsed;
    std::vector<std::string> tray_reports;
    bool parse(const std::vector<std::string>& lines) override
    {
        parsed.push_back(lines);
        return result;
    }
    int object_count() const override { return objects; }
    void write_tray_report(const std::string& folder) override { tray_reports.push_back(folder); }
};

struct ScriptedUi : StartupUi, LinkUi {
    std::vector<BusyPortChoice> busy_choices;
    std::vector<int> port_choices;
    std::vector<std::string> calls;
    std::vector<std::string> status;
    std::vector<ChainOutcome> outcomes;
    int quit_after_dialogs = -1;  // the program closes once this many dialogs were asked

    BusyPortChoice choose_busy_port(int port) override
    {
        calls.push_back("busy_port " + std::to_string(port));
        if (busy_choices.empty()) return BusyPortChoice::run_offline;
        const BusyPortChoice c = busy_choices.front();
        busy_choices.erase(busy_choices.begin());
        return c;
    }
    int choose_port(int current) override
    {
        calls.push_back("choose_port " + std::to_string(current));
        if (port_choices.empty()) return 0;
        const int c = port_choices.front();
        port_choices.erase(port_choices.begin());
        return c;
    }
    void exit_program() override { calls.push_back("exit_program"); }
    void status_window_first_line(const std::string& t) override { calls.push_back("status_window " + t); }
    void clear_documents() override { calls.push_back("clear_documents"); }
    void reopen_last_documents() override { calls.push_back("reopen"); }
    void after_ms(int ms, LinkAction action) override
    {
        calls.push_back("wait " + std::to_string(ms));
        action();
    }
    void chain_finished(ChainOutcome o) override { outcomes.push_back(o); }
    void status_text(const std::string& t) override { status.push_back(t); }
    void close_splash_and_show_main() override { calls.push_back("close_splash"); }
    bool quitting() const override { return quit_after_dialogs >= 0 && static_cast<int>(calls.size()) >= quit_after_dialogs; }
};

class ChainTest : public ::testing::Test {
protected:
    ChainTest() : scope(prompts), link(port, prompts), chain(link, configuration, ui, program_method_folder(), prompts), loop{port, link}
    {
        static std::atomic<int> counter{0};
        folder = fs::temp_directory_path() /
                 ("kelvo_chain_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(folder);
        set_method_folder(folder.string());
        link.set_ui(&ui);
        link.set_status_timeout_ticks(54);
        link.set_atom_timeout_ticks(54);
        port.sim.set_configuration(link_test::demo_configuration());
        port.sim.set_firmware("FW 2.31");
    }
    ~ChainTest() override
    {
        set_method_folder("");
        std::error_code ec;
        fs::remove_all(folder, ec);
    }

    fs::path saved() const { return folder / "latest_kelvo.kol"; }
    std::vector<std::pair<std::string, int>> writes() const
    {
        std::vector<std::pair<std::string, int>> out;
        for (const auto& w : port.writes) out.emplace_back(w.bytes, w.speed);
        return out;
    }

    PromptLog prompts;
    PromptsScope scope;
    SimWiredPort port;
    FakeConfiguration configuration;
    ScriptedUi ui;
    KelvoLink link;
    StartupChain chain;
    EventLoop loop;
    fs::path folder;
};

using Writes = std::vector<std::pair<std::string, int>>;

TEST_F(ChainTest, OnlineStartReadsTheConfigurationAtTheFastSpeedAndEndsAt9600)
{
    ASSERT_TRUE(chain.start());
    loop.run();
    EXPECT_EQ(writes(), (Writes{{"GET_STAT\r", 9600},
                                {"SET_BAUD 38400\r", 9600},
                                {"GET_CONFIG\r", 38400},
                                {"SET_BAUD 9600\r", 38400},
                                {"GET_FW_VERSION\r", 9600}}));
    EXPECT_EQ(port.speed(), 9600);
    EXPECT_EQ(port.sim.speed(), 9600);
    EXPECT_EQ(chain.outcome(), ChainOutcome::online);
    EXPECT_EQ(ui.outcomes, std::vector<ChainOutcome>{ChainOutcome::online});
    EXPECT_EQ(chain.firmware_version(), "FW 2.31");
    EXPECT_FALSE(link.offline());
    EXPECT_EQ(loop.ticks_fired, 0);
    EXPECT_TRUE(prompts.errors.empty());

    EXPECT_EQ(read_file(saved()), joined_crlf(link_test::demo_configuration()));
    ASSERT_EQ(configuration.parsed.size(), 1u);
    EXPECT_EQ(configuration.parsed[0], link_test::demo_configuration());
    EXPECT_EQ(configuration.tray_reports, std::vector<std::string>{folder.string()});
    EXPECT_EQ(ui.status, (std::vector<std::string>{"Receiving configuration from Kelvo", "Kelvo configuration received",
                                                   "2 objects received from Kelvo"}));
    EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), "wait 500"), ui.calls.end());
    EXPECT_EQ(port.sim.transcript(), (std::vector<std::string>{"GET_STAT", "SET_BAUD 38400", "GET_CONFIG",
                                                               "SET_BAUD 9600", "GET_FW_VERSION"}));
}

TEST_F(ChainTest, SavedCopyReplacesAnEarlierOneAndKeepsDisplayCharacters)
{
    std::ofstream(saved(), std::ios::binary) << "old text that is longer than the new one would be anyway......";
    port.sim.faults().display_chars = true;  // the instrument sends 0x9D and 0x91
    chain.start();
    loop.run();
    EXPECT_EQ(read_file(saved()), joined_crlf(link_test::demo_configuration()));
    EXPECT_FALSE(fs::exists(folder / "latest_kelvo.kol.tmp"));
}

TEST_F(ChainTest, CopyThatCannotBeWrittenIsReported)
{
    fs::remove_all(folder);
    chain.start();
    loop.run();
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"Could not write " + saved().string() + "!"});
    EXPECT_EQ(configuration.parsed.size(), 1u);
    EXPECT_FALSE(chain.configuration_saved());
    EXPECT_EQ(chain.outcome(), ChainOutcome::online);
}

TEST_F(ChainTest, InstrumentLeftAt38400IsFoundByTheFastProbe)
{
    port.sim.set_speed(38400);
    chain.start();
    loop.run();
    EXPECT_EQ(writes(), (Writes{{"GET_STAT\r", 9600},
                                {"???\r", 38400},
                                {"GET_CONFIG\r", 38400},
                                {"SET_BAUD 9600\r", 38400},
                                {"GET_FW_VERSION\r", 9600}}));
    EXPECT_EQ(loop.ticks_fired, 1);
    EXPECT_EQ(chain.outcome(), ChainOutcome::online);
    EXPECT_EQ(port.speed(), 9600);
    EXPECT_EQ(port.sim.speed(), 9600);
    EXPECT_EQ(read_file(saved()), joined_crlf(link_test::demo_configuration()));
    EXPECT_TRUE(prompts.errors.empty());
}

TEST_F(ChainTest, SilentInstrumentRunsOfflineFromTheSavedCopy)
{
    const std::vector<std::string> copy = {"[lists]", "[classes]", "!SYRINGE", "[objects]", "[atoms]"};
    std::ofstream(saved(), std::ios::binary) << joined_crlf(copy) << "\r\n";
    port.sim.faults().silent = true;
    chain.start();
    loop.run();
    EXPECT_EQ(writes(), (Writes{{"GET_STAT\r", 9600}, {"???\r", 38400}}));
    EXPECT_EQ(loop.ticks_fired, 2);
    EXPECT_TRUE(link.offline());
    EXPECT_EQ(chain.outcome(), ChainOutcome::offline);
    ASSERT_EQ(configuration.parsed.size(), 1u);
    EXPECT_EQ(configuration.parsed[0], copy);
    const char* text = "The Kelvo is not connected. Software is running offline.";
    EXPECT_EQ(ui.status.back(), text);
    EXPECT_EQ(prompts.information, std::vector<std::string>{text});
    EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), std::string("status_window ") + text), ui.calls.end());
    EXPECT_EQ(ui.calls.front(), "close_splash");  // before the fallback runs
    EXPECT_EQ(configuration.tray_reports.size(), 1u);
    // Offline from now on: nothing is sent.
    port.writes.clear();
    link.send_command(CommandKind::status, "GET_SYR", {}, false, {});
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(ChainTest, OfflineBySwitchNeverOpensThePortAndShowsNoBox)
{
    std::ofstream(saved(), std::ios::binary) << "[lists]\r\n[classes]\r\n!SYRINGE\r\n[objects]\r\n[atoms]";
    link.set_offline(true);
    chain.set_offline_by_switch(true);
    chain.start();
    EXPECT_EQ(port.open_count, 0);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(prompts.information.empty());
    EXPECT_EQ(chain.outcome(), ChainOutcome::offline);
}

TEST_F(ChainTest, NoSavedCopyReportsBothUnavailable)
{
    port.connected = false;
    chain.start();
    loop.run();
    EXPECT_EQ(prompts.errors,
              std::vector<std::string>{"The Kelvo is not connected and  there is no latest_kelvo.kol in " + folder.string() + "!"});
    EXPECT_EQ(ui.status.back(), "Kelvo and file both unavailable!");
    EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), "clear_documents"), ui.calls.end());
    EXPECT_TRUE(configuration.parsed.empty());
    EXPECT_TRUE(configuration.tray_reports.empty());
    EXPECT_EQ(chain.outcome(), ChainOutcome::unavailable);
}

TEST_F(ChainTest, InvalidSavedCopyReportsNotValid)
{
    std::ofstream(saved(), std::ios::binary) << "rubbish";
    configuration.result = false;
    port.connected = false;
    chain.start();
    loop.run();
    EXPECT_EQ(prompts.errors,
              std::vector<std::string>{"The Kelvo is not connected and latest_kelvo.kol in " + folder.string() + " is not valid!"});
    EXPECT_EQ(ui.status.back(), "Kelvo and file both unavailable!");
    EXPECT_TRUE(prompts.information.empty());
    EXPECT_EQ(chain.outcome(), ChainOutcome::unavailable);
}

TEST_F(ChainTest, ReceivedConfigurationThatFailsToParseIsSetAsideAndStartUpGoesOn)
{
    // "READY" alone or a garbled answer must not replace the copy that works.
    const std::string good = "[lists]\r\n[classes]\r\n!SYRINGE\r\n[objects]\r\n[atoms]";
    std::ofstream(saved(), std::ios::binary) << good;
    configuration.result = false;
    chain.start();
    loop.run();
    const fs::path rejected = folder / "latest_kelvo.rejected.kol";
    EXPECT_EQ(read_file(saved()), good);
    EXPECT_EQ(read_file(rejected), joined_crlf(link_test::demo_configuration()));
    EXPECT_EQ(prompts.information,
              std::vector<std::string>{"The configuration received from the Kelvo is not valid; it was saved as " +
                                       rejected.string() + ", and " + saved().string() + " was kept as it was."});
    EXPECT_FALSE(chain.configuration_valid());
    EXPECT_FALSE(chain.configuration_saved());
    EXPECT_TRUE(configuration.tray_reports.empty());
    EXPECT_EQ(ui.status, (std::vector<std::string>{"Receiving configuration from Kelvo", "Kelvo configuration received"}));
    EXPECT_EQ(chain.outcome(), ChainOutcome::online);
    EXPECT_EQ(chain.firmware_version(), "FW 2.31");

    // Without an earlier copy there is none afterwards either.
    fs::remove(saved());
    prompts.information.clear();
    port.sim.set_configuration({});
    chain.start();
    loop.run();
    EXPECT_FALSE(fs::exists(saved()));
    EXPECT_EQ(read_file(rejected), "");
    EXPECT_EQ(prompts.information, std::vector<std::string>{"The configuration received from the Kelvo is not valid; it "
                                                            "was saved as " + rejected.string() + "."});
}

TEST_F(ChainTest, NoAnswerAfterTheConfigurationIsNotResponding)
{
    port.sim.faults().silent_on.push_back("GET_FW_VERSION");
    chain.start();
    loop.run();
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"The kelvo is not responding!"});
    EXPECT_EQ(ui.status.back(), "The kelvo is not responding -- operation stopped");
    EXPECT_EQ(chain.outcome(), ChainOutcome::not_responding);
    EXPECT_FALSE(link.offline());
    EXPECT_TRUE(fs::exists(saved()));
}

TEST_F(ChainTest, BusyAtStartShowsTheBoxOnceAndSendsTheCommandAgain)
{
    port.sim.faults().busy_count = 2;
    chain.start();
    loop.run();
    EXPECT_EQ(prompts.errors, std::vector<std::string>{" The Kelvo is busy! Please check the terminal!"});
    const auto w = port.written_texts();
    ASSERT_GE(w.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(w.begin(), w.begin() + 4),
              (std::vector<std::string>{"GET_STAT\r", "GET_STAT\r", "GET_STAT\r", "GET_STAT\r"}));
    EXPECT_EQ(w[4], "SET_BAUD 38400\r");
    EXPECT_EQ(chain.outcome(), ChainOutcome::online);
}

TEST_F(ChainTest, VanishedDeviceDuringTheConfigurationGoesOffline)
{
    std::ofstream(saved(), std::ios::binary) << "[lists]\r\n[classes]\r\n!SYRINGE\r\n[objects]\r\n[atoms]";
    ASSERT_TRUE(chain.start());
    loop.step();  // READY to GET_STAT
    loop.step();  // service tick: SET_BAUD 38400
    loop.step();  // READY
    loop.step();  // service tick: GET_CONFIG
    ASSERT_EQ(port.writes.back().bytes, "GET_CONFIG\r");
    port.sim.take_output(38400);
    port.lose("Input/output error");
    loop.run();
    EXPECT_EQ(chain.outcome(), ChainOutcome::offline);
    EXPECT_TRUE(link.offline());
}

TEST_F(ChainTest, PortInUseAsksTheBusyPortDialog)
{
    port.open_results[1] = OpenResult::in_use;
    ui.busy_choices = {BusyPortChoice::retry, BusyPortChoice::another_port};
    ui.port_choices = {3};
    chain.start();
    EXPECT_EQ(ui.calls[0], "busy_port 1");
    EXPECT_EQ(ui.calls[1], "busy_port 1");
    EXPECT_EQ(ui.calls[2], "choose_port 1");
    EXPECT_EQ(chain.port_number(), 3);
    // Probes of 1, 1, 3, then the open of 3.
    EXPECT_EQ(port.opened_ports, (std::vector<int>{1, 1, 3, 3}));
    EXPECT_EQ(port.written_texts(), std::vector<std::string>{"GET_STAT\r"});
}

TEST_F(ChainTest, BusyPortExitEndsTheProgramWithoutSending)
{
    port.open_results[1] = OpenResult::in_use;
    ui.busy_choices = {BusyPortChoice::exit_program};
    EXPECT_FALSE(chain.start());
    EXPECT_EQ(ui.calls.back(), "exit_program");
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(chain.outcome(), ChainOutcome::exit_program);
}

TEST_F(ChainTest, BusyPortRunOfflineRunsTheFallback)
{
    port.open_results[1] = OpenResult::in_use;
    ui.busy_choices = {BusyPortChoice::run_offline};
    chain.start();
    EXPECT_TRUE(link.offline());
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(chain.outcome(), ChainOutcome::unavailable);  // no saved copy in the folder
}

TEST_F(ChainTest, MissingPortGoesToThePortChooser)
{
    port.open_results[1] = OpenResult::cannot_open;
    port.open_results[2] = OpenResult::cannot_open;
    ui.port_choices = {2, 4};
    chain.start();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"choose_port 1", "choose_port 2"}));
    EXPECT_EQ(chain.port_number(), 4);
    EXPECT_EQ(port.current_port, 4);
    EXPECT_EQ(port.written_texts(), std::vector<std::string>{"GET_STAT\r"});
}

TEST_F(ChainTest, ChooserGivingUpRunsOffline)
{
    port.open_results[1] = OpenResult::cannot_open;
    chain.start();
    EXPECT_TRUE(link.offline());
    EXPECT_EQ(port.open_count, 1);
    EXPECT_EQ(chain.outcome(), ChainOutcome::unavailable);
}

TEST_F(ChainTest, ReloadWhileOfflineStaysOfflineAndReadsTheSavedCopyAgain)
{
    std::ofstream(saved(), std::ios::binary) << "[lists]\r\n[classes]\r\n!SYRINGE\r\n[objects]\r\n[atoms]";
    port.connected = false;
    chain.start();
    loop.run();
    ASSERT_TRUE(link.offline());
    ASSERT_EQ(configuration.parsed.size(), 1u);
    port.connected = true;
    port.writes.clear();
    const int opened = port.open_count;
    chain.reload();
    loop.run();
    EXPECT_TRUE(link.offline());
    EXPECT_EQ(port.open_count, opened);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(chain.outcome(), ChainOutcome::offline);
    EXPECT_EQ(configuration.parsed.size(), 2u);
}

TEST_F(ChainTest, ReloadOnlineReadsTheConfigurationAgain)
{
    chain.start();
    loop.run();
    ASSERT_EQ(chain.outcome(), ChainOutcome::online);
    port.writes.clear();
    chain.reload();
    loop.run();
    EXPECT_EQ(chain.outcome(), ChainOutcome::online);
    EXPECT_EQ(port.written_texts().front(), "GET_STAT\r");
    EXPECT_EQ(configuration.parsed.size(), 2u);
}

TEST_F(ChainTest, ClosingProgramEndsEveryDialogLoopOfStartUp)
{
    // The dialogs return at once while the program closes (Retry is
    // remembered, the chooser gives its current port back): nothing asks
    // again and nothing runs offline.
    port.open_results[1] = OpenResult::in_use;
    ui.busy_choices = {BusyPortChoice::retry, BusyPortChoice::retry, BusyPortChoice::retry};
    ui.quit_after_dialogs = 1;
    EXPECT_FALSE(chain.start());
    EXPECT_EQ(ui.calls, std::vector<std::string>{"busy_port 1"});
    EXPECT_EQ(chain.outcome(), ChainOutcome::exit_program);

    ui.calls.clear();
    port.open_results[1] = OpenResult::cannot_open;
    ui.port_choices = {1, 1, 1};
    EXPECT_FALSE(chain.start());
    EXPECT_EQ(ui.calls, std::vector<std::string>{"choose_port 1"});
    EXPECT_FALSE(link.offline());
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(ChainTest, ReasonForGoingOfflineIsKept)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        OfflineReason reason;
        std::string command;
    };
    const std::vector<Case> cases = {
        {"port in use", [&] { port.open_results[1] = OpenResult::in_use; }, OfflineReason::port_in_use, ""},
        {"cannot open", [&] { port.open_results[1] = OpenResult::cannot_open; }, OfflineReason::cannot_open, ""},
        {"silent", [&] { port.sim.faults().silent = true; }, OfflineReason::no_answer, "GET_STAT"},
        {"no configuration", [&] { port.sim.faults().silent_on = {"GET_CONFIG"}; }, OfflineReason::no_answer, "GET_CONFIG"},
        {"no speed change", [&] { port.sim.faults().silent_on = {"SET_BAUD"}; }, OfflineReason::no_answer, "SET_BAUD 38400"},
        {"online", [] {}, OfflineReason::none, ""},
        // Half the configuration, then the device is gone.
        {"device gone", [&] { port.sim.apply_control("close-after 3"); }, OfflineReason::port_lost, "GET_CONFIG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        port.open_results.clear();
        port.sim = sim::InstrumentSimulator();
        port.sim.set_configuration(link_test::demo_configuration());
        link.set_offline(false);
        c.arrange();
        chain.start();
        // The simulator's close point: the device goes away.
        for (int i = 0; i < 100 && loop.step(); ++i)
            if (port.sim.close_requested() && port.is_open()) port.lose();
        EXPECT_EQ(chain.offline_reason(), c.reason);
        EXPECT_EQ(chain.offline_command(), c.command);
    }
    link.set_offline(true);
    chain.start();
    EXPECT_EQ(chain.offline_reason(), OfflineReason::by_switch);
}

TEST(StartupSettings, PollingIntervalHasAFloorOfTenMilliseconds)
{
    MemorySettingsStore store;
    EXPECT_EQ(polling_interval_ms(store), 500);
    for (const auto& [setting, interval] : std::vector<std::pair<int, int>>{{-5, 10}, {0, 10}, {9, 10}, {10, 10}, {250, 250}}) {
        write_setting_integer(store, "Polling interval", setting);
        EXPECT_EQ(polling_interval_ms(store), interval) << setting;
    }
}

TEST_F(ChainTest, ProgramDatabaseIsFilledAndTheTrayReportWritten)
{
    ProgramConfiguration program;
    StartupChain real(link, program, ui, program_method_folder(), prompts);
    real.start();
    loop.run();
    EXPECT_EQ(real.outcome(), ChainOutcome::online);
    EXPECT_TRUE(real.configuration_valid());
    EXPECT_EQ(config().object_count(), 2);
    EXPECT_EQ(config().object_index("Tray1"), 1);
    EXPECT_TRUE(fs::exists(folder / "TrayInfo.txt"));
    EXPECT_EQ(ui.status.back(), "2 objects received from Kelvo");
}

TEST(ConfigurationFile, SavedWithCrLfBetweenLinesAndReadBackWithAnyLineEnd)
{
    const fs::path p = fs::temp_directory_path() / ("kelvo_cfg_" + std::to_string(::getpid()) + ".kol");
    ASSERT_TRUE(save_configuration_lines(p.string(), {"a", "", "\xB5l"}));
    EXPECT_EQ(read_file(p), "a\r\n\r\n\xB5l");
    std::vector<std::string> lines;
    ASSERT_TRUE(load_configuration_lines(p.string(), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "", "\xB5l"}));

    std::ofstream(p, std::ios::binary) << "x\ny\rz\r\n";
    ASSERT_TRUE(load_configuration_lines(p.string(), lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"x", "y", "z"}));
    fs::remove(p);
    EXPECT_FALSE(load_configuration_lines(p.string(), lines));
    EXPECT_FALSE(save_configuration_lines((p / "no_such_folder" / "x.kol").string(), {"a"}));
}

TEST(StartupTexts, BusyPortText)
{
    EXPECT_EQ(busy_port_text(2),
              "Port 2 is being used by another program. You may close the other program and press Retry, Exit this "
              "program, run this program offline, or choose another port");
}

}  // namespace
}  // namespace kelvo
