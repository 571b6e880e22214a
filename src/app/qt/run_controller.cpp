#include "app/qt/run_controller.h"
#include "config/program_context.h"

#include "app/qt/main_form.h"
#include "config/config_db.h"
#include "datasystem/data_system_gate.h"
#include "datasystem/data_system_link.h"
#include "engine/qt/run_forms.h"
#include "engine/qt/syringe_change.h"
#include "engine/status_display.h"
#include "ground/clock.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "language/qt/method_page.h"
#include "link/kelvo_link.h"
#include "link/qt/startup_ui.h"
#include "samplelist/sample_columns.h"
#include "samplelist/qt/test_params_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>

namespace kelvo {

namespace {
QPushButton* button(const char* caption, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}
}  // namespace

RunController::RunController(Tmain_form& main, StartupController& startup, MethodEditorPage& page)
    : QObject(&main), main_(main), startup_(startup), startup_alive_(&startup), page_(page)
{
    setObjectName("run_controller");
    run_method_button = button(run_caption, "run_method_button", &main);
    step_button = button("&Step", "step_button", &main);
    reset_button = button("&Reset KELVO", "reset_button", &main);
    pause_button = button(pause_caption, "pause_button", &main);
    main.add_to_top_row(Page::method, run_method_button);
    main.add_to_top_row(Page::method, step_button);
    main.add_to_top_row(Page::method, reset_button);
    main.add_to_top_row(Page::sample_list, pause_button);
    // "OFF": no instrument at all, so nothing to run.
    if (startup.options().offline_by_switch) {
        run_method_button->hide();
        step_button->hide();
    }
    step_dialog = new Tstep_dialog(&main);
    new_syr = new Tnew_syr(&main);
    syringe_change = new Tsyringe_change(&main);
    test_params_form = new Ttest_params_form(&main);

    run_ = std::make_unique<MethodRun>(program_context(), startup.link(), *this, *this, sample_variables());
    // A press that starts a method run is told first (the run journal).
    const auto starting = [this] {
        if (on_method_starting && run_->run_button_caption() == run_caption && !run_->engine().method_running &&
            !run_->engine().sample_list_running)
            on_method_starting();
    };
    connect(run_method_button, &QPushButton::clicked, this, [this, starting] {
        starting();
        run_->run_method_buttonClick();
    });
    connect(step_button, &QPushButton::clicked, this, [this, starting] {
        starting();
        run_->step_buttonClick();
    });
    connect(pause_button, &QPushButton::clicked, this, [this] { run_->pause_buttonClick(); });
    connect(reset_button, &QPushButton::clicked, this, [this] { run_->reset_buttonClick(); });
    startup.run_service_step = [this] { run_->service_tick(); };
    main.installEventFilter(this);
    // Start-up holds the link and goes first among the window's children.
    startup.add_teardown([this] { release_run(); });
}

void RunController::release_run()
{
    // Parts built on parts go first: the last attached before the first.
    while (!attached_.empty()) attached_.pop_back();
    run_.reset();
}

RunController::~RunController()
{
    if (startup_alive_) {
        startup_.run_service_step = nullptr;
        release_run();
    }
    restore_cursor();
}

bool RunController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &main_ && event->type() == QEvent::Close && run_ && run_->running()) {
        // While a sample list runs, the list's question is the one asked
        // (once: the list ends here, so the window does not ask again).
        const bool list = run_->engine().sample_list_running;
        if (!ask_yes_no(list ? exit_while_running_text : exit_while_method_runs_text)) {
            event->ignore();
            return true;
        }
        if (list && on_stop_sample_list) on_stop_sample_list();
        // The instrument is told to stop what it does; no command follows.
        if (startup_.link().wait_state() == WaitState::atom_running) startup_.link().cancel();
        startup_.link().end_busy_wait();
        run_->engine().method_running = false;
    }
    return QObject::eventFilter(watched, event);
}

bool RunController::commit_method_values() { return page_.document().write_back_pane(); }
std::string RunController::method_name() const { return main_.selected_name(DocumentKind::method); }
std::vector<std::string> RunController::method_lines() const
{
    return const_cast<MethodEditorPage&>(page_).document().calls();
}
std::string RunController::chosen_syringe() const { return const_cast<MethodEditorPage&>(page_).document().syringe(); }
void RunController::show_run_caption(const std::string& caption) { run_method_button->setText(to_qstring(caption)); }
void RunController::show_pause_caption(const std::string& caption) { pause_button->setText(to_qstring(caption)); }
void RunController::enable_run(bool on) { run_method_button->setEnabled(on); }
void RunController::enable_step(bool on) { step_button->setEnabled(on); }

void RunController::busy_cursor()
{
    if (cursor_busy_) return;
    cursor_busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void RunController::restore_cursor()
{
    if (!cursor_busy_) return;
    cursor_busy_ = false;
    QApplication::restoreOverrideCursor();
}

void RunController::status_text(const std::string& text) { main_.set_status_text(text); }
void RunController::log_message(const std::string& text) { kelvo::log_message(text); }
void RunController::status_line(StatusLine line, const std::string& text) { main_.status_display().set_line(line, text); }

double RunController::ask(const std::string& context, const std::string& unit, double maximum, double minimum,
                          double proposed, double value)
{
    return syringe_change->ask(context, unit, maximum, minimum, proposed, value);
}

StepAnswer RunController::step(const StepDialogContent& content) { return step_dialog->ask(content); }

bool RunController::test_parameters(SampleVariables& variables)
{
    const ConfigDb& db = config();
    const std::vector<std::string> trays = objects_of_class(db, "TRAY");
    const std::vector<std::string> injectors = objects_of_class(db, "INJECTOR");
    ColumnTable columns;
    columns.build_fixed({"", trays.empty() ? "" : trays.front(), injectors.empty() ? "" : injectors.front()});
    return test_params_form->ask(test_parameter_rows(columns), variables);
}

bool RunController::syringe_mismatch(const std::string& method, const std::string& needed, const std::string& mounted)
{
    return new_syr->ask(method, needed, mounted);
}

void RunController::set_data_system(DataSystemLink* link)
{
    gate_ = link ? std::make_unique<DataSystemLinkGate>(*link) : nullptr;
    run_->set_data_system(gate_.get());
}

RunController* install_run_controller(Tmain_form& main, StartupController& startup, MethodEditorPage& page)
{
    return new RunController(main, startup, page);
}

}  // namespace kelvo
