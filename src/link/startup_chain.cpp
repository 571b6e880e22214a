#include "link/startup_chain.h"

#include "ground/cp1252.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "ground/settings.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace kelvo {

namespace fs = std::filesystem;

namespace {
// Paths are Windows-1252 text inside the program.
fs::path file_system_path(const std::string& path)
{
    const std::string utf8 = cp1252_to_utf8(path);
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}
}  // namespace

std::string busy_port_text(int port)
{
    return std::string("Port ") + std::to_string(port) + " is being used by another program." +
           " You may close the other program and press Retry, Exit this" +
           " program, run this program offline, or choose another port";
}

std::string no_saved_configuration_text(const std::string& method_folder)
{
    return std::string("The Kelvo is not connected and ") + " there is no " + "latest_kelvo.kol in " + method_folder + "!";
}

std::string invalid_saved_configuration_text(const std::string& method_folder)
{
    return std::string("The Kelvo is not connected and ") + "latest_kelvo.kol in " + method_folder + " is not valid!";
}

int floored_polling_interval(int ms) { return std::max(10, ms); }

int polling_interval_ms(SettingsStore& settings)
{
    return floored_polling_interval(read_setting_integer(settings, "Polling interval", 500));
}

void apply_timeout_settings(KelvoLink& link, SettingsStore& settings)
{
    link.set_atom_timeout_ticks(ticks_from_ms(read_setting_integer(settings, "Atom timeout (msec)", 3000)));
    link.set_status_timeout_ticks(ticks_from_ms(read_setting_integer(settings, "Status timeout (msec)", 3000)));
}

std::string rejected_configuration_path(const MethodFolder& folder)
{
    std::string path = folder.path(FolderDocument::saved_configuration);
    const std::string::size_type dot = path.rfind('.');
    return path.substr(0, dot) + ".rejected" + path.substr(dot);
}

std::string rejected_configuration_text(const std::string& rejected_path, const std::string& saved_path, bool saved_kept)
{
    std::string text = "The configuration received from the Kelvo is not valid; it was saved as " + rejected_path;
    if (saved_kept) text += ", and " + saved_path + " was kept as it was";
    return text + ".";
}

bool save_configuration_lines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) bytes += "\r\n";
        bytes += lines[i];
    }
    return write_file_atomically(file_system_path(path).string(), bytes);
}

bool load_configuration_lines(const std::string& path, std::vector<std::string>& lines)
{
    return read_text_lines(file_system_path(path).string(), lines);
}

StartupChain::StartupChain(KelvoLink& link, ConfigurationStore& configuration, StartupUi& ui,
                           const MethodFolder& folder, Prompts& prompts)
    : link_(link), configuration_(configuration), folder_(folder), ui_(ui), prompts_(prompts)
{
}

OpenResult StartupChain::probe(int port)
{
    SerialPort& p = link_.port();
    const OpenResult result = p.open(port);
    p.close();
    return result;
}

bool StartupChain::open_port()
{
    SerialPort& p = link_.port();
    p.close();
    for (;;) {
        const OpenResult result = p.open(port_number_);
        if (result == OpenResult::ok) return true;
        if (ui_.quitting()) return false;
        // A port taken between the probe and the open is as good as missing.
        const int next = ui_.choose_port(port_number_);
        if (next < 1 || ui_.quitting()) return false;
        port_number_ = next;
    }
}

bool StartupChain::start()
{
    outcome_ = ChainOutcome::running;
    offline_reason_ = OfflineReason::none;
    offline_command_.clear();
    if (link_.offline()) {
        offline_reason_ = OfflineReason::by_switch;
        offline_fallback();
        return true;
    }
    // Every way round this loop asks a dialog; once the program is closing
    // the dialogs return at once, so the loop ends there.
    auto quit = [this] {
        finish(ChainOutcome::exit_program);
        return false;
    };
    for (;;) {
        if (ui_.quitting()) return quit();
        const OpenResult result = probe(port_number_);
        if (result == OpenResult::ok) break;
        if (result == OpenResult::in_use) {
            const BusyPortChoice choice = ui_.choose_busy_port(port_number_);
            if (ui_.quitting()) return quit();
            switch (choice) {
            case BusyPortChoice::retry: continue;
            case BusyPortChoice::exit_program:
                finish(ChainOutcome::exit_program);
                ui_.exit_program();
                return false;
            case BusyPortChoice::run_offline:
                go_offline(OfflineReason::port_in_use);
                return true;
            case BusyPortChoice::another_port: break;
            }
        }
        // Another port was asked for, or this one does not exist.
        const int next = ui_.choose_port(port_number_);
        if (ui_.quitting()) return quit();
        if (next < 1) {
            go_offline(result == OpenResult::in_use ? OfflineReason::port_in_use : OfflineReason::cannot_open);
            return true;
        }
        port_number_ = next;
    }
    if (!open_port()) {
        if (ui_.quitting()) return quit();
        go_offline(OfflineReason::cannot_open);
        return true;
    }
    link_.ui().busy_cursor();
    status_check();
    return true;
}

void StartupChain::go_offline(OfflineReason reason)
{
    offline_reason_ = reason;
    link_.set_offline(true);
    offline_fallback();
}

void StartupChain::reload()
{
    outcome_ = ChainOutcome::running;
    // Offline lasts until the program ends ("OFF" means no port at all):
    // reloading reads the saved copy again.
    if (link_.offline()) {
        offline_fallback();
        return;
    }
    link_.ui().busy_cursor();
    status_check();
}

