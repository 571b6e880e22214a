// The overhead of a sample-list run per row, without instrument time: from
// the completion of a row's method (the method-complete step, then the
// next row's start) to the first command bytes of the next row's method,
// with "GET_SYR" answered at once by a scripted line in between. This
// covers the SL variables, the syringe check (reading the method file),
// the expansion with its frame of special macros, the start and the
// resolution of the first command, and the log lines. Goal: under 5 ms.
#include "config/program_context.h"
#include "ground/debug_lines.h"
#include "config/config_db.h"
#include "engine/method_run.h"
#include "ground/clock.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "language/sample_variables.h"
#include "link/kelvo_link.h"
#include "samplelist/sample_list_document.h"
#include "samplelist/sample_list_run.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kelvo;
namespace fs = std::filesystem;

// Answers at once: "GET_SYR" with the syringe, atoms with "|". Counts the
// atom commands written.
class ScriptedLine final : public SerialPort {
public:
    void set_events(SerialEvents* e) override { events_ = e; }
    OpenResult open(int) override { return OpenResult::ok; }
    void close() override {}
    bool is_open() const override { return true; }
    bool exists(int) override { return true; }
    void set_speed(int) override {}
    int speed() const override { return normal_speed; }
    void write(const std::string& bytes) override
    {
        if (bytes == "GET_SYR\r") answer = "Syr10ul\rREADY\r";
        else if (bytes.find('(') != std::string::npos) ++atoms;
    }
    void arm(int) override {}
    void disarm() override {}
    // Hands the waiting answer to the link.
    void deliver()
    {
        std::string a;
        a.swap(answer);
        if (!a.empty() && events_) events_->data_available(a);
    }
    std::string answer;
    long long atoms = 0;

private:
    SerialEvents* events_ = nullptr;
};

class QuietPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override { std::cerr << "error: " << text << "\n"; }
    void show_information(const std::string&) override {}
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { return AbortRetryIgnore::abort; }
    bool ask_yes_no(const std::string&) override { return false; }
};

// The demo method folder, copied, with a list of many rows of its standard
// injection (special macros SL ENTRY, METHOD ENTRY/EXIT, SL EXIT included).
struct DemoFolder {
    fs::path dir;
    DemoFolder()
    {
        dir = fs::temp_directory_path() / ("kelvo_slrun_bench_" + std::to_string(getpid()));
        fs::create_directories(dir);
        for (const auto& e : fs::directory_iterator(fs::path(KELVO_SOURCE_DIR) / "examples" / "methods"))
            fs::copy_file(e.path(), dir / e.path().filename(), fs::copy_options::overwrite_existing);
        set_method_folder(dir.string());
        set_log_path((dir / "cadenzor.log").string());
        std::vector<std::string> lines;
        if (!read_text_lines((dir / "latest_kelvo.kol").string(), lines) || !parse_configuration(config(), lines, prompts(), debug_line)) {
            std::cerr << "cannot parse the demo configuration\n";
            std::exit(1);
        }
    }
    ~DemoFolder()
    {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void BM_RowStartToFirstCommand(benchmark::State& state)
{
    static DemoFolder folder;
    QuietPrompts quiet;
    PromptsScope prompts_scope(quiet);
    ScriptedLine line;
    KelvoLink link(line, quiet);
    RunDialogs dialogs;
    SystemClock clock;
    SampleListDocument document(program_context());
    document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
    document.start_empty("Bench");
    std::vector<std::vector<std::string>> rows;
    for (int r = 1; r <= 2000; ++r)
        rows.push_back({"", "Standard Injection", "2.5", "Tray1", "LCVlv1", "1.0", "", "", std::to_string(r % 50 + 1),
                        "1"});
    if (!document.table().assign(rows)) state.SkipWithError("rows refused");
    // The method-complete step hands over to the list: the view forwards it.
    class ForwardingView final : public RunView {
    public:
        SampleListRun* list = nullptr;
        void sample_list_method_complete() override { list->next_step(); }
    };
    ForwardingView forwarding;
    MethodRun forwarded_run(program_context_with(config(), clock), link, dialogs, forwarding, sample_variables());
    SampleListRun forwarded(forwarded_run, link, document, dialogs, forwarding, sample_variables());
    forwarding.list = &forwarded;

    const auto start_list = [&] {
        forwarded.run_sample_list_buttonClick();
        line.deliver();
        link.service_completion_step();
    };
    start_list();
    if (!forwarded.running() || line.atoms == 0) state.SkipWithError("the list did not start");
    for (auto _ : state) {
        if (forwarded.current_row() >= document.table().rows()) {
            state.PauseTiming();
            forwarded.error_stop();  // ends the list; it starts again from row 1
            start_list();
            state.ResumeTiming();
        }
        const long long before = line.atoms;
        // The row's method completed: the method-complete step, the next
        // row's start and its "GET_SYR"; the answer; its completion.
        link.mark_method_complete();
        link.service_completion_step();
        line.deliver();
        link.service_completion_step();
        if (line.atoms != before + 1) {
            state.SkipWithError("no first command for the row");
            break;
        }
    }
    state.counters["row"] = forwarded.current_row();
}
BENCHMARK(BM_RowStartToFirstCommand)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
