#pragma once
// The serial line to the instrument as the link sees it. The shell implements
// it on a real port (QSerialPort + QTimer); tests use a fake that records the
// writes and fires the timer by hand. The port reports what happens on the
// line through SerialEvents; the link is the only listener.
#include "link/protocol.h"

#include <string>

namespace kelvo {

enum class OpenResult {
    ok,
    in_use,       // another program (or another open of ours) holds the port
    cannot_open,  // missing device, no access, input/output error
};

// A time-out setting in milliseconds as timer ticks (integer division: 100 ms
// is one tick, 50 ms is none; negative settings count as none).
int ticks_from_ms(int ms);

// Events from the port, delivered on the user-interface thread.
class SerialEvents {
public:
    virtual ~SerialEvents() = default;
    // Bytes that arrived, in order, as many as were waiting (a fragment of a
    // line, several lines, anything).
    virtual void data_available(const std::string& bytes) = 0;
    // The timer trigger armed with arm() has run out.
    virtual void timer_fired() = 0;
    // The device went away while open (unplugged adapter, simulator gone).
    // The port has already closed itself; reported once per open.
    virtual void port_lost(const std::string& reason) = 0;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // The receiver of the port's events (not owned; nullptr for none).
    virtual void set_events(SerialEvents* events) = 0;

    // Opens COM port n (1 to 4) at 9600 baud, 8N1, XON/XOFF, DTR and RTS off.
    // An open port is closed first.
    virtual OpenResult open(int port) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    // Whether port n exists on this machine: it can be opened, or opening it
    // is refused because it is in use or for lack of access. For the port
    // chooser, which enables only existing ports.
    virtual bool exists(int port) = 0;

    // 9600 or 38400 baud; takes effect at once.
    virtual void set_speed(int baud) = 0;
    virtual int speed() const = 0;

    // Sends the bytes as they are. Does nothing while the port is closed.
    virtual void write(const std::string& bytes) = 0;

    // The timer trigger: one shot after the given number of 55 ms ticks
    // (the caller never passes less than one). Arming again restarts it.
    virtual void arm(int ticks) = 0;
    virtual void disarm() = 0;
};

}  // namespace kelvo
