#include "language/qt/macro_page.h"
#include "config/program_context.h"

#include "ground/documents.h"
#include "ground/prompts.h"
#include "ground/qt/list_ops.h"
#include "ground/name_dialogs.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/resources.h"
#include "ground/qt/sorted_box.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/macro.h"
#include "language/qt/add_param_form.h"
#include "language/value_checks.h"

#include <QComboBox>
#include <QDropEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {
namespace {

// A parameter line travels in a drag under this type, as Windows-1252 bytes.
const char* const parameter_mime_type = "application/x-cadenzor-macro-parameter";

std::string macro_name_pattern() { return document_path("*", macro_extension); }

QString line_text(const std::vector<std::string>& lines)
{
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
    return to_qstring(joined);
}

}  // namespace

// ---------------------------------------------------------------------------
// The document commands of the main window, passed to the page.

class MacroEditorPage::Ops final : public DocumentOps {
public:
    explicit Ops(MacroEditorPage& page) : page_(page) {}
    void save(const std::string&) override { page_.document().save(); }
    void save_as(const std::string&) override { page_.document().save_as(); }
    void print(const std::string&) override { emit page_.print_requested(); }
    void ask_to_save() override { page_.document().ask_to_save(); }
    bool write_back() override { return page_.write_back_pane(); }
    void start_empty(const std::string& name) override { page_.document().new_macro(name); }
    void name_selected(const std::string& name) override
    {
        // Picking the macro already shown changes nothing.
        if (!name.empty() && same_text(name, page_.shown_name_)) return;
        page_.select_macro(name);
    }
    void names_refreshed() override
    {
        page_.refill_names();
        emit page_.macro_names_changed();
    }
    void refresh_pane() override { page_.update_lock_button(page_.document().is_read_only()); }

private:
    MacroEditorPage& page_;
};

// `parameter_box`: a list that hands out the pressed parameter's line when a
// drag starts.
class MacroEditorPage::ParameterList final : public QListWidget {
public:
    explicit ParameterList(MacroEditorPage* page) : QListWidget(page), page_(page) {}

protected:
    QStringList mimeTypes() const override { return {QString::fromLatin1(parameter_mime_type)}; }
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override
    {
        QListWidgetItem* item = currentItem();
        if (!items.contains(item)) item = items.isEmpty() ? nullptr : items.first();
        if (!item) return nullptr;
        const std::string line = from_qstring(item->text());
        page_->dragged_parameter_ = line;
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(parameter_mime_type), QByteArray(line.data(), static_cast<qsizetype>(line.size())));
        return data;
    }
    void startDrag(Qt::DropActions actions) override
    {
        QListWidget::startDrag(actions);
        page_->dragged_parameter_.clear();
    }

private:
    MacroEditorPage* page_;
};

// ---------------------------------------------------------------------------
// Construction

