#include "language/qt/method_page.h"
#include "ground/documents.h"
#include "config/program_context.h"

#include "ground/qt/list_ops.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/sorted_box.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/macro.h"
#include "language/method.h"
#include "language/qt/macro_page.h"
#include "language/value_checks.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {
namespace {

QString joined_lines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
    return to_qstring(joined);
}

std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

int index_of_name(const QComboBox* box, const std::string& name)
{
    for (int i = 0; i < box->count(); ++i)
        if (same_text(from_qstring(box->itemText(i)), name)) return i;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------
// The document commands of the main window, passed to the page.

class MethodEditorPage::Ops final : public DocumentOps {
public:
    explicit Ops(MethodEditorPage& page) : page_(page) {}
    void save(const std::string&) override { page_.document().save(); }
    void save_as(const std::string&) override { page_.document().save_as(); }
    void print(const std::string&) override { emit page_.print_requested(); }
    // Unsaved entries in the pane count as changes: they go into the method
    // before the question.
    void ask_to_save() override
    {
        if (page_.document().write_back_pane()) page_.document().ask_to_save();
    }
    bool write_back() override { return page_.document().write_back_pane(); }
    void start_empty(const std::string& name) override
    {
        page_.document().new_method(name);
        page_.shown_name_ = name;
    }
    void name_selected(const std::string& name) override { page_.select_method(name); }
    void names_refreshed() override
    {
        page_.shown_name_ = selected_name(page_.method_select_box);
        emit page_.method_names_changed();
    }
    void refresh_pane() override { page_.refresh_pane(); }
    void folder_changed() override
    {
        page_.pane_macro_.clear();
        page_.refill_macro_names();
        page_.clear_pane();
    }

private:
    MethodEditorPage& page_;
};

// ---------------------------------------------------------------------------
// Construction

MethodEditorPage::MethodEditorPage(ExpansionTest expansion_test, QWidget* parent)
    : QWidget(parent), document_(program_context(), std::move(expansion_test)), ops_(std::make_unique<Ops>(*this))
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
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(name);
        return w;
    };
    auto button = [this, &named](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        named(b, name);
        return b;
    };

    // Name (replaced by the main window's inside it)
    method_name_group = new QGroupBox("Method Name", this);
    named(method_name_group, "method_name_group");
    method_select_box = new QComboBox(method_name_group);
    named(method_select_box, "method_select_box");
    method_select_box->setMinimumContentsLength(20);
    keep_sorted(method_select_box);
    auto* name_layout = new QHBoxLayout(method_name_group);
    name_layout->addWidget(method_select_box);

    // Syringe
    syringe_group = new QGroupBox("Method Syringe", this);
    named(syringe_group, "syringe_group");
    syringe_box = new QComboBox(syringe_group);
    named(syringe_box, "syringe_box");
    auto* syringe_layout = new QHBoxLayout(syringe_group);
    syringe_layout->addWidget(syringe_box);

    // Description
    description_group = new QGroupBox("Method Description", this);
    named(description_group, "description_group");
    method_descrip_box = new QPlainTextEdit(description_group);
    named(method_descrip_box, "method_descrip_box");
    auto* description_layout = new QVBoxLayout(description_group);
    description_layout->addWidget(method_descrip_box);

    // Sequence
    sequence_group = new QGroupBox("Method Macro Sequence", this);
    named(sequence_group, "sequence_group");
    method_box = new QListWidget(sequence_group);
    named(method_box, "method_box");
    method_box->setSelectionMode(QAbstractItemView::SingleSelection);
    method_box->setMouseTracking(true);
    method_box->viewport()->setMouseTracking(true);
    method_box->viewport()->installEventFilter(this);
    auto* sequence_layout = new QVBoxLayout(sequence_group);
    sequence_layout->addWidget(method_box);

    // Parameter pane
    param_group_box = new QGroupBox("Selected Macro", this);
    named(param_group_box, "param_group_box");
    macros_of_method = new QComboBox(param_group_box);
    named(macros_of_method, "macros_of_method");
    keep_sorted(macros_of_method);
    auto* pane = new QGridLayout(param_group_box);
    pane->addWidget(macros_of_method, 0, 0, 1, 2);
    for (int i = 0; i < method_pane_slots; ++i) {
        const auto s = static_cast<std::size_t>(i);
        StaticText[s] = new QLabel(param_group_box);
        StaticText[s]->setObjectName(QString("StaticText%1").arg(i + 1));
        Edit[s] = new QLineEdit(param_group_box);
        Edit[s]->setObjectName(QString("Edit%1").arg(i + 1));
        Edit[s]->setContextMenuPolicy(Qt::CustomContextMenu);
        ComboBox[s] = new QComboBox(param_group_box);
        ComboBox[s]->setObjectName(QString("ComboBox%1").arg(i + 1));
        pane->addWidget(StaticText[s], i + 1, 0);
        pane->addWidget(Edit[s], i + 1, 1);
        pane->addWidget(ComboBox[s], i + 1, 1);
        StaticText[s]->hide();
        Edit[s]->hide();
        ComboBox[s]->hide();
        connect(Edit[s], &QWidget::customContextMenuRequested, this, [this, i](const QPoint& at) {
            prepare_macro_param_popup(i);
            if (!macro_param_popup->isEmpty())
                macro_param_popup->popup(Edit[static_cast<std::size_t>(i)]->mapToGlobal(at));
        });
    }
    pane->setRowStretch(method_pane_slots + 1, 1);
    pane->setColumnStretch(1, 1);
    add_macro_button = button("add_macro_button", "&Insert");
    replace_macro_button = button("replace_macro_button", "&Replace");
    delete_macro_button = button("delete_macro_button", "&Delete");
    set_macro_defaults_button = button("set_macro_defaults_button", "Default &All");
    auto* pane_buttons = new QHBoxLayout;
    for (QPushButton* b : {add_macro_button, replace_macro_button, delete_macro_button, set_macro_defaults_button})
        pane_buttons->addWidget(b);
    pane->addLayout(pane_buttons, method_pane_slots + 2, 0, 1, 2);

    macro_param_popup = new QMenu(this);
    named(macro_param_popup, "macro_param_popup");

    auto* left = new QVBoxLayout;
    left->addWidget(method_name_group);
    left->addWidget(syringe_group);
    left->addWidget(description_group, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 3);
    layout->addWidget(sequence_group, 3);
    layout->addWidget(param_group_box, 4);

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
    connect(add_macro_button, &QPushButton::clicked, this, [this] { add_macro_buttonClick(); });
    connect(replace_macro_button, &QPushButton::clicked, this, [this] { replace_macro_buttonClick(); });
    connect(delete_macro_button, &QPushButton::clicked, this, [this] { delete_macro_buttonClick(); });
    connect(set_macro_defaults_button, &QPushButton::clicked, this, [this] { set_macro_defaults_buttonClick(); });
    connect(macro_param_popup, &QMenu::triggered, this, [this](QAction* item) { macro_param_popupClick(item); });
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

