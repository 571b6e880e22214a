// The real cadenzor (offscreen) against the kelvo-sim process: it connects,
// saves the configuration it was served, logs its start, and closes cleanly
// on SIGTERM.
#include "pty/child_process.h"

#include "link/qt/qt_serial_port.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <unistd.h>
#include <vector>

namespace kelvo::pty_test {
namespace {

namespace fs = std::filesystem;

constexpr int limit_ms = 60000;

std::string read_file(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Polls until done() holds, for at most limit_ms.
bool eventually(const std::function<bool()>& done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string registry_text(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

class StartupScenario : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        dir = fs::temp_directory_path() / ("kelvo_startup_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
        fs::create_directories(dir / "run");
        fs::permissions(dir / "run", fs::perms::owner_all, fs::perm_options::replace);
        served = fs::path(KELVO_SOURCE_DIR) / "examples" / "methods" / "latest_kelvo.kol";
        folder = dir / "methods";
        fs::copy(served.parent_path(), folder, fs::copy_options::recursive);
        // What the program saves must come from the instrument.
        fs::remove(folder / "latest_kelvo.kol");
        fs::remove(folder / "TrayInfo.txt");
        program = (fs::path(KELVO_CLI_PATH).parent_path() / "cadenzor").string();
    }
    void TearDown() override
    {
        app.terminate();
        sim.terminate();
        for (const auto& [name, value] : saved_environment) {
            if (value.empty()) unsetenv(name.c_str());
            else setenv(name.c_str(), value.c_str(), 1);
        }
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    void write_settings(const std::string& device)
    {
        std::ofstream(dir / "settings.reg", std::ios::binary)
            << "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
            << "\"COM1 Device\"=\"" << registry_text(device) << "\"\r\n"
            << "\"Method Folder\"=\"" << registry_text(folder.string()) << "\"\r\n"
            << "\"Port\"=dword:00000001\r\n"
            << "\"Polling interval\"=dword:00000064\r\n";
    }

    // cadenzor in its own working directory (for its log), with its own
    // settings and runtime directory (for its lock).
    bool start_cadenzor()
    {
        for (const char* name : {"QT_QPA_PLATFORM", "CADENZOR_SETTINGS", "XDG_RUNTIME_DIR"}) {
            const char* value = std::getenv(name);
            saved_environment.emplace_back(name, value ? value : "");
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        setenv("CADENZOR_SETTINGS", (dir / "settings.reg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
        return app.start("/bin/sh", {"-c", "cd \"$0\" && exec \"$1\"", dir.string(), program});
    }

    fs::path dir, served, folder;
    std::string program;
    std::vector<std::pair<std::string, std::string>> saved_environment;
    ChildProcess sim, app;
};

TEST_F(StartupScenario, ConnectsSavesTheConfigurationAndClosesOnSigterm)
{
    ASSERT_TRUE(fs::exists(program)) << program;
    ASSERT_TRUE(sim.start(KELVO_SIM_PATH, {"--config", served.string(), "--link", (dir / "kelvo").string(),
                                           "--transcript", (dir / "transcript.txt").string()}));
    std::string device;
    ASSERT_TRUE(sim.read_line(device, limit_ms)) << sim.err();
    write_settings((dir / "kelvo").string());
    ASSERT_TRUE(start_cadenzor());

    const fs::path log = dir / "cadenzor.log";
    EXPECT_TRUE(eventually([&] { return contains(read_file(log), " : Started program\r\n"); })) << app.err();
    // The whole chain ran: the firmware is the last question.
    EXPECT_TRUE(eventually([&] { return contains(read_file(dir / "transcript.txt"), "GET_FW_VERSION"); }))
        << read_file(dir / "transcript.txt");
    const std::string transcript = read_file(dir / "transcript.txt");
    EXPECT_LT(transcript.find("GET_STAT"), transcript.find("SET_BAUD 38400"));
    EXPECT_LT(transcript.find("SET_BAUD 38400"), transcript.find("GET_CONFIG"));
    EXPECT_LT(transcript.find("GET_CONFIG"), transcript.find("SET_BAUD 9600"));

    // Saved exactly as served (the demo file has CR LF between its lines).
    EXPECT_EQ(read_file(folder / "latest_kelvo.kol"), read_file(served));
    EXPECT_TRUE(fs::exists(folder / "TrayInfo.txt"));

    ASSERT_EQ(kill(app.pid(), SIGTERM), 0);
    EXPECT_EQ(app.wait(limit_ms), 0) << app.err();
    const std::string lines = read_file(log);
    EXPECT_TRUE(contains(lines, " : Closed program\r\n")) << lines;
    // Closing stored the settings of the run.
    const std::string settings = read_file(dir / "settings.reg");
    EXPECT_TRUE(contains(settings, "\"Window Left\"=dword:")) << settings;
}


TEST_F(StartupScenario, SigtermWhileTheBusyPortDialogIsUpEndsTheProgram)
{
    ASSERT_TRUE(sim.start(KELVO_SIM_PATH, {"--config", served.string(), "--link", (dir / "kelvo").string(),
                                           "--transcript", (dir / "transcript.txt").string()}));
    std::string device;
    ASSERT_TRUE(sim.read_line(device, limit_ms)) << sim.err();
    write_settings((dir / "kelvo").string());
    // Another program holds the port: start-up shows the busy-port dialog.
    QtSerialPort holder;
    holder.set_device_name(1, (dir / "kelvo").string());
    ASSERT_EQ(holder.open(1), OpenResult::ok);
    ASSERT_TRUE(start_cadenzor());
    const fs::path log = dir / "cadenzor.log";
    ASSERT_TRUE(eventually([&] { return contains(read_file(log), " : Started program\r\n"); })) << app.err();
    // Time for the dialog to come up; the test holds either way.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    ASSERT_EQ(kill(app.pid(), SIGTERM), 0);
    EXPECT_EQ(app.wait(limit_ms), 0) << app.err();
    EXPECT_TRUE(contains(read_file(log), " : Closed program\r\n"));
    EXPECT_EQ(read_file(dir / "transcript.txt"), "");  // the port was never used
}

}  // namespace
}  // namespace kelvo::pty_test
