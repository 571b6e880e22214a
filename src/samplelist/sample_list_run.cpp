#include "samplelist/sample_list_run.h"

#include "engine/method_run.h"
#include "engine/run_dialogs.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/method.h"
#include "language/sample_variables.h"
#include "link/kelvo_link.h"
#include "samplelist/sample_list_document.h"

#include <algorithm>

namespace kelvo {

namespace {

const std::string quote = "\"";

void first_line_only(RunView& view, const std::string& text)
{
    view.status_line(StatusLine::running, text);
    view.status_line(StatusLine::method, "");
    view.status_line(StatusLine::tray_and_vial, "");
    view.status_line(StatusLine::atom_status, "");
}

}  // namespace

SampleVariables sample_variables_of_row(const SampleTable& table, int row)
{
    SampleVariables sl;
    sl.volume = decimal_or_zero(table.cell(column_no::volume, row));
    sl.volume2 = decimal_or_zero(table.cell(column_no::volume2, row));
    sl.index = integer_or_zero(table.cell(column_no::vial, row));
    sl.tray = table.cell(column_no::tray, row);
    sl.tray2 = table.cell(column_no::tray2, row);
    sl.injector = table.cell(column_no::injector, row);
    sl.injector2 = table.cell(column_no::injector2, row);
    const std::string count = table.cell(column_no::inj_per_vial, row);
    sl.injpervial = count.empty() ? 1 : integer_or_zero(count);
    return sl;
}

bool read_list_method(const MethodFolder& folder, const std::string& name, std::string& syringe,
                      std::vector<std::string>& calls)
{
    syringe.clear();
    calls.clear();
    std::vector<std::string> file;
    if (!method_file_exists(folder, name) || !folder.read_lines(FolderDocument::method, name, file)) return false;
    std::size_t i = 0;
    while (i < file.size() && file[i].rfind("//", 0) == 0) ++i;
    if (i < file.size()) {
        syringe = file[i].size() > 8 ? file[i].substr(8) : std::string();
        ++i;
    }
    calls.assign(file.begin() + static_cast<std::ptrdiff_t>(i), file.end());
    return true;
}

std::string running_line_log(int row, const std::string& method, const std::string& syringe,
                              const SampleVariables& sl, int cycle, int of)
{
    return "Running Line " + std::to_string(row) + ": Method " + quote + method + "," + quote + " Syringe " +
           syringe + ",   Volume " + decimal_text(sl.volume) + ",  Tray " + sl.tray + ",   Vial " +
           std::to_string(sl.index) + "    (cycle  " + std::to_string(cycle + 1) + " of " + std::to_string(of) +
           " cycles)";
}

std::string tray_and_vial_text(const SampleVariables& sl, int cycle, int of)
{
    std::string text = "Tray : " + sl.tray + ", Vial : " + std::to_string(sl.index);
    if (of > 1) text += " (" + std::to_string(cycle + 1) + " of " + std::to_string(of) + ")";
    return text;
}

SampleListRun::SampleListRun(MethodRun& run, KelvoLink& link, SampleListDocument& document, RunDialogs& dialogs,
                             RunView& view, SampleVariables& sample)
    : run_(run), link_(link), document_(document), dialogs_(dialogs), view_(view), sample_(sample)
{
    run_.engine().on_abort_sample_list = [this] { abort_sample(); };
}

SampleListRun::~SampleListRun() { run_.engine().on_abort_sample_list = nullptr; }

void SampleListRun::add_observer(SampleListRunObserver* observer)
{
    if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void SampleListRun::remove_observer(SampleListRunObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void SampleListRun::set_caption(const char* caption)
{
    caption_ = caption;
    if (start_caption_changed) start_caption_changed(caption_);
}

void SampleListRun::set_row_status(int row, RowStatus status)
{
    SampleTable& table = document_.table();
    const RowStatus before = table.status(row);
    if (before == status) return;
    table.set_status(row, status);
    if (before == RowStatus::running && (status == RowStatus::done || status == RowStatus::stopped))
        notify([&](SampleListRunObserver& o) { o.row_finished(row, status); });
}

bool SampleListRun::first_sample() const { return cycle_ == 0 && row_ == first_row_; }

std::string no_such_row_text(int row, int rows)
{
    return "The sample list has no row " + std::to_string(row) + " to start from (rows 1 to " +
           std::to_string(rows) + ").";
}

bool SampleListRun::start_from_row(int row)
{
    if (running_ || caption_ != start_caption) return false;
    const int rows = document_.table().rows();
    if (row < 1 || row > rows) {
        run_.context().prompts.show_error(no_such_row_text(row, rows));
        return false;
    }
    first_row_ = row;
    start();
    first_row_ = running_ ? first_row_ : 1;
    return running_;
}

bool SampleListRun::last_sample() const
{
    return cycle_ == injections_ - 1 && row_ >= document_.table().rows();
}

bool SampleListRun::stalled() const
{
    if (!running_ || awaiting_syringe_ || link_.method_complete()) return false;
    const RunEngine& engine = run_.engine();
    return !engine.method_running || engine.stalled;
}

// ---- The buttons

void SampleListRun::run_sample_list_buttonClick()
{
    if (caption_ == start_caption) {
        first_row_ = 1;
        start();
        return;
    }
    if (running_) {
        stop();
        return;
    }
    run_.context().prompts.show_information(list_not_running_text);
}

void SampleListRun::pause_buttonClick()
{
    if (!running_) return;
    if (run_.paused())
        run_.resume();
    else
        run_.pause();
}

void SampleListRun::start()
{
    if (link_.offline()) {
        run_.context().prompts.show_error(list_offline_text);
        return;
    }
    RunEngine& engine = run_.engine();
    if (!document_.validate() || !engine.build_error_path()) return;
    if (chemstation_ && document_.name().empty()) {
        run_.context().prompts.show_error(unnamed_list_text);
        return;
    }
    ++generation_;
    running_ = true;
    stop_requested_ = false;
    had_error_ = false;
    row_ = first_row_;
    cycle_ = 0;
    engine.step_mode = false;
    engine.sample_list_running = true;
    engine.sample_list_stopped = false;
    set_caption(stop_list_caption);
    view_.enable_run(false);
    view_.enable_step(false);
    engine.command_index = 0;
    engine.on_error_path = false;
    // Resumed: the rows before the first keep what they had.
    SampleTable& table = document_.table();
    for (int r = first_row_; r <= table.rows(); ++r) table.set_status(r, RowStatus::none);
    notify([&](SampleListRunObserver& o) { o.list_started(document_.name(), table.rows()); });
    if (first_row_ > 1) notify([&](SampleListRunObserver& o) { o.list_resumed(first_row_); });
    start_row();
    view_.log_message(list_started_log);
    view_.status_line(StatusLine::running, "Started sample list " + quote + document_.name() + quote + ".");
}

// ---- Rows and cycles

void SampleListRun::start_row()
{
    SampleTable& table = document_.table();
    const SampleVariables sl = sample_variables_of_row(table, row_);
    method_ = table.cell(column_no::method, row_);
    sample_ = sl;
    injections_ = std::max(1, sl.injpervial);
    sample_.injpervial = injections_;
    cycle_ = 0;
    table.set_run_position({true, row_});
    set_row_status(row_, RowStatus::running);
    notify([&](SampleListRunObserver& o) { o.row_started(row_, method_); });
    notify([&](SampleListRunObserver& o) { o.row_values(row_, sample_); });
    ask_syringe();
}

void SampleListRun::ask_syringe()
{
    const std::uint64_t generation = generation_;
    const auto answered = [this, generation] {
        if (generation != generation_ || !running_) return;
        awaiting_syringe_ = false;
        instrument_syringe_ = link_.first_answer_line();
        syringe_check();
    };
    awaiting_syringe_ = true;
    if (link_.offline()) {
        answered();
        return;
    }
    link_.send_command(CommandKind::status, "GET_SYR", answered, false, link_.not_responding_action());
}

void SampleListRun::syringe_check()
{
    if (!running_) return;
    // Stopped while the syringe was being asked for: nothing of this row
    // runs any more.
    if (stop_requested_) {
        complete();
        return;
    }
    RunEngine& engine = run_.engine();
    engine.mounted_syringe = instrument_syringe_;
    std::string method_syringe;
    std::vector<std::string> calls;
    if (!read_list_method(run_.context().folder, method_, method_syringe, calls)) {
        run_.context().prompts.show_error("Method " + quote + method_ + quote + " does not exist.");
        return;
    }
    if (!same_text(method_syringe, instrument_syringe_)) {
        if (dialogs_.syringe_mismatch(method_, method_syringe, instrument_syringe_)) {
            ask_syringe();
            return;
        }
        set_row_status(row_, RowStatus::stopped);
        end_list(ListOutcome::syringe_refused);
        return;
    }
    if (!engine.expand(method_syringe, calls)) return;
    if (engine.lists.expanded_method.empty()) {
        run_.context().prompts.show_error("Method " + method_ + " is empty!");
        return;
    }
    engine.last_sample = last_sample();
    engine.first_sample = first_sample();
    if (!run_.start_list_method(method_)) return;
    view_.status_text("Running method " + quote + method_ + quote + ".");
    view_.log_message(running_line_log(row_, method_, instrument_syringe_, sample_, cycle_, injections_));
    view_.status_line(StatusLine::running, "Running sample list line " + std::to_string(row_));
    view_.status_line(StatusLine::method, "Method : " + method_);
    view_.status_line(StatusLine::tray_and_vial, tray_and_vial_text(sample_, cycle_, injections_));
    view_.status_line(StatusLine::atom_status, "");
    notify([&](SampleListRunObserver& o) { o.cycle_started(row_, cycle_ + 1, injections_); });
}

void SampleListRun::take_error_text()
{
    if (!run_.engine().error_text.empty()) had_error_ = true;
}

void SampleListRun::next_step()
{
    if (!running_) return;
    take_error_text();
    if (cycle_ < injections_ - 1) {
        ++cycle_;
        syringe_check();
        return;
    }
    cycle_ = 0;
    if (document_.table().status(row_) == RowStatus::running) set_row_status(row_, RowStatus::done);
    if (row_ >= document_.table().rows()) {
        complete();
        return;
    }
    ++row_;
    start_row();
}

void SampleListRun::complete()
{
    view_.log_message(list_completed_text);
    first_line_only(view_, list_completed_text);
    end_list(stop_requested_ ? ListOutcome::stopped : ListOutcome::completed);
}

void SampleListRun::end_list(ListOutcome outcome)
{
    running_ = false;
    awaiting_syringe_ = false;
    ++generation_;
    RunEngine& engine = run_.engine();
    engine.sample_list_running = false;
    document_.table().set_run_position({});
    set_caption(start_caption);
    view_.restore_cursor();
    view_.enable_run(true);
    view_.enable_start(true);
    view_.enable_step(true);
    notify([&](SampleListRunObserver& o) { o.list_ended(outcome); });
}

// ---- Stop, pause, errors

void SampleListRun::stop()
{
    run_.pause();
    if (run_.context().prompts.ask_yes_no(stop_list_question) && running_) stop_confirmed();
    if (!running_) return;
    RunEngine& engine = run_.engine();
    // Parked at "WAIT_FOR_DS": the run goes on from the exit commands. No
    // atom runs there, so the pending "CANCEL" would hit the first exit atom.
    const bool parked = stop_requested_ && (engine.waiting_for_ds || engine.row_sent);
    if (parked) {
        engine.waiting_for_ds = false;
        engine.row_sent = false;
        run_.withdraw_cancel();
    }
    run_.resume();
    if (parked && engine.method_running && !engine.on_error_path) engine.send_next();
    // Nothing will complete: the list ends here.
    if (stop_requested_ && stalled()) {
        if (engine.method_running) run_.end_stalled_run();
        complete();
    }
}

void SampleListRun::stop_confirmed()
{
    view_.busy_cursor();
    stop_requested_ = true;
    RunEngine& engine = run_.engine();
    engine.sample_list_stopped = true;
    set_row_status(row_, RowStatus::stopped);
    engine.command_index = engine.lists.body_end;
    cycle_ = injections_ - 1;
    row_ = std::max(row_, document_.table().rows());
    run_.request_cancel();
    view_.log_message(list_stopped_text);
    first_line_only(view_, list_stopped_text);
}

void SampleListRun::abort_sample()
{
    if (!running_) return;
    take_error_text();
    set_row_status(row_, RowStatus::stopped);
    cycle_ = injections_ - 1;
    row_ = std::max(row_, document_.table().rows());
}

void SampleListRun::error_stop()
{
    if (!running_) return;
    set_row_status(row_, RowStatus::stopped);
    stop_requested_ = true;
    run_.engine().sample_list_stopped = true;
    end_list(ListOutcome::not_responding);
}

SequenceRow SampleListRun::current_sequence_row() const
{
    SequenceRow row;
    row.sequence_name = document_.name();
    const SampleTable& table = document_.table();
    for (int col = column_no::method; col <= table.cols(); ++col)
        row.cells.emplace_back(table.columns().column(col).heading, table.cell(col, row_));
    return row;
}

}  // namespace kelvo
