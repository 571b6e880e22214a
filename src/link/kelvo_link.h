#pragma once
// The instrument link: one command at a time over the serial line, the
// answers assembled into lines and classified, busy and error handling, the
// time-outs. The instrument-link window (`Tkelvo_lib`) owns one KelvoLink and
// shows its two lists; the port feeds it bytes and timer firings.
//
// Completion actions never run inside a serial event: the line handler only
// sets *answer complete* / *method complete*, and the main window's service
// timer consumes them on its next tick (service_completion_step()).
// Time-out actions run from the timer event itself.
#include "link/link_hooks.h"
#include "link/serial_port.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace kelvo {

class Prompts;

enum class WaitState {
    idle = 0,
    awaiting_reply = 1,
    awaiting_acceptance = 2,
    atom_running = 3,
    awaiting_atom_info = 4,
    awaiting_status = 6,
};

enum class LinkCondition { ready = 1, busy = 2, error = 3 };

enum class CommandKind {
    reply = 0,      // reply command with the atom time-out (the "???" probe)
    status = 1,     // "GET_STAT", "SET_BAUD ...", "GET_CONFIG", ...
    status_poll = 2,
    atom_info = 3,  // "GET_ATOM_INFO"
    atom = 4,       // an atom command of a run
};

using LinkAction = std::function<void()>;

struct PendingCommand {
    CommandKind kind = CommandKind::status;
    std::string text;
    LinkAction completion;
    bool error_counts_as_answer = false;
    LinkAction timeout;
};

// User window messages accepted by the main window.
namespace user_message {
inline constexpr int create_data_system_links = 0x590;
inline constexpr int method_complete = 0x591;
inline constexpr int run_completion = 0x592;
inline constexpr int send_row_to_data_system = 0x593;
inline constexpr int send_next_command = 0x594;
inline constexpr int refresh_row_status = 0x595;
inline constexpr int cancel = 0x596;
inline constexpr int atom_info = 0x597;
inline constexpr int continue_error_path = 0x598;
inline constexpr int error_box = 0x599;
inline constexpr int keep_last_line = 0x59A;
inline constexpr int send_pending_again = 0x59B;
inline constexpr int status_poll = 0x59C;
inline constexpr int busy_box = 0x59D;
inline constexpr int close_splash = 0x59E;
inline constexpr int reload_columns = 0x59F;
inline constexpr int request_columns = 0x5A0;
inline constexpr int first = 0x590;
inline constexpr int last = 0x5A0;
}  // namespace user_message

// Fixed texts of the link.
inline constexpr const char* not_responding_text = "The kelvo is not responding!";
inline constexpr const char* not_responding_status = "The kelvo is not responding -- operation stopped";
inline constexpr const char* instrument_error_text = "The KELVO had an error! Please check the terminal";
inline constexpr const char* busy_text_suffix = " The Kelvo is busy! Please check the terminal!";

// Maps the instrument's display characters to Windows-1252.
unsigned char translate_display_byte(unsigned char byte);

// Bounds of what one answer may hold: a line longer than max_line_bytes,
// or an answer of more than max_answer_bytes in its lines, is a failed
// answer (the time-out action runs). Far above any real configuration.
inline constexpr std::size_t max_line_bytes = 64 * 1024;
inline constexpr std::size_t max_answer_bytes = 8 * 1024 * 1024;

class KelvoLink final : public SerialEvents {
public:
    // The port stays owned by the caller; the link registers itself as the
    // port's event receiver. prompts: where the link's error boxes go (not
    // owned).
    KelvoLink(SerialPort& port, Prompts& prompts);
    ~KelvoLink() override;
    KelvoLink(const KelvoLink&) = delete;
    KelvoLink& operator=(const KelvoLink&) = delete;

    // --- collaborators (not owned; defaults do nothing) ---
    void set_run_hooks(RunHooks* hooks);
    void set_data_system_hooks(DataSystemHooks* hooks);
    void set_ui(LinkUi* ui);
    LinkUi& ui() { return *ui_; }
    RunHooks& run() { return *run_; }
    SerialPort& port() { return port_; }
    // Every line sent (without its CR) and every line received, for tracing.
    using LineTrace = std::function<void(bool sent, const std::string& line)>;
    void set_trace(LineTrace trace) { trace_ = std::move(trace); }

    // Back to the state of a new link: idle, ready, busy notice pending,
    // empty line buffer and lists, flags clear.
    void reset();

    // --- settings ---
    void set_atom_timeout_ticks(int ticks) { atom_timeout_ticks_ = ticks; }
    void set_status_timeout_ticks(int ticks) { status_timeout_ticks_ = ticks; }
    int atom_timeout_ticks() const { return atom_timeout_ticks_; }
    int status_timeout_ticks() const { return status_timeout_ticks_; }
    // Offline: the command operation sends nothing and nothing completes.
    void set_offline(bool offline) { offline_ = offline; }
    bool offline() const { return offline_; }