MacroEditorPage::MacroEditorPage(QWidget* parent) : QWidget(parent), document_(program_context()), ops_(std::make_unique<Ops>(*this))
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
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(name);
        return w;
    };
    auto button = [this, &named](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        named(b, name);
        return b;
    };

    // Name
    macro_name_group = new QGroupBox("Macro Name", this);
    named(macro_name_group, "macro_name_group");
    lock_button = new QToolButton(macro_name_group);
    named(lock_button, "lock_button");
    lock_button->setIconSize(QSize(16, 16));
    macro_select_box = new QComboBox(macro_name_group);
    named(macro_select_box, "macro_select_box");
    macro_select_box->setMinimumContentsLength(20);
    keep_sorted(macro_select_box);
    auto* name_layout = new QHBoxLayout(macro_name_group);
    name_layout->addWidget(lock_button);
    name_layout->addWidget(macro_select_box, 1);

    // Parameters
    parameter_group = new QGroupBox("Macro Variables", this);
    named(parameter_group, "parameter_group");
    parameter_box = new ParameterList(this);
    named(parameter_box, "parameter_box");
    parameter_box->setSelectionMode(QAbstractItemView::ExtendedSelection);
    parameter_box->setDragEnabled(true);
    parameter_box->setDragDropMode(QAbstractItemView::DragOnly);
    insert_param_button = button("insert_param_button", "I&nsert");
    delete_param_button = button("delete_param_button", "D&elete");
    auto* parameter_layout = new QVBoxLayout(parameter_group);
    parameter_layout->addWidget(parameter_box, 1);
    auto* parameter_buttons = new QHBoxLayout;
    parameter_buttons->addWidget(insert_param_button);
    parameter_buttons->addWidget(delete_param_button);
    parameter_layout->addLayout(parameter_buttons);

    // Description
    description_group = new QGroupBox("Macro Description", this);
    named(description_group, "description_group");
    macro_descrip_box = new QPlainTextEdit(description_group);
    named(macro_descrip_box, "macro_descrip_box");
    auto* description_layout = new QVBoxLayout(description_group);
    description_layout->addWidget(macro_descrip_box);

    // Sequence
    sequence_group = new QGroupBox("Macro Atom Sequence", this);
    named(sequence_group, "sequence_group");
    macro_box = new QListWidget(sequence_group);
    named(macro_box, "macro_box");
    macro_box->setSelectionMode(QAbstractItemView::SingleSelection);
    macro_box->viewport()->installEventFilter(this);
    auto* sequence_layout = new QVBoxLayout(sequence_group);
    sequence_layout->addWidget(macro_box);

    // Atom pane
    atom_param_group_box = new QGroupBox("Selected Atom", this);
    named(atom_param_group_box, "atom_param_group_box");
    select_atom_box = new QComboBox(atom_param_group_box);
    named(select_atom_box, "select_atom_box");
    auto* pane = new QGridLayout(atom_param_group_box);
    pane->addWidget(select_atom_box, 0, 0, 1, 2);
    for (int i = 0; i < atom_pane_slots; ++i) {
        ArgumentSlot& slot = argument_slots[static_cast<std::size_t>(i)];
        slot.label = new QLabel(atom_param_group_box);
        slot.label->setObjectName(QString("atom_param_label%1").arg(i + 1));
        slot.text = new QLineEdit(atom_param_group_box);
        slot.text->setObjectName(QString("atom_param_text%1").arg(i + 1));
        slot.text->setContextMenuPolicy(Qt::CustomContextMenu);
        slot.box = new QComboBox(atom_param_group_box);
        slot.box->setObjectName(QString("atom_param_box%1").arg(i + 1));
        for (QWidget* target : {static_cast<QWidget*>(slot.text), static_cast<QWidget*>(slot.box)}) {
            target->setAcceptDrops(true);
            target->installEventFilter(this);
        }
        pane->addWidget(slot.label, i + 1, 0);
        pane->addWidget(slot.text, i + 1, 1);
        pane->addWidget(slot.box, i + 1, 1);
        slot.label->hide();
        slot.text->hide();
        slot.box->hide();
        connect(slot.text, &QWidget::customContextMenuRequested, this, [this, i](const QPoint& at) {
            prepare_atom_param_popup(i);
            QLineEdit* text = argument_slots[static_cast<std::size_t>(i)].text;
            if (!atom_param_popup->isEmpty()) atom_param_popup->popup(text->mapToGlobal(at));
        });
    }
    pane->setRowStretch(atom_pane_slots + 1, 1);
    pane->setColumnStretch(1, 1);
    add_atom_button = button("add_atom_button", "&Insert");
    replace_atom_button = button("replace_atom_button", "&Replace");
    delete_atom_button = button("delete_atom_button", "&Delete");
    default_atom_button = button("default_atom_button", "Default &All");
    auto* atom_buttons = new QHBoxLayout;
    for (QPushButton* b : {add_atom_button, replace_atom_button, delete_atom_button, default_atom_button})
        atom_buttons->addWidget(b);
    pane->addLayout(atom_buttons, atom_pane_slots + 2, 0, 1, 2);

    atom_param_popup = new QMenu(this);
    named(atom_param_popup, "atom_param_popup");

    auto* left = new QVBoxLayout;
    left->addWidget(macro_name_group);
    left->addWidget(parameter_group, 1);
    left->addWidget(description_group, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 3);
    layout->addWidget(sequence_group, 3);
    layout->addWidget(atom_param_group_box, 4);

    connect(macro_select_box, &QComboBox::activated, this, [this] { macro_select_boxChange(); });
    connect(lock_button, &QToolButton::clicked, this, [this] { lock_buttonClick(); });
    connect(select_atom_box, &QComboBox::activated, this, [this] { select_atom_boxChange(); });
    connect(macro_box, &QListWidget::currentRowChanged, this, [this](int row) { macro_boxClick(row); });
    connect(add_atom_button, &QPushButton::clicked, this, [this] { add_atom_buttonClick(); });
    connect(replace_atom_button, &QPushButton::clicked, this, [this] { replace_atom_buttonClick(); });
    connect(delete_atom_button, &QPushButton::clicked, this, [this] { delete_atom_buttonClick(); });
    connect(default_atom_button, &QPushButton::clicked, this, [this] { default_atom_buttonClick(); });
    connect(insert_param_button, &QPushButton::clicked, this, [this] { insert_param_buttonClick(); });
    connect(delete_param_button, &QPushButton::clicked, this, [this] { delete_param_buttonClick(); });
    connect(parameter_box, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { parameter_boxDblClick(parameter_box->row(item)); });
    connect(macro_descrip_box, &QPlainTextEdit::textChanged, this, [this] { macro_descrip_boxChange(); });
    connect(atom_param_popup, &QMenu::triggered, this, [this](QAction* item) { atom_param_popupClick(item); });
}

