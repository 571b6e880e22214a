#pragma once
// The run of a method on the main window: the buttons "Ru&n"/"S&top" and
// "&Step" and "&Reset KELVO" on the method page, "&Pause"/"Res&ume" on the
// sample list page, the run's dialogs, the status window's lines, and the
// question before the window closes while a method runs. The rules are
// MethodRun's; this is their view.
#include "engine/method_run.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QPushButton;

namespace kelvo {

class DataSystemLink;
class MethodEditorPage;
class StartupController;
class Tmain_form;
class Tnew_syr;
class Tstep_dialog;
class Tsyringe_change;
class Ttest_params_form;

inline constexpr const char* exit_while_method_runs_text =
    "Exiting the program now will stop the running method. Do you really want to exit?";

class RunController final : public QObject, public RunView, public RunDialogs {
    Q_OBJECT
public:
    RunController(Tmain_form& main, StartupController& startup, MethodEditorPage& page);
    ~RunController() override;

    QPushButton* run_method_button = nullptr;
    QPushButton* step_button = nullptr;
    QPushButton* reset_button = nullptr;
    QPushButton* pause_button = nullptr;
    Tstep_dialog* step_dialog = nullptr;
    Tnew_syr* new_syr = nullptr;
    Tsyringe_change* syringe_change = nullptr;
    Ttest_params_form* test_params_form = nullptr;

    MethodRun& run() { return *run_; }
    // A part built on the method run (the sample-list run): kept by the
    // controller and destroyed before the method run.
    void attach(std::shared_ptr<void> part) { attached_.push_back(std::move(part)); }
    // "WAIT_FOR_DS" waits for this data system (ChemStation mode).
    void set_data_system(DataSystemLink* link);

    // ---- RunView
    bool commit_method_values() override;
    std::string method_name() const override;
    std::vector<std::string> method_lines() const override;
    std::string chosen_syringe() const override;
    void show_run_caption(const std::string& caption) override;
    void show_pause_caption(const std::string& caption) override;
    void enable_run(bool on) override;
    void enable_start(bool on) override
    {
        if (on_enable_start) on_enable_start(on);
    }
    void enable_step(bool on) override;
    void busy_cursor() override;
    void restore_cursor() override;
    void status_text(const std::string& text) override;
    void log_message(const std::string& text) override;
    void status_line(StatusLine line, const std::string& text) override;
    void sample_list_method_complete() override
    {
        if (on_sample_list_method_complete) on_sample_list_method_complete();
    }
    void stop_sample_list() override
    {
        if (on_stop_sample_list) on_stop_sample_list();
    }
    void run_finished(bool completed) override
    {
        if (on_run_finished) on_run_finished(completed);
    }
    // Before "Ru&n" or "&Step" starts a method run; when a method run ends.
    std::function<void()> on_method_starting;
    std::function<void(bool completed)> on_run_finished;
    // The sample-list run takes these (sample_list_run_wiring).
    std::function<void(bool)> on_enable_start;
    std::function<void()> on_sample_list_method_complete;
    std::function<void()> on_stop_sample_list;

    // ---- RunDialogs
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override;
    StepAnswer step(const StepDialogContent& content) override;
    bool test_parameters(SampleVariables& variables) override;
    bool syringe_mismatch(const std::string& method, const std::string& needed, const std::string& mounted) override;

private:
    void release_run();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Tmain_form& main_;
    StartupController& startup_;
    // Start-up may be destroyed first when both are children of the window.
    QPointer<StartupController> startup_alive_;
    MethodEditorPage& page_;
    std::unique_ptr<MethodRun> run_;
    std::unique_ptr<DataSystemGate> gate_;
    bool cursor_busy_ = false;
    std::vector<std::shared_ptr<void>> attached_;
};

RunController* install_run_controller(Tmain_form& main, StartupController& startup, MethodEditorPage& page);

}  // namespace kelvo
