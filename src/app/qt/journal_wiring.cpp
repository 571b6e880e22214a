#include "app/qt/journal_wiring.h"
#include "config/program_context.h"

#include "app/qt/main_form.h"
#include "app/qt/run_controller.h"
#include "config/config_db.h"
#include "engine/qt/status_form.h"
#include "ground/clock.h"
#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"
#include "ground/settings.h"
#include "journal/estimate.h"
#include "journal/journal_prompts.h"
#include "journal/journal_runs.h"
#include "journal/run_journal.h"
#include "link/protocol.h"
#include "link/qt/startup_ui.h"
#include "link/startup_chain.h"
#include "print/qt/pdf_print.h"
#include "samplelist/qt/sample_list_page.h"
#include "samplelist/sample_list_run.h"

#include <QAction>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kelvo {

std::string resume_question_text(const std::string& list, int row)
{
    return "The sample list \"" + list + "\" did not finish: the program ended during its run. Open it and start "
           "from row " + std::to_string(row) + ", its first unfinished row?";
}

namespace {

std::string time_of_day(const LocalTime& now, double ms_ahead)
{
    long long s = now.hour * 3600LL + now.minute * 60LL + now.second + std::llround(std::max(0.0, ms_ahead) / 1000.0);
    const long long days = s / 86400;
    s %= 86400;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld%s", s / 3600, s / 60 % 60, days > 0 ? " (a later day)" : "");
    return text;
}

std::string unknown_note(const Estimate& e)
{
    if (e.unknown_atoms.empty()) return "";
    return " (" + std::to_string(e.unknown_atoms.size()) + " atom" + (e.unknown_atoms.size() == 1 ? "" : "s") +
           " unknown)";
}

// Everything the journal adds to the window, owned by it.
class JournalWiring final : public QObject, public SampleListRunObserver {
public:
    JournalWiring(Tmain_form& main, StartupController& startup, RunController& controller, SampleListRun& list,
                  SampleListPage& page)
        : main_(main), startup_(startup), controller_(controller), list_(list), page_(page),
          file_(default_journal_path()), journal_(file_, clock()), prompts_(kelvo::prompts(), journal_)
    {
        previous_prompts_ = install_prompts(&prompts_);
        list.add_observer(&journal_);
        list.add_observer(this);
        // The link may outlive this object (the window's parts go in their
        // own order): its trace asks first.
        startup.link().set_trace([this, alive = alive_](bool sent, const std::string& line) {
            if (!*alive) return;
            journal_.line(sent, line);
            if (!sent && line == protocol::atom_end) show_time_left();
        });
        controller.on_method_starting = [this] {
            journal_.set_settings(polling_interval_ms(settings_store()), read_setting_integer("Atom timeout (msec)", 0),
                                  method_folder());
            journal_.method_started(controller_.method_name(), controller_.chosen_syringe());
        };
        controller.on_run_finished = [this](bool completed) {
            journal_.method_ended(completed, !controller_.run().engine().error_text.empty());
        };

        estimate_panel_ = new QLabel(main.StatusBar1);
        estimate_panel_->setObjectName("estimate_panel");
        main.StatusBar1->addPermanentWidget(estimate_panel_);

        auto* estimate_button = new QPushButton("Es&timate", &main);
        estimate_button->setObjectName("estimate_button");
        main.add_to_top_row(Page::sample_list, estimate_button);
        connect(estimate_button, &QPushButton::clicked, this, [this] { guarded([this] { estimate_list(); }); });

        auto* from_row_button = new QPushButton("Start from &Row...", &main);
        from_row_button->setObjectName("start_from_row_button");
        main.add_to_top_row(Page::sample_list, from_row_button);
        if (startup.options().offline_by_switch) from_row_button->hide();
        connect(from_row_button, &QPushButton::clicked, this, [this] { guarded([this] { ask_start_row(); }); });

        page.sheet->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(page.sheet, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
            guarded([&] { row_menu(at); });
        });

        report_item_ = new QAction("Print Run &Report...", main.File1);
        report_item_->setObjectName("run_report_item");
        main.File1->insertAction(main.import_item, report_item_);
        connect(report_item_, &QAction::triggered, this, [this] { guarded([this] { print_report(); }); });

        startup.add_activation_listener([this] {
            QTimer::singleShot(0, this, [this] { guarded([this] { offer_resume(); }); });
        });
    }
    // Destroyed by the run controller before the list run it observes.
    ~JournalWiring() override
    {
        *alive_ = false;
        list_.remove_observer(this);
        list_.remove_observer(&journal_);
        controller_.on_method_starting = nullptr;
        controller_.on_run_finished = nullptr;
        if (&kelvo::prompts() == &prompts_) install_prompts(previous_prompts_);
    }

