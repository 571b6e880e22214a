#include "app/qt/headless_run.h"
#include "config/program_context.h"

#include "config/config_db.h"
#include "datasystem/data_system_gate.h"
#include "datasystem/data_system_link.h"
#include "datasystem/qt/dbus_dde_client.h"
#include "engine/method_run.h"
#include "engine/qt/syringe_change.h"
#include "ground/clock.h"
#include "ground/debug_lines.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/qt/termination_signals.h"
#include "ground/settings.h"
#include "journal/run_journal.h"
#include "language/method.h"
#include "language/sample_variables.h"
#include "link/kelvo_link.h"
#include "app/program_configuration.h"
#include "link/qt/qt_serial_port.h"
#include "link/startup_chain.h"
#include "samplelist/sample_list_document.h"
#include "samplelist/sample_list_run.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

namespace kelvo {

namespace {

class HeadlessUi final : public StartupUi, public LinkUi, public RunView, public RunDialogs {
public:
    HeadlessUi(std::ostream& out, QEventLoop& loop) : out_(out), loop_(loop) {}

    // ---- link and start-up
    void status_text(const std::string& text) override { out_ << "status: " << cp1252_to_utf8(text) << std::endl; }
    void debug_line_added(const std::string& line) override { std::cerr << "debug: " << cp1252_to_utf8(line) << std::endl; }
    void after_ms(int ms, LinkAction action) override
    {
        QTimer::singleShot(ms, &loop_, [action] { action(); });
    }
    void choose_method_folder() override
    {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(cp1252_to_utf8(method_folder())), ec);
    }
    void chain_finished(ChainOutcome) override { quit(); }

    // ---- the method page
    std::string method_name() const override { return method; }
    std::vector<std::string> method_lines() const override { return lines; }
    std::string chosen_syringe() const override { return syringe; }
    void log_message(const std::string& text) override
    {
        out_ << "log: " << cp1252_to_utf8(text) << std::endl;
        status_text(text);
    }
    void run_finished(bool completed_run) override
    {
        if (list) return;
        finished = true;
        completed = completed_run;
        quit();
    }

    // ---- the sample list
    void sample_list_method_complete() override
    {
        if (list) list->next_step();
    }
    void stop_sample_list() override
    {
        if (list) list->error_stop();
    }

    // ---- dialogs
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override
    {
        out_ << "out of range: " << cp1252_to_utf8(out_of_range_text(context, unit, value, minimum, maximum))
             << std::endl;
        return proposed;
    }
    bool test_parameters(SampleVariables& variables) override
    {
        for (const auto& [name, value] : set)
            if (!set_sample_variable(variables, name, value))
                std::cerr << "error: cannot set " << cp1252_to_utf8(name) << " to " << cp1252_to_utf8(value)
                          << std::endl;
        return true;
    }
    bool syringe_mismatch(const std::string& method_name, const std::string& needed,
                          const std::string& mounted) override
    {
        out_ << "syringe mismatch: " << cp1252_to_utf8(syringe_mismatch_text(method_name, needed, mounted))
             << std::endl;
        return false;
    }

    void quit() { QTimer::singleShot(0, &loop_, [this] { loop_.quit(); }); }

    std::string method;
    std::vector<std::string> lines;
    std::string syringe;
    std::vector<std::pair<std::string, std::string>> set;
    SampleListRun* list = nullptr;
    bool finished = false;
    bool completed = false;

private:
    std::ostream& out_;
    QEventLoop& loop_;
};

// The error dialog answers as the command line says; a question is answered
// after a moment in which the run's events go on, as they do while the
// program's dialog is open.
class RunPrompts final : public Prompts {
public:
    explicit RunPrompts(AbortRetryIgnore answer) : answer_(answer) {}
    void show_error(const std::string& text) override { std::cerr << "error: " << cp1252_to_utf8(text) << std::endl; }
    void show_information(const std::string& text) override
    {
        std::cerr << "information: " << cp1252_to_utf8(text) << std::endl;
    }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        std::cerr << "error dialog: " << cp1252_to_utf8(text) << std::endl;
        if (journal)
            journal->dialog(text, answer_ == AbortRetryIgnore::abort   ? "abort"
                                  : answer_ == AbortRetryIgnore::retry ? "retry"
                                                                       : "ignore");
        return answer_;
    }
    bool ask_yes_no(const std::string& text) override
    {
        std::cerr << "question: " << cp1252_to_utf8(text) << std::endl;
        if (journal) journal->dialog(text, yes ? "yes" : "no");
        if (think_ms > 0) {
            QEventLoop thinking;
            QTimer::singleShot(think_ms, &thinking, [&thinking] { thinking.quit(); });
            thinking.exec();
        }
        std::cerr << "answer: " << (yes ? "yes" : "no") << std::endl;
        return yes;
    }
    bool yes = false;
    int think_ms = 0;
    RunJournal* journal = nullptr;

private:
    AbortRetryIgnore answer_;
};

