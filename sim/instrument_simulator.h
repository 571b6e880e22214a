#pragma once
// The instrument's side of the serial protocol, without any input or output:
// bytes go in with the line speed they were sent at, answers come out as
// bytes, time is virtual. kelvo-sim puts it on a pseudo-terminal; tests wire
// it to the link directly.
//
// The line speed is modelled: bytes sent at a speed other than the
// receiver's arrive garbled (only bytes with the high bit set, so never a CR
// and never a flow-control character), as a real UART at the wrong speed
// would see them. So is its pace: with a pace factor, every byte takes ten
// bit times at the speed it is sent at, in both directions, and answers come
// out as the line would carry them.
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
    std::string error_text;                    // that error line; empty: "@error in atom NAME"
    int busy_count = 0;                        // "BUSY" for this many more "GET_STAT"
    int busy_atom_number = 0;                  // this atom command (from 1) finds the instrument occupied ...
    int busy_atom_ms = 0;                      // ... for this long: "BUSY" to it and to "GET_STAT"
    bool silent = false;                       // no answer at all
    std::vector<std::string> silent_on;        // no answer to lines beginning with these
    int garbage_bytes = 0;                     // garbage bytes before the next answer line
    bool display_chars = false;                // "µ" and "°" sent as the display bytes 0x9D, 0x91
    int close_after_lines = 0;                 // close the device in the answer to this received line; 0 never
    int close_after_bytes = -1;                // ... after this many bytes of it; -1 half of it
    std::vector<int> split_at;                 // every answer is cut at these byte offsets ...
    int split_gap_ms = 20;                     // ... with this pause between the pieces
    int delay_ms = 0;                          // pause before every answer
    std::string line_end = "\r";               // what ends an answer line
};

// The fault syntax shared by the command line and the control FIFO.
inline constexpr const char* control_syntax =
    "  error-atom N          answer the N-th atom command (from 1) with an error line\n"
    "  error-atom-name NAME  answer every command of atom NAME with an error line\n"
    "  error-text TEXT       the error line those atoms get (e.g. ERROR)\n"
    "  busy K                answer the next K \"GET_STAT\" with \"BUSY\"\n"
    "  busy-atom N MS        the N-th atom command (from 1) finds the instrument occupied\n"
    "                        for MS ms: \"BUSY\" to it and to \"GET_STAT\" until then\n"
    "  silent on|off         answer nothing at all / answer again\n"
    "  silent-on TEXT        answer nothing to lines that begin with TEXT\n"
    "  garbage N             send N garbage bytes before the next answer line\n"
    "  display-chars on|off  send \"\xC2\xB5\" and \"\xC2\xB0\" as the instrument's display bytes\n"
    "  close-after N [B]     close the device in the middle of the answer to the N-th\n"
    "                        received line: after B bytes of it (default half of it)\n"
    "  close                 close the device now (kelvo-sim ends)\n"
    "  split N[,N...]        cut every answer at these byte offsets ...\n"
    "  split-gap MS          ... and pause this long between the pieces (default 20)\n"
    "  delay MS              wait this long before every answer\n"
    "  line-end cr|lf|crlf   what ends an answer line (the instrument's own is cr)\n"
    "  atom-time [NAME] MS   how long atom NAME (or every atom without its own) runs\n"
    "  pace-factor N         the line carries N times its speed's bytes (0: no pacing)\n"
    "  baud 9600|38400       change the instrument's own speed now\n"
    "  clear                 remove every fault\n";

