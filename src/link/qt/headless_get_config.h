#pragma once
// The connection chain without windows, for the command-line companion: from
// the status check to the firmware version against the instrument on one
// device, inside a Qt event loop. Declared without Qt so that callers need
// no Qt headers.
#include <ostream>
#include <string>

namespace kelvo {

class ConfigurationStore;

struct HeadlessGetConfigOptions {
    std::string device;  // the file system's name of the serial device (UTF-8)
    std::string folder;  // the method folder (UTF-8)
    bool trace = false;  // print every line sent ("> ") and received ("< ")
};

class StartupChain;

// Why the chain went offline, for a "status: " line (UTF-8; empty when it
// did not go offline, or by switch).
std::string offline_reason_text(const StartupChain& chain, const std::string& device);

// Runs the chain and prints to out (UTF-8): "status: TEXT" for every
// status-bar text, the traced lines, and at the end "firmware TEXT" and
// "objects N". Message boxes go through the installed Prompts.
// When it went offline, a "status: offline: ..." line says why.
// Exit codes: 0 configuration read, parsed and saved, and firmware known;
// 1 the received configuration did not parse (it was set aside beside the
// saved copy) or could not be saved; 2 the instrument could not be reached
// (offline fallback run) or stopped answering.
// configuration: where the received text is parsed and the tray report written.
int run_headless_get_config(const HeadlessGetConfigOptions& options, ConfigurationStore& configuration,
                            std::ostream& out);

}  // namespace kelvo
