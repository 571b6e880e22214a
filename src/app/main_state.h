#pragma once
// The main window's rules, kept apart from its widgets: the document
// commands dispatched by menu caption, New and Delete, the page-change rules,
// the method folder choice, Import, the macro lock, the title, and what
// closing stores. `Tmain_form` owns one MainState and is its MainView; tests
// drive it with a fake view.
#include "app/command_line.h"
#include "ground/document_kind.h"
#include "ground/document_ops.h"
#include "app/main_hooks.h"

#include <array>
#include <string>
#include <vector>

namespace kelvo {

// What the rules need of the window.
class MainView {
public:
    virtual ~MainView() = default;
    virtual Page front_page() const = 0;
    // Brings the page to the front without running the page-change rules.
    virtual void show_page(Page page) = 0;
    // Sets the five document captions and the visibility of "&Import..." and
    // "&Format Sample List...".
    virtual void prepare_captions() = 0;
    virtual void set_title(const std::string& title) = 0;
    // Refills the kind's name box from the method folder, keeping its
    // selection.
    virtual void refill_names(DocumentKind kind) = 0;
    virtual std::string selected_name(DocumentKind kind) const = 0;
    // Selects the name in the kind's name box, adding it when missing; the
    // empty name leaves nothing selected.
    virtual void show_name(DocumentKind kind, const std::string& name) = 0;
    // The lock button after a change of the macro file's attribute.
    virtual void show_write_protection(bool read_only) = 0;
    virtual bool status_window_on() const = 0;
    // "Status Left" / "Status Top" from the status window.
    virtual void store_status_position() = 0;
    // "Window Left" / "Window Top": the main window's centre.
    virtual void store_window_centre() = 0;
};

// The document commands of the File menu.
enum class DocumentCommand { new_document, save, save_as, delete_document, print };

// The caption a document item carries for a kind: "&New Method",
// "Save Macro &As...", "&Print Sample List", ...
std::string document_caption(DocumentCommand command, DocumentKind kind);

inline constexpr const char* macro_page_refused_text = "Macro editing is not allowed while the sample list is executing";
inline constexpr const char* exit_while_running_text =
    "Exiting the program now will stop the execution of the sample list. Do you really want to exit?";
inline constexpr const char* parentheses_refused_text = "Please do not use parentheses in the file name";

class MainState {
public:
    explicit MainState(MainView& view);
    MainState(const MainState&) = delete;
    MainState& operator=(const MainState&) = delete;

    // Not owned; nullptr restores the default that does nothing.
    void set_document_ops(DocumentKind kind, DocumentOps* ops);
    DocumentOps& ops(DocumentKind kind) const;
    void set_hooks(MainHooks* hooks);
    MainHooks& hooks() const { return *hooks_; }

    // The switches of the command line (data system, pages shown, ...).
    void set_options(const CommandLineOptions& options) { options_ = options; }
    const CommandLineOptions& options() const { return options_; }
    bool page_enabled(Page page) const { return options_.page_shown(page); }

    // Offline: no command goes to the instrument. Shown in the title.
    void set_offline(bool offline) { offline_ = offline; }
    bool offline() const { return offline_; }
    // Builds the title from the mode, the offline mark and the method folder.
    void set_title();

    // Start-up has written "Started program": from then on closing asks to
    // save and stores the settings.
    void set_started_program(bool started) { started_program_ = started; }
    bool started_program() const { return started_program_; }

    // The page in front before the last page change.
    Page previous_page() const { return previous_page_; }
    void set_previous_page(Page page) { previous_page_ = page; }

    // The user brought the page to the front.
    void page_changed(Page to);

    // A document item was chosen: runs the command for the kind whose caption
    // the item carries (exactly, with case); a caption that matches none does
    // nothing.
    void dispatch(DocumentCommand command, const std::string& caption);
    void new_document(DocumentKind kind);
    void delete_document(DocumentKind kind);

    // Selects the name (empty for none), stores it as the kind's setting and
    // starts an empty document of that name.
    void start_empty_document(DocumentKind kind, const std::string& name);
    // Refills the kind's name box and tells its editor.
    void refresh_names(DocumentKind kind);
    void refresh_all_names();

    // Import of the chosen files (the file dialog was not cancelled).
    void import_files(const std::vector<std::string>& files);

    // OK in the method folder dialog: the chosen folder becomes the method
    // folder and the setting "Method Folder"; the dialog's list, in its
    // order, becomes the folder list.
    void store_folder_choice(const std::string& folder, const std::vector<std::string>& list);
    // After a folder choice: empty documents of all three kinds without
    // names, and the name lists refilled from the folder.
    void empty_documents_for_folder();
    // After OK from the menu: empty documents; then offline the offline
    // fallback from the new folder and the vial dialog refreshed, online the
    // title.
    void folder_chosen_from_menu();

    // `lock_button`: inverts the read-only attribute of the current macro's
    // file (a missing file is left alone) and refreshes the display.
    void toggle_macro_lock();
    std::string macro_file() const;

    // "&Reload Kelvo Configuration" and "&Port...".
    void reload_configuration();
    void choose_port();

    // Before closing: while a sample list runs, asks whether to exit. False
    // when the user answered No.
    bool confirm_close() const;
    // Closing, steps 1 to 7. Runs once; later calls do nothing.
    void close();
    bool closed() const { return closed_; }

private:
    MainView& view_;
    DocumentOps default_ops_;
    MainHooks default_hooks_;
    std::array<DocumentOps*, 3> ops_;
    MainHooks* hooks_;
    CommandLineOptions options_;
    bool offline_ = false;
    bool started_program_ = false;
    bool closed_ = false;
    Page previous_page_ = Page::method;
};

}  // namespace kelvo
