#pragma once
// A serial port for the start-up widget tests: answers like the instrument
// (status, speed changes, configuration, firmware) through the event loop,
// can stay silent, and runs the link's timer trigger on a QTimer with short
// ticks so that time-outs come quickly.
#include "link/serial_port.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>
#include <string>
#include <vector>

namespace kelvo::link_test {

class ScriptedPort final : public QObject, public SerialPort {
public:
    // Milliseconds per 55 ms tick in the tests.
    static constexpr int tick_test_ms = 2;

    ScriptedPort()
    {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] {
            if (events_) events_->timer_fired();
        });
    }

    // ---- the instrument
    std::vector<std::string> configuration;
    std::string firmware = "KELVO 2.07";
    bool silent = false;
    int instrument_speed = normal_speed;
    std::vector<std::string> received;  // lines as the instrument took them

    // ---- the machine's ports
    std::map<int, OpenResult> open_results;  // ports not listed open fine
    std::vector<int> opened_ports;

    void set_events(SerialEvents* e) override { events_ = e; }
    OpenResult open(int port) override
    {
        close();
        opened_ports.push_back(port);
        const auto it = open_results.find(port);
        const OpenResult r = it == open_results.end() ? OpenResult::ok : it->second;
        if (r == OpenResult::ok) {
            open_ = true;
            speed_ = normal_speed;
        }
        return r;
    }
    void close() override
    {
        open_ = false;
        timer_.stop();
    }
    bool is_open() const override { return open_; }
    bool exists(int port) override
    {
        const auto it = open_results.find(port);
        return it == open_results.end() || it->second != OpenResult::cannot_open;
    }
    void set_speed(int baud) override { speed_ = baud; }
    int speed() const override { return speed_; }
    void write(const std::string& bytes) override
    {
        if (!open_) return;
        line_ += bytes;
        std::string::size_type cr;
        while ((cr = line_.find('\r')) != std::string::npos) {
            const std::string line = line_.substr(0, cr);
            line_.erase(0, cr + 1);
            // Bytes at another speed are noise to the instrument.
            if (speed_ != instrument_speed) continue;
            received.push_back(line);
            answer(line);
        }
    }
    void arm(int ticks) override { timer_.start(ticks * tick_test_ms); }
    void disarm() override { timer_.stop(); }

private:
    void answer(const std::string& line)
    {
        if (silent) return;
        std::string out;
        int speed_after = instrument_speed;
        if (line == "GET_STAT") out = "READY\r";
        else if (line == "SET_BAUD 38400") {
            out = "READY\r";
            speed_after = fast_speed;
        } else if (line == "SET_BAUD 9600") {
            out = "READY\r";
            speed_after = normal_speed;
        } else if (line == "GET_CONFIG") {
            for (const std::string& l : configuration) out += l + "\r";
            out += "READY\r";
        } else if (line == "GET_FW_VERSION") out = firmware + "\rREADY\r";
        else if (line.rfind("DLD_OBJ ", 0) == 0) out = "READY\r";
        else out = "@" + line + "?\r";
        const int sent_at = instrument_speed;
        instrument_speed = speed_after;
        QPointer<ScriptedPort> self(this);
        QTimer::singleShot(1, this, [self, out, sent_at] {
            // An answer sent at one speed is heard only at that speed.
            if (self && self->open_ && self->events_ && self->speed_ == sent_at) self->events_->data_available(out);
        });
    }

    SerialEvents* events_ = nullptr;
    QTimer timer_;
    std::string line_;
    bool open_ = false;
    int speed_ = normal_speed;
};

}  // namespace kelvo::link_test
