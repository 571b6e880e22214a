#pragma once
// The link wired to an in-process instrument simulator through a fake port,
// with a small deterministic event loop: instrument answers are delivered
// first, then a service-timer tick, and only when nothing else can happen
// does the armed timer trigger fire (time passes on a silent line).
#include "instrument_simulator.h"
#include "link/fake_serial_port.h"
#include "link/kelvo_link.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvo::link_test {

class SimWiredPort : public FakeSerialPort {
public:
    sim::InstrumentSimulator sim;
    bool connected = true;  // false: the instrument hears nothing
    void on_write(const std::string& bytes) override
    {
        if (connected) sim.receive(bytes, speed());
    }
};

// The configuration text the tests serve: small, valid, with "µ" and "°".
inline std::vector<std::string> demo_configuration()
{
    return {
        "[lists]",
        "0;2;Left;Right",
        "[classes]",
        "!SYRINGE",
        "Volume;0;1000000;10000;1;nl",
        "&Kind",
        "!TRAY",
        "#Side;0;1;0;0",
        "Depth;0;100000;0;1;\xB5m",
        "Temperature;0;90000;20000;1;m\xB0" "C",
        "[objects]",
        "SYRINGE;SYR10;10000;Glass",
        "TRAY;Tray1;0;5000;20000",
        "[atoms]",
        "!WASH",
        "Volume;0;100;1;1;nl",
        "?#Side;0;1;0;0",
        "!MOVE",
        "Tray;TRAY",
    };
}

struct EventLoop {
    SimWiredPort& port;
    KelvoLink& link;
    int ticks_fired = 0;
    int service_ticks = 0;

    // One step; false when nothing is left to happen.
    bool step()
    {
        if (port.sim.has_output() && port.is_open()) {
            port.deliver(port.sim.take_output(port.speed()));
            return true;
        }
        if (link.answer_complete() || link.method_complete()) {
            ++service_ticks;
            link.service_completion_step();
            return true;
        }
        if (port.armed) {
            ++ticks_fired;
            port.fire();
            return true;
        }
        return false;
    }
    void run(int limit = 10000)
    {
        while (limit-- > 0 && step()) {
        }
    }
};

}  // namespace kelvo::link_test
