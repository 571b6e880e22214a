#include "journal/journal_runs.h"

#include "ground/text_utils.h"

#include <algorithm>
#include <cstdio>

namespace kelvo {

namespace {

std::string text_of(const JournalRecord& r, const char* key)
{
    const auto it = r.find(key);
    return it != r.end() && it->is_string() ? it->get<std::string>() : std::string();
}

template <typename T>
T number_of(const JournalRecord& r, const char* key, T fallback = T{})
{
    const auto it = r.find(key);
    return it != r.end() && it->is_number() ? it->get<T>() : fallback;
}

JournalRow* row_of(JournalRun& run, int row)
{
    for (auto it = run.row_list.rbegin(); it != run.row_list.rend(); ++it)
        if (it->row == row) return &*it;
    return nullptr;
}

std::string hms(std::int64_t ms)
{
    const std::int64_t s = std::max<std::int64_t>(0, (ms + 500) / 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return text;
}

// "2026-12-09T10:11:12" -> "10:11:12"
std::string clock_time(const std::string& iso)
{
    const std::size_t t = iso.find('T');
    return t == std::string::npos ? iso : iso.substr(t + 1);
}

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

}  // namespace

int JournalRun::first_unfinished_row() const
{
    for (int r = std::max(1, from_row); r <= rows; ++r) {
        const auto it = std::find_if(row_list.rbegin(), row_list.rend(), [r](const JournalRow& x) { return x.row == r; });
        if (it == row_list.rend() || it->status != "done") return r;
    }
    return 0;
}

std::vector<JournalRun> journal_runs(const std::vector<JournalRecord>& records)
{
    std::vector<JournalRun> runs;
    for (const JournalRecord& r : records) {
        const std::string kind = text_of(r, "kind");
        if (kind == "run_start") {
            JournalRun run;
            run.kind = text_of(r, "run");
            run.list = text_of(r, "list");
            run.method = text_of(r, "method");
            run.syringe = text_of(r, "syringe");
            run.rows = number_of<int>(r, "rows");
            run.start = run.end = text_of(r, "time");
            if (const auto s = r.find("settings"); s != r.end() && s->is_object()) run.folder = text_of(*s, "folder");
            runs.push_back(std::move(run));
            continue;
        }
        if (runs.empty() || runs.back().ended) continue;
        JournalRun& run = runs.back();
        const std::string time = text_of(r, "time");
        if (!time.empty()) run.end = time;
        run.duration_ms = std::max(run.duration_ms, number_of<std::int64_t>(r, "ms"));
        if (kind == "resumed") {
            run.from_row = number_of<int>(r, "from_row", 1);
        } else if (kind == "row_start") {
            JournalRow row;
            row.row = number_of<int>(r, "row");
            row.method = text_of(r, "method");
            row.volume = number_of<double>(r, "volume");
            row.tray = text_of(r, "tray");
            row.vial = number_of<int>(r, "vial");
            row.start = row.end = time;
            run.row_list.push_back(std::move(row));
        } else if (kind == "cycle_start") {
            if (JournalRow* row = row_of(run, number_of<int>(r, "row"))) ++row->cycles;
        } else if (kind == "row_end") {
            if (JournalRow* row = row_of(run, number_of<int>(r, "row"))) {
                row->status = text_of(r, "status");
                row->end = time;
            }
        } else if (kind == "command") {
            ++run.commands;
        } else if (kind == "instrument_error") {
            run.errors.push_back({time, text_of(r, "line"), text_of(r, "command"), ""});
        } else if (kind == "dialog") {
            // The error dialog answers the last error not yet answered.
            const std::string answer = text_of(r, "answer");
            if (!run.errors.empty() && run.errors.back().answer.empty() &&
                (answer == "abort" || answer == "retry" || answer == "ignore"))
                run.errors.back().answer = answer;
            else
                run.dialogs.push_back(text_of(r, "text") + ": " + answer);
        } else if (kind == "run_end") {
            run.ended = true;
            run.outcome = text_of(r, "outcome");
        }
    }
    return runs;
}

const JournalRun* interrupted_list_run(const std::vector<JournalRun>& runs)
{
    if (runs.empty() || runs.back().ended || runs.back().kind != "list") return nullptr;
    return runs.back().first_unfinished_row() > 0 ? &runs.back() : nullptr;
}

std::vector<std::string> run_report_lines(const JournalRun& run)
{
    std::vector<std::string> lines;
    const bool list = run.kind == "list";
    lines.push_back(list ? "Run report of sample list \"" + run.list + "\""
                         : "Run report of method \"" + run.method + "\"");
    lines.push_back("");
    if (!run.folder.empty()) lines.push_back("Method folder: " + run.folder);
    lines.push_back("Started:  " + run.start);
    lines.push_back("Ended:    " + (run.ended ? run.end : run.end + " (no end recorded: the program ended during the run)"));
    lines.push_back("Duration: " + hms(run.duration_ms));
    lines.push_back("Outcome:  " + (run.ended ? run.outcome : std::string("interrupted")));
    if (list && run.from_row > 1) lines.push_back("Resumed from row " + std::to_string(run.from_row));
    if (!list && !run.syringe.empty()) lines.push_back("Syringe:  " + run.syringe);
    int done = 0, stopped = 0;
    if (list) {
        lines.push_back("");
        lines.push_back(padded("Row", 5) + padded("Method", 26) + padded("Volume", 9) + padded("Tray", 10) +
                        padded("Vial", 6) + padded("Cycles", 8) + padded("Start", 10) + padded("End", 10) + "Outcome");
        for (const JournalRow& r : run.row_list) {
            const std::string status = r.status.empty() ? "unfinished" : r.status;
            done += r.status == "done";
            stopped += r.status == "stopped";
            lines.push_back(padded(std::to_string(r.row), 5) + padded(r.method, 26) +
                            padded(number_text(r.volume), 9) + padded(r.tray, 10) + padded(std::to_string(r.vial), 6) +
                            padded(std::to_string(r.cycles), 8) + padded(clock_time(r.start), 10) +
                            padded(clock_time(r.end), 10) + status);
        }
    }
    lines.push_back("");
    if (run.errors.empty()) {
        lines.push_back("Instrument errors: none");
    } else {
        lines.push_back("Instrument errors:");
        // Three lines each: a long command would run off the page beside the rest.
        for (const JournalError& e : run.errors) {
            lines.push_back("  " + clock_time(e.time) + "  " + e.command);
            lines.push_back("            " + e.line);
            lines.push_back("            answer: " + (e.answer.empty() ? "none" : e.answer));
        }
    }
    for (const std::string& d : run.dialogs) lines.push_back("Question: " + d);
    lines.push_back("");
    std::string totals = "Totals: " + std::to_string(run.commands) + " commands, " +
                         std::to_string(run.errors.size()) + " instrument errors";
    if (list)
        totals += ", " + std::to_string(run.row_list.size()) + " rows run (" + std::to_string(done) + " done, " +
                  std::to_string(stopped) + " stopped) of " + std::to_string(run.rows);
    lines.push_back(totals);
    return lines;
}

}  // namespace kelvo