// ---------------------------------------------------------------------------
// Showing the model

void MacroEditorPage::show_numbered_lines(int select_row)
{
    const std::vector<std::string> entries = numbered_display(document_.atom_lines(), true);
    const QSignalBlocker block(macro_box);
    updating_ = true;
    macro_box->clear();
    for (const std::string& e : entries) macro_box->addItem(to_qstring(e));
    if (select_row >= 0 && select_row < macro_box->count()) {
        macro_box->setCurrentRow(select_row);
    } else {
        macro_box->setCurrentRow(-1);
        macro_box->clearSelection();
    }
    updating_ = false;
}

void MacroEditorPage::show_parameter_lines(int select_row)
{
    const QSignalBlocker block(parameter_box);
    parameter_box->clear();
    for (const std::string& line : document_.parameter_lines()) parameter_box->addItem(to_qstring(line));
    if (select_row >= 0 && select_row < parameter_box->count()) parameter_box->setCurrentRow(select_row);
}

void MacroEditorPage::show_description()
{
    const QSignalBlocker block(macro_descrip_box);
    macro_descrip_box->setPlainText(line_text(document_.description()));
}

void MacroEditorPage::fill_atom_box()
{
    const QSignalBlocker block(select_atom_box);
    select_atom_box->clear();
    for (const ConfigAtom& atom : config().atoms()) select_atom_box->addItem(to_qstring(atom.name));
}

void MacroEditorPage::fill_slot_box(QComboBox* box, const std::vector<std::string>& entries, const std::string* value)
{
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& e : entries) box->addItem(to_qstring(e));
    if (!value) {
        box->setCurrentIndex(entries.empty() ? -1 : 0);
        return;
    }
    if (value->empty()) {
        box->setCurrentIndex(-1);
        return;
    }
    int index = -1;
    for (int i = 0; i < box->count() && index < 0; ++i)
        if (same_text(from_qstring(box->itemText(i)), *value)) index = i;
    // A value the box does not offer (an object the configuration lost, a
    // deleted parameter) is kept as it is rather than replaced by the first
    // entry: writing the pane back must not change the line behind the
    // user's back; the save check reports it.
    if (index < 0) {
        box->addItem(to_qstring(*value));
        index = box->count() - 1;
    }
    box->setCurrentIndex(index);
}

