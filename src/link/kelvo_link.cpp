#include "link/kelvo_link.h"

#include "ground/prompts.h"

#include <utility>

namespace kelvo {

int ticks_from_ms(int ms) { return ms > 0 ? ms / tick_ms : 0; }

unsigned char translate_display_byte(unsigned char byte)
{
    switch (byte) {
    case 0x7E: return 0xBB;
    case 0x7F: return 0xAB;
    case 0x91: return 0xB0;  // "°"
    case 0x9B: return 0xB1;
    case 0x9D: return 0xB5;  // "µ"
    case 0x9E: return 0x78;  // "x"
    default: return byte;
    }
}

namespace {

WaitState wait_state_for(CommandKind kind)
{
    switch (kind) {
    case CommandKind::reply:
    case CommandKind::status: return WaitState::awaiting_reply;
    case CommandKind::status_poll: return WaitState::awaiting_status;
    case CommandKind::atom_info: return WaitState::awaiting_atom_info;
    case CommandKind::atom: return WaitState::awaiting_acceptance;
    }
    return WaitState::awaiting_reply;
}

bool uses_atom_timeout(CommandKind kind) { return kind == CommandKind::reply || kind == CommandKind::atom; }

bool awaits_answer(WaitState s)
{
    return s == WaitState::awaiting_reply || s == WaitState::awaiting_acceptance ||
           s == WaitState::awaiting_atom_info || s == WaitState::awaiting_status;
}

}  // namespace

KelvoLink::KelvoLink(SerialPort& port, Prompts& prompts) : port_(port), prompts_(prompts) { port_.set_events(this); }

KelvoLink::~KelvoLink()
{
    port_.set_events(nullptr);
}

void KelvoLink::set_run_hooks(RunHooks* hooks) { run_ = hooks ? hooks : &default_run_; }
void KelvoLink::set_data_system_hooks(DataSystemHooks* hooks) { data_system_ = hooks ? hooks : &default_data_system_; }
void KelvoLink::set_ui(LinkUi* ui) { ui_ = ui ? ui : &default_ui_; }

void KelvoLink::reset()
{
    disarm();
    wait_state_ = WaitState::idle;
    condition_ = LinkCondition::ready;
    pending_ = PendingCommand{};
    line_buffer_.clear();
    backlog_.clear();
    last_line_.clear();
    return_box_.clear();
    debug_box_.clear();
    busy_notice_pending_ = true;
    busy_notice_suppressed_ = false;
    answer_complete_ = false;
    method_complete_ = false;
    exchange_ended_ = false;
    poll_due_ = false;
    overflowed_ = false;
    answer_bytes_ = 0;
}

// A time-out of zero ticks (a setting below 55 ms) still gets one tick: with
// no time-out at all a silent instrument would hang the program for good.
void KelvoLink::arm(int ticks)
{
    port_.arm(ticks < 1 ? 1 : ticks);
    timer_armed_ = true;
}

void KelvoLink::disarm()
{
    port_.disarm();
    timer_armed_ = false;
}

void KelvoLink::write_line(const std::string& text)
{
    exchange_ended_ = false;
    if (trace_) trace_(true, text);
    port_.write(text + '\r');
}

void KelvoLink::add_debug_line(const std::string& text)
{
    if (!debug_visible_) return;
    debug_box_.push_back(text);
    ui_->debug_line_added(text);
}


std::string KelvoLink::first_answer_line() const { return return_box_.empty() ? std::string() : return_box_.front(); }

void KelvoLink::send_command(CommandKind kind, const std::string& text, LinkAction completion,
                             bool error_counts_as_answer, LinkAction timeout)
{
    if (offline_) return;
    return_box_.clear();
    answer_bytes_ = 0;
    ui_->answer_lines_changed();
    pending_ = PendingCommand{kind, text, std::move(completion), error_counts_as_answer, std::move(timeout)};
    if (condition_ == LinkCondition::busy) {
        status_poll();
        return;
    }
    wait_state_ = wait_state_for(kind);
    arm(uses_atom_timeout(kind) ? atom_timeout_ticks_ : status_timeout_ticks_);
    write_line(text);
    if (text != protocol::get_atom_info) add_debug_line("sent " + text);
}

void KelvoLink::status_poll()
{
    if (offline_) return;
    poll_due_ = false;
    wait_state_ = WaitState::awaiting_status;
    arm(status_timeout_ticks_);
    write_line(protocol::get_status);
    add_debug_line(std::string("sent ") + protocol::get_status);
}

void KelvoLink::cancel()
{
    if (offline_) return;
    write_line(protocol::cancel);
    busy_notice_suppressed_ = true;
}

bool KelvoLink::end_busy_wait()
{
    if (condition_ != LinkCondition::busy) return false;
    disarm();
    poll_due_ = false;
    condition_ = LinkCondition::ready;
    wait_state_ = WaitState::idle;
    pending_ = PendingCommand{};
    return true;
}

void KelvoLink::send_pending_again()
{
    PendingCommand p = pending_;
    send_command(p.kind, p.text, std::move(p.completion), p.error_counts_as_answer, std::move(p.timeout));
}

void KelvoLink::not_responding()
{
    prompts_.show_error(not_responding_text);
    ui_->status_text(not_responding_status);
    ui_->restore_cursor();
    run_->stop_sample_list();
    run_->abort_run_position();
}

void KelvoLink::run_pending_completion()
{
    LinkAction action = pending_.completion;
    if (action) action();
}

bool KelvoLink::service_completion_step()
{
    if (method_complete_) {
        method_complete_ = false;
        run_->method_complete_step();
        return true;
    }
    if (answer_complete_) {
        answer_complete_ = false;
        run_pending_completion();
        return true;
    }
    return false;
}

bool KelvoLink::post_user_message(int code)
{
    namespace m = user_message;
    switch (code) {
    case m::create_data_system_links: data_system_->create_links(); break;
    case m::method_complete:
        run_->method_complete_step();
        ui_->restore_cursor();
        break;
    case m::run_completion: run_pending_completion(); break;
    case m::send_row_to_data_system: data_system_->send_current_row(); break;
    case m::send_next_command: run_->send_next_command(); break;
    case m::refresh_row_status: run_->refresh_changed_rows(); break;
    case m::cancel:
        add_debug_line("sending cancel");
        cancel();
        break;
    case m::atom_info:
        send_command(CommandKind::atom_info, protocol::get_atom_info, [this] { run_->atom_info_completion(); }, false,
                     not_responding_action());
        break;
    case m::continue_error_path: run_->continue_error_path(); break;
    case m::error_box: prompts_.show_error(instrument_error_text); break;
    case m::keep_last_line:
        return_box_.push_back(last_line_);
        ui_->answer_lines_changed();
        break;
    case m::send_pending_again: send_pending_again(); break;
    case m::status_poll: status_poll(); break;
    case m::busy_box: prompts_.show_error(last_command_text_ + busy_text_suffix); break;
    case m::close_splash: ui_->close_splash_and_show_main(); break;
    case m::reload_columns: data_system_->reload_columns(); break;
    case m::request_columns:
        add_debug_line("requesting columns");
        data_system_->request_table();
        break;
    default: return false;
    }
    return true;
}

void KelvoLink::data_available(const std::string& bytes)
{
    // A message box shown by a line keeps the event loop running, so more
    // bytes can arrive while this delivery is still going on: they wait
    // their turn, lines stay in order.
    if (receiving_) {
        backlog_ += bytes;
        return;
    }
    receiving_ = true;
    // The time-out covers the wait for the first byte of an answer.
    disarm();
    std::string chunk = bytes;
    while (!chunk.empty()) {
        for (char c : chunk) receive_byte(static_cast<unsigned char>(c));
        chunk.swap(backlog_);
        backlog_.clear();
    }
    receiving_ = false;
    // An answer that stops half-way would otherwise leave the program waiting
    // for ever: while an answer is still awaited, silence counts from the
    // last byte received.
    if (!timer_armed_ && !exchange_ended_ && !offline_ && awaits_answer(wait_state_)) {
        const bool atom_wait = wait_state_ != WaitState::awaiting_status && uses_atom_timeout(pending_.kind);
        arm(poll_due_ ? 1 : atom_wait ? atom_timeout_ticks_ : status_timeout_ticks_);
    }
}

void KelvoLink::receive_byte(unsigned char byte)
{
    if (byte == 0x0D) {
        if (overflowed_) {
            overflowed_ = false;
            return;
        }
        std::string line;
        line.swap(line_buffer_);
        handle_line(line);
        return;
    }
    if (overflowed_) return;
    if (line_buffer_.size() >= max_line_bytes) {
        answer_failed();
        return;
    }
    line_buffer_.push_back(static_cast<char>(translate_display_byte(byte)));
}

// A device that keeps talking: the answer is given up as if it had never
// come; the bytes up to the next CR are dropped.
void KelvoLink::answer_failed()
{
    overflowed_ = true;
    line_buffer_.clear();
    return_box_.clear();
    answer_bytes_ = 0;
    ui_->answer_lines_changed();
    add_debug_line("answer too long");
    const bool awaited = awaits_answer(wait_state_) || timer_armed_;
    wait_state_ = WaitState::idle;
    disarm();
    exchange_ended_ = true;
    if (!awaited) return;
    LinkAction action = pending_.timeout;
    if (action) action();
}

void KelvoLink::handle_line(const std::string& line)
{
    last_line_ = line;
    if (trace_) trace_(false, line);

    if (line == protocol::atom_end) {
        handle_atom_end();
    } else if (line == protocol::answer_end) {
        handle_answer_end();
    } else if (line == protocol::error) {
        condition_ = LinkCondition::error;
        exchange_ended_ = true;
        prompts_.show_error(instrument_error_text);
    } else if (line == protocol::ready) {
        wait_state_ = WaitState::idle;
        if (condition_ == LinkCondition::busy) {
            condition_ = LinkCondition::ready;
            send_pending_again();
        } else {
            condition_ = LinkCondition::ready;
            answer_complete_ = true;
        }
    } else if (line == protocol::busy) {
        handle_busy();
    } else if (line.size() > 1 && line[0] == protocol::error_line_mark) {
        handle_error_line(line);
    } else {
        handle_data_line(line);
    }
    busy_notice_suppressed_ = false;
}

void KelvoLink::handle_atom_end()
{
    if (wait_state_ != WaitState::awaiting_atom_info) return;
    wait_state_ = WaitState::idle;
    if (!run_->method_running())
        answer_complete_ = true;
    else if (run_->on_error_path())
        run_->continue_error_path();
    else if (run_->commands_remain())
        run_->send_next_command();
    else
        method_complete_ = true;
}

void KelvoLink::handle_answer_end()
{
    switch (wait_state_) {
    case WaitState::awaiting_reply:
        answer_complete_ = true;
        wait_state_ = WaitState::idle;
        break;
    case WaitState::awaiting_acceptance: wait_state_ = WaitState::atom_running; break;
    case WaitState::awaiting_atom_info:
        answer_complete_ = true;
        wait_state_ = WaitState::atom_running;
        break;
    default: break;
    }
}

void KelvoLink::handle_busy()
{
    const bool show = busy_notice_pending_ && !busy_notice_suppressed_;
    busy_notice_pending_ = false;
    condition_ = LinkCondition::busy;
    if (show) prompts_.show_error(last_command_text_ + busy_text_suffix);
    // An instrument that answers "BUSY" to everything would otherwise be
    // polled as fast as the line goes: the poll waits for the next tick.
    wait_state_ = WaitState::awaiting_status;
    poll_due_ = true;
    arm(1);
}

void KelvoLink::handle_data_line(const std::string& line)
{
    answer_bytes_ += line.size() + 1;
    if (answer_bytes_ > max_answer_bytes) {
        answer_failed();
        overflowed_ = false;
    } else {
        return_box_.push_back(line);
        ui_->answer_lines_changed();
    }
}

void KelvoLink::handle_error_line(const std::string& line)
{
    wait_state_ = WaitState::idle;
    if (pending_.error_counts_as_answer)
        answer_complete_ = true;
    else if (run_->method_running())
        run_->start_error_path(line);
    else
        prompts_.show_error("The kelvo has an error: " + line + ". Please check the terminal.");
}

void KelvoLink::timer_fired()
{
    // A firing that was already on its way when the trigger was disarmed
    // does not count.
    if (!timer_armed_) return;
    if (poll_due_) {
        status_poll();
        return;
    }
    wait_state_ = WaitState::idle;
    disarm();
    // What came of the abandoned answer would spoil the next one.
    line_buffer_.clear();
    LinkAction action = pending_.timeout;
    if (action) action();
}

void KelvoLink::port_lost(const std::string& reason)
{
    add_debug_line("port lost: " + reason);
    // The instrument is gone: an answer still awaited will not come.
    if (timer_armed_) timer_fired();
}

}  // namespace kelvo