    // ---- SampleListRunObserver (after the journal's own records)
    void list_started(const std::string&, int) override
    {
        journal_.set_settings(polling_interval_ms(settings_store()), read_setting_integer("Atom timeout (msec)", 0),
                              method_folder());
        model_ = DurationModel();
        model_.learn(read_journal(file_.path()));
        estimator_ = std::make_unique<Estimator>(program_context(), model_);
        first_row_ = 1;
    }
    void list_resumed(int from_row) override { first_row_ = from_row; }
    void cycle_started(int row, int cycle, int) override
    {
        if (!estimator_) return;
        left_at_cycle_ = estimator_->remaining(page_.table(), row, cycle, first_row_);
        cycle_start_ms_ = clock().elapsed_ms();
        show_time_left();
    }
    void list_ended(ListOutcome) override
    {
        estimator_.reset();
        show_estimate("");
    }

private:
    void guarded(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const std::exception& e) {
            show_error(e.what());
        }
    }

    void show_estimate(const std::string& text)
    {
        estimate_panel_->setText(to_qstring(text));
        main_.status_form->set_estimate(text);
    }

    void show_time_left()
    {
        if (!estimator_ || !list_.running()) return;
        const double left =
            std::max(0.0, left_at_cycle_.ms - static_cast<double>(clock().elapsed_ms() - cycle_start_ms_));
        show_estimate("About " + estimate_text(left) + " left, ends about " + time_of_day(clock().local_now(), left) +
                      unknown_note(left_at_cycle_));
    }

    void estimate_list()
    {
        DurationModel model;
        model.learn(read_journal(file_.path()));
        Estimator estimator(program_context(), model);
        const int from = std::max(1, page_.selection().current_row());
        const Estimate e = estimator.list(page_.table(), 1);
        std::string text = "List estimate " + estimate_text(e.ms) + ", ends about " +
                           time_of_day(clock().local_now(), e.ms) + " if started now" + unknown_note(e);
        if (from > 1) text += "; from row " + std::to_string(from) + ": " + estimate_text(estimator.list(page_.table(), from).ms);
        show_estimate(text);
    }

    void start_from(int row)
    {
        main_.show_page(Page::sample_list);
        list_.start_from_row(row);
    }

    void ask_start_row()
    {
        const int rows = page_.table().rows();
        if (rows < 1 || list_.running()) return;
        bool ok = false;
        const int row = QInputDialog::getInt(&main_, "Start from row", "Start the sample list from row:",
                                             std::clamp(page_.selection().current_row(), 1, rows), 1, rows, 1, &ok);
        if (ok) start_from(row);
    }

    void row_menu(const QPoint& at)
    {
        const int row = page_.sheet->rowAt(at.y()) + 1;
        if (row < 1 || row > page_.table().rows() || list_.running() || startup_.options().offline_by_switch) return;
        QMenu menu(page_.sheet);
        QAction* start = menu.addAction(to_qstring("Start from row " + std::to_string(row)));
        if (menu.exec(page_.sheet->viewport()->mapToGlobal(at)) == start) start_from(row);
    }

    void print_report()
    {
        const std::vector<JournalRun> runs = journal_runs(read_journal(file_.path()));
        if (runs.empty()) {
            show_information("The run journal holds no run yet.");
            return;
        }
        const QString pdf = QFileDialog::getSaveFileName(&main_, "Print Run Report", QString(), "PDF files (*.pdf)");
        if (pdf.isEmpty()) return;
        std::vector<std::string> lines;
        for (const std::string& line : run_report_lines(runs.back())) lines.push_back(utf8_to_cp1252(line));
        const std::string heading = lines.front();
        lines.erase(lines.begin());
        if (!print_text_pdf(heading, lines, from_qstring(pdf)))
            show_error("The run report could not be written to " + from_qstring(pdf));
    }

    void offer_resume()
    {
        // The window may be up before the instrument is connected.
        if (startup_.chain().outcome() == ChainOutcome::running) {
            QTimer::singleShot(200, this, [this] { guarded([this] { offer_resume(); }); });
            return;
        }
        if (startup_.chain().outcome() != ChainOutcome::online || startup_.link().offline() || list_.running()) return;
        const std::vector<JournalRun> runs = journal_runs(read_journal(file_.path()));
        const JournalRun* cut = interrupted_list_run(runs);
        if (!cut) return;
        const std::string name = utf8_to_cp1252(cut->list);
        if (!sample_list_exists(program_method_folder(), name)) return;
        const int row = cut->first_unfinished_row();
        if (!ask_yes_no(resume_question_text(name, row))) return;
        main_.show_page(Page::sample_list);
        main_.show_name(DocumentKind::sample_list, name);
        main_.document_ops(DocumentKind::sample_list).name_selected(name);
        if (page_.document().name() == name && row <= page_.table().rows()) list_.start_from_row(row);
    }

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    Tmain_form& main_;
    StartupController& startup_;
    RunController& controller_;
    SampleListRun& list_;
    SampleListPage& page_;
    JournalFile file_;
    RunJournal journal_;
    JournalPrompts prompts_;
    Prompts* previous_prompts_ = nullptr;
    QLabel* estimate_panel_ = nullptr;
    QAction* report_item_ = nullptr;
    DurationModel model_;
    std::unique_ptr<Estimator> estimator_;
    Estimate left_at_cycle_;
    std::int64_t cycle_start_ms_ = 0;
    int first_row_ = 1;
};

}  // namespace

void install_run_journal(Tmain_form& main, StartupController& startup, RunController& controller,
                         SampleListRun& list, SampleListPage& page)
{
    controller.attach(std::make_shared<JournalWiring>(main, startup, controller, list, page));
}

}  // namespace kelvo
