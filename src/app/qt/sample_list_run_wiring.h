#pragma once
// The run of a sample list on the main window: the button
// `run_sample_list_button` ("&Start" / "&Stop") beside "&Pause" on the
// Sample List page, the method run's reports handed to the list run, the
// data system's current row, and the main window's question whether a list
// runs (macro page, closing). The rules are SampleListRun's.
namespace kelvo {

class DataSystemLink;
class RunController;
class SampleListPage;
class SampleListRun;
class StartupController;
class Tmain_form;

// Creates the list run (owned by the window) over the page's document and
// the controller's method run. data_system may be nullptr; with it, the
// list runs in ChemStation mode when the link's mode is, and the link
// sends the list run's current row.
SampleListRun* install_sample_list_run(Tmain_form& main, StartupController& startup, RunController& controller,
                                       SampleListPage& page, DataSystemLink* data_system = nullptr);

}  // namespace kelvo
