#include "link/qt/headless_get_config.h"

#include "config/program_context.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "link/kelvo_link.h"
#include "link/qt/qt_serial_port.h"
#include "link/startup_chain.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

namespace kelvo {

namespace {

class HeadlessUi final : public StartupUi, public LinkUi {
public:
    HeadlessUi(std::ostream& out, QEventLoop& loop) : out_(out), loop_(loop) {}

    void status_text(const std::string& text) override { out_ << "status: " << cp1252_to_utf8(text) << std::endl; }
    // The link's debug list, as the other debug lines of the companion.
    void debug_line_added(const std::string& line) override { std::cerr << "debug: " << cp1252_to_utf8(line) << std::endl; }
    void after_ms(int ms, LinkAction action) override
    {
        ++waiting_;
        QTimer::singleShot(ms, &loop_, [this, action] {
            --waiting_;
            action();
        });
    }
    // No folder dialog here: the folder given is made.
    void choose_method_folder() override
    {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(cp1252_to_utf8(method_folder())), ec);
    }
    void chain_finished(ChainOutcome) override { QTimer::singleShot(0, &loop_, [this] { loop_.quit(); }); }
    bool waiting() const { return waiting_ > 0; }

private:
    std::ostream& out_;
    QEventLoop& loop_;
    int waiting_ = 0;
};

}  // namespace

std::string offline_reason_text(const StartupChain& chain, const std::string& device)
{
    switch (chain.offline_reason()) {
    case OfflineReason::none:
    case OfflineReason::by_switch: return "";
    case OfflineReason::port_in_use: return "offline: " + device + " is in use by another program";
    case OfflineReason::cannot_open: return "offline: " + device + " cannot be opened";
    case OfflineReason::no_answer:
        return "offline: no answer to " + cp1252_to_utf8(chain.offline_command()) + " on " + device;
    case OfflineReason::port_lost:
        return "offline: " + device + " went away while waiting for " + cp1252_to_utf8(chain.offline_command());
    }
    return "";
}

int run_headless_get_config(const HeadlessGetConfigOptions& options, ConfigurationStore& configuration,
                            std::ostream& out)
{
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "cadenzor-cli";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QCoreApplication>(argc, argv);
    }

    const std::string previous_folder = method_folder();
    set_method_folder(utf8_to_cp1252(options.folder));

    QEventLoop loop;
    HeadlessUi ui(out, loop);
    QtSerialPort port;
    port.set_device_name(1, options.device);
    KelvoLink link(port, program_context().prompts);
    link.set_ui(&ui);
    link.set_debug_visible(true);
    apply_timeout_settings(link, settings_store());
    if (options.trace)
        link.set_trace([&out](bool sent, const std::string& line) {
            out << (sent ? "> " : "< ") << cp1252_to_utf8(line) << std::endl;
        });
    StartupChain chain(link, configuration, ui, program_method_folder(), program_context().prompts);
    chain.set_port_number(1);

    // The service timer: completion actions run on its ticks. When nothing
    // can move the chain any more (an "ERROR" line ends an exchange with
    // neither completion nor time-out), give up instead of waiting for ever.
    QTimer service;
    int stalled_ticks = 0;
    bool stalled = false;
    QObject::connect(&service, &QTimer::timeout, &loop, [&] {
        if (link.service_completion_step() || link.timer_armed() || ui.waiting() ||
            chain.outcome() != ChainOutcome::running) {
            stalled_ticks = 0;
            return;
        }
        if (++stalled_ticks >= 3) {
            stalled = true;
            loop.quit();
        }
    });
    service.start(polling_interval_ms(settings_store()));

    QTimer::singleShot(0, &loop, [&] { chain.start(); });
    loop.exec();
    service.stop();
    port.close();
    set_method_folder(previous_folder);

    if (stalled) {
        show_error("The instrument ended the exchange without an answer.");
        return 2;
    }
    const std::string reason = offline_reason_text(chain, options.device);
    if (!reason.empty()) out << "status: " << reason << std::endl;
    switch (chain.outcome()) {
    case ChainOutcome::online:
        out << "firmware " << cp1252_to_utf8(chain.firmware_version()) << std::endl;
        if (!chain.configuration_valid()) return 1;
        out << "objects " << configuration.object_count() << std::endl;
        // Without the saved copy the next offline start has nothing.
        return chain.configuration_saved() ? 0 : 1;
    default: return 2;
    }
}

}  // namespace kelvo
