#pragma once
// A serial port for tests: records what is written (with the line speed at
// the time), lets the test fire the timer trigger and deliver bytes, and can
// be wired to an in-process instrument simulator.
#include "link/serial_port.h"

#include <map>
#include <string>
#include <vector>

namespace kelvo::link_test {

class FakeSerialPort : public SerialPort {
public:
    struct Write {
        std::string bytes;
        int speed;
    };

    void set_events(SerialEvents* e) override { events = e; }
    OpenResult open(int port) override
    {
        ++open_count;
        opened_ports.push_back(port);
        const auto it = open_results.find(port);
        const OpenResult r = it == open_results.end() ? OpenResult::ok : it->second;
        open_ = r == OpenResult::ok;
        if (open_) {
            speed_ = 9600;
            current_port = port;
        }
        return r;
    }
    void close() override { open_ = false; }
    bool is_open() const override { return open_; }
    bool exists(int port) override { return open_results.count(port) == 0 || open_results[port] != OpenResult::cannot_open; }
    void set_speed(int baud) override
    {
        speed_ = baud;
        speeds.push_back(baud);
    }
    int speed() const override { return speed_; }
    void write(const std::string& bytes) override
    {
        if (!open_) return;
        writes.push_back(Write{bytes, speed_});
        on_write(bytes);
    }
    void arm(int ticks) override
    {
        armed = true;
        armed_ticks = ticks;
        arm_history.push_back(ticks);
    }
    void disarm() override { armed = false; }

    // Test side.
    void deliver(const std::string& bytes) { events->data_available(bytes); }
    // Fires the timer when it is armed; false when it was not.
    bool fire()
    {
        if (!armed) return false;
        armed = false;
        events->timer_fired();
        return true;
    }
    // A firing that was already on its way when the trigger was disarmed.
    void fire_late() { events->timer_fired(); }
    void lose(const std::string& reason = "gone")
    {
        open_ = false;
        events->port_lost(reason);
    }
    std::vector<std::string> written_texts() const
    {
        std::vector<std::string> out;
        for (const Write& w : writes) out.push_back(w.bytes);
        return out;
    }
    // Hook for wiring (the simulator).
    virtual void on_write(const std::string&) {}

    SerialEvents* events = nullptr;
    std::map<int, OpenResult> open_results;  // ports not listed open fine
    std::vector<int> opened_ports;
    int open_count = 0;
    int current_port = 0;
    std::vector<Write> writes;
    std::vector<int> speeds;
    std::vector<int> arm_history;
    bool armed = false;
    int armed_ticks = 0;

private:
    bool open_ = false;
    int speed_ = 9600;
};

}  // namespace kelvo::link_test