    // --- commands ---
    // The command operation: sends text + CR as a command of the given kind,
    // arming the kind's time-out, unless offline (nothing at all) or busy
    // (a status poll instead; the command follows the next "READY").
    void send_command(CommandKind kind, const std::string& text, LinkAction completion,
                      bool error_counts_as_answer, LinkAction timeout);
    // "GET_STAT" with the status time-out, awaiting "READY" (state 6).
    void status_poll();
    // "CANCEL" at once, without time-out or change of wait state.
    void cancel();
    // Ends the wait for "READY" after "BUSY" (Stop, closing): the link goes
    // idle and ready, the pending command is dropped. False when the link
    // was not waiting so.
    bool end_busy_wait();
    // The pending command once more through the command operation.
    void send_pending_again();
    // The not-responding action: error box, status bar, cursor, and the run
    // stopped. The usual time-out action of a command.
    void not_responding();
    LinkAction not_responding_action() { return [this] { not_responding(); }; }

    void set_last_command_text(const std::string& text) { last_command_text_ = text; }
    const std::string& last_command_text() const { return last_command_text_; }

    // --- completion, consumed by the service timer ---
    bool answer_complete() const { return answer_complete_; }
    bool method_complete() const { return method_complete_; }
    // The run engine ends a run that has no command left after its last
    // atom; the next service step runs the method-complete step. Only the
    // service step clears the flag again.
    void mark_method_complete() { method_complete_ = true; }
    // The completion part of a service-timer tick: the method-complete step
    // when *method complete* is set, otherwise the pending completion action
    // when *answer complete* is set; the flag is cleared first. True when
    // something ran.
    bool service_completion_step();

    // --- the user window messages 0x590 to 0x5A0; false for other codes ---
    bool post_user_message(int code);

    // --- events from the port ---
    void data_available(const std::string& bytes) override;
    void timer_fired() override;
    void port_lost(const std::string& reason) override;

    // --- state, read only ---
    WaitState wait_state() const { return wait_state_; }
    LinkCondition condition() const { return condition_; }
    const PendingCommand& pending() const { return pending_; }
    const std::string& line_buffer() const { return line_buffer_; }
    const std::string& last_line() const { return last_line_; }
    bool busy_notice_pending() const { return busy_notice_pending_; }
    bool busy_notice_suppressed() const { return busy_notice_suppressed_; }
    bool timer_armed() const { return timer_armed_; }
    // A status poll after "BUSY" waits for the next tick of the trigger.
    bool status_poll_due() const { return poll_due_; }

    // The answer lines (data lines of the current answer).
    const std::vector<std::string>& return_box() const { return return_box_; }
    // The first answer line, empty when there is none.
    std::string first_answer_line() const;
    // The debug lines; added only while the debug window is visible.
    const std::vector<std::string>& debug_box() const { return debug_box_; }
    void clear_debug_box() { debug_box_.clear(); }
    void set_debug_visible(bool visible) { debug_visible_ = visible; }
    bool debug_visible() const { return debug_visible_; }
    // The shell routes the program's debug lines here (DebugLineRoute).
    void add_debug_line(const std::string& text);

private:
    void arm(int ticks);
    void disarm();
    void write_line(const std::string& text);
    void receive_byte(unsigned char byte);
    // One complete line (without CR), as the receiver hands it on.
    void handle_line(const std::string& line);
    // "@": the atom being polled has finished.
    void handle_atom_end();
    // "|": the end of a reply, or an atom accepted.
    void handle_answer_end();
    void handle_busy();
    void handle_error_line(const std::string& line);
    // Any other line: one more line of the answer.
    void handle_data_line(const std::string& line);
    void answer_failed();
    // Runs the pending completion action (a copy: the action may give the
    // next command, which replaces the pending one).
    void run_pending_completion();

    SerialPort& port_;
    Prompts& prompts_;
    RunHooks default_run_;
    DataSystemHooks default_data_system_;
    LinkUi default_ui_;
    RunHooks* run_ = &default_run_;
    DataSystemHooks* data_system_ = &default_data_system_;
    LinkUi* ui_ = &default_ui_;
    LineTrace trace_;

    WaitState wait_state_ = WaitState::idle;
    LinkCondition condition_ = LinkCondition::ready;
    PendingCommand pending_;
    std::string last_command_text_;
    std::string line_buffer_;
    std::string last_line_;
    std::vector<std::string> return_box_;
    std::vector<std::string> debug_box_;
    bool busy_notice_pending_ = true;
    bool busy_notice_suppressed_ = false;
    bool answer_complete_ = false;
    bool method_complete_ = false;
    bool offline_ = false;
    bool debug_visible_ = false;
    bool timer_armed_ = false;
    bool receiving_ = false;
    std::string backlog_;
    // Set by "ERROR": the exchange is over, nothing may time out.
    bool exchange_ended_ = false;
    bool poll_due_ = false;
    bool overflowed_ = false;
    std::size_t answer_bytes_ = 0;
    int atom_timeout_ticks_ = 3000 / tick_ms;
    int status_timeout_ticks_ = 3000 / tick_ms;
};

}  // namespace kelvo
