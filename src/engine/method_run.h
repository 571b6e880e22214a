#pragma once
// The user's control of a method run on the main window: "Ru&n"/"S&top",
// "&Step", "&Pause"/"Res&ume", "&Reset KELVO", the syringe check and run
// start, the service timer's tick and the method-complete step. The main
// window (or the command-line companion) is the RunView; the dialogs come
// through RunDialogs and the prompts. MethodRun is the link's RunHooks.
//
// Mended behaviour: a run whose stepping failed (a command that could not be
// resolved, an instrument that stopped answering) is stalled; "S&top" then
// ends it at once, since nothing more will come from the instrument. "Ru&n"
// while a stopped method still runs through its exit part does nothing. A
// failed start re-enables "&Step". The completion action of an atom sent
// outside a run ("&Reset KELVO") runs when a poll finds the atom finished
// (the poll would otherwise have replaced it).
#include "engine/run_engine.h"
#include "engine/status_display.h"
#include "link/kelvo_link.h"
#include "link/link_hooks.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

class Clock;
class ConfigDb;
class KelvoLink;

inline constexpr const char* run_caption = "Ru&n";
inline constexpr const char* stop_caption = "S&top";
inline constexpr const char* pause_caption = "&Pause";
inline constexpr const char* resume_caption = "Res&ume";
inline constexpr const char* reset_command = "CLEANUP(Wash1,1,1,1,1,1,1,1,,)";
inline constexpr const char* run_offline_text =
    "It is not possible to run the method because the KELVO is not connected";
inline constexpr const char* step_offline_text =
    "It is not possible to step through the method because the KELVO is not connected";
inline constexpr const char* reset_question_text =
    "Do you really want to reset the KELVO while a sample list is running?";
inline constexpr const char* method_empty_text = "Method is empty!";

// What the run needs of the main window and the method editor.
class RunView {
public:
    virtual ~RunView() = default;
    // Commits the parameter values being edited; false when they are invalid.
    virtual bool commit_method_values() { return true; }
    // The method picker's text, the method's calls, the syringe chosen in
    // the method editor.
    virtual std::string method_name() const { return {}; }
    virtual std::vector<std::string> method_lines() const { return {}; }
    virtual std::string chosen_syringe() const { return {}; }

    virtual void show_run_caption(const std::string& caption) { (void)caption; }
    virtual void show_pause_caption(const std::string& caption) { (void)caption; }
    virtual void enable_run(bool on) { (void)on; }
    virtual void enable_start(bool on) { (void)on; }
    virtual void enable_step(bool on) { (void)on; }
    virtual void busy_cursor() {}
    virtual void restore_cursor() {}
    // The status bar alone; the log file and the status bar.
    virtual void status_text(const std::string& text) { (void)text; }
    virtual void log_message(const std::string& text) { (void)text; }
    virtual void status_line(StatusLine line, const std::string& text) { (void)line, (void)text; }
    // The run is over: completed (the method-complete step) or not (it did
    // not start, or failed and ended).
    virtual void run_finished(bool completed) { (void)completed; }
    // The sample-list run takes over after a method completed (later).
    virtual void sample_list_method_complete() {}
    virtual void stop_sample_list() {}
    virtual void refresh_changed_rows() {}
};

// "Method "NAME" completed, elapsed time: " + whole seconds (rounded) as m:ss.
std::string method_completed_text(const std::string& name, std::int64_t elapsed_ms);

// True when a call line, or an atom line of a called macro, contains "SL."
// (compared in capitals).
bool method_uses_sample_list(const MethodFolder& folder, const std::vector<std::string>& method_lines);

class MethodRun final : public RunHooks {
public:
    // The clock of the context times the run.
    MethodRun(const Context& context, KelvoLink& link, RunDialogs& dialogs, RunView& view, SampleVariables& sample);
    ~MethodRun() override;
    MethodRun(const MethodRun&) = delete;
    MethodRun& operator=(const MethodRun&) = delete;

    RunEngine& engine() { return engine_; }
    const Context& context() const { return context_; }
    const RunEngine& engine() const { return engine_; }
    void set_data_system(DataSystemGate* gate);

    // --- the buttons ---
    void run_method_buttonClick();
    void step_buttonClick();
    void pause_buttonClick();
    void reset_buttonClick();
    // Completion of "GET_SYR": the syringe check and the start.
    void run_start();
    // Stop without asking (the window closes): as "S&top".
    void stop();

    // --- a method run of a sample list (the sample-list run drives these) ---
    // Starts the method already expanded into the engine's lists as a run of
    // the sample list: "&Pause" caption, no cancel pending, the name for the
    // completion text. False when it failed at its first command (stalled).
    bool start_list_method(const std::string& name);
    // "&Pause": pause request on, no command held, caption "Res&ume".
    // Nothing when the run is paused already (a command held meanwhile stays
    // held, so that resume sends it).
    void pause();
    // "Res&ume": pause request off, caption "&Pause", a command held at a
    // boundary is sent (on the error path: the error path goes on).
    void resume();
    bool paused() const { return pause_caption_ == resume_caption; }
    // The next service tick that finds an atom running sends "CANCEL".
    void request_cancel() { stop_request_ = true; }
    // No atom to cancel after all (the run was parked between atoms).
    void withdraw_cancel() { stop_request_ = false; }
    // A run whose stepping failed ends here: no method running, the buttons
    // back to idle, run_finished(false).
    void end_stalled_run();

    // --- the service timer (`kelvo_service_timer`) ---
    void service_tick();

    const std::string& run_button_caption() const { return run_caption_; }
    const std::string& pause_button_caption() const { return pause_caption_; }
    bool stop_request() const { return stop_request_; }
    const std::string& method_name() const { return method_name_; }
    // A method is running (also while it goes through its exit part after
    // "S&top").
    bool running() const { return engine_.method_running; }

    // --- RunHooks ---
    bool method_running() const override { return engine_.method_running; }
    bool on_error_path() const override { return engine_.on_error_path; }
    bool commands_remain() const override { return engine_.commands_remain(); }
    void send_next_command() override { engine_.send_next(); }
    void continue_error_path() override { engine_.continue_error_path(); }
    void start_error_path(const std::string& error_line) override { engine_.start_error_path(error_line); }
    void method_complete_step() override;
    void atom_info_completion() override;
    void stop_sample_list() override { view_.stop_sample_list(); }
    void abort_run_position() override;
    void refresh_changed_rows() override { view_.refresh_changed_rows(); }

private:
    bool prepare_run();
    void ask_syringe();
    void set_run_caption(const char* caption);
    void set_pause_caption(const char* caption);
    void controls_idle();
    void start_failed();

    Context context_;
    const ConfigDb& db_;
    KelvoLink& link_;
    RunDialogs& dialogs_;
    RunView& view_;
    SampleVariables& sample_;
    Clock& clock_;
    RunEngine engine_;
    DataSystemGate no_gate_;
    DataSystemGate* gate_ = &no_gate_;
    std::string run_caption_ = run_caption;
    std::string pause_caption_ = pause_caption;
    std::string method_name_;
    bool stop_request_ = false;
    LinkAction atom_completion_;
};

}  // namespace kelvo
