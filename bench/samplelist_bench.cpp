// A full sample list: 10000 rows over 50 distinct methods in a temporary
// method folder, loaded, validated, saved and compared with its file (the
// changed test), then shown on the Sample List page and scrolled.
#include "config/program_context.h"
#include "ground/debug_lines.h"
#include "language/bound_check.h"
#include "config/config_db.h"
#include "language/bound_check.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/qt/spread_grid.h"
#include "ground/settings.h"
#include "samplelist/qt/sample_list_page.h"
#include "samplelist/sample_list_document.h"
#include "samplelist/sample_list_file.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace kelvo;

namespace {

constexpr int rows = 10000;
constexpr int methods = 50;

class Quiet final : public Prompts {
public:
    void show_error(const std::string& text) override { last = text; }
    void show_information(const std::string&) override {}
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { return AbortRetryIgnore::abort; }
    bool ask_yes_no(const std::string&) override { return false; }
    std::string last;
};

// The method folder with the demo configuration, 50 methods and the list
// "Big" of 10000 rows; made once.
const std::string& folder()
{
    static const std::string path = [] {
        const auto dir = std::filesystem::temp_directory_path() / "cadenzor-samplelist-bench";
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol",
                                   dir / "latest_kelvo.kol", std::filesystem::copy_options::overwrite_existing);
        for (int m = 0; m < methods; ++m) {
            std::ofstream f(dir / ("Method " + std::to_string(m) + ".KME"), std::ios::binary);
            f << "//bench\r\nsyringe:" << (m % 2 ? "Syr100ul" : "Syr10ul") << "\r\nWash Syringe()\r\n";
        }
        std::ofstream list(dir / "Big.ksl", std::ios::binary);
        list << "Method;Volume;Tray;Injector;Volume 2;Tray 2;Injector 2;Vial;Inj/Vial;\r\n";
        for (int r = 0; r < rows; ++r)
            list << "METHOD " << r % methods << ";" << 1 + r % 9 << ".5;Tray" << 1 + r % 2 << ";LCVlv" << 1 + r % 2
                 << ";1.0;;;" << 1 + r % 54 << ";2;\r\n";
        return dir.string();
    }();
    return path;
}

struct Setup {
    Setup()
    {
        set_method_folder(folder());
        set_log_path(folder() + "/cadenzor.log");
        std::vector<std::string> lines;
        read_text_lines(folder() + "/latest_kelvo.kol", lines);
        parse_configuration(config(), lines, kelvo::prompts(), debug_line);
    }
    Quiet quiet;
    PromptsScope prompts{quiet};
    MemorySettingsStore settings;
    SettingsScope settings_scope{settings};
};

Setup& setup()
{
    static Setup s;
    return s;
}

void loaded(SampleListDocument& document)
{
    document.columns().build_fixed({"Method 0", "Tray1", "LCVlv1"});
    document.load("Big");
}

void BM_Load(benchmark::State& state)
{
    setup();
    SampleListDocument document(program_context());
    document.columns().build_fixed({"Method 0", "Tray1", "LCVlv1"});
    for (auto _ : state) {
        document.load("Big");
        benchmark::DoNotOptimize(document.table().rows());
    }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMillisecond);

void BM_Validate(benchmark::State& state)
{
    setup();
    SampleListDocument document(program_context());
    loaded(document);
    for (auto _ : state) benchmark::DoNotOptimize(document.validate());
    if (!setup().quiet.last.empty()) state.SkipWithError(setup().quiet.last.c_str());
}
BENCHMARK(BM_Validate)->Unit(benchmark::kMillisecond);

void BM_Save(benchmark::State& state)
{
    setup();
    SampleListDocument document(program_context());
    loaded(document);
    for (auto _ : state) benchmark::DoNotOptimize(document.save("Copy"));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond);

void BM_ChangedTest(benchmark::State& state)
{
    setup();
    SampleListDocument document(program_context());
    loaded(document);
    document.select_name("Big");
    for (auto _ : state) benchmark::DoNotOptimize(document.changed());
}
BENCHMARK(BM_ChangedTest)->Unit(benchmark::kMillisecond);

// The page's grid filled from a loaded list (the load's table reset).
void BM_FillPage(benchmark::State& state)
{
    setup();
    SampleListPage page(config());
    page.set_program_list(ProgramList::methods, {"Method 0"});
    page.set_program_list(ProgramList::trays, {"Tray1", "Tray2"});
    page.set_up();
    page.document().load("Big");
    for (auto _ : state) page.table_reset();
    state.counters["rows"] = page.sheet->max_rows();
}
BENCHMARK(BM_FillPage)->Unit(benchmark::kMillisecond);

// One page down on the shown list, repainted.
void BM_ScrollPage(benchmark::State& state)
{
    setup();
    SampleListPage page(config());
    page.set_up();
    page.document().load("Big");
    page.resize(1200, 800);
    page.show();
    QApplication::processEvents();
    QScrollBar* bar = page.sheet->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        page.sheet->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
