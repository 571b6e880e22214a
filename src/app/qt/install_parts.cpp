#include "app/qt/install_parts.h"

#include "app/main_hooks.h"
#include "app/program_configuration.h"
#include "app/qt/main_form.h"
#include "engine/expand.h"
#include "engine/qt/syringe_change.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "link/qt/startup_ui.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace kelvo {

namespace {

// The main window's hooks that start-up answers: the single-instance lock,
// reload, the port chooser and the offline fallback. A child of the window
// that touches nothing of it when it goes.
class StartupHooks final : public QObject, public MainHooks {
public:
    StartupHooks(QObject* parent, StartupController* startup) : QObject(parent), startup_(startup) {}

    void release_single_instance() override;
    void reload_configuration() override;
    bool choose_port() override;
    void offline_fallback() override;

private:
    QPointer<StartupController> startup_;
};

}  // namespace

void StartupHooks::release_single_instance()
{
    if (startup_) startup_->release_single_instance();
}

void StartupHooks::reload_configuration()
{
    if (startup_) startup_->reload_configuration();
}

bool StartupHooks::choose_port() { return startup_ && startup_->choose_port(); }

void StartupHooks::offline_fallback()
{
    if (startup_) startup_->offline_fallback();
}

StartupController* install_startup(Tmain_form& main, const CommandLineOptions& options, SerialPort* port)
{
    StartupOptions startup_options;
    startup_options.offline = options.offline;
    startup_options.offline_by_switch = options.offline_by_switch;
    startup_options.debug_window = options.debug_window;
    startup_options.no_splash = options.chemstation();
    auto* startup = new StartupController(main, startup_options, std::make_unique<ProgramConfiguration>(), port);
    main.state().set_hooks(new StartupHooks(&main, startup));
    main.on_first_activation = [startup] { startup->first_activation(); };
    return startup;
}

MacroEditorPage* install_macro_editor(Tmain_form& form)
{
    auto* page = new MacroEditorPage(form.macro_page);
    // The window keeps the name box and the lock button in the page's top
    // row and routes them through its document commands.
    page->adopt_name_controls(form.macro_name_group, form.macro_select_box, form.lock_button);
    form.set_editor(Page::macro, page);
    form.state().set_document_ops(DocumentKind::macro, &page->document_ops());
    return page;
}

MethodEditorPage* install_method_editor(Tmain_form& form, MacroEditorPage* macro_editor)
{
    auto* page = new MethodEditorPage(test_expansion, form.method_page);
    // The window keeps the name box in the page's top row and routes its
    // choice through the document commands.
    page->adopt_name_controls(form.method_name_group, form.method_select_box);
    form.set_editor(Page::method, page);
    form.state().set_document_ops(DocumentKind::method, &page->document_ops());
    page->set_macro_editor(macro_editor);
    page->set_single_macro_mode(form.state().options().single_macro);
    page->set_out_of_range_dialog(new Tsyringe_change(&form));
    return page;
}

}  // namespace kelvo
