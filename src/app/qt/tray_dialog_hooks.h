#pragma once
// The vial selection dialog in the program: created with the main window,
// opened (not modally) by "&Trays", refreshed whenever a configuration has
// been read, and given the instrument link for tray type changes.
//
// Its hooks object wraps the main window's hooks: "&Trays" and the vial
// dialog refresh are answered here, everything else goes on to the hooks it
// wraps.
#include "app/main_hooks.h"

namespace kelvo {

class SampleListPage;
class StartupController;
class Tmain_form;
class Ttray_form;

class TrayDialogHooks final : public MainHooks {
public:
    TrayDialogHooks(MainHooks& next, Ttray_form& form) : next_(next), form_(form) {}

    void show_trays() override;
    void refresh_vial_dialog() override;

    void release_single_instance() override { next_.release_single_instance(); }
    bool sample_list_running() const override { return next_.sample_list_running(); }
    void reload_configuration() override { next_.reload_configuration(); }
    bool choose_port() override { return next_.choose_port(); }
    void offline_fallback() override { next_.offline_fallback(); }
    void ask_mounted_syringe() override { next_.ask_mounted_syringe(); }
    void show_log_viewer() override { next_.show_log_viewer(); }
    void format_sample_list() override { next_.format_sample_list(); }

private:
    MainHooks& next_;
    Ttray_form& form_;
};

// Creates the dialog as a child of the main window and hooks it in. With a
// sample list page, Add and Insert put rows into its table (the columns
// other than Tray and Vial get the default sheet's values, see
// connect_vial_dialog).
Ttray_form* install_tray_dialog(Tmain_form& main, StartupController& startup, SampleListPage* sample_list = nullptr);

}  // namespace kelvo
