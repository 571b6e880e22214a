#include "engine/run_engine.h"

#include "config/config_db.h"
#include "engine/resolve.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/value_checks.h"
#include "link/kelvo_link.h"

namespace kelvo {

std::string syringe_mismatch_text(const std::string& method, const std::string& needed, const std::string& mounted)
{
    const std::string q = "\"";
    return "Method " + q + method + q + " uses syringe " + q + needed + q + " but syringe " + q + mounted + q +
           " is in the KELVO. Please insert syringe " + q + needed + q + " into the KELVO.";
}

std::optional<long long> repeat_argument(const std::string& command)
{
    const std::vector<std::string> values = atom_line_values(command);
    const std::string text = values.empty() ? std::string() : values.front();
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    if (i >= text.size()) return 0;
    long long n = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        n = n * 10 + (text[i] - '0');
        if (n > RunEngine::repeat_limit) return std::nullopt;
    }
    return negative ? -n : n;
}

RunEngine::RunEngine(const Context& context, KelvoLink& link, RunDialogs& dialogs, SampleVariables& sample)
    : context_(context), db_(context.config), link_(link), dialogs_(dialogs), sample_(sample)
{
}

bool RunEngine::expand(const std::string& syringe, const std::vector<std::string>& method_lines)
{
    return kelvo::expand(context_, syringe, method_lines, lists);
}

bool RunEngine::build_error_path()
{
    alternate_cmd_list.clear();
    const auto add_macro = [this](const char* name) {
        if (!macro_file_exists(context_.folder, name)) return true;
        std::vector<std::string> file;
        if (!read_macro_file(context_.folder, name, file)) {
            context_.prompts.show_error("couldnt read " + macro_path(context_.folder, name));
            return false;
        }
        const std::optional<std::vector<std::string>> lines = check_parameterless_macro(context_, name, file);
        if (!lines) return false;
        alternate_cmd_list.insert(alternate_cmd_list.end(), lines->begin(), lines->end());
        return true;
    };
    if (!add_macro("ERROR ENTRY")) return false;
    alternate_cmd_list.push_back(error_dlg_line);
    if (!add_macro("ERROR EXIT")) return false;
    alternate_cmd_list.push_back(error_response_line);
    return true;
}

RunValues RunEngine::run_values() const
{
    RunValues v;
    v.sl = sample_;
    v.mounted_syringe = mounted_syringe;
    v.repeat_count = static_cast<int>(repeat_total);
    v.repeat_remaining = static_cast<int>(repeat_count);
    return v;
}

int RunEngine::start(std::int64_t now_ms)
{
    cmd_list = lists.expanded_method;
    method_running = true;
    pause_request = false;
    paused_at_boundary = false;
    stalled = false;
    waiting_for_ds = false;
    row_sent = false;
    start_time_ms = now_ms;
    error_text.clear();
    on_error_path = false;
    command_index = 0;
    error_index = 0;
    return send_next();
}

void RunEngine::fail(const std::string& text)
{
    if (!text.empty()) context_.prompts.show_error(text);
    stalled = true;
}

std::optional<std::string> RunEngine::resolve_main(int k)
{
    const RunValues values = run_values();
    const ResolveInput in{db_, lists, values, dialogs_, context_.prompts};
    return resolve_command(in, static_cast<std::size_t>(k), cmd_list[static_cast<std::size_t>(k)]);
}

std::optional<std::string> RunEngine::resolve_error(int k)
{
    const RunValues values = run_values();
    const ResolveInput in{db_, lists, values, dialogs_, context_.prompts};
    return resolve_error_command(in, alternate_cmd_list[static_cast<std::size_t>(k)]);
}

void RunEngine::send_atom(const std::string& command, bool main_list)
{
    // Messages quote the command of the main list; an error path's own
    // atoms leave it alone, so the error dialog names the failed command.
    if (main_list) link_.set_last_command_text(command);
    link_.send_command(CommandKind::atom, command, {}, false, link_.not_responding_action());
}

// INC_INDEX, REPEAT, END and WAIT_FOR_DS on the list at index (the loop is
// shared by both lists).
RunEngine::Flow RunEngine::step_builtin(const std::string& command, int& index, const std::vector<std::string>& list)
{
    const std::string name = line_name(command);
    if (same_text(name, "INC_INDEX")) {
        ++sample_.index;
        ++index;
        return Flow::next;
    }
    if (same_text(name, "REPEAT")) {
        const std::optional<long long> n = repeat_argument(command);
        if (!n) {
            fail(command + ": the repeat count is outside -" + std::to_string(repeat_limit) + " to " +
                 std::to_string(repeat_limit));
            return Flow::fail;
        }
        if (*n != 0) {
            repeat_count = *n;
            repeat_total = *n;
            loop_start = index + 1;
            ++index;
        } else {
            int i = index + 1;
            while (i < static_cast<int>(list.size()) && !same_text(line_name(list[static_cast<std::size_t>(i)]), "END"))
                ++i;
            index = i < static_cast<int>(list.size()) ? i + 1 : static_cast<int>(list.size());
        }
        return Flow::next;
    }
    if (same_text(name, "END")) {
        --repeat_count;
        index = repeat_count > 0 ? loop_start : index + 1;
        return Flow::next;
    }
    return Flow::sent;  // not a pseudo-command
}

