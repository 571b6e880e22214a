#pragma once
// The run of a whole sample list: row after row, each row's method as many
// times as its Inj/Vial asks, the row's cells in the `SL.` variables. The
// run drives the method run (MethodRun and its RunEngine) one method at a
// time: it prepares the row, asks the instrument for the mounted syringe
// ("GET_SYR", once per row and after each confirmed syringe change),
// compares it with the method's syringe each cycle, expands the method and
// starts it; each completion of a method run is one call of next_step().
//
//   Start ("&Start")  -> row 1 -> [syringe check -> method run -> next_step]...
//                     -> "Sample list completed."
//   Stop  ("&Stop")   -> paused, the question; Yes: the method jumps to its
//                        exit commands, a CANCEL is pending, and the next
//                        completion ends the list; No: resumed.
//   A refused syringe change and an instrument that stops answering end the
//   list at once (the row stopped).
//
// The window (or the command-line companion) wires:
//   RunView::sample_list_method_complete() -> next_step()
//   RunView::stop_sample_list()            -> error_stop()
//   RunView::enable_start(on)              -> the start button
//   start_caption_changed                  -> the start button's caption
//
// Mended behaviour: a method that fails to expand, expands to nothing, or
// stops on a command that cannot be resolved leaves the list running with
// nothing happening (stalled()); Stop then ends the list at once, without
// waiting for a completion that will never come. Stop while the mounted
// syringe is being asked for ends the list when the answer comes. An
// Inj/Vial below 1 (possible only in a hidden column) counts as 1, so that
// the last cycle of the last row still runs "SL EXIT".
#include "ground/method_folder.h"
#include "datasystem/sequence_info.h"
#include "samplelist/sample_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvo {

class KelvoLink;
class MethodRun;
class RunDialogs;
class RunView;
class SampleListDocument;
struct SampleVariables;

inline constexpr const char* start_caption = "&Start";
inline constexpr const char* stop_list_caption = "&Stop";
inline constexpr const char* list_offline_text =
    "It is not possible to start the list because the KELVO is not connected";
inline constexpr const char* unnamed_list_text = "Please name the sample list and save it before running it";
inline constexpr const char* stop_list_question =
    "Do you really want to stop the execution of the whole sample list?";
inline constexpr const char* list_not_running_text = "Sample list is not running.";
inline constexpr const char* list_started_log = "Started execution of sample list";
inline constexpr const char* list_stopped_text = "Sample List Execution Stopped";
inline constexpr const char* list_completed_text = "Sample list completed.";
// "Start from row N" with N outside the list.
std::string no_such_row_text(int row, int rows);

// How a run of a list ended.
enum class ListOutcome {
    completed,        // every row run (some may have been stopped by Abort in the error dialog)
    stopped,          // completed after the user confirmed Stop
    syringe_refused,  // "C&ancel Method" in the syringe-mismatch dialog
    not_responding,   // the instrument stopped answering (error stop)
};

// Watches a run without taking part in it (a run journal, the command-line
// companion). Every call comes after the run's own step, on the run's
// thread; an observer must not call back into the run. Row numbers count
// from 1; cycles from 1 up to `of`.
class SampleListRunObserver {
public:
    virtual ~SampleListRunObserver() = default;
    // Start passed its checks; the list has `rows` data rows.
    virtual void list_started(const std::string& list_name, int rows) { (void)list_name, (void)rows; }
    // Right after list_started when the run resumes from a later row.
    virtual void list_resumed(int from_row) { (void)from_row; }
    // The row's cells are in the SL variables; its status is running.
    virtual void row_started(int row, const std::string& method) { (void)row, (void)method; }
    // Right after row_started: the row's SL values (Inj/Vial at least 1).
    virtual void row_values(int row, const SampleVariables& sl) { (void)row, (void)sl; }
    // A method run of the row has started (after the "Running Line" log line).
    virtual void cycle_started(int row, int cycle, int of) { (void)row, (void)cycle, (void)of; }
    // The row left the running status: done or stopped.
    virtual void row_finished(int row, RowStatus status) { (void)row, (void)status; }
    // The list is no longer running.
    virtual void list_ended(ListOutcome outcome) { (void)outcome; }
};

// The SL variables from a row's cells (hidden columns included): volumes as
// decimal numbers (0 when not one), Vial as an integer (0 when not one),
// Inj/Vial as an integer (1 when empty), the objects as written.
SampleVariables sample_variables_of_row(const SampleTable& table, int row);

// A method file's syringe as a list run reads it: the first line that does
// not begin with "//" is the syringe line, the method's syringe is its text
// from the ninth character on, the lines after it are the calls. False when
// the file cannot be read.
bool read_list_method(const MethodFolder& folder, const std::string& name, std::string& syringe,
                      std::vector<std::string>& calls);

