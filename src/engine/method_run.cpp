#include "engine/method_run.h"

#include "ground/clock.h"
#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/method.h"
#include "link/kelvo_link.h"

#include <cmath>

namespace kelvo {

namespace {
const std::string quote = "\"";
bool has_sl(const std::string& line) { return upper_text(line).find("SL.") != std::string::npos; }
}  // namespace


std::string method_completed_text(const std::string& name, std::int64_t elapsed_ms)
{
    const double seconds = std::round(static_cast<double>(elapsed_ms < 0 ? 0 : elapsed_ms) / 1000.0);
    return "Method " + quote + name + quote + " completed, elapsed time: " + duration_text(seconds);
}

bool method_uses_sample_list(const MethodFolder& folder, const std::vector<std::string>& method_lines)
{
    for (const std::string& call : method_lines) {
        if (is_section_header(call)) break;
        if (has_sl(call)) return true;
        std::vector<std::string> file;
        const std::string macro = line_name(call);
        if (!is_plain_document_name(macro) || !read_macro_file(folder, macro, file)) continue;
        for (const std::string& atom_line : classify_macro_lines(file).atom_lines)
            if (has_sl(atom_line)) return true;
    }
    return false;
}

MethodRun::MethodRun(const Context& context, KelvoLink& link, RunDialogs& dialogs, RunView& view,
                     SampleVariables& sample)
    : context_(context), db_(context.config), link_(link), dialogs_(dialogs), view_(view), sample_(sample),
      clock_(context.clock), engine_(context, link, dialogs, sample)
{
    engine_.on_step_mode_left = [this] { view_.enable_step(false); };
    link_.set_run_hooks(this);
}

MethodRun::~MethodRun() { link_.set_run_hooks(nullptr); }

void MethodRun::set_data_system(DataSystemGate* gate)
{
    gate_ = gate ? gate : &no_gate_;
    engine_.set_data_system(gate);
}

void MethodRun::set_run_caption(const char* caption)
{
    run_caption_ = caption;
    view_.show_run_caption(run_caption_);
}

void MethodRun::set_pause_caption(const char* caption)
{
    pause_caption_ = caption;
    view_.show_pause_caption(pause_caption_);
}

void MethodRun::controls_idle()
{
    view_.enable_run(true);
    view_.enable_start(true);
    view_.enable_step(true);
    set_run_caption(run_caption);
}

// Steps 2 and 3 of "Ru&n" and "&Step": the values being edited, the error path.
bool MethodRun::prepare_run()
{
    if (!view_.commit_method_values()) return false;
    return engine_.build_error_path();
}

void MethodRun::ask_syringe()
{
    link_.send_command(CommandKind::status, "GET_SYR", [this] { run_start(); }, false, link_.not_responding_action());
}

void MethodRun::run_method_buttonClick()
{
    if (run_caption_ == stop_caption) {
        stop();
        return;
    }
    if (link_.offline()) {
        context_.prompts.show_error(run_offline_text);
        return;
    }
    // A stopped method still going through its exit part is not to be
    // interrupted by a second start.
    if (engine_.method_running && !engine_.stalled) return;
    if (!view_.commit_method_values()) return;
    engine_.step_mode = false;
    view_.enable_step(false);
    engine_.sample_list_running = false;
    if (!engine_.build_error_path()) {
        start_failed();
        return;
    }
    ask_syringe();
}

void MethodRun::step_buttonClick()
{
    if (link_.offline()) {
        context_.prompts.show_error(step_offline_text);
        return;
    }
    if (engine_.method_running && !engine_.stalled) return;
    if (!prepare_run()) return;
    engine_.step_mode = true;
    ask_syringe();
}

void MethodRun::run_start()
{
    const std::string mounted = link_.first_answer_line();
    const std::string chosen = view_.chosen_syringe();
    engine_.mounted_syringe = mounted;
    if (!same_text(mounted, chosen)) {
        context_.prompts.show_error("The method uses syringe " + chosen + " but syringe " + mounted + " is in the kelvo!");
        start_failed();
        return;
    }
    const std::vector<std::string> lines = view_.method_lines();
    if (method_uses_sample_list(context_.folder, lines) && !dialogs_.test_parameters(sample_)) {
        start_failed();
        return;
    }
    if (!engine_.expand(chosen, lines)) {
        start_failed();
        return;
    }
    if (engine_.lists.expanded_method.empty()) {
        context_.prompts.show_error(method_empty_text);
        start_failed();
        return;
    }
    set_pause_caption(pause_caption);
    engine_.first_sample = true;
    engine_.last_sample = true;
    engine_.sample_list_stopped = false;
    stop_request_ = false;
    engine_.start(clock_.elapsed_ms());
    method_name_ = view_.method_name();
    // Failed at its first command: nothing was sent, nothing will carry it on.
    if (engine_.stalled) {
        end_stalled_run();
        return;
    }
    set_run_caption(stop_caption);
    view_.enable_start(false);
    view_.enable_step(false);
    const std::string text = "Running method " + quote + method_name_ + quote + ".";
    view_.status_text(text);
    view_.status_line(StatusLine::running, "");
    view_.status_line(StatusLine::method, text);
    view_.status_line(StatusLine::tray_and_vial,
                      "Tray : " + sample_.tray + ", Vial : " + std::to_string(sample_.index));
}

void MethodRun::stop()
{
    engine_.command_index = engine_.lists.body_end;
    controls_idle();
    view_.log_message("Method " + quote + method_name_ + quote + " stopped");
    // Nothing more will come from a stalled run, nor from an instrument that
    // answers "BUSY" for ever: end it here.
    if (engine_.stalled || !engine_.method_running) {
        end_stalled_run();
        return;
    }
    stop_request_ = true;
    view_.busy_cursor();
    if (link_.end_busy_wait()) engine_.send_next();
}

void MethodRun::start_failed()
{
    view_.enable_step(true);
    view_.run_finished(false);
}

void MethodRun::end_stalled_run()
{
    engine_.method_running = false;
    engine_.on_error_path = false;
    engine_.waiting_for_ds = false;
    engine_.row_sent = false;
    stop_request_ = false;
    link_.end_busy_wait();
    view_.restore_cursor();
    controls_idle();
    view_.run_finished(false);
}

void MethodRun::pause_buttonClick()
{
    if (!engine_.sample_list_running) return;
    if (pause_caption_ == pause_caption)
        pause();
    else
        resume();
}

void MethodRun::pause()
{
    if (paused()) return;
    engine_.pause_request = true;
    engine_.paused_at_boundary = false;
    set_pause_caption(resume_caption);
}

void MethodRun::resume()
{
    engine_.pause_request = false;
    set_pause_caption(pause_caption);
    if (engine_.paused_at_boundary) {
        engine_.paused_at_boundary = false;
        if (engine_.on_error_path)
            engine_.continue_error_path();
        else
            engine_.send_next();
    }
}

bool MethodRun::start_list_method(const std::string& name)
{
    set_pause_caption(pause_caption);
    stop_request_ = false;
    engine_.sample_list_running = true;
    method_name_ = name;
    engine_.start(clock_.elapsed_ms());
    return !engine_.stalled;
}

void MethodRun::reset_buttonClick()
{
    if (engine_.sample_list_running && !context_.prompts.ask_yes_no(reset_question_text)) return;
    link_.set_last_command_text(reset_command);
    link_.send_command(CommandKind::atom, reset_command,
                       [this] {
                           view_.status_text("Kelvo Reset");
                           view_.status_line(StatusLine::atom_status, "Kelvo Reset");
                       },
                       false, link_.not_responding_action());
}

void MethodRun::method_complete_step()
{
    engine_.method_running = false;
    set_pause_caption(pause_caption);
    const std::string text = method_completed_text(method_name_, clock_.elapsed_ms() - engine_.start_time_ms);
    view_.log_message(text);
    view_.status_line(StatusLine::method, text);
    view_.status_line(StatusLine::tray_and_vial, "");
    view_.status_line(StatusLine::atom_status, "");
    view_.restore_cursor();
    stop_request_ = false;
    if (engine_.sample_list_running) {
        view_.sample_list_method_complete();
        return;
    }
    controls_idle();
    view_.run_finished(true);
}

void MethodRun::atom_info_completion()
{
    if (!engine_.method_running) return;
    const std::string progress = link_.first_answer_line();
    view_.status_text(progress);
    view_.status_line(StatusLine::atom_status, progress);
}

void MethodRun::abort_run_position()
{
    engine_.abort_run_position();
    // Reached from the not-responding action: the instrument stopped
    // answering, so nothing will carry the run on to its exit part. The run
    // ends here instead of staying marked as running for ever.
    if (engine_.method_running) {
        engine_.stalled = true;
        end_stalled_run();
    } else {
        start_failed();
    }
}

void MethodRun::service_tick()
{
    // 1. Completion: the method-complete step, or the pending action.
    link_.service_completion_step();
    // 2. The running atom: cancel it, or ask how it goes.
    if (link_.wait_state() == WaitState::atom_running) {
        if (stop_request_) {
            link_.cancel();
            stop_request_ = false;
        } else {
            // The polls replace the atom as the pending command; the atom's
            // own completion action (Reset's report) is carried along and
            // runs when a poll finds the atom finished.
            if (link_.pending().kind == CommandKind::atom) atom_completion_ = link_.pending().completion;
            link_.send_command(CommandKind::atom_info, "GET_ATOM_INFO",
                               [this] {
                                   atom_info_completion();
                                   if (link_.wait_state() != WaitState::idle || !atom_completion_) return;
                                   const LinkAction finished = std::move(atom_completion_);
                                   atom_completion_ = {};
                                   finished();
                               },
                               false, link_.not_responding_action());
        }
    }
    // 3. The splash is the window's.
    // 4. "WAIT_FOR_DS".
    if (engine_.waiting_for_ds) {
        engine_.waiting_for_ds = false;
        if (gate_->active()) {
            context_.debug_line("sending row to chemstation");
            engine_.row_sent = true;
            gate_->send_row();
        } else {
            engine_.wait_for_ds_done();
        }
    }
    // 5. The data system is ready for the next injection.
    if (engine_.row_sent && gate_->ready()) {
        engine_.row_sent = false;
        engine_.wait_for_ds_done();
    }
    // 6. Rows whose status changed.
    view_.refresh_changed_rows();
}

}  // namespace kelvo
