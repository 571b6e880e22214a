// The cadenzor program on Qt.
#include "app/command_line.h"
#include "config/program_context.h"
#include "ground/debug_lines.h"
#include "app/qt/journal_wiring.h"
#include "datasystem/data_system_link.h"
#include "datasystem/qt/dbus_dde_client.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "app/qt/column_wiring.h"
#include "app/qt/form_name_dialogs.h"
#include "app/qt/guarded_application.h"
#include "app/qt/main_form.h"
#include "app/qt/run_controller.h"
#include "app/qt/sample_list_run_wiring.h"
#include "app/qt/sample_list_wiring.h"
#include "app/qt/print_wiring.h"
#include "app/qt/tray_dialog_hooks.h"
#include "ground/qt/message_prompts.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"
#include "ground/settings.h"
#include "app/qt/install_parts.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "link/qt/startup_ui.h"

#include "app/qt/cadenzor_app.h"
#include "app/qt/column_wiring.h"

#include <QApplication>

#include <memory>

int kelvo::run_cadenzor(int argc, char** argv)
{
    kelvo::GuardedApplication app(argc, argv);
    QApplication::setApplicationName("Cadenzor");
    QApplication::setOrganizationName("Qerant");
    // One look on every desktop, and one the screenshots and tests share.
    QApplication::setStyle("Fusion");

    kelvo::MessagePrompts prompts;
    kelvo::PromptsScope prompts_scope(prompts);

    kelvo::set_log_path();
    kelvo::raise_process_priority();

    std::vector<std::string> args;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(kelvo::from_qstring(arguments[i]));
    const kelvo::CommandLineOptions options = kelvo::parse_command_line(args);
    kelvo::set_masslynx_mode(options.masslynx());

    // Settings the program reads at start; each read writes its default
    // back, so a first run leaves every value visible in the settings. The
    // time-outs, the polling interval and "Status Box" are read where they
    // are used, by the start-up below.
    kelvo::set_method_folder(kelvo::read_setting_text("Method Folder", ""));
    kelvo::read_setting_integer("Port", 1);
    kelvo::read_setting_text("Macro", "");
    kelvo::read_setting_text("Method", "");
    kelvo::read_setting_text("Sample List", "");

    // The data-system link; its conversations travel over D-Bus and are
    // made only in ChemStation mode.
    std::unique_ptr<kelvo::DdeClient> dde;
    if (options.chemstation()) dde = std::make_unique<kelvo::DbusDdeClient>();
    kelvo::DataSystemLink data_system(
        kelvo::data_system_mode(options.data_system, options.service_name, options.instrument_type), dde.get(),
        kelvo::program_context().prompts, kelvo::debug_line);

    kelvo::Tmain_form main_form;
    prompts.set_parent(&main_form);
    kelvo::FormNameDialogs name_dialogs(&main_form);
    kelvo::NameDialogsScope name_dialogs_scope(name_dialogs);
    kelvo::close_on_termination_signals(&main_form);
    main_form.apply_command_line(options);

    // The forms of the instrument link and start-up (`Tkelvo_lib`,
    // `Tport_form`, `Tpchoice_form`), the service timer and the first
    // activation.
    kelvo::StartupController* startup = kelvo::install_startup(main_form, options);
    startup->link().set_data_system_hooks(&data_system);
    data_system.set_status_text([&main_form](const std::string& text) { main_form.set_status_text(text); });

    kelvo::MacroEditorPage* macro_page = kelvo::install_macro_editor(main_form);
    startup->add_configuration_listener([macro_page] { macro_page->refresh_from_configuration(); });
    startup->set_reopener(kelvo::DocumentKind::macro, [macro_page] { macro_page->reopen_last_macro(); });
    kelvo::MethodEditorPage* method_page = kelvo::install_method_editor(main_form, macro_page);
    startup->add_configuration_listener([method_page] { method_page->refresh_from_configuration(); });
    startup->set_reopener(kelvo::DocumentKind::method, [method_page] { method_page->reopen_last_method(); });
    kelvo::SampleListPage* sample_list_page = kelvo::install_sample_list_page(main_form, startup, method_page);
    kelvo::install_printing(main_form, macro_page, method_page, sample_list_page);

    kelvo::Ttray_form* tray_form = kelvo::install_tray_dialog(main_form, *startup);
    kelvo::connect_vial_dialog(*sample_list_page, *tray_form);
    kelvo::RunController* run_controller = kelvo::install_run_controller(main_form, *startup, *method_page);
    run_controller->set_data_system(&data_system);
    kelvo::SampleListRun* list_run =
        kelvo::install_sample_list_run(main_form, *startup, *run_controller, *sample_list_page, &data_system);
    kelvo::install_run_journal(main_form, *startup, *run_controller, *list_run, *sample_list_page);
    kelvo::install_column_settings(main_form, *sample_list_page, &data_system, tray_form, options.columns_file);

    main_form.fill_name_boxes();
    kelvo::restore_window_position(&main_form);

    main_form.show();
    return app.exec();
}
