#pragma once
// The composition root's wiring of the parts into the main window: start-up
// and the editor pages reach the window only through what these functions
// hand them (StartupWindow, DocumentOps, the name controls), and the window
// reaches them through its MainHooks and DocumentOps. cadenzor_app uses
// them; tests build the same program with them.
#include "app/command_line.h"

namespace kelvo {

class MacroEditorPage;
class MethodEditorPage;
class SerialPort;
class StartupController;
class Tmain_form;

// Creates start-up as a child of the main window: the link's forms, the
// service timer, the first activation and the window's hooks.
StartupController* install_startup(Tmain_form& main, const CommandLineOptions& options, SerialPort* port = nullptr);

// Puts a Macro Editor page into the main window's `macro_page` and connects
// it to the window's document commands. Returns the page (owned by the
// window).
MacroEditorPage* install_macro_editor(Tmain_form& form);

// Puts a Method Editor page into the main window's `method_page`, connects it
// to the window's document commands and to the Macro Editor (which may be
// nullptr when there is none), gives it the run engine's expansion test and
// the out-of-range dialog, and applies the single-macro mode of the
// window's command line. Returns the page (owned by the window).
MethodEditorPage* install_method_editor(Tmain_form& form, MacroEditorPage* macro_editor);

}  // namespace kelvo
