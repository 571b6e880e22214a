#pragma once
// What the main window's file commands and page changes ask of each kind of
// document. The macro, method and sample-list editors each supply one
// DocumentOps; every default does nothing (and write_back() succeeds), so the
// window works before the editors exist.
//
// The main window itself keeps the name boxes (`list_select_box`,
// `method_select_box`, `macro_select_box`), the "Sample List" / "Method" /
// "Macro" settings written by New, Delete and the folder choice, the New and
// Delete dialogs and messages, and the file deletion. Everything inside an
// editor goes through these calls.
#include <string>

namespace kelvo {

class DocumentOps {
public:
    virtual ~DocumentOps() = default;

    // "&Save ...": Save with the name selected in the kind's name box (an
    // empty name means Save As).
    virtual void save(const std::string& selected_name) { (void)selected_name; }
    // "Save ... &As...": Save As, starting from the selected name.
    virtual void save_as(const std::string& selected_name) { (void)selected_name; }
    // "&Print ...": print the document of that name.
    virtual void print(const std::string& selected_name) { (void)selected_name; }

    // When the document has unsaved changes and a name, asks whether to save
    // it and saves on Yes.
    virtual void ask_to_save() {}
    // Writes the editor's pane (the method's parameter pane, the macro's atom
    // pane) back into the document. False when the pane holds an entry that
    // fails its check (the message has been shown).
    virtual bool write_back() { return true; }

    // New and Delete, and a new method folder: empty the editor and take the
    // name (empty for no name) as the current name. The name box already
    // shows the name and the setting holds it.
    virtual void start_empty(const std::string& name) { (void)name; }
    // The user picked a name in the kind's name box (ask to save the one left,
    // then load the picked one).
    virtual void name_selected(const std::string& name) { (void)name; }
    // The window refilled the kind's name box; pass the names on (the method
    // names to the sample list's method column, the macro names to
    // `macros_of_method`).
    virtual void names_refreshed() {}
    // Method page brought to the front: refresh the parameter pane for the
    // selected sequence line. Macro lock toggled: refresh the write-protection
    // display.
    virtual void refresh_pane() {}
    // A new method folder was chosen: forget choices that belong to the old
    // folder (the method editor clears `macros_of_method`).
    virtual void folder_changed() {}
};

}  // namespace kelvo
