#pragma once
// The pseudo-terminal that kelvo-sim exposes (POSIX only; used by the
// kelvo-sim executable, not by the simulator class).
#include <string>

namespace kelvo::sim {

class PtyDevice {
public:
    PtyDevice() = default;
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    // Opens a master and holds a slave of its own, both raw with echo off,
    // so the master never sees a hang-up when the program closes its side.
    // False with error set on failure.
    bool open(int initial_speed, std::string& error);
    void close();
    bool is_open() const { return master_ >= 0; }
    const std::string& path() const { return path_; }
    int master_fd() const { return master_; }
    // The line speed the program set on its side (the terminal settings
    // are shared by both ends); 0 when unknown.
    int line_speed() const;
    // Everything waiting on the master; empty when nothing.
    std::string read_available();
    void write_all(const std::string& bytes);

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

}  // namespace kelvo::sim
