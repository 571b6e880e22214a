#pragma once
// Start-up on the windows: from the main window's creation to a connected
// (or offline) program. The controller reads the command line's decisions
// and the settings, owns the instrument-link window `Tkelvo_lib` and the two
// port dialogs, takes the single-instance lock at the first activation,
// drives the connection chain (StartupChain) with the splash, the port
// dialogs, the method folder dialog and the status bar, and ticks the main
// window's service timer `kelvo_service_timer`.
//
// The editors take part through listeners: they refill their object pickers
// when a configuration has been read, and reopen the last document of their
// kind. Without a listener for a kind, the last document is reopened through
// the kind's DocumentOps (name_selected).
//
// The main window is reached through StartupWindow; the composition root
// wires the window's first activation and hooks to the controller.
#include "ground/document_kind.h"
#include "link/qt/startup_window.h"
#include "link/startup_chain.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QLockFile;

namespace kelvo {

class SerialPort;
class Tkelvo_lib;
class Tpchoice_form;
class Tport_form;

// The splash closes by itself this long after the start.
inline constexpr int splash_limit_ms = 20000;

inline constexpr const char* only_one_text = "Only one cadenzor allowed!";
inline constexpr const char* no_mutex_text = "Cant get mutex!";

// Where the single-instance lock "Kelvo_Mutex" lives: the user's runtime
// directory (the temporary directory when there is none).
QString default_single_instance_lock_path();

// Best effort: a higher priority for the process; a refusal is ignored.
void raise_process_priority();

// The command line's decisions that start-up follows.
struct StartupOptions {
    bool offline = false;            // no serial port at all
    bool offline_by_switch = false;  // offline because of the "OFF" switch
    bool debug_window = false;       // the link window's debug lines shown
    bool no_splash = false;          // a data system that starts the program hidden
};

class StartupController final : public QObject, public StartupUi {
    Q_OBJECT
public:
    // Window creation: the forms of the link (`Tkelvo_lib`, `Tport_form`,
    // `Tpchoice_form`), the settings, the service timer. configuration: the
    // database the chain fills. port: the serial port to use (not owned;
    // tests pass a fake), else the link window owns a real one.
    StartupController(StartupWindow& main, const StartupOptions& options,
                      std::unique_ptr<ConfigurationStore> configuration, SerialPort* port = nullptr);
    ~StartupController() override;

    Tkelvo_lib* kelvo_lib = nullptr;
    Tport_form* port_form = nullptr;
    Tpchoice_form* pchoice_form = nullptr;

    KelvoLink& link();
    StartupChain& chain() { return *chain_; }
    const StartupOptions& options() const { return options_; }

    // The lock file that stands for the named mutex (before the first
    // activation; by default default_single_instance_lock_path()).
    void set_lock_path(const QString& path) { lock_path_ = path; }
    const QString& lock_path() const { return lock_path_; }
    bool holds_single_instance() const;

    // ---- editors
    // Called when a configuration has been read or loaded (object pickers,
    // atom lists).
    void add_configuration_listener(std::function<void()> listener);
    // Called to refresh the editors' displays.
    void add_editor_refresher(std::function<void()> refresher);
    // Reopens the last document of the kind (the setting of its name), when
    // its page is enabled.
    void set_reopener(DocumentKind kind, std::function<void()> reopen);
    // Called once, when the main window is up after the start (splash closed).
    void add_activation_listener(std::function<void()> listener);
    // Called first when the controller goes, while its link still exists:
    // parts built on the link let go of it here.
    void add_teardown(std::function<void()> teardown);

    // ---- the main window's events
    // FormActivate, first time: the lock, "Started program", the folder,
    // the port and the connection chain, the splash.
    void first_activation();
    // `kelvo_service_timer`: the splash's time limit and the link's
    // completion step.
    void kelvo_service_timerTimer();
    // The run's part of a tick (completion, atom polling, the data-system
    // wait); without it the tick runs the link's completion step alone.
    std::function<void()> run_service_step;

    bool splash_showing() const { return splash_showing_; }
    // How long after the start the service timer closes the splash.
    void set_splash_limit_ms(int ms) { splash_limit_ms_ = ms; }
    void close_splash_and_show_main();

    // ---- StartupUi
    BusyPortChoice choose_busy_port(int port) override;
    int choose_port(int current) override;
    void exit_program() override;
    void set_window_title() override;
    void choose_method_folder() override;
    void refill_object_pickers() override;
    void refresh_editors() override;
    void reopen_last_documents() override;
    void status_window_first_line(const std::string& text) override;
    void clear_documents() override;
    void after_ms(int ms, LinkAction action) override;
    void chain_finished(ChainOutcome outcome) override;
    bool quitting() const override;

    // ---- What the main window's hooks ask of the link
    // Closing, step 1: give up the single-instance lock.
    void release_single_instance();
    // "&Reload Kelvo Configuration": the connection chain again.
    void reload_configuration();
    // "&Port...": the port chooser, modally; true when it closed with OK.
    bool choose_port();
    // A method folder chosen while offline: the offline fallback from there.
    void offline_fallback();

private:
    bool take_single_instance();
    void close_program();
    void show_splash();
    // Activation's last steps, once the splash is gone (or was never shown).
    void finish_activation();
    void reopen(DocumentKind kind);

    StartupWindow& main_;
    StartupOptions options_;
    std::unique_ptr<ConfigurationStore> configuration_;
    std::unique_ptr<StartupChain> chain_;
    std::unique_ptr<QLockFile> lock_;
    QString lock_path_;
    QElapsedTimer start_time_;
    std::vector<std::function<void()>> configuration_listeners_;
    std::vector<std::function<void()>> editor_refreshers_;
    std::map<DocumentKind, std::function<void()>> reopeners_;
    std::vector<std::function<void()>> activation_listeners_;
    std::vector<std::function<void()>> teardowns_;
    int splash_limit_ms_ = splash_limit_ms;
    bool splash_showing_ = false;
    bool activation_finished_ = false;
    bool in_service_tick_ = false;
    // The port chooser was asked for from the busy-port dialog: Cancel
    // there means "ask about the busy port again", not "give up".
    bool chooser_after_busy_port_ = false;
};

}  // namespace kelvo
