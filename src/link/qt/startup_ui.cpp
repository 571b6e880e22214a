#include "link/qt/startup_ui.h"

#include "config/program_context.h"
#include "ground/cp1252.h"
#include "ground/document_ops.h"
#include "ground/documents.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "link/qt/kelvo_lib_form.h"
#include "link/qt/pchoice_form.h"
#include "link/qt/port_form.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QLockFile>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace kelvo {

namespace {

bool document_exists(const std::string& name, DocumentKind kind)
{
    if (name.empty()) return false;
    const std::string utf8 = cp1252_to_utf8(program_method_folder().path(folder_document(kind), name));
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(std::u8string(utf8.begin(), utf8.end())), ec);
}

// Closing the main window closes the link window with it and stops the
// service timer.
class CloseWatcher final : public QObject {
public:
    CloseWatcher(QWidget& main, std::function<void()> closed) : QObject(&main), main_(main), closed_(std::move(closed))
    {
        main.installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &main_ && event->type() == QEvent::Close) {
            // Whether the window really closed is known after its handler.
            QPointer<QObject> self(this);
            QTimer::singleShot(0, this, [this, self] {
                if (self && !main_.isVisible()) closed_();
            });
        }
        return false;
    }

private:
    QWidget& main_;
    std::function<void()> closed_;
};

}  // namespace

QString default_single_instance_lock_path()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir + "/Kelvo_Mutex.lock";
}

void raise_process_priority()
{
#ifdef Q_OS_WIN
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
#else
    // Only a privileged user may raise it; everyone else keeps the normal one.
    [[maybe_unused]] const int r = setpriority(PRIO_PROCESS, 0, -10);
#endif
}

// ---- Window creation

StartupController::StartupController(StartupWindow& main, const StartupOptions& options,
                                     std::unique_ptr<ConfigurationStore> configuration, SerialPort* port)
    : QObject(main.window_widget()), main_(main), options_(options), configuration_(std::move(configuration))
{
    setObjectName("startup");
    QWidget* window = main.window_widget();
    // The forms, in the order of the program's entry.
    kelvo_lib = new Tkelvo_lib(window, port);
    port_form = new Tport_form(kelvo_lib->port(), window);
    pchoice_form = new Tpchoice_form(window);

    KelvoLink& l = link();
    chain_ = std::make_unique<StartupChain>(l, *configuration_, *this, program_method_folder(),
                                            program_context().prompts);
    kelvo_lib->on_status_text = [this](const std::string& text) { main_.set_status_text(text); };
    kelvo_lib->on_close_splash = [this] { close_splash_and_show_main(); };

    // The settings of the run.
    apply_timeout_settings(l, settings_store());
    main_.service_timer()->setInterval(polling_interval_ms(settings_store()));
    read_setting_text("Status Box", "True");
    if (options_.offline) l.set_offline(true);
    chain_->set_offline_by_switch(options_.offline_by_switch);

    start_time_.start();
    kelvo_lib->set_debug_window(options_.debug_window);

    connect(main_.service_timer(), &QTimer::timeout, this, [this] { kelvo_service_timerTimer(); });
    main_.service_timer()->start();
    new CloseWatcher(*window, [this] {
        main_.service_timer()->stop();
        kelvo_lib->close();
        // A port dialog of start-up still up would keep the program alive.
        for (QDialog* dialog : {static_cast<QDialog*>(pchoice_form), static_cast<QDialog*>(port_form)})
            if (dialog->isVisible()) dialog->reject();
    });
}

// The controller goes with the main window's children, after the window's
// own state: it touches nothing of the window here.
StartupController::~StartupController()
{
    // The last added goes first, as it may be built on an earlier one.
    while (!teardowns_.empty()) {
        const std::function<void()> teardown = std::move(teardowns_.back());
        teardowns_.pop_back();
        teardown();
    }
    release_single_instance();
}

void StartupController::add_teardown(std::function<void()> teardown) { teardowns_.push_back(std::move(teardown)); }

KelvoLink& StartupController::link() { return kelvo_lib->link(); }

void StartupController::add_configuration_listener(std::function<void()> listener)
{
    configuration_listeners_.push_back(std::move(listener));
}

void StartupController::add_editor_refresher(std::function<void()> refresher)
{
    editor_refreshers_.push_back(std::move(refresher));
}

void StartupController::add_activation_listener(std::function<void()> listener)
{
    activation_listeners_.push_back(std::move(listener));
}

void StartupController::set_reopener(DocumentKind kind, std::function<void()> reopen) { reopeners_[kind] = std::move(reopen); }

// ---- Single instance

bool StartupController::take_single_instance()
{
    if (lock_path_.isEmpty()) lock_path_ = default_single_instance_lock_path();
    lock_ = std::make_unique<QLockFile>(lock_path_);
    // A lock is never stale while its process lives; the lock of a process
    // that died is taken over.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return true;
    const QLockFile::LockError error = lock_->error();
    lock_.reset();
    show_error(error == QLockFile::LockFailedError ? only_one_text : no_mutex_text);
    return false;
}

bool StartupController::holds_single_instance() const { return lock_ && lock_->isLocked(); }

void StartupController::release_single_instance()
{
    if (lock_) lock_->unlock();
    lock_.reset();
}

void StartupController::close_program()
{
    kelvo_lib->close();
    main_.window_widget()->close();
}

// ---- First activation

