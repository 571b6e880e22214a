#pragma once
// Puts the Sample List page into the main window and connects it to the
// rest of the program. All of the page's wiring lives here.
namespace kelvo {

class MethodEditorPage;
class PrintWiring;
class SampleListPage;
class StartupController;
class Tmain_form;
class Ttray_form;

// The page goes into `sample_list_page` with the window's `list_select_box`;
// the window's document commands reach its document; the method names (from
// the method folder and the method page), the trays and injectors (from each
// configuration read) fill its choice columns; the first configuration sets
// the grid up and restores the last list; the service timer repaints row
// statuses; leaving a row opens its method in the method page (when that
// page is enabled); the File menu offers "E&xport Sample List...".
// startup and method_page may be nullptr. Returns the page (owned by the
// window).
SampleListPage* install_sample_list_page(Tmain_form& form, StartupController* startup, MethodEditorPage* method_page);

// The vial selection dialog adds its rows to the list ("&Add", "&Insert")
// with the values of its default sheet, which the page sets up each time
// the dialog opens; the sheet's values are kept in the settings ("Tray Page
// Column defaults") when it closes and shown again when it opens.
void connect_vial_dialog(SampleListPage& page, Ttray_form& dialog);


}  // namespace kelvo
