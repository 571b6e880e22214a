#pragma once
// The runs of a journal, read back: one JournalRun per "run_start" with its
// rows, errors and end, for the run report and for resuming a list after
// an unexpected end.
#include "journal/journal_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

struct JournalRow {
    int row = 0;
    std::string method;
    double volume = 0;
    std::string tray;
    int vial = 0;
    int cycles = 0;  // cycles started
    std::string start, end;
    std::string status;  // "done", "stopped", or empty when it never ended
};

struct JournalError {
    std::string time;
    std::string line;     // the instrument's error line
    std::string command;  // the command it answered
    std::string answer;   // the operator's answer in the error dialog, empty when none
};

struct JournalRun {
    std::string kind;  // "method" or "list"
    std::string list, method, syringe, folder;
    int rows = 0;
    int from_row = 1;
    std::string start, end;
    std::int64_t duration_ms = 0;
    bool ended = false;  // a "run_end" record closes it
    std::string outcome;
    int commands = 0;
    std::vector<JournalRow> row_list;
    std::vector<JournalError> errors;
    std::vector<std::string> dialogs;  // "text: answer" of other questions

    // The first row of a list run that did not end "done" (rows before the
    // run's first row count as done); 0 when every row is done.
    int first_unfinished_row() const;
};

std::vector<JournalRun> journal_runs(const std::vector<JournalRecord>& records);

// The list run that ended without a "run_end" (the program ended under it)
// when it is the journal's last run; nullptr otherwise.
const JournalRun* interrupted_list_run(const std::vector<JournalRun>& runs);

// The text lines of the run report: the list (or method), start and end,
// one line per row, every instrument error with the operator's answer, and
// the totals.
std::vector<std::string> run_report_lines(const JournalRun& run);

}  // namespace kelvo
