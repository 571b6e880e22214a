// The cadenzor program on Qt.
#include "app/log.h"
#include "app/prompts.h"
#include "app/qt/main_form.h"
#include "app/qt/message_prompts.h"
#include "app/qt/window_place.h"
#include "app/settings.h"

#include "app/qt/cadenzor_app.h"

#include <QApplication>

int kelvo::run_cadenzor(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Cadenzor");
    QApplication::setOrganizationName("Qerant");

    kelvo::MessagePrompts prompts;
    kelvo::PromptsScope prompts_scope(prompts);

    kelvo::set_log_path();
    kelvo::Tmain_form main_form;
    prompts.set_parent(&main_form);
    kelvo::close_on_termination_signals(&main_form);

    // Settings the program reads at start; each read writes its default
    // back, so a first run leaves every value visible in the settings.
    kelvo::read_setting_integer("Atom timeout (msec)", 3000);
    kelvo::read_setting_integer("Status timeout (msec)", 3000);
    kelvo::read_setting_integer("Polling interval", 500);
    kelvo::read_setting_text("Status Box", "True");
    kelvo::read_setting_text("Method Folder", "");
    kelvo::read_setting_integer("Port", 1);
    kelvo::read_setting_text("Macro", "");
    kelvo::read_setting_text("Method", "");
    kelvo::read_setting_text("Sample List", "");
    kelvo::restore_window_position(&main_form);

    main_form.show();
    kelvo::log_message("Started program");
    return app.exec();
}