// One received line with the (virtual) time its last byte arrived.
struct TranscriptLine {
    std::int64_t ms = 0;
    std::string line;
};

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
    // How long an atom runs: this one by name, every other by the default.
    void set_atom_time_ms(int ms) { atom_time_ms_ = ms; }
    void set_atom_time_ms(const std::string& atom, int ms);
    int atom_time_ms(const std::string& atom) const;
    // Line pacing: a byte takes 10 bit times at the speed it is sent at,
    // divided by the factor; 0 makes the line infinitely fast (the default
    // of the class, so that unit tests keep exact virtual times).
    void set_pace_factor(int factor) { pace_factor_ = factor; }
    int pace_factor() const { return pace_factor_; }

    SimFaults& faults() { return faults_; }
    // One line of the fault syntax; false (with error set) when not understood.
    bool apply_control(const std::string& line, std::string* error = nullptr);

    // Bytes from the program, sent at line_speed. With pacing, a line counts
    // as received when its last byte has crossed the line.
    void receive(const std::string& bytes, int line_speed);
    // Every byte answered so far, whatever the time, as a receiver at
    // line_speed gets it (for tests that do not model time). Stops at the
    // point where a close-after fault closes the device.
    std::string take_output(int line_speed);
    // The bytes the line has carried by now (virtual time), as a receiver at
    // line_speed gets them.
    std::string take_due_output(int line_speed);
    bool has_output() const { return !output_.empty(); }
    // Microseconds until more output is worth taking (a few bytes, the end
    // of a piece, or a close point); -1 when nothing is queued.
    std::int64_t us_to_next_output() const;

    // Virtual time: a running atom ends when its time is up.
    void advance(std::int64_t ms) { advance_us(ms * 1000); }
    void advance_us(std::int64_t us);
    std::int64_t now_ms() const { return now_us_ / 1000; }
    std::int64_t now_us() const { return now_us_; }
    bool atom_running() const { return running_at(now_us_); }
    // Milliseconds until the running atom ends; -1 when none runs.
    std::int64_t ms_to_atom_end() const;

    // Every line received, as received.
    const std::vector<std::string>& transcript() const { return transcript_; }
    // Called with every received line and the time it arrived.
    void set_transcript_sink(std::function<void(const TranscriptLine&)> sink) { transcript_sink_ = std::move(sink); }
    // The device is to be closed (fault "close", or "close-after" once its
    // point in the answer has been taken).
    bool close_requested() const { return close_requested_; }

private:
    struct Chunk {
        int speed = 0;
        std::string bytes;
        std::int64_t start_us = 0;  // the first byte starts crossing the line
        std::size_t sent = 0;
        bool close_at_end = false;  // the device closes after the last byte
    };

    void handle_line(const std::string& line);
    void dispatch(const std::string& line);
    void answer(const std::string& line);
    // Queues the answer collected for the line being handled.
    void flush_answer();
    void answer_atom(const std::string& line);
    void download_object(const std::string& object_line);
    bool silenced(const std::string& line) const;
    bool running_at(std::int64_t us) const { return atom_running_ && us < atom_end_us_; }
    double byte_us(int speed) const;
    std::string take(int line_speed, bool whole);

    std::vector<std::string> configuration_;
    std::vector<SimAtom> atoms_;
    int speed_ = 9600;
    std::string firmware_ = "KELVO SIM 1.0";
    std::string syringe_;
    int atom_time_ms_ = 1000;
    std::vector<std::pair<std::string, int>> atom_times_;
    int pace_factor_ = 0;
    SimFaults faults_;

    std::string line_buffer_;
    std::vector<Chunk> output_;
    std::int64_t line_free_us_ = 0;  // the send side is busy until then
    std::int64_t rx_free_us_ = 0;    // the receive side is busy until then
    std::int64_t event_us_ = 0;      // when the line being handled arrived
    std::string pending_answer_;     // the answer to the line being handled
    int pending_speed_ = 0;
    bool close_in_answer_ = false;
    std::vector<std::string> transcript_;
    std::function<void(const TranscriptLine&)> transcript_sink_;

    std::int64_t now_us_ = 0;
    bool atom_running_ = false;
    std::int64_t atom_end_us_ = 0;
    std::string atom_name_;  // the last atom accepted
    int atom_commands_ = 0;  // atom commands received, for error-atom N
    int lines_received_ = 0;
    bool close_requested_ = false;
};

}  // namespace kelvo::sim
