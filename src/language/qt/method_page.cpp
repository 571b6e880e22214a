#include "language/qt/method_page.h"
#include "ground/documents.h"
#include "config/program_context.h"

#include "ground/qt/list_ops.h"
#include "ground/qt/list_row_hints.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/sorted_box.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/macro.h"
#include "language/method.h"
#include "language/qt/call_pane_rules.h"
#include "language/qt/editor_page_ops.h"
#include "language/qt/macro_page.h"
#include "language/value_checks.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace kelvo {

// ---------------------------------------------------------------------------
// Construction

MethodEditorPage::MethodEditorPage(ExpansionTest expansion_test, QWidget* parent)
    : EditorPage(parent),
      document_(program_context(), std::move(expansion_test)),
      ops_(std::make_unique<MethodPageOps>(*this))
{
    setObjectName("method_editor_page");
    build_widgets();
    document_.set_hooks(this);
    refresh_from_configuration();
    refill_names();
}

MethodEditorPage::~MethodEditorPage() { document_.set_hooks(nullptr); }

DocumentOps& MethodEditorPage::document_ops() { return *ops_; }

void MethodEditorPage::build_widgets()
{
    const Names names{.name_caption = "Method Name", .name_group = "method_name_group", .name_box = "method_select_box",
                      .description_caption = "Method Description", .description_box = "method_descrip_box",
                      .sequence_caption = "Method Macro Sequence", .line_box = "method_box",
                      .pane_caption = "Selected Macro", .pane_group = "param_group_box",
                      .pane_choice_box = "macros_of_method",
                      .slot_label = "StaticText%1", .slot_text = "Edit%1", .slot_box = "ComboBox%1",
                      .insert_button = "add_macro_button", .replace_button = "replace_macro_button",
                      .delete_button = "delete_macro_button", .defaults_button = "set_macro_defaults_button",
                      .popup = "macro_param_popup"};
    // The name group is replaced by the main window's inside it.
    build_name_group(names);

    syringe_group = new QGroupBox("Method Syringe", this);
    syringe_group->setObjectName("syringe_group");
    syringe_box = new QComboBox(syringe_group);
    syringe_box->setObjectName("syringe_box");
    auto* syringe_layout = new QHBoxLayout(syringe_group);
    syringe_layout->addWidget(syringe_box);

    build_description(names);
    build_sequence(names);
    // The hint of the sequence is the description of the macro under the mouse.
    hints_ = new ListRowHints(method_box, [this](int row) {
        const auto& calls = document_.calls();
        if (row < 0 || row >= static_cast<int>(calls.size())) return QString();
        const std::string& line = calls[static_cast<std::size_t>(row)];
        return to_qstring(macro_description_hint(program_method_folder(), line_name(line)));
    });
    build_pane(names);
    keep_sorted(macros_of_method);
    lay_out(syringe_group, 0);

    connect(syringe_box, &QComboBox::activated, this, [this] { syringe_boxChange(); });
    connect(method_descrip_box, &QPlainTextEdit::textChanged, this, [this] { method_descrip_boxChange(); });
    connect(method_box, &QListWidget::currentRowChanged, this, [this](int row) { method_boxClick(row); });
    // A click on the selected line after another macro was chosen shows the
    // line again.
    // After a refused click the selection is back on the shown line, and the
    // release must not try again.
    connect(method_box, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item == method_box->currentItem()) method_boxClick(method_box->row(item));
    });
    connect(macros_of_method, &QComboBox::activated, this, [this] { macros_of_methodChange(); });
}

// ---------------------------------------------------------------------------
// Names, configuration, start

std::vector<std::string> MethodEditorPage::method_names() const
{
    std::vector<std::string> names;
    for (int i = 0; i < method_select_box->count(); ++i) names.push_back(from_qstring(method_select_box->itemText(i)));
    return names;
}

void MethodEditorPage::refill_names()
{
    const QSignalBlocker block(method_select_box);
    const std::string selected = selected_name(method_select_box);
    method_select_box->clear();
    for (const std::string& name : method_box_names(program_method_folder(), selected)) method_select_box->addItem(to_qstring(name));
    if (!selected.empty()) kelvo::select_name(method_select_box, selected);
    else method_select_box->setCurrentIndex(-1);
    shown_name_ = selected_name(method_select_box);
}

void MethodEditorPage::refill_macro_names()
{
    const QSignalBlocker block(macros_of_method);
    const std::string selected = macros_of_method->currentIndex() < 0 ? std::string() : pane_macro_;
    macros_of_method->clear();
    for (const std::string& name : method_editor_macro_names(program_method_folder(), selected)) macros_of_method->addItem(to_qstring(name));
    select_macro_in_box(selected);
}