void StartupController::first_activation()
{
    if (!take_single_instance()) {
        // Start-up never completed: closing stores nothing.
        close_program();
        return;
    }
    main_.mark_started_program();
    main_.prepare_captions();
    main_.fill_name_boxes();
    link().post_user_message(user_message::create_data_system_links);

    if (method_folder().empty()) main_.choose_method_folder_at_start();
    main_.reset_status_window();

    chain_->set_port_number(read_setting_integer("Port", 1));
    main_.set_offline(link().offline());
    if (!chain_->start()) return;  // "Exit program"
    if (chain_->outcome() == ChainOutcome::running && !options_.no_splash) show_splash();
    if (!splash_showing_) finish_activation();
}

void StartupController::finish_activation()
{
    if (activation_finished_) return;
    activation_finished_ = true;
    main_.apply_status_box_setting();
    for (const auto& listener : activation_listeners_) listener();
}

// ---- Splash

void StartupController::show_splash()
{
    QWidget* splash = main_.splash_widget();
    // Modal for the user, while the chain goes on in the message loop.
    splash->setWindowModality(Qt::ApplicationModal);
    splash->show();
    splash_showing_ = true;
}

void StartupController::close_splash_and_show_main()
{
    if (splash_showing_) {
        splash_showing_ = false;
        main_.splash_widget()->hide();
    }
    QWidget* window = main_.window_widget();
    if (!window->isVisible() && main_.window_closed()) return;
    window->show();
    window->raise();
    window->activateWindow();
    finish_activation();
}

// ---- Service timer

void StartupController::kelvo_service_timerTimer()
{
    // A completion action with a message box keeps the loop running; its
    // ticks wait until it has finished.
    if (in_service_tick_) return;
    in_service_tick_ = true;
    if (splash_showing_ && start_time_.elapsed() > splash_limit_ms_) close_splash_and_show_main();
    if (run_service_step)
        run_service_step();
    else
        link().service_completion_step();
    in_service_tick_ = false;
}

// ---- StartupUi

BusyPortChoice StartupController::choose_busy_port(int port)
{
    const BusyPortChoice choice = pchoice_form->choose(port);
    chooser_after_busy_port_ = choice == BusyPortChoice::another_port;
    return choice;
}

int StartupController::choose_port(int current)
{
    const bool after_busy_port = chooser_after_busy_port_;
    chooser_after_busy_port_ = false;
    if (port_form->choose(current)) return port_form->port_number();
    // Cancel: back to the busy-port dialog, which offers every way on. A
    // port that cannot be opened at all has none but running offline.
    return after_busy_port ? current : 0;
}

void StartupController::exit_program() { close_program(); }

void StartupController::set_window_title()
{
    main_.set_offline(link().offline());
    main_.set_title();
}

void StartupController::choose_method_folder() { main_.choose_method_folder_dialog(); }

void StartupController::refill_object_pickers()
{
    for (const auto& listener : configuration_listeners_) listener();
}

void StartupController::refresh_editors()
{
    for (const auto& refresher : editor_refreshers_) refresher();
}

void StartupController::reopen(DocumentKind kind)
{
    const auto it = reopeners_.find(kind);
    if (it != reopeners_.end() && it->second) {
        it->second();
        return;
    }
    const std::string name = read_setting_text(document_setting(kind), "");
    if (document_exists(name, kind)) {
        main_.show_name(kind, name);
        main_.document_ops(kind).name_selected(name);
    } else {
        main_.show_name(kind, "");
        write_setting_text(document_setting(kind), "");
    }
}

void StartupController::reopen_last_documents()
{
    if (main_.document_page_enabled(DocumentKind::macro)) reopen(DocumentKind::macro);
    else {
        main_.show_name(DocumentKind::macro, "");
        write_setting_text(document_setting(DocumentKind::macro), "");
    }
    // A method page that is not shown keeps its setting for another start.
    if (main_.document_page_enabled(DocumentKind::method)) reopen(DocumentKind::method);
    if (main_.document_page_enabled(DocumentKind::sample_list)) reopen(DocumentKind::sample_list);
    else {
        main_.show_name(DocumentKind::sample_list, "");
        write_setting_text(document_setting(DocumentKind::sample_list), "");
    }
}

void StartupController::status_window_first_line(const std::string& text)
{
    main_.status_window_first_line(text);
}

void StartupController::clear_documents()
{
    for (DocumentKind kind : {DocumentKind::method, DocumentKind::macro, DocumentKind::sample_list}) {
        main_.show_name(kind, "");
        main_.document_ops(kind).start_empty("");
    }
}

void StartupController::after_ms(int ms, LinkAction action)
{
    QTimer::singleShot(ms, this, [action = std::move(action)] { action(); });
}

void StartupController::chain_finished(ChainOutcome outcome)
{
    main_.set_offline(link().offline());
    if (outcome == ChainOutcome::online) main_.set_firmware_version(chain_->firmware_version());
}

// The main window closed (its close button, a termination signal, or the
// application's quit closing every window): start-up asks nothing more.
bool StartupController::quitting() const { return main_.window_closed() || QCoreApplication::closingDown(); }

// ---- The main window's hooks

void StartupController::reload_configuration()
{
    chain_->reload();
    main_.set_offline(link().offline());
}

bool StartupController::choose_port()
{
    if (!port_form->choose(chain_->port_number())) return false;
    chain_->set_port_number(port_form->port_number());
    return true;
}

void StartupController::offline_fallback() { chain_->offline_fallback(); }

}  // namespace kelvo
