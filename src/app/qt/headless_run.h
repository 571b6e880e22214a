#pragma once
// One method run without windows, for the command-line companion: the
// start-up chain against the instrument on one device, then "Ru&n" as the
// main window presses it, with the service timer driving the run to its end.
// Declared without Qt so that callers need no Qt headers.
#include "datasystem/data_system_mode.h"
#include "ground/prompts.h"
#include "link/startup_chain.h"

#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

struct HeadlessRunOptions {
    std::string device;                                    // the serial device (UTF-8)
    std::string folder;                                    // the method folder (Windows-1252)
    std::string method;                                    // the method's name (Windows-1252)
    std::string syringe;                                   // empty: the method file's syringe
    std::vector<std::pair<std::string, std::string>> set;  // typed into the Test Parameters form
    AbortRetryIgnore on_error = AbortRetryIgnore::abort;   // the answer of the error dialog
    int stop_after_ms = -1;                                // "S&top" this long after the start; -1 never
    int poll_ms = -1;                                      // service timer interval; -1: the setting
    std::string journal;                                   // the run journal; empty: beside the log
};

// Exit codes: 0 the method completed without an instrument error; 3 it
// completed after one; 1 it did not start or stopped on a failure; 2 the
// instrument could not be reached (the program would run offline).
// configuration: where the received configuration is parsed and the tray report written.
int run_headless_method(const HeadlessRunOptions& options, ConfigurationStore& configuration, std::ostream& out);

class SampleListDocument;

struct HeadlessListOptions {
    std::string device;                                   // the serial device (UTF-8)
    std::string folder;                                   // the method folder (Windows-1252)
    std::string list;                                     // the sample list's name (Windows-1252)
    AbortRetryIgnore on_error = AbortRetryIgnore::abort;  // the answer of the error dialog
    int stop_after_ms = -1;                               // "&Stop" this long after "&Start"; -1 never
    bool stop_answer = true;                              // the answer to the stop question
    int poll_ms = -1;                                     // service timer interval; -1: the setting
    DataSystemMode data_system;                           // ChemStation mode: the links over D-Bus
    std::string journal;                                  // the run journal; empty: beside the log
    int from_row = 1;                                     // "Start from row N"
};

// One sample-list run without windows: the start-up chain, then prepare
// (which builds the columns and loads the list into the document, false when
// it cannot; its second argument is the column-definition file the data
// system announced, empty when none), then "&Start" as the page presses it,
// the service timer driving the list to its end. In ChemStation mode the
// data-system links are made before the start-up chain (their debug lines
// go to standard error as "debug: "), a data system that cannot be reached
// ends the run with exit code 2, and every "WAIT_FOR_DS" hands the row over
// and waits for "READY". SIGTERM or SIGINT stops the list as a confirmed
// Stop does (exit 1). Standard output: "status: " and "log: "
// lines as they come, "syringe mismatch: " for the syringe-mismatch dialog
// (answered "C&ancel Method"), and "row N: done|stopped|none" for every row
// at the end. A list that stalls (nothing left that could carry it on) is
// stopped as if the user confirmed Stop.
// Exit codes: 0 the list completed with every row done; 3 it completed
// after an instrument error; 1 it was stopped, stalled or did not start;
// 2 the instrument could not be reached.
int run_headless_list(const HeadlessListOptions& options, ConfigurationStore& configuration,
                      const std::function<bool(SampleListDocument&, const std::string&)>& prepare,
                      std::ostream& out);

}  // namespace kelvo