// What a headless run shares: the application object, the prompts, the
// method folder, the port, the link and the start-up chain, the method run
// and the service timer.
class HeadlessSession {
public:
    HeadlessSession(const std::string& device, const std::string& folder, AbortRetryIgnore on_error,
                    ConfigurationStore& configuration, std::ostream& out, const std::string& journal_path)
        : app_(make_app()), prompts(on_error), prompts_scope_(prompts), folder_scope_(folder), ui(out, loop),
          link(port, prompts), chain(link, configuration, ui, program_method_folder(), prompts),
          run(program_context_with(config(), clock), link, ui, ui, sample_variables()),
          journal_file(journal_path.empty() ? default_journal_path() : journal_path), journal(journal_file, clock)
    {
        port.set_device_name(1, device);
        link.set_ui(&ui);
        link.set_debug_visible(true);
        apply_timeout_settings(link, settings_store());
        chain.set_port_number(1);
        prompts.journal = &journal;
    }
    ~HeadlessSession()
    {
        link.set_trace({});
        if (journal.write_failed())
            std::cerr << "error: the run journal " << journal_file.path() << " could not be written" << std::endl;
        service.stop();
        port.close();
    }

    // The start-up chain, its completion actions run by the service timer.
    // False (after the message) when the instrument could not be reached.
    bool connect(int poll_ms)
    {
        poll_ms_ = poll_ms >= 0 ? floored_polling_interval(poll_ms) : polling_interval_ms(settings_store());
        QObject::connect(&service, &QTimer::timeout, &loop, [this] { link.service_completion_step(); });
        service.start(poll_ms_);
        QTimer::singleShot(0, &loop, [this] { chain.start(); });
        loop.exec();
        service.disconnect();
        if (chain.outcome() == ChainOutcome::online && chain.configuration_valid()) {
            // From here on every line of the run goes into the journal.
            journal.set_settings(poll_ms_, read_setting_integer("Atom timeout (msec)", 0), method_folder());
            link.set_trace([this](bool sent, const std::string& line) { journal.line(sent, line); });
            return true;
        }
        std::cerr << "error: the instrument cannot be reached; no run offline" << std::endl;
        return false;
    }

    // The run, ticked by the service timer, until the loop is quit. An
    // instrument that ends an exchange with "ERROR" leaves nothing that
    // could carry the run on: after a few quiet ticks, stalled() is asked
    // (and the run given up when it returns true).
    void drive(const std::function<void()> start, const std::function<bool()>& stalled)
    {
        int quiet_ticks = 0;
        QObject::connect(&service, &QTimer::timeout, &loop, [&, this] {
            run.service_tick();
            // After "ERROR" the wait state stays, but nothing more will come.
            const bool ended = link.condition() == LinkCondition::error && !link.timer_armed();
            const bool moving = link.timer_armed() || link.answer_complete() || link.method_complete() ||
                                (link.wait_state() != WaitState::idle && !ended) || run.engine().waiting_for_ds ||
                                run.engine().row_sent;
            if (moving) {
                quiet_ticks = 0;
                return;
            }
            if (++quiet_ticks >= 5 && stalled()) quiet_ticks = 0;
        });
        QTimer::singleShot(0, &loop, start);
        loop.exec();
        service.stop();
    }

private:
    static std::unique_ptr<QCoreApplication> make_app()
    {
        if (QCoreApplication::instance()) return nullptr;
        static int argc = 1;
        static char name[] = "cadenzor-cli";
        static char* argv[] = {name, nullptr};
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    struct FolderScope {
        explicit FolderScope(const std::string& folder) : previous(method_folder()) { set_method_folder(folder); }
        ~FolderScope() { set_method_folder(previous); }
        std::string previous;
    };

    std::unique_ptr<QCoreApplication> app_;

public:
    RunPrompts prompts;

private:
    PromptsScope prompts_scope_;
    FolderScope folder_scope_;
    int poll_ms_ = 500;

public:
    QEventLoop loop;
    HeadlessUi ui;
    QtSerialPort port;
    KelvoLink link;
    StartupChain chain;
    SystemClock clock;
    MethodRun run;
    QTimer service;
    JournalFile journal_file;
    RunJournal journal;
};

}  // namespace

