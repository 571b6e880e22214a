// kelvo-sim: the instrument simulator on a pseudo-terminal.
#include "instrument_simulator.h"
#include "pty_device.h"

#include "ground/cp1252.h"
#include "ground/file_io.h"
#include "cadenzor_version.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <iterator>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <ctime>
#include <unistd.h>
#include <vector>

using namespace kelvo::sim;

namespace {

volatile std::sig_atomic_t stop_requested = 0;
void on_signal(int) { stop_requested = 1; }

void print_help(std::ostream& out)
{
    out << "usage: kelvo-sim --config FILE [options] [faults]\n"
           "\n"
           "Answers like the Kelvo instrument on a pseudo-terminal. The device path is\n"
           "printed on the first line of standard output.\n"
           "\n"
           "options:\n"
           "  --config FILE        configuration text served by GET_CONFIG (Windows-1252)\n"
           "  --link PATH          also make a symbolic link PATH to the device\n"
           "  --baud 9600|38400    the instrument's speed at start (default 9600)\n"
           "  --syringe NAME       the mounted syringe (default: first SYRINGE object)\n"
           "  --firmware TEXT      the answer to GET_FW_VERSION (default KELVO SIM 1.0)\n"
           "  --atom-time MS       how long an atom runs (default 1000; per atom:\n"
           "                       --atom-time NAME=MS, or the control line below)\n"
           "  --pace-factor N      the line carries N times its speed's bytes (default 1,\n"
           "                       the true speed; 0 answers at once)\n"
           "  --transcript FILE    append every received line to FILE: the milliseconds\n"
           "                       since the start, a tab, the line (bytes as received)\n"
           "  --version            print the version and exit\n"
           "  --control PATH       make a FIFO PATH that takes fault lines at run time\n"
           "                       (e.g. echo 'busy 2' > PATH); each line taken is\n"
           "                       confirmed on standard output as \"applied LINE\"\n"
           "\n"
           "faults, as options (--busy 2) or as control lines (busy 2):\n"
        << control_syntax
        << "  as options, \"--silent\" and \"--display-chars\" take no value.\n"
           "\n"
           "Bytes the program sends at a speed other than the instrument's are garbled,\n"
           "and so are answers when the program listens at another speed.\n";
}

bool read_lines(const std::string& path, std::vector<std::string>& lines)
{
    return kelvo::read_text_lines(path, lines);
}

// Removes the flow-control characters: they steer the line, they are no data.
std::string without_flow_control(const std::string& bytes)
{
    std::string out;
    for (char c : bytes)
        if (c != 0x11 && c != 0x13) out.push_back(c);
    return out;
}

// What the command line asks for beyond the simulator's own settings, which
// are handed to it as the arguments are read.
struct Options {
    std::string config_path, link_path, transcript_path, control_path;
    int baud = 9600;
    // Fault lines given as options, applied once the configuration is in.
    std::vector<std::string> controls;
};

// Returned by the steps of start-up that let the program go on.
constexpr int go_on = -1;

// "--atom-time MS": the running time of every atom.
int read_atom_time(const std::string& v, InstrumentSimulator& sim)
{
    char* end = nullptr;
    const long ms = std::strtol(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || ms < 0) {
        std::cerr << "kelvo-sim: --atom-time takes milliseconds\n";
        return 2;
    }
    sim.set_atom_time_ms(static_cast<int>(ms));
    return go_on;
}

// Reads the arguments in order; go_on, or the exit code of the program
// (help, version and usage errors).
int read_arguments(int argc, char** argv, Options& o, InstrumentSimulator& sim)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::cerr << "kelvo-sim: " << a << " needs a value\n";
                std::exit(2);
            }
            return argv[++i];
        };
        int outcome = go_on;
        if (a == "--version") {
            std::cout << "kelvo-sim " << CADENZOR_VERSION << '\n';
            return 0;
        } else if (a == "--help" || a == "-h") {
            print_help(std::cout);
            return 0;
        } else if (a == "--config") {
            o.config_path = value();
        } else if (a == "--link") {
            o.link_path = value();
        } else if (a == "--baud") {
            const std::string v = value();
            if (v != "9600" && v != "38400") {
                std::cerr << "kelvo-sim: --baud takes 9600 or 38400\n";
                return 2;
            }
            o.baud = std::stoi(v);
        } else if (a == "--syringe") {
            sim.set_syringe(kelvo::utf8_to_cp1252(value()));
        } else if (a == "--firmware") {
            sim.set_firmware(kelvo::utf8_to_cp1252(value()));
        } else if (a == "--atom-time" && i + 1 < argc && std::strchr(argv[i + 1], '=')) {
            std::string v = value();
            v[v.find('=')] = ' ';
            o.controls.push_back("atom-time " + kelvo::utf8_to_cp1252(v));
        } else if (a == "--atom-time") {
            outcome = read_atom_time(value(), sim);
        } else if (a == "--transcript") {
            o.transcript_path = value();
        } else if (a == "--control") {
            o.control_path = value();
        } else if (a == "--silent" || a == "--display-chars") {
            o.controls.push_back(a.substr(2) + " on");
        } else if (a.rfind("--", 0) == 0) {
            o.controls.push_back(a.substr(2) + " " + kelvo::utf8_to_cp1252(value()));
        } else {
            std::cerr << "kelvo-sim: unknown argument " << a << "\n";
            print_help(std::cerr);
            return 2;
        }
        if (outcome != go_on) return outcome;
    }
    return go_on;
}