void MacroEditorPage::show_atom(int atom, const std::vector<std::string>* values)
{
    const ConfigDb& db = config();
    const ConfigAtom* a = atom >= 0 && atom < db.atom_count() ? &db.atoms()[static_cast<std::size_t>(atom)] : nullptr;
    pane_atom_ = a ? atom : -1;
    hidden_values_.clear();
    {
        const QSignalBlocker block(select_atom_box);
        select_atom_box->setCurrentIndex(pane_atom_);
    }
    const ParameterTable& parameters = document_.parameters();
    const std::size_t count = a ? a->arguments.size() : 0;
    auto value_of = [values](std::size_t i) {
        return values && i < values->size() ? (*values)[i] : std::string();
    };
    for (std::size_t i = 0; i < argument_slots.size(); ++i) {
        ArgumentSlot& slot = argument_slots[i];
        if (i >= count) {
            slot.label->hide();
            slot.text->hide();
            slot.box->hide();
            continue;
        }
        const AtomArgument& argument = a->arguments[i];
        const QString hint = to_qstring(argument_hint(db, argument));
        slot.label->setText(to_qstring(argument_label(argument)));
        slot.label->setToolTip(hint);
        slot.label->show();
        if (argument.kind == ArgumentKind::numeric) {
            const std::string text =
                values ? display_form(value_of(i), argument.unit) : new_argument_text(db, argument, parameters);
            slot.text->setText(to_qstring(text));
            slot.text->setToolTip(hint);
            slot.box->hide();
            slot.text->show();
        } else {
            const std::string value = value_of(i);
            fill_slot_box(slot.box, argument_entries(db, argument, parameters), values ? &value : nullptr);
            slot.box->setToolTip(hint);
            slot.text->hide();
            slot.box->show();
        }
    }
    // Arguments beyond the slots keep their values (or the atom's defaults).
    for (std::size_t i = argument_slots.size(); i < count; ++i) {
        const AtomArgument& argument = a->arguments[i];
        if (values) hidden_values_.push_back(value_of(i));
        else if (argument.kind == ArgumentKind::numeric) hidden_values_.push_back(argument.required ? argument.default_value : std::string());
        else hidden_values_.push_back(new_argument_text(db, argument, parameters));
    }
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

std::vector<std::string> MacroEditorPage::pane_texts() const
{
    std::vector<std::string> texts;
    if (pane_atom_ < 0) return texts;
    const ConfigAtom& atom = config().atoms()[static_cast<std::size_t>(pane_atom_)];
    const std::size_t shown = std::min(atom.arguments.size(), argument_slots.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const ArgumentSlot& slot = argument_slots[i];
        if (atom.arguments[i].kind == ArgumentKind::numeric) texts.push_back(from_qstring(slot.text->text()));
        else texts.push_back(slot.box->currentIndex() < 0 ? std::string() : from_qstring(slot.box->currentText()));
    }
    texts.insert(texts.end(), hidden_values_.begin(), hidden_values_.end());
    return texts;
}

int MacroEditorPage::selected_line() const
{
    QListWidgetItem* item = macro_box->currentItem();
    return item && item->isSelected() ? macro_box->row(item) : -1;
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
    // Only the entry's text can change; the selection is left alone, as a
    // click may be moving it right now.
    const std::vector<std::string> entries = numbered_display(lines, true);
    if (macro_box->count() == static_cast<int>(entries.size())) {
        const QSignalBlocker block(macro_box);
        for (int i = 0; i < macro_box->count(); ++i)
            macro_box->item(i)->setText(to_qstring(entries[static_cast<std::size_t>(i)]));
    } else {
        show_numbered_lines(edited_line_);
    }
    return true;
}

std::optional<std::string> MacroEditorPage::build_pane_line()
{
    if (pane_atom_ < 0) return std::nullopt;
    return build_atom_line(config(), pane_atom_, pane_texts(), document_.parameters());
}

std::optional<std::string> MacroEditorPage::ask_save_name(const std::string& caption, const std::string& current)
{
    if (save_name_asker_) return save_name_asker_(caption, current);
    std::string chosen;
    if (!kelvo::ask_save_name(caption, current, chosen)) return std::nullopt;
    return chosen;
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
    show_parameter_lines(-1);
    show_description();
}

void MacroEditorPage::show_first_line()
{
    if (document_.atom_lines().empty()) {
        edited_line_ = -1;
        pane_shows_line_ = false;
        show_numbered_lines(-1);
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

void MacroEditorPage::set_shown_name(const std::string& name)
{
    shown_name_ = name;
    const QSignalBlocker block(macro_select_box);
    if (name.empty()) {
        macro_select_box->setCurrentIndex(-1);
        return;
    }
    add_name(macro_select_box, name);
    kelvo::select_name(macro_select_box, name);
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
    delete macro_name_group;
    macro_name_group = group;
    macro_select_box = box;
    lock_button = lock;
    refill_names();
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
    if (updating_ || row == edited_line_) return;
    if (!write_back_pane()) {
        updating_ = true;
        const QSignalBlocker block(macro_box);
        macro_box->setCurrentRow(edited_line_);
        updating_ = false;
        return;
    }
    if (row >= 0) show_line_in_pane(row);
}

void MacroEditorPage::add_atom_buttonClick()
{
    if (pane_atom_ < 0) return;
    const std::optional<std::string> line = build_pane_line();
    if (!line) return;
    auto& lines = document_.atom_lines();
    const int row = selected_line() + 1;
    lines.insert(lines.begin() + row, *line);
    edited_line_ = row;
    pane_shows_line_ = true;
    show_numbered_lines(row);
}

void MacroEditorPage::replace_atom_buttonClick()
{
    const int row = selected_line();
    if (row < 0 || pane_atom_ < 0) return;
    const std::optional<std::string> line = build_pane_line();
    if (!line) return;
    document_.atom_lines()[static_cast<std::size_t>(row)] = *line;
    edited_line_ = row;
    pane_shows_line_ = true;
    show_numbered_lines(row);
}

void MacroEditorPage::delete_atom_buttonClick()
{
    const int row = selected_line();
    if (row < 0) return;
    auto& lines = document_.atom_lines();
    lines.erase(lines.begin() + row);
    if (lines.empty()) {
        edited_line_ = -1;
        pane_shows_line_ = false;
        show_numbered_lines(-1);
        return;
    }
    const int next = std::min(row, static_cast<int>(lines.size()) - 1);
    show_numbered_lines(next);
    show_line_in_pane(next);
}

void MacroEditorPage::default_atom_buttonClick()
{
    if (pane_atom_ < 0) return;
    const ConfigAtom& atom = config().atoms()[static_cast<std::size_t>(pane_atom_)];
    for (std::size_t i = 0; i < atom.arguments.size() && i < argument_slots.size(); ++i) {
        const AtomArgument& argument = atom.arguments[i];
        if (argument.kind != ArgumentKind::numeric) continue;
        argument_slots[i].text->setText(argument.required ? to_qstring(argument.default_value) : QString());
    }
}

void MacroEditorPage::prepare_atom_param_popup(int slot)
{
    popup_slot_ = -1;
    atom_param_popup->clear();
    if (pane_atom_ < 0 || slot < 0 || slot >= atom_pane_slots) return;
    const ConfigAtom& atom = config().atoms()[static_cast<std::size_t>(pane_atom_)];
    if (slot >= static_cast<int>(atom.arguments.size())) return;
    const AtomArgument& argument = atom.arguments[static_cast<std::size_t>(slot)];
    if (argument.kind != ArgumentKind::numeric) return;
    popup_slot_ = slot;
    for (const std::string& item : atom_param_popup_items(config(), argument, document_.parameter_lines()))
        atom_param_popup->addAction(to_qstring(item));
}

void MacroEditorPage::atom_param_popupClick(QAction* item)
{
    if (!item || popup_slot_ < 0) return;
    const bool first = !atom_param_popup->actions().isEmpty() && atom_param_popup->actions().first() == item;
    argument_slots[static_cast<std::size_t>(popup_slot_)].text->setText(
        to_qstring(popup_choice_text(from_qstring(item->text()), first)));
}

// ---------------------------------------------------------------------------
// Description

void MacroEditorPage::macro_descrip_boxChange()
{
    const std::string text = from_qstring(macro_descrip_box->toPlainText());
    std::vector<std::string> lines;
    if (!text.empty()) {
        std::size_t start = 0;
        while (true) {
            const auto end = text.find('\n', start);
            lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    document_.description() = lines;
}

// ---------------------------------------------------------------------------
// Parameters

void MacroEditorPage::insert_param_buttonClick()
{
    auto& lines = document_.parameter_lines();
    if (lines.size() >= static_cast<std::size_t>(macro_parameter_capacity)) {
        show_error("Only " + std::to_string(macro_parameter_capacity) + " parameters are allowed in a macro!");
        return;
    }
    const std::string line =
        parameter_dialog_ ? parameter_dialog_(lines, -1) : add_param_form().execute(config(), lines, -1);
    if (line.empty()) return;
    QListWidgetItem* current = parameter_box->currentItem();
    const int row = current && current->isSelected() ? parameter_box->row(current) + 1 : 0;
    lines.insert(lines.begin() + row, line);
    parameters_changed(row);
}

void MacroEditorPage::parameter_boxDblClick(int row)
{
    auto& lines = document_.parameter_lines();
    if (row < 0 || row >= static_cast<int>(lines.size())) return;
    const std::string line =
        parameter_dialog_ ? parameter_dialog_(lines, row) : add_param_form().execute(config(), lines, row);
    if (line.empty()) return;
    lines[static_cast<std::size_t>(row)] = line;
    parameters_changed(row);
}

void MacroEditorPage::delete_param_buttonClick()
{
    std::vector<int> rows;
    for (QListWidgetItem* item : parameter_box->selectedItems()) rows.push_back(parameter_box->row(item));
    if (rows.empty()) return;
    std::sort(rows.rbegin(), rows.rend());
    auto& lines = document_.parameter_lines();
    for (int row : rows)
        if (row >= 0 && row < static_cast<int>(lines.size())) lines.erase(lines.begin() + row);
    parameters_changed(-1);
}

void MacroEditorPage::parameters_changed(int select_row)
{
    show_parameter_lines(select_row);
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
        const std::string kept = box->currentIndex() < 0 ? std::string() : from_qstring(box->currentText());
        fill_slot_box(box, argument_entries(config(), argument, document_.parameters()), &kept);
    }
}

Tadd_param_form& MacroEditorPage::add_param_form()
{
    if (!add_param_form_) add_param_form_ = new Tadd_param_form(window());
    return *add_param_form_;
}

// ---------------------------------------------------------------------------
// Dragging parameters onto arguments

const MacroParameter* MacroEditorPage::parameter_of_line(const std::string& line, MacroParameter& scratch) const
{
    const auto& lines = document_.text().parameter_lines;
    const ParameterTable& table = document_.parameters();
    for (std::size_t i = 0; i < lines.size() && i < table.size(); ++i)
        if (lines[i] == line && !table[i].name.empty()) return &table[i];
    return read_parameter_line(config(), line, scratch) ? &scratch : nullptr;
}

bool MacroEditorPage::can_drop_parameter(int slot, const std::string& parameter_line) const
{
    if (pane_atom_ < 0 || slot < 0 || slot >= atom_pane_slots) return false;
    const ConfigAtom& atom = config().atoms()[static_cast<std::size_t>(pane_atom_)];
    if (slot >= static_cast<int>(atom.arguments.size())) return false;
    MacroParameter scratch;
    const MacroParameter* parameter = parameter_of_line(parameter_line, scratch);
    return parameter && parameter_fits_argument(*parameter, atom.arguments[static_cast<std::size_t>(slot)]);
}

bool MacroEditorPage::drop_parameter(int slot, const std::string& parameter_line)
{
    if (!can_drop_parameter(slot, parameter_line)) return false;
    MacroParameter scratch;
    const MacroParameter* parameter = parameter_of_line(parameter_line, scratch);
    ArgumentSlot& target = argument_slots[static_cast<std::size_t>(slot)];
    if (!parameter->is_object()) {
        target.text->setText(to_qstring(parameter->name));
    } else {
        const std::string name = parameter->name;
        int index = -1;
        for (int i = 0; i < target.box->count() && index < 0; ++i)
            if (same_text(from_qstring(target.box->itemText(i)), name)) index = i;
        if (index < 0) {
            target.box->addItem(to_qstring(name));
            index = target.box->count() - 1;
        }
        target.box->setCurrentIndex(index);
    }
    return true;
}

int MacroEditorPage::slot_of(QObject* widget) const
{
    for (std::size_t i = 0; i < argument_slots.size(); ++i)
        if (argument_slots[i].text == widget || argument_slots[i].box == widget) return static_cast<int>(i);
    return -1;
}

bool MacroEditorPage::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // A click on another line writes the pane back before the list moves
    // its selection; when that fails the click is swallowed, so that the
    // selection stays on the line being edited.
    if (watched == macro_box->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const int row = macro_box->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row();
        if (row >= 0 && row != edited_line_ && !write_back_pane()) return true;
        return QWidget::eventFilter(watched, event);
    }
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    const int slot = slot_of(watched);
    auto* drop = static_cast<QDropEvent*>(event);
    const QString format = QString::fromLatin1(parameter_mime_type);
    if (slot < 0 || !drop->mimeData() || !drop->mimeData()->hasFormat(format)) return QWidget::eventFilter(watched, event);
    const QByteArray bytes = drop->mimeData()->data(format);
    const std::string line(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const bool accepted = type == QEvent::Drop ? drop_parameter(slot, line) : can_drop_parameter(slot, line);
    if (accepted) drop->acceptProposedAction();
    else drop->ignore();
    if (type == QEvent::Drop) dragged_parameter_.clear();
    return true;
}

}  // namespace kelvo