void StartupChain::status_check()
{
    link_.send_command(CommandKind::status, protocol::get_status, [this] { baud_up(); }, false, [this] { fast_probe(); });
}

void StartupChain::baud_up()
{
    link_.send_command(
        CommandKind::status, protocol::set_fast_speed,
        [this] {
            link_.port().set_speed(fast_speed);
            link_.set_offline(false);
            read_configuration();
        },
        false, [this] { no_answer_to("SET_BAUD 38400"); });
}

// An instrument still at 38400 baud from an earlier run did not understand
// "GET_STAT" at 9600; at its speed it answers "???" with an error line.
void StartupChain::fast_probe()
{
    link_.port().set_speed(fast_speed);
    link_.send_command(CommandKind::reply, protocol::probe, [this] { read_configuration(); }, true,
                       [this] { no_answer_to("GET_STAT"); });
}

void StartupChain::read_configuration()
{
    link_.ui().status_text(receiving_configuration_text);
    link_.send_command(CommandKind::status, protocol::get_configuration, [this] { configuration_received(); }, false,
                       [this] { no_answer_to("GET_CONFIG"); });
}

void StartupChain::configuration_received()
{
    const std::vector<std::string> lines = link_.return_box();
    ui_.set_window_title();
    link_.ui().status_text(configuration_received_text);
    std::error_code ec;
    if (!fs::is_directory(file_system_path(folder_.folder()), ec)) ui_.choose_method_folder();
    const std::string path = folder_.path(FolderDocument::saved_configuration);
    configuration_valid_ = configuration_.parse(lines);
    configuration_saved_ = false;
    if (configuration_valid_) {
        // The copy is what the program runs from when the instrument is
        // away next time: a copy that could not be written must not pass
        // unnoticed.
        configuration_saved_ = save_configuration_lines(path, lines);
        if (!configuration_saved_) prompts_.show_error("Could not write " + path + "!");
        link_.ui().status_text(std::to_string(configuration_.object_count()) + objects_received_suffix);
        configuration_.write_tray_report(folder_.folder());
    } else {
        // A garbled or empty answer must not replace the copy that works:
        // it goes beside it, for whoever looks into the fault.
        const std::string rejected = rejected_configuration_path(folder_);
        if (save_configuration_lines(rejected, lines))
            prompts_.show_information(rejected_configuration_text(rejected, path, fs::is_regular_file(file_system_path(path), ec)));
        else
            prompts_.show_error("Could not write " + rejected + "!");
    }
    ui_.refill_object_pickers();
    ui_.refresh_editors();
    link_.ui().restore_cursor();
    link_.ui().close_splash_and_show_main();
    ui_.reopen_last_documents();
    baud_down();
}

void StartupChain::baud_down()
{
    link_.send_command(
        CommandKind::status, protocol::set_normal_speed,
        [this] {
            link_.port().set_speed(normal_speed);
            // Give the instrument time to change its speed.
            ui_.after_ms(500, [this] { firmware(); });
        },
        false, [this] { stop_not_responding(); });
}

void StartupChain::firmware()
{
    link_.send_command(
        CommandKind::status, protocol::get_firmware_version,
        [this] {
            firmware_version_ = link_.first_answer_line();
            finish(ChainOutcome::online);
        },
        false, [this] { stop_not_responding(); });
}

void StartupChain::no_answer_to(const std::string& command)
{
    // A device that went away closed the port; silence leaves it open.
    offline_reason_ = link_.port().is_open() ? OfflineReason::no_answer : OfflineReason::port_lost;
    offline_command_ = command;
    timed_out_to_offline();
}

void StartupChain::timed_out_to_offline()
{
    link_.ui().close_splash_and_show_main();
    offline_fallback();
}

void StartupChain::stop_not_responding()
{
    link_.not_responding();
    finish(ChainOutcome::not_responding);
}

void StartupChain::offline_fallback()
{
    link_.set_offline(true);
    ui_.set_window_title();
    const std::string folder = folder_.folder();
    const std::string path = folder_.path(FolderDocument::saved_configuration);
    std::error_code ec;
    if (!fs::is_regular_file(file_system_path(path), ec)) {
        configuration_valid_ = false;
        report_unavailable(no_saved_configuration_text(folder));
        return;
    }
    std::vector<std::string> lines;
    configuration_valid_ = load_configuration_lines(path, lines) && configuration_.parse(lines);
    ui_.refill_object_pickers();
    ui_.refresh_editors();
    link_.ui().restore_cursor();
    if (!configuration_valid_) {
        report_unavailable(invalid_saved_configuration_text(folder));
        return;
    }
    link_.ui().status_text(running_offline_text);
    ui_.status_window_first_line(running_offline_text);
    ui_.refresh_editors();
    ui_.reopen_last_documents();
    if (!offline_by_switch_) prompts_.show_information(running_offline_text);
    configuration_.write_tray_report(folder);
    finish(ChainOutcome::offline);
}

void StartupChain::report_unavailable(const std::string& text)
{
    prompts_.show_error(text);
    link_.ui().restore_cursor();
    link_.ui().status_text(both_unavailable_text);
    ui_.clear_documents();
    finish(ChainOutcome::unavailable);
}

void StartupChain::finish(ChainOutcome outcome)
{
    outcome_ = outcome;
    ui_.chain_finished(outcome);
}

}  // namespace kelvo
