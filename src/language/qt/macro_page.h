#pragma once
// The Macro Editor page: the macro name box with its lock button, the
// parameter list, the numbered atom list, the description, and the atom pane
// in which an atom line is composed. The macro itself lives in a
// MacroDocument; the page shows it, edits it, and supplies the document's
// editor hooks.
#include "ground/document_ops.h"
#include "language/macro_document.h"
#include "language/qt/atom_pane_rules.h"
#include "language/qt/editor_page.h"

#include <QIcon>
#include <QList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace kelvo {

class ArgumentDrops;
class MacroPageOps;
class MacroParameterList;
class Tadd_param_form;

class MacroEditorPage : public EditorPage, public MacroEditorHooks {
    Q_OBJECT
public:
    // The page edits its own MacroDocument over the program-wide configuration.
    explicit MacroEditorPage(QWidget* parent = nullptr);
    ~MacroEditorPage() override;

    // One argument slot of the atom pane: the label, the text box of a
    // numeric argument, the drop-down box of a list-index or object argument.
    using ArgumentSlot = PaneSlot;

    // --- components (objectName = member name; the shared ones are the
    // base's, under this page's names) ---
    QGroupBox*& macro_name_group = name_group;     // "Macro Name"
    QToolButton* lock_button = nullptr;
    QComboBox*& macro_select_box = name_box;
    QGroupBox* parameter_group = nullptr;          // "Macro Variables"
    QListWidget* parameter_box = nullptr;
    QPushButton* insert_param_button = nullptr;    // "I&nsert"
    QPushButton* delete_param_button = nullptr;    // "D&elete"
    // sequence_group: "Macro Atom Sequence"
    QListWidget*& macro_box = line_box;
    // description_group: "Macro Description"
    QPlainTextEdit*& macro_descrip_box = description_box;
    QGroupBox*& atom_param_group_box = pane_group; // "Selected Atom"
    QComboBox*& select_atom_box = pane_choice_box;
    std::array<ArgumentSlot, atom_pane_slots>& argument_slots = pane_slots;
    QPushButton*& add_atom_button = insert_button;        // "&Insert"
    QPushButton*& replace_atom_button = replace_button;   // "&Replace"
    QPushButton*& delete_atom_button = delete_button;     // "&Delete"
    QPushButton*& default_atom_button = defaults_button;  // "Default &All"
    QMenu*& atom_param_popup = pane_popup;
    // Image 0: closed padlock (the file is write-protected); image 1: open.
    QList<QIcon> lock_images;

    MacroDocument& document() { return document_; }
    // What the main window's file commands and page changes call.
    DocumentOps& document_ops();

    // --- state of the atom pane ---
    // The atom line being edited in the pane, -1 when none.
    int edited_line() const { return edited_line_; }
    // True when the pane shows an existing line, false for a new atom.
    bool pane_shows_line() const { return pane_shows_line_; }
    // The atom shown in the pane (index in the configuration), -1 when none.
    int pane_atom() const { return pane_atom_; }
    // selected_line(): the selected line of `macro_box`, -1 when none.

    // --- operations the rest of the program calls ---
    // The configuration was (re)read: atom box, pane and name list again.
    void refresh_from_configuration();
    // At start: selects and loads the last-used macro (setting "Macro") when
    // its file exists; otherwise nothing is selected.
    void reopen_last_macro();
    // Rebuilds the name box from the method folder, keeping its selection.
    void refill_names() override;
    // A name picked in the name box: writes the pane back and asks to save
    // the macro being left (staying on it when that fails), then loads the
    // picked macro or starts a new one of that name, and stores it as the
    // setting "Macro".
    void select_macro(const std::string& name);
    // Inside the main window: the window's name group, name box and lock
    // button stand in for the page's own, which go away. The window routes
    // their events through document_ops().
    void adopt_name_controls(QGroupBox* group, QComboBox* box, QToolButton* lock);
    // The Method Editor selected a macro: ask to save, select it, load it.
    // False when the macro being left could not be saved.
    bool follow_macro(const std::string& name);

    // --- handlers ---
    void macro_select_boxChange();
    void lock_buttonClick();
    void select_atom_boxChange();
    void macro_boxClick(int row);
    void add_atom_buttonClick() { insert_pane_line(); }
    void replace_atom_buttonClick() { replace_pane_line(); }
    void delete_atom_buttonClick() { delete_selected_line(); }
    void default_atom_buttonClick() { set_pane_defaults(); }
    void insert_param_buttonClick();
    void parameter_boxDblClick(int row);
    void delete_param_buttonClick();
    void macro_descrip_boxChange();
    // Fills `atom_param_popup` for the numeric argument in the slot (from 0).
    void prepare_atom_param_popup(int slot) { prepare_popup(slot); }
    void atom_param_popupClick(QAction* item) { take_popup_choice(item); }

    // Dropping a parameter line on the argument in the slot: the value takes
    // the parameter's name when the parameter fits (same unit, or a shared
    // class); false and nothing changed otherwise.
    bool can_drop_parameter(int slot, const std::string& parameter_line) const;
    bool drop_parameter(int slot, const std::string& parameter_line);
    // The parameter line being dragged from `parameter_box`, empty when none.
    const std::string& dragged_parameter() const;

    // The pane's line as it would be built now (messages shown on failure).
    std::optional<std::string> build_pane_line() override;

    // --- dialogs, replaceable for scripted tests (set_save_name_asker: the
    // base's) ---
    // Returns the parameter line, empty when cancelled. position -1: new.
    using ParameterDialog = std::function<std::string(const std::vector<std::string>& parameter_lines, int position)>;
    void set_parameter_dialog(ParameterDialog dialog);
    // The dialog the page uses by default; created once, on first use. The
    // save name goes through the program's name dialogs (app/name_dialogs.h).
    Tadd_param_form& add_param_form();

    // --- MacroEditorHooks ---
    bool write_back_pane() override;
    std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current) override;
    void clear_pane() override;
    void refresh_display() override;
    void show_first_line() override;
    void update_lock_button(bool read_only) override;
    void clear_name_selection() override;
    void select_name(const std::string& name) override;
    void refill_name_lists() override;
    void method_editor_forget_line_if_showing(const std::string& name) override;

signals:
    // This page's name list was rebuilt (after Save As, Delete): the Method
    // Editor's macro list should follow.
    void macro_names_changed();
    // "&Print Macro": the printing is wired from outside.
    void print_requested();
    // The macro of that name was written to its file.
    void macro_written(const QString& name);

protected:
    void insert_line(int selected_row, const std::string& line) override;
    void replace_line(int row, const std::string& line) override;
    void delete_line(int row) override;
    std::string slot_default(std::size_t slot) const override;
    std::vector<std::string> popup_items(std::size_t slot) const override;

private:
    friend class MacroPageOps;

    void build_widgets();
    void show_numbered_lines(int select_row);
    void fill_atom_box();
    // Shows the atom in the pane, with the values of a line or, without
    // values, as a new atom.
    void show_atom(int atom, const std::vector<std::string>* values);
    void show_line_in_pane(int line);
    // Shows no line being edited; the list selects the row.
    void forget_edited_line(int select_row);
    void parameters_changed(int select_row);
    void refill_object_boxes();

    MacroDocument document_;
    std::unique_ptr<MacroPageOps> ops_;
    int edited_line_ = -1;
    bool pane_shows_line_ = false;
    int pane_atom_ = -1;
    MacroParameterList* parameters_ = nullptr;
    std::unique_ptr<ArgumentDrops> drops_;
};

}  // namespace kelvo
