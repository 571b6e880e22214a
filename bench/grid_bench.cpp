// How the spreadsheet grid copes with a full sample list: 10000 rows of 40
// columns filled cell by cell with drawing suspended, formatted column by
// column as the sample list formats its rows, scrolled from top to bottom,
// and edited by row insertion and deletion.
#include "ground/qt/spread_grid.h"

#include <QApplication>
#include <QScrollBar>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace kelvo;

namespace {

constexpr int rows = 10000;
constexpr int cols = 40;

// Texts like those of a sample list, made once so that the fill measures
// the grid rather than string building.
const std::vector<QString>& sample_texts()
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> t;
        for (int k = 0; k < 97; ++k) {
            switch (k % 4) {
            case 0: t.push_back(QStringLiteral("METHOD_%1").arg(k)); break;
            case 1: t.push_back(QString::number(k * 0.25, 'f', 2)); break;
            case 2: t.push_back(QString::number(k)); break;
            default: t.push_back(QStringLiteral("Tray %1").arg(k % 7)); break;
            }
        }
        return t;
    }();
    return texts;
}

std::unique_ptr<SpreadGrid> make_grid()
{
    auto g = std::make_unique<SpreadGrid>();
    g->set_max_cols(cols);
    for (int col = 1; col <= cols; ++col) {
        g->set_col(col);
        g->set_row(0);
        g->set_text(QStringLiteral("Column %1").arg(col));
    }
    return g;
}

void fill(SpreadGrid& g)
{
    const auto& texts = sample_texts();
    g.set_redraw(false);
    g.set_max_rows(rows);
    g.set_block_mode(false);
    for (int row = 1; row <= rows; ++row) {
        g.set_row(row);
        for (int col = 1; col <= cols; ++col) {
            g.set_col(col);
            g.set_text(texts[(row * cols + col) % texts.size()]);
        }
    }
    g.set_redraw(true);
}

// Formats rows 1..rows the way the sample list formats a block: default
// text, cell type and its settings, alignment, for each column by its kind.
void format(SpreadGrid& g)
{
    g.set_redraw(false);
    g.set_block_mode(true);
    g.set_row(1);
    g.set_row2(rows);
    for (int col = 1; col <= cols; ++col) {
        g.set_col(col);
        g.set_col2(col);
        switch (col % 5) {
        case 0:
            g.set_text("1.0");
            g.set_cell_type(SpreadCellType::edit);
            g.set_type_edit_char_case(SpreadCharCase::upper);
            g.set_type_edit_len(10);
            break;
        case 1:
            g.set_text("1");
            g.set_cell_type(SpreadCellType::float_number);
            g.set_type_float_decimal_places(2);
            g.set_type_float_min(0);
            g.set_type_float_max(1000);
            g.set_type_float_decimal_char('.');
            break;
        case 2:
            g.set_text("Blank");
            g.set_cell_type(SpreadCellType::combo_box);
            g.set_type_combo_box_list("Blank\tStandard\tSample\tControl\tNone");
            g.set_type_combo_box_editable(false);
            break;
        case 3:
            g.set_text("");
            g.set_cell_type(SpreadCellType::check_box);
            g.set_type_check_text("");
            break;
        default:
            g.set_text("");
            g.set_cell_type(SpreadCellType::static_text);
            break;
        }
        g.set_type_h_align(SpreadHAlign::left);
    }
    g.set_block_mode(false);
    g.set_redraw(true);
}

void BM_Fill(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto g = make_grid();
        state.ResumeTiming();
        fill(*g);
        benchmark::DoNotOptimize(g->data_row_cnt());
        state.PauseTiming();
        g.reset();
        state.ResumeTiming();
    }
    state.counters["cells"] = rows * cols;
}
BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);

void BM_Format(benchmark::State& state)
{
    auto g = make_grid();
    fill(*g);
    for (auto _ : state)
        format(*g);
}
BENCHMARK(BM_Format)->Unit(benchmark::kMillisecond);

// A filled and formatted grid on screen.
std::unique_ptr<SpreadGrid> shown_grid()
{
    auto g = make_grid();
    fill(*g);
    format(*g);
    g->resize(1280, 800);
    g->show();
    QApplication::processEvents();
    return g;
}

void BM_ScrollEndToEnd(benchmark::State& state)
{
    auto g = shown_grid();
    QScrollBar* bar = g->verticalScrollBar();
    int pages = 0;
    for (auto _ : state) {
        pages = 0;
        for (int v = 0; v <= bar->maximum(); v += bar->pageStep()) {
            bar->setValue(v);
            g->viewport()->repaint();
            ++pages;
        }
        bar->setValue(0);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ScrollEndToEnd)->Unit(benchmark::kMillisecond);

// One page down and repainted: what a user waits for per Page Down.
void BM_ScrollOnePage(benchmark::State& state)
{
    auto g = shown_grid();
    QScrollBar* bar = g->verticalScrollBar();
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        g->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollOnePage)->Unit(benchmark::kMicrosecond);

// Insert a row at the top of a full table and delete it again.
void BM_InsertDeleteRow(benchmark::State& state)
{
    auto g = shown_grid();
    g->set_block_mode(false);
    g->set_row(1);
    for (auto _ : state) {
        g->action(SpreadAction::insert_row);
        g->action(SpreadAction::delete_row);
    }
}
BENCHMARK(BM_InsertDeleteRow)->Unit(benchmark::kMicrosecond);

// Filling with drawing left on, for comparison with BM_Fill.
void BM_FillWithRedraw(benchmark::State& state)
{
    auto g = make_grid();
    g->set_max_rows(rows);
    const auto& texts = sample_texts();
    for (auto _ : state) {
        for (int row = 1; row <= rows; ++row) {
            g->set_row(row);
            for (int col = 1; col <= cols; ++col) {
                g->set_col(col);
                g->set_text(texts[(row + col) % texts.size()]);
            }
        }
    }
}
BENCHMARK(BM_FillWithRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
