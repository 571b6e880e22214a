#pragma once
// The run journal: what a method run or a sample-list run did, as records
// in the journal file, for estimates, resuming and reports. Records (every
// one has "v" (the format version), "kind", "time" (local, ISO 8601) and
// "ms" (milliseconds since the run started)):
//
//   run_start   "run": "method"|"list", "list", "method", "rows", "syringe",
//               "settings": {"polling_ms", "atom_timeout_ms", "folder"}
//   resumed     "from_row"
//   row_start   "row", "method", "volume", "tray", "vial", "injections"
//   cycle_start "row", "cycle", "of"
//   command     "text", "atom"                accepted    "text"
//   finished    "text", "atom", "duration_ms" (sent to "@")
//   instrument_error "line", "command"        dialog      "text", "answer"
//   row_end     "row", "status": "done"|"stopped"
//   run_end     "outcome": "completed"|"stopped"|"syringe_refused"|
//               "not_responding"|"failed", "instrument_error": bool
//
// Texts are the program's Windows-1252 texts converted to UTF-8. The
// instrument's polls ("GET_ATOM_INFO", "GET_STAT") are not recorded.
#include "journal/journal_file.h"
#include "samplelist/sample_list_run.h"

#include <cstdint>
#include <string>

namespace kelvo {

class Clock;

// The atom name of a command text: what comes before "(" (the whole text
// when there is none), without blanks around it.
std::string atom_of_command(const std::string& text);

class RunJournal final : public SampleListRunObserver {
public:
    RunJournal(JournalFile& file, Clock& clock) : file_(file), clock_(clock) {}

    // The settings recorded with every run start.
    void set_settings(int polling_ms, int atom_timeout_ms, const std::string& folder);

    // A method run outside a list.
    void method_started(const std::string& method, const std::string& syringe);
    void method_ended(bool completed, bool instrument_error);

    // Every line on the instrument link (the link's trace).
    void line(bool sent, const std::string& text);
    // A question or error dialog answered during a run.
    void dialog(const std::string& text, const std::string& answer);

    // A run is being recorded.
    bool active() const { return active_; }
    // Some record could not be written (the run goes on regardless).
    bool write_failed() const { return write_failed_; }

    // ---- SampleListRunObserver
    void list_started(const std::string& list_name, int rows) override;
    void list_resumed(int from_row) override;
    void row_started(int row, const std::string& method) override;
    void row_values(int row, const SampleVariables& sl) override;
    void cycle_started(int row, int cycle, int of) override;
    void row_finished(int row, RowStatus status) override;
    void list_ended(ListOutcome outcome) override;
    // Set by the caller before list_ended: an instrument error was met.
    void set_instrument_error(bool on) { instrument_error_ = on; }

private:
    void start_run(JournalRecord record);
    void write(const char* kind, JournalRecord record);

    JournalFile& file_;
    Clock& clock_;
    bool active_ = false;
    bool list_run_ = false;
    bool write_failed_ = false;
    bool instrument_error_ = false;
    std::int64_t start_ms_ = 0;
    JournalRecord settings_ = JournalRecord::object();
    std::string row_method_;  // of the row started, until its values come
    std::string command_;  // the command last sent (UTF-8), empty once finished
    std::int64_t command_sent_ms_ = 0;
    bool accepted_ = false;
};

}  // namespace kelvo
