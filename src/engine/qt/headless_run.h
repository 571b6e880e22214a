#pragma once
// One method run without windows, for the command-line companion: the
// start-up chain against the instrument on one device, then "Ru&n" as the
// main window presses it, with the service timer driving the run to its end.
// Declared without Qt so that callers need no Qt headers.
#include "ground/prompts.h"

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
};

// Exit codes: 0 the method completed without an instrument error; 3 it
// completed after one; 1 it did not start or stopped on a failure; 2 the
// instrument could not be reached (the program would run offline).
int run_headless_method(const HeadlessRunOptions& options, std::ostream& out);

}  // namespace kelvo