void MethodEditorPage::set_macro_editor(MacroEditorPage* editor)
{
    if (macro_editor_) disconnect(macro_editor_, nullptr, this, nullptr);
    macro_editor_ = editor;
    if (!editor) return;
    connect(editor, &MacroEditorPage::macro_names_changed, this, [this] { refill_macro_names(); });
    connect(editor, &MacroEditorPage::macro_written, this,
            [this](const QString& name) { macro_written(from_qstring(name)); });
    // The page may be destroyed before the window that owns both.
    connect(editor, &QObject::destroyed, this, [this] { macro_editor_ = nullptr; });
}

void MethodEditorPage::set_single_macro_mode(bool on)
{
    single_macro_mode_ = on;
    sequence_group->setVisible(!on);
    macros_of_method->setVisible(!on);
    for (QPushButton* b : {add_macro_button, replace_macro_button, delete_macro_button}) b->setVisible(!on);
    param_group_box->setTitle(on ? QString() : QString("Selected Macro"));
}

void MethodEditorPage::refresh_from_configuration()
{
    {
        const QSignalBlocker block(syringe_box);
        syringe_box->clear();
        for (const std::string& name : document_.syringe_names()) syringe_box->addItem(to_qstring(name));
    }
    // A syringe the new configuration lacks stays the method's, unselected.
    show_syringe(document_.syringe());
    refill_macro_names();
    refresh_pane();
}

void MethodEditorPage::reopen_last_method()
{
    const std::string name = read_setting_text("Method", "");
    refill_names();
    if (name.empty()) {
        clear_name_selection();
        return;
    }
    document_.reopen(name);
    shown_name_ = selected_name(method_select_box);
}

void MethodEditorPage::select_method(const std::string& name)
{
    // Picking the method already shown changes nothing.
    if (!name.empty() && same_text(name, shown_name_) && same_text(name, document_.name())) return;
    // The method being left keeps the pane's entries when they cannot be
    // written back: the name box returns to it.
    if (!document_.write_back_pane()) {
        set_shown_name(shown_name_);
        return;
    }
    document_.choose_name(name);
    shown_name_ = selected_name(method_select_box);
}

void MethodEditorPage::macro_written(const std::string& name)
{
    if (pane_macro_.empty() || !same_text(name, pane_macro_)) return;
    // The macro's parameters may have changed: the pane must not write the
    // old layout back into the line.
    forgetting_line_ = true;
    document_.choose_macro(pane_macro_);
    forgetting_line_ = false;
}

// ---------------------------------------------------------------------------
// The pane

void MethodEditorPage::select_macro_in_box(const std::string& macro)
{
    const QSignalBlocker block(macros_of_method);
    if (macro.empty()) {
        macros_of_method->setCurrentIndex(-1);
        macros_of_method->setToolTip(QString());
        return;
    }
    // A call of a macro the list leaves out (a special one) is still shown.
    select_or_add(macros_of_method, macro);
    macros_of_method->setToolTip(to_qstring(macro_description_hint(program_method_folder(), macro)));
}

void MethodEditorPage::show_pane(const std::string& macro, const std::vector<std::string>* values)
{
    const ConfigDb& db = config();
    pane_macro_ = macro;
    pane_parameters_.clear();
    select_macro_in_box(macro);
    if (macro.empty()) {
        pane_table_ok_ = false;
        show_content(PaneContent{});
        return;
    }
    pane_table_ok_ = called_macro_parameters(program_context_with(db), macro, pane_parameters_);
    show_content(call_pane_content(db, pane_parameters_, values, document_.syringe(), pane_slots.size()));
}

std::vector<std::string> MethodEditorPage::pane_labels() const
{
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < pane_parameters_.size(); ++i)
        labels.push_back(i < pane_slots.size() ? from_qstring(pane_slots[i].label->text())
                                               : parameter_label(pane_parameters_[i]));
    return labels;
}

std::optional<std::string> MethodEditorPage::build_pane_line()
{
    if (pane_macro_.empty()) return std::nullopt;
    return build_call_line(program_context_with(config()), pane_macro_, pane_parameters_, pane_labels(), pane_texts());
}

// ---------------------------------------------------------------------------
// Hooks of the document

bool MethodEditorPage::call_line_from_pane(std::string& line)
{
    // A pane that shows another macro than the line, or a macro whose
    // parameters could not be read, leaves the line as it is.
    if (pane_macro_.empty() || !pane_table_ok_ || !same_text(pane_macro_, line_name(line))) return true;
    const std::optional<std::string> built = build_pane_line();
    if (!built) return false;
    line = *built;
    return true;
}

void MethodEditorPage::show_line(int index)
{
    const auto& calls = document_.calls();
    if (index < 0 || index >= static_cast<int>(calls.size())) return;
    const std::string& line = calls[static_cast<std::size_t>(index)];
    const std::vector<std::string> values = pane_values_of_call(line);
    show_pane(line_name(line), &values);
    select_line(index);
}

void MethodEditorPage::clear_pane()
{
    show_pane("", nullptr);
    select_line(-1);
}