// "Running Line R: Method "NAME," Syringe S,   Volume V,  Tray T,   Vial I    (cycle  C of N cycles)".
std::string running_line_log(int row, const std::string& method, const std::string& syringe,
                              const SampleVariables& sl, int cycle, int of);
// "Tray : T, Vial : I" and, with more than one injection per vial, " (C of N)".
std::string tray_and_vial_text(const SampleVariables& sl, int cycle, int of);

class SampleListRun {
public:
    // run: the method run it drives (its engine, its pause and cancel);
    // link: for "GET_SYR"; document: the list (table, name, validation);
    // dialogs: the syringe-mismatch dialog; view: buttons, status bar, log,
    // status window; sample: the program-wide SL variables.
    SampleListRun(MethodRun& run, KelvoLink& link, SampleListDocument& document, RunDialogs& dialogs, RunView& view,
                  SampleVariables& sample);
    ~SampleListRun();
    SampleListRun(const SampleListRun&) = delete;
    SampleListRun& operator=(const SampleListRun&) = delete;

    // Observers are told of the run's events in the order they were added
    // (not owned; remove one before it goes).
    void add_observer(SampleListRunObserver* observer);
    void remove_observer(SampleListRunObserver* observer);
    // ChemStation mode: a list must have a name to start.
    void set_chemstation(bool on) { chemstation_ = on; }
    // The start button's caption changed.
    std::function<void(const std::string& caption)> start_caption_changed;

    // --- the buttons ---
    // `run_sample_list_button`: Start with "&Start", Stop with "&Stop" while a
    // list runs, else "Sample list is not running.".
    void run_sample_list_buttonClick();
    // `pause_button`: only while a list runs.
    void pause_buttonClick();
    // Start from row N (resuming a list): as "&Start", but the rows before N
    // keep their statuses and are not run; SL ENTRY runs before row N. False
    // (after a message) when N is not a row of the list or a list runs.
    bool start_from_row(int row);

    // --- what the method run reports ---
    // The method run completed while the list runs: the next cycle, the next
    // row or the end of the list.
    void next_step();
    // The instrument does not respond: the current row stopped, the list ends.
    void error_stop();

    // --- state ---
    bool running() const { return running_; }
    bool stop_requested() const { return stop_requested_; }
    int current_row() const { return row_; }
    // The row the run started from (1 unless resumed).
    int first_row() const { return first_row_; }
    int cycle() const { return cycle_; }
    int injections_per_vial() const { return injections_; }
    bool first_sample() const;
    bool last_sample() const;
    const std::string& current_method() const { return method_; }
    const std::string& instrument_syringe() const { return instrument_syringe_; }
    const std::string& start_button_caption() const { return caption_; }
    // An instrument error line was met during this run of the list.
    bool had_instrument_error() const { return had_error_; }
    // The list runs but nothing carries it on: no method runs (its expansion
    // failed or was empty, or its stepping failed) and no answer is awaited.
    // Stop ends it.
    bool stalled() const;
    // The row the data system gets at "WAIT_FOR_DS": the list's name and the
    // current row's cells from Method on.
    SequenceRow current_sequence_row() const;

private:
    void start();
    void stop();
    void stop_confirmed();
    void start_row();
    void ask_syringe();
    void syringe_check();
    void complete();
    // Running ends (outcome for the observer), the buttons back to idle.
    void end_list(ListOutcome outcome);
    void set_caption(const char* caption);
    void set_row_status(int row, RowStatus status);
    // Abort run position (error dialog's Abort, not-responding): the row
    // stopped, row and cycle at their last values.
    void abort_sample();
    void take_error_text();
    template <class Event>
    void notify(const Event& event)
    {
        for (SampleListRunObserver* o : std::vector<SampleListRunObserver*>(observers_)) event(*o);
    }

    MethodRun& run_;
    KelvoLink& link_;
    SampleListDocument& document_;
    RunDialogs& dialogs_;
    RunView& view_;
    SampleVariables& sample_;
    std::vector<SampleListRunObserver*> observers_;
    bool chemstation_ = false;

    std::string caption_ = start_caption;
    bool running_ = false;
    bool stop_requested_ = false;
    bool awaiting_syringe_ = false;
    bool had_error_ = false;
    int row_ = 0;
    int first_row_ = 1;
    int cycle_ = 0;
    int injections_ = 1;
    std::string method_;
    std::string instrument_syringe_;
    // Bumped at every start and end: a "GET_SYR" answer of an earlier run is
    // not taken by a later one.
    std::uint64_t generation_ = 0;
};

}  // namespace kelvo