// The configuration, the speed and the faults given as options.
int configure(const Options& o, InstrumentSimulator& sim)
{
    if (o.config_path.empty()) {
        print_help(std::cerr);
        return 2;
    }
    std::vector<std::string> lines;
    if (!read_lines(o.config_path, lines)) {
        std::cerr << "kelvo-sim: cannot read " << o.config_path << "\n";
        return 1;
    }
    sim.set_configuration(lines);
    sim.set_speed(o.baud);
    sim.set_pace_factor(1);
    for (const std::string& c : o.controls) {
        std::string error;
        if (!sim.apply_control(c, &error)) {
            std::cerr << "kelvo-sim: " << error << "\n";
            return 2;
        }
    }
    return go_on;
}

// Every line the simulator receives goes to the transcript file, if one is
// asked for.
bool open_transcript(const std::string& path, std::ofstream& transcript, InstrumentSimulator& sim)
{
    if (path.empty()) return true;
    transcript.open(path, std::ios::binary | std::ios::app);
    if (!transcript) {
        std::cerr << "kelvo-sim: cannot write " << path << "\n";
        return false;
    }
    sim.set_transcript_sink([&transcript](const TranscriptLine& t) {
        transcript << t.ms << '\t' << t.line << '\n';
        transcript.flush();
    });
    return true;
}

