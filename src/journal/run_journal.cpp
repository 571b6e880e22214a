#include "journal/run_journal.h"

#include "ground/clock.h"
#include "ground/cp1252.h"
#include "ground/text_utils.h"
#include "language/sample_variables.h"
#include "link/protocol.h"

#include <cstdio>

namespace kelvo {

namespace {

std::string iso_time(const LocalTime& t)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return text;
}

std::string utf8(const std::string& cp1252) { return cp1252_to_utf8(cp1252); }

bool is_poll(const std::string& text) { return text == "GET_ATOM_INFO" || text == "GET_STAT"; }

const char* outcome_word(ListOutcome o)
{
    switch (o) {
    case ListOutcome::completed: return "completed";
    case ListOutcome::stopped: return "stopped";
    case ListOutcome::syringe_refused: return "syringe_refused";
    case ListOutcome::not_responding: return "not_responding";
    }
    return "completed";
}

}  // namespace

std::string atom_of_command(const std::string& text)
{
    const std::size_t open = text.find('(');
    const std::string name = open == std::string::npos ? text : text.substr(0, open);
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

void RunJournal::set_settings(int polling_ms, int atom_timeout_ms, const std::string& folder)
{
    settings_ = {{"polling_ms", polling_ms}, {"atom_timeout_ms", atom_timeout_ms}, {"folder", utf8(folder)}};
}

void RunJournal::write(const char* kind, JournalRecord record)
{
    record["v"] = journal_version;
    record["kind"] = kind;
    record["time"] = iso_time(clock_.local_now());
    record["ms"] = clock_.elapsed_ms() - start_ms_;
    if (!file_.append(record)) write_failed_ = true;
}

void RunJournal::start_run(JournalRecord record)
{
    start_ms_ = clock_.elapsed_ms();
    active_ = true;
    instrument_error_ = false;
    command_.clear();
    record["settings"] = settings_;
    write("run_start", std::move(record));
}

void RunJournal::method_started(const std::string& method, const std::string& syringe)
{
    list_run_ = false;
    start_run({{"run", "method"}, {"method", utf8(method)}, {"syringe", utf8(syringe)}});
}

void RunJournal::method_ended(bool completed, bool instrument_error)
{
    // A method run of a list ends with the list.
    if (!active_ || list_run_) return;
    write("run_end", {{"outcome", completed ? "completed" : "failed"}, {"instrument_error", instrument_error}});
    active_ = false;
}

void RunJournal::line(bool sent, const std::string& text)
{
    if (!active_) return;
    if (sent) {
        if (is_poll(text)) return;
        command_ = utf8(text);
        command_sent_ms_ = clock_.elapsed_ms();
        accepted_ = false;
        write("command", {{"text", command_}, {"atom", atom_of_command(command_)}});
        return;
    }
    if (command_.empty()) return;
    if (text == protocol::answer_end && !accepted_) {
        accepted_ = true;
        write("accepted", {{"text", command_}});
    } else if (text == protocol::atom_end) {
        write("finished", {{"text", command_},
                           {"atom", atom_of_command(command_)},
                           {"duration_ms", clock_.elapsed_ms() - command_sent_ms_}});
        command_.clear();
    } else if (text.size() > 1 && text[0] == protocol::error_line_mark) {
        instrument_error_ = true;
        write("instrument_error", {{"line", utf8(text)}, {"command", command_}});
    }
}

void RunJournal::dialog(const std::string& text, const std::string& answer)
{
    if (!active_) return;
    write("dialog", {{"text", utf8(text)}, {"answer", answer}});
}

void RunJournal::list_started(const std::string& list_name, int rows)
{
    list_run_ = true;
    start_run({{"run", "list"}, {"list", utf8(list_name)}, {"rows", rows}});
}

void RunJournal::list_resumed(int from_row) { write("resumed", {{"from_row", from_row}}); }

void RunJournal::row_started(int, const std::string& method) { row_method_ = method; }

void RunJournal::row_values(int row, const SampleVariables& sl)
{
    write("row_start", {{"row", row},
                        {"method", utf8(row_method_)},
                        {"volume", sl.volume},
                        {"tray", utf8(sl.tray)},
                        {"vial", sl.index},
                        {"injections", sl.injpervial}});
}

void RunJournal::cycle_started(int row, int cycle, int of)
{
    write("cycle_start", {{"row", row}, {"cycle", cycle}, {"of", of}});
}

void RunJournal::row_finished(int row, RowStatus status)
{
    write("row_end", {{"row", row}, {"status", status == RowStatus::done ? "done" : "stopped"}});
}

void RunJournal::list_ended(ListOutcome outcome)
{
    if (!active_) return;
    write("run_end", {{"outcome", outcome_word(outcome)}, {"instrument_error", instrument_error_}});
    active_ = false;
}

}  // namespace kelvo
