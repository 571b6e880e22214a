#include "app/qt/tray_dialog_hooks.h"

#include "app/qt/main_form.h"
#include "link/kelvo_link.h"
#include "link/qt/startup_ui.h"
#include "samplelist/qt/sample_list_page.h"
#include "trays/qt/tray_form.h"

namespace kelvo {

void TrayDialogHooks::show_trays()
{
    form_.show();
    form_.raise();
    form_.activateWindow();
}

void TrayDialogHooks::refresh_vial_dialog() { form_.refresh_from_configuration(); }

Ttray_form* install_tray_dialog(Tmain_form& main, StartupController& startup, SampleListPage* sample_list)
{
    auto* form = new Ttray_form(&main);
    // A dialog of its own beside the main window, not over it.
    form->setWindowFlag(Qt::Window);
    TrayFormHooks hooks;
    hooks.send_status_command = [&startup](const std::string& command, std::function<void()> completion) {
        KelvoLink& link = startup.link();
        link.send_command(CommandKind::status, command, std::move(completion), false, link.not_responding_action());
    };
    if (sample_list) {
        hooks.add_rows = [sample_list](const std::vector<int>& vials, const std::string& tray, bool insert) {
            sample_list->table().add_vial_rows(vials, tray, insert, sample_list->selection(), {});
        };
    }
    form->set_hooks(std::move(hooks));
    auto* wrapped = new TrayDialogHooks(main.state().hooks(), *form);
    main.state().set_hooks(wrapped);
    // The hooks object lives as long as the dialog, which goes with the
    // main window.
    QObject::connect(form, &QObject::destroyed, [wrapped] { delete wrapped; });
    startup.add_configuration_listener([form] { form->refresh_from_configuration(); });
    return form;
}

}  // namespace kelvo
