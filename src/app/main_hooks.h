#pragma once
// What the main window asks of the parts around it: the single-instance lock,
// the instrument link (reload, port chooser, offline fallback, the mounted
// syringe), the sample-list run and the dialogs of later parts. Every default
// does nothing, so the window works on its own (tests, before the parts
// exist).
namespace kelvo {

class MainHooks {
public:
    virtual ~MainHooks() = default;

    // Closing, step 1: give up the single-instance lock.
    virtual void release_single_instance() {}
    // Whether a sample list is executing: the macro page is refused then.
    virtual bool sample_list_running() const { return false; }

    // "&Reload Kelvo Configuration" (and "&Port..." after OK): back online
    // when offline (opening the port), then the connection chain again.
    virtual void reload_configuration() {}
    // "&Port...": the port chooser, modally; true when it closed with OK.
    virtual bool choose_port() { return false; }
    // A method folder chosen while offline: the offline fallback from the new
    // folder (it reloads the saved configuration from there).
    virtual void offline_fallback() {}
    // The vial selection dialog shows the trays of the configuration.
    virtual void refresh_vial_dialog() {}
    // New method: ask the instrument for the mounted syringe ("GET_SYR";
    // offline the link's last answer lines stand in) and select it in the
    // method's syringe box.
    virtual void ask_mounted_syringe() {}

    // Buttons and items of later parts.
    virtual void show_trays() {}           // "&Trays": vial selection, not modal
    virtual void show_log_viewer() {}      // "View &Log file": modal
    virtual void format_sample_list() {}   // "&Format Sample List...": column form
};

// Hooks that take one item and pass everything else on to the hooks they
// wrap.
class ForwardingMainHooks : public MainHooks {
public:
    explicit ForwardingMainHooks(MainHooks& next) : next_(next) {}
    void release_single_instance() override { next_.release_single_instance(); }
    bool sample_list_running() const override { return next_.sample_list_running(); }
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
};

}  // namespace kelvo
