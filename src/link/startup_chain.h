#pragma once
// From a chosen port to a connected instrument: the port probe, the busy-port
// and port-chooser decisions, the connection chain ("GET_STAT", "SET_BAUD
// 38400", "GET_CONFIG", "SET_BAUD 9600", "GET_FW_VERSION", with the fast
// probe for an instrument left at 38400 baud) and the offline fallback from
// the saved copy of the configuration.
//
// The chain is a sequence of link commands whose completion and time-out
// actions call the next step; it advances only through the link's events and
// the service timer. The windows, dialogs and the configuration database are
// reached through StartupUi and ConfigurationStore, the message boxes through
// the Prompts handed in, so that the shell, the command-line companion and
// the tests each supply their own.
#include "ground/method_folder.h"
#include "link/kelvo_link.h"

#include <string>
#include <vector>

namespace kelvo {

class Prompts;
class SettingsStore;

// Choices of the busy-port dialog (`Tpchoice_form`), in button order.
enum class BusyPortChoice { retry = 0, exit_program = 1, run_offline = 2, another_port = 3 };

// How a run of the chain ended.
enum class ChainOutcome {
    running,         // not finished yet
    online,          // configuration read and firmware version known
    offline,         // running offline from the saved copy
    unavailable,     // offline, and the saved copy is missing or invalid
    not_responding,  // the instrument stopped answering after the configuration
    exit_program,    // the user chose "Exit program" in the busy-port dialog
};

// The configuration database as the chain needs it.
class ConfigurationStore {
public:
    virtual ~ConfigurationStore() = default;
    // Parses the lines into the program's database; on failure a message
    // has been shown.
    virtual bool parse(const std::vector<std::string>& lines) = 0;
    virtual int object_count() const = 0;
    // Writes the tray report into the method folder.
    virtual void write_tray_report(const std::string& method_folder) = 0;
};

// Windows and decisions of start-up. Defaults suit a headless run: no
// dialogs, a busy or missing port means running offline.
class StartupUi {
public:
    virtual ~StartupUi() = default;
    // The busy-port dialog for port n (text: busy_port_text(n)).
    virtual BusyPortChoice choose_busy_port(int port) { (void)port; return BusyPortChoice::run_offline; }
    // The port chooser (`Tport_form`), shown modally: the port to try next
    // (the current one again on Cancel; the chooser itself stores the
    // "Port" setting on OK), or 0 to give up and run offline.
    virtual int choose_port(int current) { (void)current; return 0; }
    // Close the main window: the program ends.
    virtual void exit_program() {}
    virtual void set_window_title() {}
    // The method folder does not exist: the folder dialog (`Tfolder_form`),
    // which may change the method folder.
    virtual void choose_method_folder() {}
    // Refill the object pickers from the database and refresh the editors.
    virtual void refill_object_pickers() {}
    virtual void refresh_editors() {}
    virtual void reopen_last_documents() {}
    // The status window's first line becomes text, the other three empty.
    virtual void status_window_first_line(const std::string& text) { (void)text; }
    // Empty the method editor, the macro editor and the sample list.
    virtual void clear_documents() {}
    // Runs the action after the given time (the chain waits after returning
    // the line to 9600 baud). Headless default: at once.
    virtual void after_ms(int ms, LinkAction action) { (void)ms; action(); }
    // The chain ended (see ChainOutcome).
    virtual void chain_finished(ChainOutcome outcome) { (void)outcome; }
    // The program is closing: no dialog of start-up may be asked again
    // (a modal loop returns at once then, and asking again would spin).
    virtual bool quitting() const { return false; }
};

// Why the chain went offline (the reason a headless caller prints).
enum class OfflineReason {
    none,
    by_switch,    // "OFF", or offline before the chain started
    port_in_use,  // the busy-port dialog chose "Run offline"
    cannot_open,  // the port chooser gave up
    no_answer,    // a command of the chain got no answer (offline_command())
    port_lost,    // the device went away during the chain
};

// "Polling interval" in ms from the settings, floored at 10 ms: a smaller or
// negative interval would make the service timer spin.
int polling_interval_ms(SettingsStore& settings);
int floored_polling_interval(int ms);

// The link's time-outs from the settings "Atom timeout (msec)" and "Status
// timeout (msec)".
void apply_timeout_settings(KelvoLink& link, SettingsStore& settings);

// Fixed texts of start-up.
inline constexpr const char* receiving_configuration_text = "Receiving configuration from Kelvo";
inline constexpr const char* configuration_received_text = "Kelvo configuration received";
inline constexpr const char* objects_received_suffix = " objects received from Kelvo";
inline constexpr const char* running_offline_text = "The Kelvo is not connected. Software is running offline.";
inline constexpr const char* both_unavailable_text = "Kelvo and file both unavailable!";

// "Port " + n + " is being used by another program. You may close ..."
std::string busy_port_text(int port);
// The two reports of the offline fallback.
std::string no_saved_configuration_text(const std::string& method_folder);
std::string invalid_saved_configuration_text(const std::string& method_folder);

// Beside the saved copy: a received configuration that did not parse.
std::string rejected_configuration_path(const MethodFolder& folder);
// The notice that a received configuration was set aside (saved_kept: a
// saved copy exists and was left as it was).
std::string rejected_configuration_text(const std::string& rejected_path, const std::string& saved_path, bool saved_kept);

// The saved copy: lines joined by CR LF, written through a temporary file
// so that a failed write never leaves half a file. False when it failed.
bool save_configuration_lines(const std::string& path, const std::vector<std::string>& lines);
// Lines split at CR LF, LF or CR; false when the file cannot be read.
bool load_configuration_lines(const std::string& path, std::vector<std::string>& lines);

class StartupChain {
public:
    // folder: the method folder the configuration is saved in and read from
    // (the user may choose another one on the way). prompts: where the
    // chain's error and information boxes go. None is owned.
    StartupChain(KelvoLink& link, ConfigurationStore& configuration, StartupUi& ui, const MethodFolder& folder,
                 Prompts& prompts);
    StartupChain(const StartupChain&) = delete;
    StartupChain& operator=(const StartupChain&) = delete;

