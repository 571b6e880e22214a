#pragma once
// The stepping of a run through its command lists: `cmd_list` (a copy of the
// expanded method) and `alternate_cmd_list` (the error path), the run
// position, the pseudo-commands (CHECK markers, INC_INDEX, REPEAT/END,
// WAIT_FOR_DS, ERROR DLG/ERROR RESPONSE) and the sending of each resolved
// command as an atom command of the link. Starting, stopping and the
// buttons are MethodRun's.
//
// Bounds of our own: a REPEAT count beyond ±repeat_limit, and more than
// turn_limit lines stepped without a command sent (a loop of pseudo-commands
// only), end the stepping with a message like any send-time failure.
#include "config/context.h"
#include "engine/expand.h"
#include "engine/run_dialogs.h"
#include "engine/run_lists.h"
#include "ground/prompts.h"
#include "language/expression.h"
#include "language/sample_variables.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;
class KelvoLink;

inline constexpr const char* error_dlg_line = "ERROR DLG()";
inline constexpr const char* error_response_line = "ERROR RESPONSE()";

class RunEngine {
public:
    static constexpr long long repeat_limit = 1000000;
    static constexpr long long turn_limit = 1000000;

    RunEngine(const Context& context, KelvoLink& link, RunDialogs& dialogs, SampleVariables& sample);
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;

    void set_data_system(DataSystemGate* gate) { gate_ = gate ? gate : &no_gate_; }

    // --- lists ---
    RunLists lists;
    std::vector<std::string> cmd_list;
    std::vector<std::string> alternate_cmd_list;
    // Expand (syringe, calls) into `lists`; false after a message.
    bool expand(const std::string& syringe, const std::vector<std::string>& method_lines);
    // "ERROR ENTRY", "ERROR DLG()", "ERROR EXIT", "ERROR RESPONSE()".
    bool build_error_path();

    // --- run position ---
    int command_index = 0;
    int error_index = 0;
    long long repeat_count = 0;
    long long repeat_total = 0;  // the count the running REPEAT began with ("Repeat Count")
    int loop_start = 0;
    bool first_sample = true;
    bool last_sample = true;
    std::string error_text;
    AbortRetryIgnore dialog_answer = AbortRetryIgnore::abort;
    std::string mounted_syringe;  // what "SYR" stands for

    // --- run flags ---
    bool method_running = false;
    bool step_mode = false;
    bool pause_request = false;
    bool paused_at_boundary = false;
    bool on_error_path = false;
    bool waiting_for_ds = false;
    bool row_sent = false;
    bool sample_list_running = false;
    bool sample_list_stopped = false;
    std::int64_t start_time_ms = 0;
    // The stepping ended on a failure (a command that could not be resolved,
    // a runaway loop, an instrument that stopped answering): nothing more
    // will be sent until the run is stopped or started anew.
    bool stalled = false;

    // --- operations ---
    // Copies the expanded method to `cmd_list`, marks the run, sends the
    // first command. Result as send_next.
    int start(std::int64_t now_ms);
    // 1 when a command is on its way or the run waits; 0 when the run has
    // finished (*method complete* set on the link) or failed (stalled).
    int send_next();
    void continue_error_path();
    // An instrument error line during a run.
    void start_error_path(const std::string& error_line);
    // The command index to body end; the sample list's part through
    // on_abort_sample_list.
    void abort_run_position();
    bool commands_remain() const { return command_index < static_cast<int>(cmd_list.size()); }
    // The service timer after "WAIT_FOR_DS": past it, on to the next command.
    void wait_for_ds_done();

    // The step dialog's "&Leave Step Mode" (the main "&Step" button is disabled).
    std::function<void()> on_step_mode_left;
    // Abort run position: the current row stopped, no further sample.
    std::function<void()> on_abort_sample_list;

    // The values an evaluation reads now.
    RunValues run_values() const;

private:
    enum class Flow { next, sent, wait, fail };
    Flow step_builtin(const std::string& command, int& index, const std::vector<std::string>& list);
    void send_atom(const std::string& command, bool main_list);
    std::optional<std::string> resolve_main(int k);
    std::optional<std::string> resolve_error(int k);
    void fail(const std::string& text);

    Context context_;
    const ConfigDb& db_;
    KelvoLink& link_;
    RunDialogs& dialogs_;
    SampleVariables& sample_;
    DataSystemGate no_gate_;
    DataSystemGate* gate_ = &no_gate_;
    bool in_send_next_ = false;
};

// The integer a REPEAT command's first argument reads as: optional "-" and
// digits; anything else is 0. nullopt beyond ±RunEngine::repeat_limit.
std::optional<long long> repeat_argument(const std::string& command);

}  // namespace kelvo
