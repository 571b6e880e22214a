// How close the configuration download runs to the line limit: the program's
// link and serial adapter ask kelvo-sim (on a pseudo-terminal, pacing its
// answer at the line speed) for its configuration. The floor is the bytes on
// the line, command and answer, at ten bit times each; "vs_limit" is the
// measured time over that floor (goal: at most 1.05).
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "link/kelvo_link.h"
#include "link/qt/qt_serial_port.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace kelvo;
namespace fs = std::filesystem;

const std::string served = std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol";

// kelvo-sim at the given speed; stops with the object.
class Simulator {
public:
    explicit Simulator(int baud)
    {
        int out[2];
        if (pipe(out) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string speed = std::to_string(baud);
        std::vector<std::string> args = {KELVO_SIM_PATH, "--config", served, "--baud", speed};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        // The first line is the device.
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') device_ += c;
        close(out[0]);
    }
    ~Simulator()
    {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    const std::string& device() const { return device_; }

private:
    pid_t pid_ = -1;
    std::string device_;
};

void BM_ConfigurationDownload(benchmark::State& state)
{
    const int baud = static_cast<int>(state.range(0));
    std::vector<std::string> lines;
    if (!read_text_lines(served, lines)) {
        state.SkipWithError("cannot read the demo configuration");
        return;
    }
    // On the line: "GET_CONFIG" CR, then every line with its CR and "READY" CR.
    std::size_t bytes = 11 + 6;
    for (const std::string& l : lines) bytes += l.size() + 1;
    const double limit_s = static_cast<double>(bytes) * 10.0 / baud;

    Simulator sim(baud);
    QtSerialPort port;
    port.set_device_name(1, sim.device());
    if (sim.device().empty() || port.open(1) != OpenResult::ok) {
        state.SkipWithError("cannot start kelvo-sim");
        return;
    }
    port.set_speed(baud);
    KelvoLink link(port, prompts());
    link.set_status_timeout_ticks(200);
    bool done = false;
    std::size_t received = 0;
    link.set_trace([&](bool sent, const std::string& line) {
        if (sent) return;
        received += line.size() + 1;
        if (line == "READY") done = true;
    });
    double total_s = 0;
    for (auto _ : state) {
        done = false;
        received = 0;
        const auto start = std::chrono::steady_clock::now();
        link.send_command(CommandKind::status, "GET_CONFIG", [] {}, false, [&] { done = true; });
        while (!done) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        link.service_completion_step();
        if (received + 11 != bytes) {
            state.SkipWithError("the answer was not the whole configuration");
            return;
        }
        state.SetIterationTime(took.count());
        total_s += took.count();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["limit_ms"] = limit_s * 1000.0;
    state.counters["vs_limit"] = total_s / static_cast<double>(state.iterations()) / limit_s;
}
BENCHMARK(BM_ConfigurationDownload)->Arg(38400)->Arg(9600)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