// The symbolic link to the device; an old link of that name is replaced.
bool make_device_link(const PtyDevice& device, const std::string& link_path)
{
    struct stat st{};
    if (lstat(link_path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) unlink(link_path.c_str());
    if (symlink(device.path().c_str(), link_path.c_str()) != 0) {
        std::cerr << "kelvo-sim: cannot link " << link_path << ": " << std::strerror(errno) << "\n";
        return false;
    }
    return true;
}

// The FIFO that takes fault lines while the simulator runs.
struct ControlFifo {
    int fd = -1;
    // Our own writer keeps the FIFO from reporting end of file between the
    // writers that come and go.
    int writer = -1;
    bool made = false;
    std::string buffer;

    bool open(const std::string& path)
    {
        if (mkfifo(path.c_str(), 0600) == 0)
            made = true;
        else if (errno != EEXIST) {
            std::cerr << "kelvo-sim: cannot make " << path << ": " << std::strerror(errno) << "\n";
            return false;
        }
        fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        return true;
    }

    // Applies the complete lines that have arrived.
    void read_lines(InstrumentSimulator& sim, std::string& error)
    {
        char buf[512];
        ssize_t n;
        while ((n = read(fd, buf, sizeof buf)) > 0) buffer.append(buf, static_cast<std::size_t>(n));
        std::size_t nl;
        while ((nl = buffer.find('\n')) != std::string::npos) {
            const std::string line = buffer.substr(0, nl);
            buffer.erase(0, nl + 1);
            if (line.empty()) continue;
            // A line taken is confirmed, so that whoever drives the faults
            // knows when they are in force.
            if (sim.apply_control(kelvo::utf8_to_cp1252(line), &error))
                std::cout << "applied " << line << std::endl;
            else
                std::cerr << "kelvo-sim: " << error << "\n";
        }
    }

    void close(const std::string& path)
    {
        if (writer >= 0) ::close(writer);
        if (fd >= 0) ::close(fd);
        if (made) unlink(path.c_str());
    }
};

// How long the wait for bytes may last: until the running atom ends or the
// next answer byte is due, at most 50 ms.
timespec poll_timeout(const InstrumentSimulator& sim)
{
    std::int64_t timeout_us = 50000;
    const auto to_end = sim.ms_to_atom_end();
    if (to_end >= 0) timeout_us = std::min<std::int64_t>(timeout_us, to_end * 1000 + 1000);
    const auto to_output = sim.us_to_next_output();
    if (to_output >= 0) timeout_us = std::min(timeout_us, to_output);
    return timespec{static_cast<time_t>(timeout_us / 1000000), static_cast<long>(timeout_us % 1000000) * 1000};
}

// Answers on the device until a signal or a fault ends the simulator.
void serve(InstrumentSimulator& sim, PtyDevice& device, ControlFifo& control, std::string& error)
{
    const auto started = std::chrono::steady_clock::now();
    auto catch_up = [&] {
        const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
        sim.advance_us(elapsed.count() - sim.now_us());
    };
    while (!stop_requested && !sim.close_requested()) {
        pollfd fds[2] = {{device.master_fd(), POLLIN, 0}, {control.fd, POLLIN, 0}};
        const timespec timeout = poll_timeout(sim);
        const int ready = ppoll(fds, control.fd >= 0 ? 2 : 1, &timeout, nullptr);
        catch_up();
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0 && (fds[0].revents & POLLIN)) {
            const std::string bytes = without_flow_control(device.read_available());
            if (!bytes.empty()) sim.receive(bytes, device.line_speed());
        }
        if (ready > 0 && control.fd >= 0 && (fds[1].revents & POLLIN)) control.read_lines(sim, error);
        // The answer goes out as the line carries it; a device closed by a
        // fault vanishes at its point in the answer.
        const std::string out = sim.take_due_output(device.line_speed());
        if (!out.empty()) device.write_all(out);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    InstrumentSimulator sim;
    if (const int code = read_arguments(argc, argv, options, sim); code != go_on) return code;
    if (const int code = configure(options, sim); code != go_on) return code;

    std::ofstream transcript;
    if (!open_transcript(options.transcript_path, transcript, sim)) return 1;

    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGTERM, on_signal);
    std::signal(SIGINT, on_signal);

    PtyDevice device;
    std::string error;
    if (!device.open(9600, error)) {
        std::cerr << "kelvo-sim: " << error << "\n";
        return 1;
    }
    bool made_link = false;
    if (!options.link_path.empty()) {
        if (!make_device_link(device, options.link_path)) return 1;
        made_link = true;
    }
    ControlFifo control;
    if (!options.control_path.empty() && !control.open(options.control_path)) return 1;

    std::cout << device.path() << std::endl;
    serve(sim, device, control, error);

    device.close();
    if (made_link) unlink(options.link_path.c_str());
    control.close(options.control_path);
    return 0;
}