int RunEngine::send_next()
{
    // A dialog opened below keeps the message loop running; nothing may
    // start a second stepping meanwhile.
    if (in_send_next_) return 1;
    // An atom is still on its way or running: the next command follows its "@".
    const WaitState w = link_.wait_state();
    if (method_running && (w == WaitState::awaiting_acceptance || w == WaitState::atom_running ||
                           w == WaitState::awaiting_atom_info))
        return 1;
    in_send_next_ = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{in_send_next_};

    long long turns = 0;
    for (;;) {
        if (++turns > turn_limit) {
            fail("The method steps through more than " + std::to_string(turn_limit) +
                 " lines without sending a command.");
            return 0;
        }
        if (method_running && pause_request) {
            paused_at_boundary = true;
            return 1;
        }
        if (!commands_remain()) {
            method_running = false;
            link_.mark_method_complete();
            return 0;
        }
        std::optional<std::string> resolved;
        if (step_mode) {
            const std::string& listed = cmd_list[static_cast<std::size_t>(command_index)];
            StepDialogContent content;
            content.command = listed;
            const int atom = db_.atom_index(line_name(listed));
            const bool marker = listed == check_sl_entry_marker || listed == check_sl_exit_marker;
            if (!marker && atom < db_.atom_count()) {
                for (const AtomArgument& a : db_.atoms()[static_cast<std::size_t>(atom)].arguments)
                    content.names.push_back(a.name);
                resolved = resolve_main(command_index);
                if (resolved) content.command = *resolved;
            }
            content.values = atom_line_values(content.command);
            const int shown_at = command_index;
            switch (dialogs_.step(content)) {
            case StepAnswer::step: break;
            case StepAnswer::cancel_method:
                step_mode = false;
                command_index = lists.body_end;
                break;
            case StepAnswer::leave_step_mode:
                step_mode = false;
                if (on_step_mode_left) on_step_mode_left();
                break;
            }
            if (command_index != shown_at) resolved.reset();
            if (!commands_remain()) continue;
        }
        const std::string line = cmd_list[static_cast<std::size_t>(command_index)];
        if (line == check_sl_entry_marker) {
            command_index = first_sample ? command_index + 1 : lists.body_start;
            continue;
        }
        if (line == check_sl_exit_marker) {
            command_index = (last_sample || sample_list_stopped) ? command_index + 1 : static_cast<int>(cmd_list.size());
            continue;
        }
        std::string command = line;
        if (db_.atom_index(line_name(line)) < db_.atom_count()) {
            if (!resolved) resolved = resolve_main(command_index);
            if (!resolved) {
                fail("");
                return 0;
            }
            command = *resolved;
            if (step_builtin(command, command_index, cmd_list) == Flow::next) continue;
            if (stalled) return 0;
            if (same_text(line_name(command), "WAIT_FOR_DS")) {
                if (gate_->active()) {
                    waiting_for_ds = true;
                    return 1;
                }
                ++command_index;
                continue;
            }
        }
        send_atom(command, true);
        ++command_index;
        return 1;
    }
}

void RunEngine::wait_for_ds_done()
{
    ++command_index;
    send_next();
}

void RunEngine::start_error_path(const std::string& error_line)
{
    error_text = error_line;
    on_error_path = true;
    error_index = 0;
    continue_error_path();
}

void RunEngine::continue_error_path()
{
    long long turns = 0;
    for (;;) {
        if (++turns > turn_limit) {
            fail("The error path steps through more than " + std::to_string(turn_limit) +
                 " lines without sending a command.");
            return;
        }
        if (method_running && pause_request) {
            paused_at_boundary = true;
            return;
        }
        if (error_index >= static_cast<int>(alternate_cmd_list.size())) {
            // An error path without its response line (none is built so)
            // ends as Ignore would.
            on_error_path = false;
            send_next();
            return;
        }
        const std::string line = alternate_cmd_list[static_cast<std::size_t>(error_index)];
        if (line == error_dlg_line) {
            const std::string text = error_text.size() > 1 ? error_text.substr(1) : std::string();
            dialog_answer = context_.prompts.ask_abort_retry_ignore(link_.last_command_text() + ": error :" + text);
            ++error_index;
            continue;
        }
        if (line == error_response_line) {
            on_error_path = false;
            switch (dialog_answer) {
            case AbortRetryIgnore::abort:
                abort_run_position();
                last_sample = true;
                break;
            case AbortRetryIgnore::retry:
                if (command_index > 0) --command_index;
                break;
            case AbortRetryIgnore::ignore: break;
            }
            send_next();
            return;
        }
        std::string command = line;
        if (db_.atom_index(line_name(line)) < db_.atom_count()) {
            const std::optional<std::string> resolved = resolve_error(error_index);
            if (!resolved) {
                fail("");
                return;
            }
            command = *resolved;
            if (step_builtin(command, error_index, alternate_cmd_list) == Flow::next) continue;
            if (stalled) return;
        }
        send_atom(command, false);
        ++error_index;
        return;
    }
}

void RunEngine::abort_run_position()
{
    if (on_abort_sample_list) on_abort_sample_list();
    command_index = lists.body_end;
}

}  // namespace kelvo
