#include "language/qt/macro_page.h"
#include "config/program_context.h"

#include "ground/documents.h"
#include "ground/qt/list_ops.h"
#include "ground/qt/row_leave_guard.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/resources.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/macro.h"
#include "language/qt/add_param_form.h"
#include "language/qt/argument_drops.h"
#include "language/qt/editor_page_ops.h"
#include "language/qt/macro_parameter_list.h"
#include "language/value_checks.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>

#include <algorithm>

namespace kelvo {
namespace {

std::string macro_name_pattern() { return document_path("*", macro_extension); }

}  // namespace

// ---------------------------------------------------------------------------
// Construction

MacroEditorPage::MacroEditorPage(QWidget* parent)
    : EditorPage(parent), document_(program_context()), ops_(std::make_unique<MacroPageOps>(*this))
{
    init_resources();
    setObjectName("macro_editor_page");
    lock_images << QIcon(":/images/lock_closed.png") << QIcon(":/images/lock_open.png");
    build_widgets();
    document_.set_hooks(this);
    refresh_from_configuration();
    update_lock_button(false);
}

MacroEditorPage::~MacroEditorPage() { document_.set_hooks(nullptr); }

DocumentOps& MacroEditorPage::document_ops() { return *ops_; }

void MacroEditorPage::build_widgets()
{
    static_assert(atom_pane_slots == editor_pane_slots);
    const Names names{.name_caption = "Macro Name", .name_group = "macro_name_group", .name_box = "macro_select_box",
                      .description_caption = "Macro Description", .description_box = "macro_descrip_box",
                      .sequence_caption = "Macro Atom Sequence", .line_box = "macro_box",
                      .pane_caption = "Selected Atom", .pane_group = "atom_param_group_box",
                      .pane_choice_box = "select_atom_box", .slot_label = "atom_param_label%1",
                      .slot_text = "atom_param_text%1", .slot_box = "atom_param_box%1",
                      .insert_button = "add_atom_button", .replace_button = "replace_atom_button",
                      .delete_button = "delete_atom_button", .defaults_button = "default_atom_button",
                      .popup = "atom_param_popup"};
    lock_button = build_name_group(names, "lock_button");
    lock_button->setIconSize(QSize(16, 16));

    parameters_ = new MacroParameterList(
        document_.parameter_lines(), [this](int select_row) { parameters_changed(select_row); }, this);
    parameter_group = parameters_;
    parameter_box = parameters_->list;
    insert_param_button = parameters_->insert_button;
    delete_param_button = parameters_->delete_button;

    build_description(names);
    build_sequence(names);
    // A click on another line writes the pane back before the list moves its
    // selection; when that fails the click is swallowed, so that the
    // selection stays on the line being edited.
    new RowLeaveGuard(macro_box, [this](int row) { return row == edited_line_ || write_back_pane(); });
    build_pane(names);
    // Parameters dragged from the list are dropped on the arguments' boxes.
    drops_ = std::make_unique<ArgumentDrops>(*parameters_, argument_slots, document_, [this] { return pane_atom_; });
    lay_out(parameter_group, 1);

    connect(macro_select_box, &QComboBox::activated, this, [this] { macro_select_boxChange(); });
    connect(lock_button, &QToolButton::clicked, this, [this] { lock_buttonClick(); });
    connect(select_atom_box, &QComboBox::activated, this, [this] { select_atom_boxChange(); });
    connect(macro_box, &QListWidget::currentRowChanged, this, [this](int row) { macro_boxClick(row); });
    connect(macro_descrip_box, &QPlainTextEdit::textChanged, this, [this] { macro_descrip_boxChange(); });
}

// ---------------------------------------------------------------------------
// Showing the model

void MacroEditorPage::show_numbered_lines(int select_row)
{
    show_lines(numbered_display(document_.atom_lines(), true), select_row);
}

void MacroEditorPage::fill_atom_box()
{
    const QSignalBlocker block(select_atom_box);
    select_atom_box->clear();
    for (const ConfigAtom& atom : config().atoms()) select_atom_box->addItem(to_qstring(atom.name));
}

void MacroEditorPage::show_atom(int atom, const std::vector<std::string>* values)
{
    const ConfigDb& db = config();
    const ConfigAtom* a = atom >= 0 && atom < db.atom_count() ? &db.atoms()[static_cast<std::size_t>(atom)] : nullptr;
    pane_atom_ = a ? atom : -1;
    {
        const QSignalBlocker block(select_atom_box);
        select_atom_box->setCurrentIndex(pane_atom_);
    }
    show_content(a ? atom_pane_content(db, *a, values, document_.parameters(), argument_slots.size()) : PaneContent{});
}

void MacroEditorPage::show_line_in_pane(int line)
{
    const auto& lines = document_.atom_lines();
    if (line < 0 || line >= static_cast<int>(lines.size())) return;
    const std::string& text = lines[static_cast<std::size_t>(line)];
    const std::vector<std::string> values = atom_line_values(text);
    const int atom = config().atom_index(line_name(text));
    show_atom(atom < config().atom_count() ? atom : -1, &values);
    edited_line_ = line;
    pane_shows_line_ = true;
}

// ---------------------------------------------------------------------------
// Hooks of the document

bool MacroEditorPage::write_back_pane()
{
    if (edited_line_ < 0) return true;
    auto& lines = document_.atom_lines();
    if (edited_line_ >= static_cast<int>(lines.size())) {
        edited_line_ = -1;
        return true;
    }
    // A line whose atom the configuration no longer has stays as it is.
    if (pane_atom_ < 0) return true;
    const std::optional<std::string> line = build_pane_line();
    if (!line) return false;
    lines[static_cast<std::size_t>(edited_line_)] = *line;
    update_lines(numbered_display(lines, true), edited_line_);
    return true;
}

std::optional<std::string> MacroEditorPage::build_pane_line()
{
    if (pane_atom_ < 0) return std::nullopt;
    return build_atom_line(program_context_with(config()), pane_atom_, pane_texts(), document_.parameters());
}

std::optional<std::string> MacroEditorPage::ask_save_name(const std::string& caption, const std::string& current)
{
    return asked_save_name(caption, current);
}

void MacroEditorPage::clear_pane()
{
    edited_line_ = -1;
    pane_shows_line_ = false;
    const int atom = select_atom_box->currentIndex();
    show_atom(atom >= 0 ? atom : (config().atom_count() > 0 ? 0 : -1), nullptr);
}

void MacroEditorPage::refresh_display()
{
    show_numbered_lines(edited_line_);
    parameters_->show_lines(-1);
    const QSignalBlocker block(macro_descrip_box);
    macro_descrip_box->setPlainText(joined_lines(document_.description()));
}

void MacroEditorPage::show_first_line()
{
    if (document_.atom_lines().empty()) {
        forget_edited_line(-1);
        return;
    }
    show_numbered_lines(0);
    show_line_in_pane(0);
}

void MacroEditorPage::update_lock_button(bool read_only)
{
    if (lock_images.size() == 2) lock_button->setIcon(lock_images[read_only ? 0 : 1]);
    lock_button->setToolTip(read_only ? "Remove macro write protection" : "Write protect macro");
    if (isVisible()) select_atom_box->setFocus();
}

void MacroEditorPage::clear_name_selection() { set_shown_name(""); }

void MacroEditorPage::select_name(const std::string& name) { set_shown_name(name); }

void MacroEditorPage::refill_name_lists()
{
    refill_names();
    emit macro_names_changed();
}

void MacroEditorPage::method_editor_forget_line_if_showing(const std::string& name)
{
    emit macro_written(to_qstring(name));
}

// ---------------------------------------------------------------------------
// Names and configuration

void MacroEditorPage::refill_names()
{
    const QSignalBlocker block(macro_select_box);
    if (method_folder().empty()) {
        // No folder, no files: only a selected (unsaved) name stays.
        const std::string name = selected_name(macro_select_box);
        macro_select_box->clear();
        set_shown_name(name);
        return;
    }
    refill_keeping_selection(macro_select_box, macro_name_pattern());
    shown_name_ = selected_name(macro_select_box);
}

void MacroEditorPage::adopt_name_controls(QGroupBox* group, QComboBox* box, QToolButton* lock)
{
    if (!group || !box || !lock || box == macro_select_box) return;
    lock_button = lock;
    EditorPage::adopt_name_controls(group, box);
    update_lock_button(document_.is_read_only());
}

void MacroEditorPage::refresh_from_configuration()
{
    const std::string atom_name = from_qstring(select_atom_box->currentText());
    fill_atom_box();
    if (!document_.parameter_lines().empty()) document_.rebuild_parameter_table();
    if (edited_line_ >= 0 && edited_line_ < static_cast<int>(document_.atom_lines().size())) {
        show_line_in_pane(edited_line_);
    } else {
        const int atom = config().atom_index(atom_name);
        edited_line_ = -1;
        pane_shows_line_ = false;
        show_atom(atom < config().atom_count() ? atom : (config().atom_count() > 0 ? 0 : -1), nullptr);
    }
    refill_names();
}

void MacroEditorPage::reopen_last_macro()
{
    const std::string name = read_setting_text("Macro", "");
    refill_names();
    if (name.empty() || !macro_file_exists(program_method_folder(), name)) {
        set_shown_name("");
        return;
    }
    set_shown_name(name);
    // The setting names the macro again only once it is shown: a macro
    // whose loading ends the program is not reopened at the next start.
    write_setting_text("Macro", "");
    document_.load(name);
    if (same_text(document_.name(), name)) write_setting_text("Macro", name);
}

void MacroEditorPage::macro_select_boxChange()
{
    const std::string chosen = selected_name(macro_select_box);
    if (chosen.empty() || same_text(chosen, shown_name_)) return;
    select_macro(chosen);
}

void MacroEditorPage::select_macro(const std::string& name)
{
    // The macro being left keeps its unsaved changes when they cannot be
    // written back or saved: the name box returns to it.
    if (!write_back_pane() || !document_.ask_to_save()) {
        set_shown_name(shown_name_);
        return;
    }
    set_shown_name(name);
    if (macro_file_exists(program_method_folder(), name)) document_.load(name);
    else document_.new_macro(name);
    write_setting_text("Macro", name);
}

bool MacroEditorPage::follow_macro(const std::string& name)
{
    if (!document_.ask_to_save()) return false;
    set_shown_name(name);
    document_.load(name);
    write_setting_text("Macro", name);
    return true;
}

void MacroEditorPage::lock_buttonClick()
{
    document_.toggle_write_protection();
}

// ---------------------------------------------------------------------------
// Atom lines

void MacroEditorPage::select_atom_boxChange()
{
    edited_line_ = -1;
    pane_shows_line_ = false;
    show_atom(select_atom_box->currentIndex(), nullptr);
}

void MacroEditorPage::macro_boxClick(int row)
{
    if (updating_lines() || row == edited_line_) return;
    if (!write_back_pane()) {
        select_line(edited_line_);
        return;
    }
    if (row >= 0) show_line_in_pane(row);
}

void MacroEditorPage::insert_line(int selected_row, const std::string& line)
{
    auto& lines = document_.atom_lines();
    const int row = selected_row + 1;
    lines.insert(lines.begin() + row, line);
    edited_line_ = row;
    pane_shows_line_ = true;
    show_numbered_lines(row);
}

void MacroEditorPage::replace_line(int row, const std::string& line)
{
    document_.atom_lines()[static_cast<std::size_t>(row)] = line;
    edited_line_ = row;
    pane_shows_line_ = true;
    show_numbered_lines(row);
}

void MacroEditorPage::delete_line(int row)
{
    auto& lines = document_.atom_lines();
    lines.erase(lines.begin() + row);
    if (lines.empty()) {
        forget_edited_line(-1);
        return;
    }
    const int next = std::min(row, static_cast<int>(lines.size()) - 1);
    show_numbered_lines(next);
    show_line_in_pane(next);
}

void MacroEditorPage::forget_edited_line(int select_row)
{
    edited_line_ = -1;
    pane_shows_line_ = false;
    show_numbered_lines(select_row);
}

std::string MacroEditorPage::slot_default(std::size_t slot) const
{
    const AtomArgument& argument = config().atoms()[static_cast<std::size_t>(pane_atom_)].arguments[slot];
    return argument.required ? argument.default_value : std::string();
}

std::vector<std::string> MacroEditorPage::popup_items(std::size_t slot) const
{
    const AtomArgument& argument = config().atoms()[static_cast<std::size_t>(pane_atom_)].arguments[slot];
    return atom_param_popup_items(config(), argument, document_.text().parameter_lines);
}

// ---------------------------------------------------------------------------
// Description

void MacroEditorPage::macro_descrip_boxChange()
{
    document_.description() = split_lines(from_qstring(macro_descrip_box->toPlainText()));
}

// ---------------------------------------------------------------------------
// Parameters

void MacroEditorPage::insert_param_buttonClick() { parameters_->insert_line(); }

void MacroEditorPage::parameter_boxDblClick(int row) { parameters_->edit_line(row); }

void MacroEditorPage::delete_param_buttonClick() { parameters_->delete_lines(); }

void MacroEditorPage::set_parameter_dialog(ParameterDialog dialog) { parameters_->set_dialog(std::move(dialog)); }

Tadd_param_form& MacroEditorPage::add_param_form() { return parameters_->form(); }

const std::string& MacroEditorPage::dragged_parameter() const { return parameters_->dragged(); }

void MacroEditorPage::parameters_changed(int select_row)
{
    parameters_->show_lines(select_row);
    document_.rebuild_parameter_table();
    if (write_back_pane()) document_.check_atom_lines();
    refill_object_boxes();
}

void MacroEditorPage::refill_object_boxes()
{
    if (pane_atom_ < 0) return;
    const ConfigAtom& atom = config().atoms()[static_cast<std::size_t>(pane_atom_)];
    for (std::size_t i = 0; i < atom.arguments.size() && i < argument_slots.size(); ++i) {
        const AtomArgument& argument = atom.arguments[i];
        if (argument.kind != ArgumentKind::object) continue;
        QComboBox* box = argument_slots[i].box;
        const std::string kept = selected_name(box);
        fill_choice(box, argument_entries(config(), argument, document_.parameters()), &kept);
    }
}

// ---------------------------------------------------------------------------
// Dragging parameters onto arguments

bool MacroEditorPage::can_drop_parameter(int slot, const std::string& parameter_line) const
{
    return drops_->can_drop(slot, parameter_line);
}

bool MacroEditorPage::drop_parameter(int slot, const std::string& parameter_line)
{
    return drops_->drop(slot, parameter_line);
}

}  // namespace kelvo