    // COM port number (1 to 4), from the "Port" setting.
    void set_port_number(int port) { port_number_ = port; }
    int port_number() const { return port_number_; }
    // "OFF" on the command line: no port at all, no offline notice box.
    void set_offline_by_switch(bool on) { offline_by_switch_ = on; }
    bool offline_by_switch() const { return offline_by_switch_; }

    // First activation, from the port probe on: probes the port (busy-port
    // dialog and port chooser as needed), opens it and sends "GET_STAT"; or,
    // when the link is offline ("OFF": set the link offline first), runs the
    // offline fallback. Returns false when the user chose to exit the
    // program. While outcome() is still running afterwards the chain is
    // under way: the caller shows the splash (or, in ChemStation mode, the
    // main window).
    bool start();
    // "&Reload Kelvo Configuration": online, the chain from the status
    // check; offline (which lasts until the program ends), the saved copy
    // is read again.
    void reload();

    // The probe: opens port n and closes it again. ok means free.
    OpenResult probe(int port);
    // Opens the chosen port; a port that cannot be opened goes to the port
    // chooser, again and again. False when the chooser gave up.
    bool open_port();

    // --- the steps of the chain, in order (public for the shell and tests) ---
    void status_check();
    void baud_up();
    void fast_probe();
    void read_configuration();
    void configuration_received();
    void baud_down();
    void firmware();
    void offline_fallback();

    const std::string& firmware_version() const { return firmware_version_; }
    // Whether the last configuration (received or loaded) parsed.
    bool configuration_valid() const { return configuration_valid_; }
    ChainOutcome outcome() const { return outcome_; }
    // Whether the last received configuration parsed and was saved as the
    // copy to run from offline.
    bool configuration_saved() const { return configuration_saved_; }
    OfflineReason offline_reason() const { return offline_reason_; }
    // The command that got no answer (for OfflineReason::no_answer).
    const std::string& offline_command() const { return offline_command_; }

private:
    void go_offline(OfflineReason reason);
    void no_answer_to(const std::string& command);
    void timed_out_to_offline();
    void stop_not_responding();
    void report_unavailable(const std::string& text);
    void finish(ChainOutcome outcome);

    KelvoLink& link_;
    ConfigurationStore& configuration_;
    const MethodFolder& folder_;
    StartupUi& ui_;
    Prompts& prompts_;
    int port_number_ = 1;
    bool offline_by_switch_ = false;
    bool configuration_valid_ = false;
    bool configuration_saved_ = false;
    OfflineReason offline_reason_ = OfflineReason::none;
    std::string offline_command_;
    std::string firmware_version_;
    ChainOutcome outcome_ = ChainOutcome::running;
};

}  // namespace kelvo
