// Cost of what a run does per command and once per run: resolving one atom
// line at send time (expression arguments with syringe and macro-parameter
// references, list lookups, bounds, scaling), and expanding a method into
// 1000 atom lines. Goals: under 50 µs per resolved command, under 20 ms per
// 1000-line expansion.
#include "config/program_context.h"
#include "ground/debug_lines.h"
#include "language/bound_check.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "engine/expand.h"
#include "engine/resolve.h"
#include "engine/run_dialogs.h"
#include "ground/documents.h"
#include "ground/file_io.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace kelvo;

const ConfigDb& demo()
{
    static ConfigDb db = [] {
        ConfigDb d;
        std::vector<std::string> lines;
        if (!read_text_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol", lines) || !parse_configuration(d, lines, program_context().prompts, debug_line)) {
            std::cerr << "cannot parse the demo configuration\n";
            std::exit(1);
        }
        return d;
    }();
    return db;
}

// A method folder with one macro of ten atoms, the expression-heavy kind.
struct Folder {
    std::filesystem::path dir;
    Folder()
    {
        dir = std::filesystem::temp_directory_path() / ("kelvo_engine_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        std::ofstream f(dir / "Ten.kma", std::ios::binary);
        f << "//ten atoms\r\n"
             "Tray;TRAY\r\n"
             "Volume (\xB5l);1;0;SYR.Max Volume\r\n"
             "Speed (\xB5l/s);1;0.1;SYR.Max Speed\r\n";
        for (int i = 0; i < 5; ++i)
            f << "GET_SAMPLE(Tray,Tray.Max Index-1,Volume/2+SL.volume,Speed*2,3,Tray.Vial Depth/2,0.5,)\r\n"
                 "SET_SPEED(Fast,)\r\n";
        set_method_folder(dir.string());
    }
    ~Folder()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Folder& folder()
{
    static Folder f;
    return f;
}

void BM_ResolveCommand(benchmark::State& state)
{
    folder();
    RunLists lists;
    if (!expand(program_context_with(demo()), "Syr10ul", {"Ten(Tray2,2.5,1)"}, lists)) state.SkipWithError("expansion failed");
    RunValues values;
    values.sl.volume = 1.5;
    values.mounted_syringe = "Syr10ul";
    RunDialogs dialogs;
    const ResolveInput in{demo(), lists, values, dialogs, program_context().prompts};
    for (auto _ : state) {
        auto command = resolve_command(in, 0, lists.expanded_method[0]);
        benchmark::DoNotOptimize(command);
    }
}
BENCHMARK(BM_ResolveCommand)->Unit(benchmark::kMicrosecond);

void BM_ResolveListLookup(benchmark::State& state)
{
    folder();
    RunLists lists;
    if (!expand(program_context_with(demo()), "Syr10ul", {"Ten(Tray2,2.5,1)"}, lists)) state.SkipWithError("expansion failed");
    RunValues values;
    RunDialogs dialogs;
    const ResolveInput in{demo(), lists, values, dialogs, program_context().prompts};
    for (auto _ : state) {
        auto command = resolve_command(in, 1, lists.expanded_method[1]);
        benchmark::DoNotOptimize(command);
    }
}
BENCHMARK(BM_ResolveListLookup)->Unit(benchmark::kMicrosecond);

void BM_Expand1000Lines(benchmark::State& state)
{
    folder();
    const std::vector<std::string> calls(100, "Ten(Tray2,2.5,1)");
    RunLists lists;
    const Context context = program_context_with(demo());
    for (auto _ : state) {
        if (!expand(context, "Syr10ul", calls, lists) || lists.expanded_method.size() != 1000)
            state.SkipWithError("expansion failed");
        benchmark::DoNotOptimize(lists.expanded_method.data());
    }
}
BENCHMARK(BM_Expand1000Lines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
