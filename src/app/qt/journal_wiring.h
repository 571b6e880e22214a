#pragma once
// The run journal on the main window: every method run and sample-list run
// recorded in cadenzor-journal.jsonl beside the log, the time a running
// list has left (status bar and status window) and the estimate of a list
// before it starts, "Start from row N" (a button and the grid's context
// menu), the offer to resume a list the program ended under, and "Print Run
// &Report..." for the last run.
#include <string>

namespace kelvo {

class RunController;
class SampleListPage;
class SampleListRun;
class StartupController;
class Tmain_form;

void install_run_journal(Tmain_form& main, StartupController& startup, RunController& controller,
                         SampleListRun& list, SampleListPage& page);

// The question that offers to resume a list at a row.
std::string resume_question_text(const std::string& list, int row);

}  // namespace kelvo
