#include "app/qt/sample_list_run_wiring.h"

#include "app/main_hooks.h"
#include "app/qt/main_form.h"
#include "app/qt/run_controller.h"
#include "datasystem/data_system_link.h"
#include "ground/qt/qt_text.h"
#include "language/sample_variables.h"
#include "link/qt/startup_ui.h"
#include "samplelist/qt/sample_list_page.h"
#include "samplelist/sample_list_run.h"

#include <QPushButton>

#include <memory>

namespace kelvo {

namespace {

// The window's hooks, with the answer whether a sample list runs; the rest
// goes on to the hooks it wraps.
class ListRunHooks final : public MainHooks {
public:
    ListRunHooks(MainHooks& next, const SampleListRun& list) : next_(next), list_(list) {}

    bool sample_list_running() const override { return list_.running(); }
    void release_single_instance() override { next_.release_single_instance(); }
    void reload_configuration() override { next_.reload_configuration(); }
    bool choose_port() override { return next_.choose_port(); }
    void offline_fallback() override { next_.offline_fallback(); }
    void refresh_vial_dialog() override { next_.refresh_vial_dialog(); }
    void ask_mounted_syringe() override { next_.ask_mounted_syringe(); }
    void show_trays() override { next_.show_trays(); }
    void show_log_viewer() override { next_.show_log_viewer(); }
    void format_sample_list() override { next_.format_sample_list(); }

private:
    MainHooks& next_;
    const SampleListRun& list_;
};

}  // namespace

SampleListRun* install_sample_list_run(Tmain_form& main, StartupController& startup, RunController& controller,
                                       SampleListPage& page, DataSystemLink* data_system)
{
    auto list = std::make_shared<SampleListRun>(controller.run(), startup.link(), page.document(), controller,
                                                controller, sample_variables());
    SampleListRun* run = list.get();
    controller.attach(list);

    auto* button = new QPushButton(start_caption, &main);
    button->setObjectName("run_sample_list_button");
    main.add_to_top_row(Page::sample_list, button);
    // "OFF": no instrument at all, so nothing to run.
    if (startup.options().offline_by_switch) button->hide();
    run->start_caption_changed = [button](const std::string& caption) { button->setText(to_qstring(caption)); };
    QObject::connect(button, &QPushButton::clicked, button, [run] { run->run_sample_list_buttonClick(); });

    controller.on_enable_start = [button](bool on) { button->setEnabled(on); };
    controller.on_sample_list_method_complete = [run] { run->next_step(); };
    controller.on_stop_sample_list = [run] { run->error_stop(); };

    if (data_system) {
        run->set_chemstation(data_system->mode().chemstation);
        data_system->set_current_row([run] { return run->current_sequence_row(); });
        QObject::connect(&main, &QObject::destroyed, [data_system] { data_system->set_current_row({}); });
    }

    auto* hooks = new ListRunHooks(main.state().hooks(), *run);
    main.state().set_hooks(hooks);
    QObject::connect(&main, &QObject::destroyed, [hooks] { delete hooks; });
    return run;
}

}  // namespace kelvo
