// The estimate of a whole sample list from the journal's durations: 10000
// rows of the demo methods, every vial different, with one atom whose
// durations depend on its arguments (so that its lines are resolved row by
// row) and the rest by atom name. Goal: under 100 ms for the list.
#include "config/program_context.h"
#include "ground/debug_lines.h"
#include "config/config_db.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/log.h"
#include "journal/estimate.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "samplelist/sample_list_document.h"

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

struct DemoFolder {
    fs::path dir;
    DemoFolder()
    {
        dir = fs::temp_directory_path() / ("kelvo_estimate_bench_" + std::to_string(getpid()));
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

void BM_EstimateTenThousandRows(benchmark::State& state)
{
    static DemoFolder folder;
    DurationModel model;
    for (const ConfigAtom& atom : config().atoms()) model.add(atom.name, atom.name + "()", 1000);
    // GET_SAMPLE takes longer for larger volumes.
    model.add("GET_SAMPLE", "GET_SAMPLE(Tray1,1,2500,1000,2,0,1,)", 9000);
    SampleListDocument document(program_context());
    document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
    document.start_empty("Bench");
    std::vector<std::vector<std::string>> rows;
    const char* methods[] = {"Standard Injection", "Large Volume Injection", "Sandwich Injection"};
    for (int r = 1; r <= 10000; ++r)
        rows.push_back({"", methods[r % 3], r % 2 ? "2.5" : "1.0", "Tray1", "LCVlv1", "1.0", "", "",
                        std::to_string(r % 90 + 1), r % 5 ? "1" : "2"});
    if (!document.table().assign(rows)) state.SkipWithError("rows refused");
    // The list's estimate, in whole hours, as a counter (a check that the
    // benchmark measures a real estimate).
    Estimator probe(program_context(), model);
    const Estimate whole = probe.list(document.table());
    if (whole.failed || whole.ms <= 0) state.SkipWithError("no estimate");
    for (auto _ : state) {
        Estimator estimator(program_context(), model);
        Estimate e = estimator.list(document.table());
        benchmark::DoNotOptimize(e);
    }
    state.counters["hours"] = static_cast<int>(whole.ms / 3'600'000.0);
}
BENCHMARK(BM_EstimateTenThousandRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
