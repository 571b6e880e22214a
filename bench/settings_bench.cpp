// Cost of the settings file with a long "Folder List": 10 000 folders (what
// years of browsing can leave). A start reads a handful of values and the
// list; choosing a folder rewrites the list once. Each costs time linear in
// the file: it is parsed once, indexed by key and value name, and written
// in one pass.
#include "ground/reg_file_store.h"
#include "ground/settings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using namespace kelvo;
namespace fs = std::filesystem;

std::string seeded_file(int folders)
{
    const fs::path path = fs::temp_directory_path() / ("cadenzor-bench-" + std::to_string(::getpid()) + ".reg");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "REGEDIT4\r\n\r\n[" << settings_root_key << "]\r\n\"Method Folder\"=\"/lab/methods/0\"\r\n"
        << "\"Port\"=dword:00000001\r\n\r\n[" << settings_root_key << "\\Folder List]\r\n";
    for (int i = 0; i < folders; ++i) {
        char n[16];
        std::snprintf(n, sizeof n, "%08x", i);
        out << "\"/lab/methods/" << i << "\"=dword:" << n << "\r\n";
    }
    return path.string();
}

// What a start does with the settings, on a store that has not read the file yet.
void BM_StartReads(benchmark::State& state)
{
    const std::string path = seeded_file(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RegFileSettingsStore store(path);
        SettingsScope scope(store);
        benchmark::DoNotOptimize(read_setting_text("Method Folder", ""));
        read_setting_integer("Port", 1);
        read_setting_text("Macro", "");
        read_setting_text("Method", "");
        read_setting_text("Sample List", "");
        benchmark::DoNotOptimize(read_folder_list());
    }
    fs::remove(path);
}

// Choosing a folder: the list is written back with the choice on top.
void BM_ChooseFolder(benchmark::State& state)
{
    const std::string path = seeded_file(static_cast<int>(state.range(0)));
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    std::vector<std::string> folders = read_folder_list();
    for (auto _ : state) {
        std::rotate(folders.begin(), folders.end() - 1, folders.end());
        write_setting_text("Method Folder", folders.front());
        write_folder_list(folders);
    }
    fs::remove(path);
}

// One value written while the long list sits in the file.
void BM_WriteOneValue(benchmark::State& state)
{
    const std::string path = seeded_file(static_cast<int>(state.range(0)));
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    int left = 0;
    for (auto _ : state) write_setting_integer("Window Left", ++left);
    fs::remove(path);
}

}  // namespace

BENCHMARK(BM_StartReads)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseFolder)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteOneValue)->Arg(10000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
