#pragma once
// What the instrument link asks of the rest of the program. The run (engine
// and sample list), the data-system link and the windows supply these later;
// every default does nothing, so the link works on its own (start-up, tests,
// the command-line companion).
#include <string>

namespace kelvo {

// The run of a method (expansion, stepping) and of a sample list.
class RunHooks {
public:
    virtual ~RunHooks() = default;
    virtual bool method_running() const { return false; }
    virtual bool on_error_path() const { return false; }
    // Whether the run has a command left to send.
    virtual bool commands_remain() const { return false; }
    virtual void send_next_command() {}
    virtual void continue_error_path() {}
    // An instrument error line during a run: keep it as the run's error text,
    // mark the run as on its error path, start that path at its first command
    // and continue it.
    virtual void start_error_path(const std::string& error_line) { (void)error_line; }
    // The service timer's method-complete step.
    virtual void method_complete_step() {}
    // Completion of "GET_ATOM_INFO" (the first answer line is the progress).
    virtual void atom_info_completion() {}
    virtual void stop_sample_list() {}
    virtual void abort_run_position() {}
    // Repaint the sample-list rows whose status changed.
    virtual void refresh_changed_rows() {}
};

// The conversation with a chromatography data system.
class DataSystemHooks {
public:
    virtual ~DataSystemHooks() = default;
    virtual void create_links() {}
    virtual void send_current_row() {}
    // Reload the sample-list column definitions and reopen the conversation.
    virtual void reload_columns() {}
    virtual void request_table() {}
};

// The windows around the link.
class LinkUi {
public:
    virtual ~LinkUi() = default;
    // A text for the main window's status bar.
    virtual void status_text(const std::string& text) { (void)text; }
    virtual void busy_cursor() {}
    virtual void restore_cursor() {}
    virtual void close_splash_and_show_main() {}
    // The link's two lists changed (for the debug window).
    virtual void debug_line_added(const std::string& line) { (void)line; }
    virtual void answer_lines_changed() {}
};

}  // namespace kelvo
