#include "app/qt/headless_run.h"

#include "config/config_db.h"
#include "engine/method_run.h"
#include "engine/qt/syringe_change.h"
#include "ground/clock.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/settings.h"
#include "language/method.h"
#include "language/sample_variables.h"
#include "link/kelvo_link.h"
#include "app/program_configuration.h"
#include "link/qt/qt_serial_port.h"
#include "link/startup_chain.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

namespace kelvo {

namespace {

class HeadlessUi final : public StartupUi, public LinkUi, public RunView, public RunDialogs {
public:
    HeadlessUi(const HeadlessRunOptions& options, std::ostream& out, QEventLoop& loop)
        : options_(options), out_(out), loop_(loop)
    {
    }

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
    void chain_finished(ChainOutcome) override { QTimer::singleShot(0, &loop_, [this] { loop_.quit(); }); }

    // ---- the method page
    std::string method_name() const override { return options_.method; }
    std::vector<std::string> method_lines() const override { return lines; }
    std::string chosen_syringe() const override { return syringe; }
    void log_message(const std::string& text) override
    {
        out_ << "log: " << cp1252_to_utf8(text) << std::endl;
        status_text(text);
    }
    void run_finished(bool completed_run) override
    {
        finished = true;
        completed = completed_run;
        QTimer::singleShot(0, &loop_, [this] { loop_.quit(); });
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
        for (const auto& [name, value] : options_.set)
            if (!set_sample_variable(variables, name, value))
                std::cerr << "error: cannot set " << cp1252_to_utf8(name) << " to " << cp1252_to_utf8(value)
                          << std::endl;
        return true;
    }

    std::vector<std::string> lines;
    std::string syringe;
    bool finished = false;
    bool completed = false;

private:
    const HeadlessRunOptions& options_;
    std::ostream& out_;
    QEventLoop& loop_;
};

// The error dialog answers as the command line says.
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
        return answer_;
    }
    bool ask_yes_no(const std::string& text) override
    {
        std::cerr << "question: " << cp1252_to_utf8(text) << std::endl;
        return false;
    }

private:
    AbortRetryIgnore answer_;
};

}  // namespace

int run_headless_method(const HeadlessRunOptions& options, ConfigurationStore& configuration, std::ostream& out)
{
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "cadenzor-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    RunPrompts prompts(options.on_error);
    PromptsScope prompts_scope(prompts);
    const std::string previous_folder = method_folder();
    set_method_folder(options.folder);
    struct RestoreFolder {
        std::string folder;
        ~RestoreFolder() { set_method_folder(folder); }
    } restore{previous_folder};

    std::string file_syringe;
    std::vector<std::string> lines;
    if (!method_file_exists(options.method) || !read_method_for_run(options.method, file_syringe, lines)) {
        std::cerr << "error: no method " << cp1252_to_utf8(options.method) << " in "
                  << cp1252_to_utf8(options.folder) << std::endl;
        return 2;
    }

    QEventLoop loop;
    HeadlessUi ui(options, out, loop);
    ui.lines = lines;
    ui.syringe = options.syringe.empty() ? file_syringe : options.syringe;
    QtSerialPort port;
    port.set_device_name(1, options.device);
    KelvoLink link(port);
    link.set_ui(&ui);
    link.set_debug_visible(true);
    apply_timeout_settings(link);
    StartupChain chain(link, configuration, ui);
    chain.set_port_number(1);

    SystemClock clock;
    MethodRun run(config(), link, ui, ui, sample_variables(), clock);
    const int poll_ms = options.poll_ms >= 0 ? floored_polling_interval(options.poll_ms) : polling_interval_ms();

    // Start-up: the chain's completion actions run on the service timer.
    QTimer service;
    QObject::connect(&service, &QTimer::timeout, &loop, [&] { link.service_completion_step(); });
    service.start(poll_ms);
    QTimer::singleShot(0, &loop, [&] { chain.start(); });
    loop.exec();
    service.disconnect();
    if (chain.outcome() != ChainOutcome::online || !chain.configuration_valid()) {
        port.close();
        std::cerr << "error: the instrument cannot be reached; no run offline" << std::endl;
        return 2;
    }

    // The run, ticked by the service timer. An instrument that ends an
    // exchange with "ERROR" leaves nothing that could carry the run on: after
    // a few quiet ticks the run is given up.
    int quiet_ticks = 0;
    bool given_up = false;
    QObject::connect(&service, &QTimer::timeout, &loop, [&] {
        run.service_tick();
        const bool moving = link.timer_armed() || link.answer_complete() || link.method_complete() ||
                            link.wait_state() != WaitState::idle || run.engine().waiting_for_ds ||
                            run.engine().row_sent;
        if (moving || ui.finished) {
            quiet_ticks = 0;
            return;
        }
        if (++quiet_ticks >= 5) {
            given_up = true;
            loop.quit();
        }
    });
    QTimer stop_timer;
    stop_timer.setSingleShot(true);
    QObject::connect(&stop_timer, &QTimer::timeout, &loop, [&] {
        if (run.run_button_caption() == stop_caption) run.run_method_buttonClick();
    });
    QTimer::singleShot(0, &loop, [&] {
        run.run_method_buttonClick();
        if (options.stop_after_ms >= 0) stop_timer.start(options.stop_after_ms);
    });
    loop.exec();
    service.stop();
    port.close();

    if (given_up) {
        std::cerr << "error: the instrument ended the exchange without an answer" << std::endl;
        return 1;
    }
    if (!ui.completed || run.engine().stalled) return 1;
    return run.engine().error_text.empty() ? 0 : 3;
}

}  // namespace kelvo
