#pragma once
// The instrument's side of the serial protocol, without any input or output:
// bytes go in with the line speed they were sent at, answers come out as
// bytes, time is virtual. kelvo-sim puts it on a pseudo-terminal; tests wire
// it to the link directly.
//
// The line speed is modelled: bytes sent at a speed other than the
// receiver's arrive garbled (only bytes with the high bit set, so never a CR
// and never a flow-control character), as a real UART at the wrong speed
// would see them.
#include "link/protocol.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvo::sim {

// An atom as the instrument checks it: its name and argument count.
struct SimAtom {
    std::string name;
    int argument_count = 0;
};

// The atoms of a configuration text (its "[atoms]" section), read lightly:
// "!" lines open an atom, every other line is one more argument.
std::vector<SimAtom> read_atoms(const std::vector<std::string>& lines);

// Bytes sent at sent_speed as a receiver at read_speed sees them.
std::string garble(const std::string& bytes, int sent_speed, int read_speed);

struct SimFaults {
    int error_atom_number = 0;                 // this atom command (from 1) gets an error line; 0 none
    std::vector<std::string> error_atom_names;  // these atoms always get an error line
    int busy_count = 0;                        // "BUSY" for this many more "GET_STAT"
    bool silent = false;                       // no answer at all
    std::vector<std::string> silent_on;        // no answer to lines beginning with these
    int garbage_bytes = 0;                     // garbage bytes before the next answer line
    bool display_chars = false;                // "µ" and "°" sent as the display bytes 0x9D, 0x91
    int close_after_lines = 0;                 // close the device after this received line; 0 never
};

// The fault syntax shared by the command line and the control FIFO.
inline constexpr const char* control_syntax =
    "  error-atom N          answer the N-th atom command (from 1) with an error line\n"
    "  error-atom-name NAME  answer every command of atom NAME with an error line\n"
    "  busy K                answer the next K \"GET_STAT\" with \"BUSY\"\n"
    "  silent on|off         answer nothing at all / answer again\n"
    "  silent-on TEXT        answer nothing to lines that begin with TEXT\n"
    "  garbage N             send N garbage bytes before the next answer line\n"
    "  display-chars on|off  send \"\xC2\xB5\" and \"\xC2\xB0\" as the instrument's display bytes\n"
    "  close-after N         close the device after the N-th received line\n"
    "  close                 close the device now (kelvo-sim ends)\n"
    "  baud 9600|38400       change the instrument's own speed now\n"
    "  clear                 remove every fault\n";

class InstrumentSimulator {
public:
    InstrumentSimulator();

    // The configuration text served by "GET_CONFIG" (Windows-1252 lines).
    void set_configuration(std::vector<std::string> lines);
    const std::vector<std::string>& configuration() const { return configuration_; }
    const std::vector<SimAtom>& atoms() const { return atoms_; }

    void set_speed(int baud) { speed_ = baud; }
    int speed() const { return speed_; }
    void set_firmware(std::string text) { firmware_ = std::move(text); }
    const std::string& firmware() const { return firmware_; }
    // The mounted syringe; by default the first "SYRINGE" object.
    void set_syringe(std::string name) { syringe_ = std::move(name); }
    const std::string& syringe() const { return syringe_; }
    void set_atom_time_ms(int ms) { atom_time_ms_ = ms; }

    SimFaults& faults() { return faults_; }
    // One line of the fault syntax; false (with error set) when not understood.
    bool apply_control(const std::string& line, std::string* error = nullptr);

    // Bytes from the program, sent at line_speed.
    void receive(const std::string& bytes, int line_speed);
    // The bytes answered since the last call, as a receiver at line_speed
    // gets them.
    std::string take_output(int line_speed);
    bool has_output() const { return !output_.empty(); }

    // Virtual time: a running atom ends when its time is up.
    void advance(std::int64_t ms);
    std::int64_t now_ms() const { return now_ms_; }
    bool atom_running() const { return atom_running_; }
    // Milliseconds until the running atom ends; -1 when none runs.
    std::int64_t ms_to_atom_end() const;

    // Every line received, as received.
    const std::vector<std::string>& transcript() const { return transcript_; }
    void set_transcript_sink(std::function<void(const std::string&)> sink) { transcript_sink_ = std::move(sink); }
    // The device is to be closed (fault "close" or "close-after").
    bool close_requested() const { return close_requested_; }

private:
    void handle_line(const std::string& line);
    void answer(const std::string& line);
    void answer_atom(const std::string& line);
    void download_object(const std::string& object_line);
    bool silenced(const std::string& line) const;

    std::vector<std::string> configuration_;
    std::vector<SimAtom> atoms_;
    int speed_ = normal_speed;
    std::string firmware_ = "KELVO SIM 1.0";
    std::string syringe_;
    int atom_time_ms_ = 1000;
    SimFaults faults_;

    std::string line_buffer_;
    struct Chunk {
        int speed;
        std::string bytes;
    };
    std::vector<Chunk> output_;
    std::vector<std::string> transcript_;
    std::function<void(const std::string&)> transcript_sink_;

    std::int64_t now_ms_ = 0;
    bool atom_running_ = false;
    std::int64_t atom_end_ms_ = 0;
    std::string atom_name_;  // the last atom accepted
    int atom_commands_ = 0;  // atom commands received, for error-atom N
    int lines_received_ = 0;
    bool close_requested_ = false;
};

}  // namespace kelvo::sim
