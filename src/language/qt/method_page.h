#pragma once
// The Method Editor page: the method name box (the main window's), the
// syringe box, the description, the numbered macro sequence, and the
// parameter pane in which a macro call line is composed. The method itself
// lives in a MethodDocument; the page shows it, edits it and supplies the
// document's editor hooks.
#include "ground/document_ops.h"
#include "ground/qt/list_row_hints.h"
#include "language/method_document.h"
#include "language/parameter_line.h"
#include "language/qt/editor_page.h"

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

namespace kelvo {

class MacroEditorPage;
class MethodPageOps;
class OutOfRangeDialog;

// The pane has this many parameter slots (a macro has at most 14
// parameters; values beyond them are carried unchanged).
inline constexpr int method_pane_slots = editor_pane_slots;

class MethodEditorPage : public EditorPage, public MethodEditorHooks {
    Q_OBJECT
public:
    // The page edits its own MethodDocument over the program-wide
    // configuration; expansion_test is the run engine's.
    explicit MethodEditorPage(ExpansionTest expansion_test, QWidget* parent = nullptr);
    ~MethodEditorPage() override;

    // --- components (objectName = member name; the shared ones are the
    // base's, under this page's names) ---
    QGroupBox*& method_name_group = name_group;  // "Method Name"
    QComboBox*& method_select_box = name_box;
    QGroupBox* syringe_group = nullptr;          // "Method Syringe"
    QComboBox* syringe_box = nullptr;
    // description_group: "Method Description"
    QPlainTextEdit*& method_descrip_box = description_box;
    // sequence_group: "Method Macro Sequence"
    QListWidget*& method_box = line_box;
    QGroupBox*& param_group_box = pane_group;    // "Selected Macro"
    QComboBox*& macros_of_method = pane_choice_box;
    // pane_slots[i]: StaticText, Edit and ComboBox i + 1.
    using EditorPage::pane_slots;
    QPushButton*& add_macro_button = insert_button;             // "&Insert"
    QPushButton*& replace_macro_button = replace_button;        // "&Replace"
    QPushButton*& delete_macro_button = delete_button;          // "&Delete"
    QPushButton*& set_macro_defaults_button = defaults_button;  // "Default &All"
    QMenu*& macro_param_popup = pane_popup;

    MethodDocument& document() { return document_; }
    // What the main window's file commands and page changes call.
    DocumentOps& document_ops();

    // --- the pane ---
    // The macro shown in the pane; empty when none.
    const std::string& pane_macro() const { return pane_macro_; }
    // Its parameters, slot by slot.
    const ParameterTable& pane_parameters() const { return pane_parameters_; }
    // selected_line(): the selected line of `method_box`, -1 when none.
    // The call line the pane would build now (method value check; messages
    // shown on failure).
    std::optional<std::string> build_pane_line() override;

    // --- operations the rest of the program calls ---
    // The names of `method_select_box` (for the sample list's method column).
    std::vector<std::string> method_names() const;
    // The configuration was (re)read: the syringe box, the macro list and the
    // pane again.
    void refresh_from_configuration();
    // At start: the last-used method (setting "Method") is loaded; when that
    // fails no method is selected.
    void reopen_last_method();
    // Rebuilds the name box from the method folder, keeping its selection.
    void refill_names() override;
    // Rebuilds `macros_of_method` from the method folder (without the special
    // macros), keeping its selection.
    void refill_macro_names();
    // A name picked in the name box: writes the pane back (staying on the
    // method when that fails), asks to save the method being left, loads the
    // picked one or starts a new method of that name.
    void select_method(const std::string& name);
    // adopt_name_controls(group, box): inside the main window, the window's
    // name group and box stand in for the page's own, which go away. The
    // window routes the box's choice through document_ops().
    // The Macro Editor that follows the macro chosen here (may be nullptr).
    void set_macro_editor(MacroEditorPage* editor);
    // "SNG": the macro sequence, its buttons and the macro list are hidden
    // and the pane's caption is blank; the method's calls are edited one at a
    // time through the pane.
    void set_single_macro_mode(bool on);
    bool single_macro_mode() const { return single_macro_mode_; }
    // A macro was written by the Macro Editor: when the pane shows it, the
    // shown line is forgotten and the pane shows the new version's defaults.
    void macro_written(const std::string& name);

    // --- handlers ---
    void syringe_boxChange();
    void method_descrip_boxChange();
    void method_boxClick(int row);
    void macros_of_methodChange();
    void add_macro_buttonClick() { insert_pane_line(); }
    void replace_macro_buttonClick() { replace_pane_line(); }
    void delete_macro_buttonClick() { delete_selected_line(); }
    void set_macro_defaults_buttonClick() { set_pane_defaults(); }
    // Fills `macro_param_popup` for the numeric parameter in the slot (from 0).
    void prepare_macro_param_popup(int slot) { prepare_popup(slot); }
    void macro_param_popupClick(QAction* item) { take_popup_choice(item); }
    // The hint of `method_box` for the line under the mouse (-1: none).
    void method_box_hint_for_row(int row) { hints_->show_row(row); }

    // --- dialogs, replaceable for scripted tests (set_save_name_asker: the
    // base's) ---
    // The out-of-range dialog (not owned); without one the proposed value
    // is taken.
    void set_out_of_range_dialog(OutOfRangeDialog* dialog) { out_of_range_dialog_ = dialog; }

    // --- MethodEditorHooks ---
    bool call_line_from_pane(std::string& line) override;
    void show_line(int index) override;
    void clear_pane() override;
    void show_macro_defaults(const std::string& macro) override;
    void refresh_pane() override;
    void refresh_display() override;
    void show_syringe(const std::string& syringe) override;
    bool select_name(const std::string& name) override;
    void clear_name_selection() override;
    void refill_name_lists() override;
    void macro_editor_follow(const std::string& macro) override;
    std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current) override;
    double ask_out_of_range(const std::string& context, const std::string& unit, double maximum, double minimum,
                            double proposed, double value) override;

signals:
    // The method names were rebuilt (after Save, Save As, Delete, a refill):
    // the sample list's method column should follow.
    void method_names_changed();
    // "&Print Method": the printing is wired from outside.
    void print_requested();

protected:
    void insert_line(int selected_row, const std::string& line) override;
    void replace_line(int row, const std::string& line) override;
    void delete_line(int row) override;
    std::string slot_default(std::size_t slot) const override;
    std::vector<std::string> popup_items(std::size_t slot) const override;

private:
    friend class MethodPageOps;

    void build_widgets();
    // Shows the macro in the pane with the call's values, or with its
    // defaults when values is nullptr.
    void show_pane(const std::string& macro, const std::vector<std::string>* values);
    std::vector<std::string> pane_labels() const;
    void select_macro_in_box(const std::string& macro);

    MethodDocument document_;
    std::unique_ptr<MethodPageOps> ops_;
    std::string pane_macro_;
    ParameterTable pane_parameters_;
    // The macro's parameter lines could all be read: only then does the pane
    // build lines (a broken macro must not rewrite the calls).
    bool pane_table_ok_ = false;
    ListRowHints* hints_ = nullptr;
    bool forgetting_line_ = false;
    bool single_macro_mode_ = false;
    MacroEditorPage* macro_editor_ = nullptr;
    OutOfRangeDialog* out_of_range_dialog_ = nullptr;
};

}  // namespace kelvo