void MethodEditorPage::show_macro_defaults(const std::string& macro)
{
    // The list keeps its selection: Insert puts the new call after it.
    show_pane(macro, nullptr);
}

void MethodEditorPage::refresh_pane()
{
    const int shown = document_.shown_line();
    if (shown >= 0 && shown < static_cast<int>(document_.calls().size())) {
        show_line(shown);
        return;
    }
    // No line shown: the chosen macro's defaults again (hints follow the
    // syringe and the macro's current file).
    if (!pane_macro_.empty() && index_of_name(macros_of_method, pane_macro_) >= 0) show_pane(pane_macro_, nullptr);
    else show_pane("", nullptr);
}

void MethodEditorPage::refresh_display()
{
    update_lines(numbered_display(document_.calls(), false), document_.shown_line());
    hints_->forget();
    {
        const QSignalBlocker block(method_descrip_box);
        const QString text = joined_lines(document_.description());
        if (method_descrip_box->toPlainText() != text) method_descrip_box->setPlainText(text);
    }
    show_syringe(document_.syringe());
}

void MethodEditorPage::show_syringe(const std::string& syringe)
{
    const QSignalBlocker block(syringe_box);
    syringe_box->setCurrentIndex(syringe.empty() ? -1 : index_of_name(syringe_box, syringe));
}

bool MethodEditorPage::select_name(const std::string& name)
{
    set_shown_name(name);
    return !name.empty() && same_text(selected_name(method_select_box), name);
}

void MethodEditorPage::clear_name_selection() { set_shown_name(""); }

void MethodEditorPage::refill_name_lists()
{
    refill_names();
    emit method_names_changed();
}

void MethodEditorPage::macro_editor_follow(const std::string& macro)
{
    if (forgetting_line_ || !macro_editor_ || macro.empty()) return;
    // The Macro Editor showing that macro already keeps its edits.
    if (same_text(macro_editor_->document().name(), macro)) return;
    macro_editor_->follow_macro(macro);
}

std::optional<std::string> MethodEditorPage::ask_save_name(const std::string& caption, const std::string& current)
{
    return asked_save_name(caption, current);
}

double MethodEditorPage::ask_out_of_range(const std::string& context, const std::string& unit, double maximum,
                                          double minimum, double proposed, double value)
{
    if (out_of_range_dialog_) return out_of_range_dialog_->ask(context, unit, maximum, minimum, proposed, value);
    return MethodEditorHooks::ask_out_of_range(context, unit, maximum, minimum, proposed, value);
}

// ---------------------------------------------------------------------------
// Handlers

void MethodEditorPage::syringe_boxChange()
{
    const std::string chosen = selected_name(syringe_box);
    if (chosen.empty() || chosen == document_.syringe()) return;
    // The pane's entries go into the shown line first, so that the range
    // check sees them and the refreshed pane does not lose them. The range
    // check itself runs once, with the new syringe.
    const int shown = document_.shown_line();
    if (shown >= 0 && shown < static_cast<int>(document_.calls().size())) {
        std::string line = document_.calls()[static_cast<std::size_t>(shown)];
        if (!call_line_from_pane(line)) {
            show_syringe(document_.syringe());
            return;
        }
        document_.calls()[static_cast<std::size_t>(shown)] = line;
    }
    document_.syringe_changed(chosen);
    refresh_display();
    // Hints and defaults follow the syringe's properties.
    refresh_pane();
}

void MethodEditorPage::method_descrip_boxChange()
{
    document_.description() = split_lines(from_qstring(method_descrip_box->toPlainText()));
}

void MethodEditorPage::method_boxClick(int row)
{
    if (updating_lines() || row < 0 || row == document_.shown_line()) return;
    if (document_.click_line(row)) return;
    select_line(document_.shown_line());
    // A mouse press selects the pressed line after announcing it: the shown
    // line is selected again once the press has been handled.
    QTimer::singleShot(0, this, [this] { select_line(document_.shown_line()); });
}

void MethodEditorPage::macros_of_methodChange()
{
    const std::string chosen = selected_name(macros_of_method);
    if (chosen.empty()) return;
    // The entries for the line being left go into it first.
    if (!document_.write_back_pane()) {
        select_macro_in_box(pane_macro_);
        return;
    }
    document_.choose_macro(chosen);
}

void MethodEditorPage::insert_line(int selected_row, const std::string& line)
{
    document_.insert_call(selected_row, line);
}

void MethodEditorPage::replace_line(int row, const std::string& line) { document_.replace_call(row, line); }

void MethodEditorPage::delete_line(int row) { document_.delete_call(row); }

std::string MethodEditorPage::slot_default(std::size_t slot) const
{
    const MacroParameter& p = pane_parameters_[slot];
    return pane_value(config(), p.default_value, p.unit, document_.syringe());
}

std::vector<std::string> MethodEditorPage::popup_items(std::size_t slot) const
{
    return call_popup_items(config(), pane_parameters_[slot], document_.syringe());
}

}  // namespace kelvo