void MethodEditorPage::adopt_name_controls(QGroupBox* group, QComboBox* box)
{
    if (!group || !box || box == method_select_box) return;
    delete method_name_group;
    method_name_group = group;
    method_select_box = box;
    refill_names();
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

void MethodEditorPage::set_shown_name(const std::string& name)
{
    shown_name_ = name;
    const QSignalBlocker block(method_select_box);
    if (name.empty()) {
        method_select_box->setCurrentIndex(-1);
        return;
    }
    add_name(method_select_box, name);
    kelvo::select_name(method_select_box, name);
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

void MethodEditorPage::hide_slots(std::size_t from)
{
    for (std::size_t i = from; i < StaticText.size(); ++i) {
        StaticText[i]->hide();
        Edit[i]->hide();
        ComboBox[i]->hide();
    }
}

void MethodEditorPage::select_macro_in_box(const std::string& macro)
{
    const QSignalBlocker block(macros_of_method);
    if (macro.empty()) {
        macros_of_method->setCurrentIndex(-1);
        macros_of_method->setToolTip(QString());
        return;
    }
    int index = index_of_name(macros_of_method, macro);
    // A call of a macro the list leaves out (a special one) is still shown.
    if (index < 0) {
        macros_of_method->addItem(to_qstring(macro));
        index = index_of_name(macros_of_method, macro);
    }
    macros_of_method->setCurrentIndex(index);
    macros_of_method->setToolTip(to_qstring(macro_description_hint(program_method_folder(), macro)));
}

void MethodEditorPage::show_pane(const std::string& macro, const std::vector<std::string>* values)
{
    const ConfigDb& db = config();
    const std::string& syringe = document_.syringe();
    pane_macro_ = macro;
    pane_parameters_.clear();
    hidden_values_.clear();
    select_macro_in_box(macro);
    if (macro.empty()) {
        pane_table_ok_ = false;
        hide_slots(0);
        return;
    }
    pane_table_ok_ = called_macro_parameters(db, program_method_folder(), macro, pane_parameters_);
    auto value_of = [values](std::size_t i) {
        return values && i < values->size() ? (*values)[i] : std::string();
    };
    const std::size_t shown = std::min(pane_parameters_.size(), StaticText.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const MacroParameter& p = pane_parameters_[i];
        StaticText[i]->setText(to_qstring(parameter_label(p)));
        StaticText[i]->show();
        if (!p.is_object()) {
            const std::string text = pane_value(db, values ? value_of(i) : p.default_value, p.unit, syringe);
            const QString hint = to_qstring(numeric_parameter_hint(db, p, syringe));
            Edit[i]->setText(to_qstring(text));
            Edit[i]->setToolTip(hint);
            StaticText[i]->setToolTip(hint);
            ComboBox[i]->hide();
            Edit[i]->show();
            continue;
        }
        QComboBox* box = ComboBox[i];
        const QSignalBlocker block(box);
        box->clear();
        for (const std::string& entry : object_parameter_choices(db, p.classes)) box->addItem(to_qstring(entry));
        if (!values) {
            box->setCurrentIndex(box->count() > 0 ? 0 : -1);
        } else {
            const std::string value = value_of(i);
            int index = value.empty() ? -1 : index_of_name(box, value);
            // A value the list does not offer (an object the configuration
            // lost) is kept as it is: writing the pane back must not change
            // the line behind the user's back.
            if (index < 0 && !value.empty()) {
                box->addItem(to_qstring(value));
                index = box->count() - 1;
            }
            box->setCurrentIndex(index);
        }
        const QString hint = to_qstring(class_set_text(db, p.classes));
        box->setToolTip(hint);
        StaticText[i]->setToolTip(hint);
        Edit[i]->hide();
        box->show();
    }
    hide_slots(shown);
    // Parameters beyond the slots keep their values (or their defaults).
    for (std::size_t i = shown; i < pane_parameters_.size(); ++i) {
        const MacroParameter& p = pane_parameters_[i];
        if (values) hidden_values_.push_back(value_of(i));
        else if (p.is_object()) {
            const std::vector<std::string> choices = object_parameter_choices(db, p.classes);
            hidden_values_.push_back(choices.empty() ? std::string() : choices.front());
        } else {
            hidden_values_.push_back(syr_substitution(db, p.default_value, syringe));
        }
    }
}

std::vector<std::string> MethodEditorPage::pane_texts() const
{
    std::vector<std::string> texts;
    const std::size_t shown = std::min(pane_parameters_.size(), StaticText.size());
    for (std::size_t i = 0; i < shown; ++i) {
        if (!pane_parameters_[i].is_object()) texts.push_back(from_qstring(Edit[i]->text()));
        else texts.push_back(ComboBox[i]->currentIndex() < 0 ? std::string() : from_qstring(ComboBox[i]->currentText()));
    }
    texts.insert(texts.end(), hidden_values_.begin(), hidden_values_.end());
    return texts;
}

std::vector<std::string> MethodEditorPage::pane_labels() const
{
    std::vector<std::string> labels;
    for (std::size_t i = 0; i < pane_parameters_.size(); ++i)
        labels.push_back(i < StaticText.size() ? from_qstring(StaticText[i]->text()) : parameter_label(pane_parameters_[i]));
    return labels;
}

std::optional<std::string> MethodEditorPage::build_pane_line()
{
    if (pane_macro_.empty()) return std::nullopt;
    return build_call_line(config(), pane_macro_, pane_parameters_, pane_labels(), pane_texts());
}

int MethodEditorPage::selected_line() const
{
    QListWidgetItem* item = method_box->currentItem();
    return item && item->isSelected() ? method_box->row(item) : -1;
}

void MethodEditorPage::select_row(int row)
{
    const QSignalBlocker block(method_box);
    updating_ = true;
    if (row >= 0 && row < method_box->count()) {
        method_box->setCurrentRow(row);
    } else {
        method_box->setCurrentRow(-1);
        method_box->clearSelection();
    }
    updating_ = false;
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
    select_row(index);
}

void MethodEditorPage::clear_pane()
{
    show_pane("", nullptr);
    select_row(-1);
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
    const std::vector<std::string> entries = numbered_display(document_.calls(), false);
    if (method_box->count() == static_cast<int>(entries.size())) {
        // Only the texts change; the selection is left alone, as a click may
        // be moving it right now.
        const QSignalBlocker block(method_box);
        for (int i = 0; i < method_box->count(); ++i)
            method_box->item(i)->setText(to_qstring(entries[static_cast<std::size_t>(i)]));
    } else {
        {
            const QSignalBlocker block(method_box);
            updating_ = true;
            method_box->clear();
            for (const std::string& e : entries) method_box->addItem(to_qstring(e));
            updating_ = false;
        }
        select_row(document_.shown_line());
    }
    hint_row_ = -2;
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
    if (save_name_asker_) return save_name_asker_(caption, current);
    return MethodEditorHooks::ask_save_name(caption, current);
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
    const std::string chosen = syringe_box->currentIndex() < 0 ? std::string() : from_qstring(syringe_box->currentText());
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
    if (updating_ || row < 0 || row == document_.shown_line()) return;
    if (document_.click_line(row)) return;
    select_row(document_.shown_line());
    // A mouse press selects the pressed line after announcing it: the shown
    // line is selected again once the press has been handled.
    QTimer::singleShot(0, this, [this] { select_row(document_.shown_line()); });
}

void MethodEditorPage::macros_of_methodChange()
{
    const std::string chosen =
        macros_of_method->currentIndex() < 0 ? std::string() : from_qstring(macros_of_method->currentText());
    if (chosen.empty()) return;
    // The entries for the line being left go into it first.
    if (!document_.write_back_pane()) {
        select_macro_in_box(pane_macro_);
        return;
    }
    document_.choose_macro(chosen);
}

void MethodEditorPage::add_macro_buttonClick()
{
    const std::optional<std::string> line = build_pane_line();
    if (!line) return;
    document_.insert_call(selected_line(), *line);
}

void MethodEditorPage::replace_macro_buttonClick()
{
    const int row = selected_line();
    if (row < 0) return;
    const std::optional<std::string> line = build_pane_line();
    if (!line) return;
    document_.replace_call(row, *line);
}

void MethodEditorPage::delete_macro_buttonClick()
{
    const int row = selected_line();
    if (row < 0) return;
    document_.delete_call(row);
}

void MethodEditorPage::set_macro_defaults_buttonClick()
{
    const std::size_t shown = std::min(pane_parameters_.size(), Edit.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const MacroParameter& p = pane_parameters_[i];
        if (p.is_object()) continue;
        Edit[i]->setText(to_qstring(pane_value(config(), p.default_value, p.unit, document_.syringe())));
    }
}

void MethodEditorPage::prepare_macro_param_popup(int slot)
{
    popup_slot_ = -1;
    macro_param_popup->clear();
    if (slot < 0 || slot >= method_pane_slots || slot >= static_cast<int>(pane_parameters_.size())) return;
    const MacroParameter& p = pane_parameters_[static_cast<std::size_t>(slot)];
    if (p.is_object()) return;
    popup_slot_ = slot;
    macro_param_popup->addAction(to_qstring(default_popup_caption(config(), p, document_.syringe())));
    for (const std::string& item : reference_fill_1(p.unit)) macro_param_popup->addAction(to_qstring(item));
}

void MethodEditorPage::macro_param_popupClick(QAction* item)
{
    if (!item || popup_slot_ < 0) return;
    const QList<QAction*> actions = macro_param_popup->actions();
    std::string text = from_qstring(item->text());
    const std::string prefix = "Default: ";
    if (!actions.isEmpty() && actions.first() == item && text.rfind(prefix, 0) == 0) text = text.substr(prefix.size());
    Edit[static_cast<std::size_t>(popup_slot_)]->setText(to_qstring(text));
}

void MethodEditorPage::method_box_hint_for_row(int row)
{
    if (row == hint_row_) return;
    hint_row_ = row;
    const auto& calls = document_.calls();
    if (row < 0 || row >= static_cast<int>(calls.size())) {
        method_box->setToolTip(QString());
        return;
    }
    method_box->setToolTip(to_qstring(macro_description_hint(program_method_folder(), line_name(calls[static_cast<std::size_t>(row)]))));
}

bool MethodEditorPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == method_box->viewport()) {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            method_box_hint_for_row(method_box->indexAt(mouse->position().toPoint()).row());
        } else if (event->type() == QEvent::Leave) {
            method_box_hint_for_row(-1);
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kelvo