int run_headless_method(const HeadlessRunOptions& options, ConfigurationStore& configuration, std::ostream& out)
{
    HeadlessSession session(options.device, options.folder, options.on_error, configuration, out, options.journal);
    std::string file_syringe;
    std::vector<std::string> lines;
    if (!method_file_exists(program_method_folder(), options.method) || !read_method_for_run(program_method_folder(), options.method, file_syringe, lines)) {
        std::cerr << "error: no method " << cp1252_to_utf8(options.method) << " in "
                  << cp1252_to_utf8(options.folder) << std::endl;
        return 2;
    }
    HeadlessUi& ui = session.ui;
    ui.method = options.method;
    ui.set = options.set;
    ui.lines = lines;
    ui.syringe = options.syringe.empty() ? file_syringe : options.syringe;
    if (!session.connect(options.poll_ms)) return 2;

    MethodRun& run = session.run;
    bool given_up = false;
    QTimer stop_timer;
    stop_timer.setSingleShot(true);
    QObject::connect(&stop_timer, &QTimer::timeout, &session.loop, [&] {
        if (run.run_button_caption() == stop_caption) run.run_method_buttonClick();
    });
    // SIGTERM or SIGINT: the run stops as when the window closes (a running
    // atom gets "CANCEL"); a moment for the bytes to leave, then exit 1.
    bool signalled = false;
    on_termination_signals(&session.loop, [&] {
        if (signalled) return;
        signalled = true;
        std::cerr << "error: stopped by a signal" << std::endl;
        run.stop();
        QTimer::singleShot(200, &session.loop, [&] { session.ui.quit(); });
    });
    session.drive(
        [&] {
            session.journal.method_started(options.method, ui.syringe);
            run.run_method_buttonClick();
            if (options.stop_after_ms >= 0) stop_timer.start(options.stop_after_ms);
        },
        [&] {
            if (ui.finished) return false;
            given_up = true;
            ui.quit();
            return true;
        });

    session.journal.method_ended(ui.completed && !run.engine().stalled && !signalled && !given_up,
                                 !run.engine().error_text.empty());
    if (signalled) return 1;
    if (given_up) {
        std::cerr << "error: the instrument ended the exchange without an answer" << std::endl;
        return 1;
    }
    if (!ui.completed || run.engine().stalled) return 1;
    return run.engine().error_text.empty() ? 0 : 3;
}

namespace {

// How long a ChemStation-mode run waits, once connected, for the data
// system to name its column-definition file.
constexpr int column_wait_ms = 3000;

// Ends the loop when the list ends.
class ListEnd final : public SampleListRunObserver {
public:
    explicit ListEnd(HeadlessUi& ui) : ui_(ui) {}
    void list_ended(ListOutcome o) override
    {
        ended = true;
        outcome = o;
        ui_.quit();
    }
    bool ended = false;
    ListOutcome outcome = ListOutcome::completed;

private:
    HeadlessUi& ui_;
};

}  // namespace

int run_headless_list(const HeadlessListOptions& options, ConfigurationStore& configuration,
                      const std::function<bool(SampleListDocument&, const std::string&)>& prepare,
                      std::ostream& out)
{
    HeadlessSession session(options.device, options.folder, options.on_error, configuration, out, options.journal);
    session.prompts.yes = options.stop_answer;
    session.prompts.think_ms = 500;

    // ChemStation mode: the links are made first, as the window makes them
    // at its first activation, so the data system describes its columns
    // while the instrument is being connected.
    const bool chemstation = options.data_system.chemstation;
    std::unique_ptr<DdeClient> dde;
    if (chemstation) dde = std::make_unique<DbusDdeClient>();
    DataSystemLink data_system(options.data_system, dde.get(), session.prompts, debug_line);
    DataSystemLinkGate gate(data_system);
    // The debug lines of the links go to the session's list while it runs.
    std::optional<DebugLineRoute> debug_route;
    std::string announced_columns;
    // The link and the run outlive the data-system link: they forget it first.
    struct Unhook {
        HeadlessSession& s;
        ~Unhook()
        {
            s.link.set_data_system_hooks(nullptr);
            s.run.set_data_system(nullptr);
        }
    } unhook{session};
    if (chemstation) {
        debug_route.emplace([&session](const std::string& text) { session.link.add_debug_line(text); });
        session.link.set_data_system_hooks(&data_system);
        session.run.set_data_system(&gate);
        data_system.set_status_text([&session](const std::string& text) { session.ui.status_text(text); });
        data_system.set_column_reader([&announced_columns](const std::string& path) { announced_columns = path; });
        data_system.create_links();
        if (!data_system.has_command_conversation() || !data_system.has_sequence_status_link()) {
            std::cerr << "error: the data system " << cp1252_to_utf8(options.data_system.service)
                      << " cannot be reached; no run in ChemStation mode" << std::endl;
            return 2;
        }
    }
    if (!session.connect(options.poll_ms)) return 2;
    if (chemstation && announced_columns.empty() && data_system.has_table_info_link()) {
        // The data system answers "Qerant_CollectTableInfo" in its own time.
        QEventLoop waiting;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &waiting, [&] {
            if (!announced_columns.empty()) waiting.quit();
        });
        poll.start(20);
        QTimer::singleShot(column_wait_ms, &waiting, [&waiting] { waiting.quit(); });
        waiting.exec();
        if (announced_columns.empty()) debug_line("no column definitions from the data system");
    }
    // Columns announced once the list is loaded would redefine a table that
    // rows already fill; they are left for the next run.
    data_system.set_column_reader([](const std::string& path) {
        debug_line("columns announced during the run left for the next one: " + path);
    });

    SampleListDocument document(program_context());
    if (!prepare(document, announced_columns)) return 1;
    SampleListRun list(session.run, session.link, document, session.ui, session.ui, sample_variables());
    session.ui.list = &list;
    ListEnd end(session.ui);
    list.add_observer(&session.journal);
    list.add_observer(&end);
    if (chemstation) {
        list.set_chemstation(true);
        data_system.set_current_row([&list] { return list.current_sequence_row(); });
    }

    bool stalled = false;
    bool given_up = false;
    QTimer stop_timer;
    stop_timer.setSingleShot(true);
    QObject::connect(&stop_timer, &QTimer::timeout, &session.loop, [&] {
        if (list.start_button_caption() == stop_list_caption) list.run_sample_list_buttonClick();
    });
    // SIGTERM or SIGINT: Stop, confirmed, as closing the window ends a list.
    bool signalled = false;
    on_termination_signals(&session.loop, [&] {
        if (signalled) return;
        signalled = true;
        std::cerr << "error: stopped by a signal" << std::endl;
        session.prompts.yes = true;
        session.prompts.think_ms = 0;
        if (list.start_button_caption() == stop_list_caption) list.run_sample_list_buttonClick();
        else session.ui.quit();
    });
    session.drive(
        [&] {
            if (options.from_row > 1) list.start_from_row(options.from_row);
            else list.run_sample_list_buttonClick();
            if (!list.running()) {
                session.ui.quit();
                return;
            }
            if (options.stop_after_ms >= 0) stop_timer.start(options.stop_after_ms);
        },
        [&] {
            if (!list.running()) {
                session.ui.quit();
                return true;
            }
            // Held by the pause (or the stop question): the user's, not a stall.
            if (session.run.paused()) return false;
            if (!list.stalled()) {
                // A method runs, but the instrument ended the exchange.
                std::cerr << "error: the instrument ended the exchange without an answer" << std::endl;
                given_up = true;
                list.error_stop();
                return true;
            }
            // Nothing carries the list on: Stop, confirmed.
            std::cerr << "error: the sample list stalled in row " << list.current_row() << "; stopping it"
                      << std::endl;
            stalled = true;
            session.prompts.yes = true;
            session.prompts.think_ms = 0;
            list.run_sample_list_buttonClick();
            return true;
        });
    session.ui.list = nullptr;
    data_system.set_current_row({});

    const SampleTable& table = document.table();
    bool all_done = table.rows() > 0;
    for (int row = 1; row <= table.rows(); ++row) {
        const RowStatus status = table.status(row);
        all_done = all_done && status == RowStatus::done;
        const char* word = status == RowStatus::done      ? "done"
                           : status == RowStatus::stopped ? "stopped"
                           : status == RowStatus::running ? "running"
                                                          : "none";
        out << "row " << row << ": " << word << std::endl;
    }
    if (!end.ended || stalled || given_up || signalled) return 1;
    if (end.outcome != ListOutcome::completed) return 1;
    if (list.had_instrument_error()) return 3;
    return all_done ? 0 : 1;
}

}  // namespace kelvo
