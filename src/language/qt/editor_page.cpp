#include "language/qt/editor_page.h"

#include "ground/name_dialogs.h"
#include "ground/qt/list_ops.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/sorted_box.h"
#include "ground/text_utils.h"
#include "language/qt/atom_pane_rules.h"
#include "language/qt/pane_content.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {

int index_of_name(const QComboBox* box, const std::string& name)
{
    for (int i = 0; i < box->count(); ++i)
        if (same_text(from_qstring(box->itemText(i)), name)) return i;
    return -1;
}

void select_or_add(QComboBox* box, const std::string& name)
{
    int index = index_of_name(box, name);
    if (index < 0) {
        // A sorted box puts the new entry in its place.
        box->addItem(to_qstring(name));
        index = index_of_name(box, name);
    }
    box->setCurrentIndex(index);
}

QString EditorPage::joined_lines(const std::vector<std::string>& lines)
{
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) joined += (i ? "\n" : "") + lines[i];
    return to_qstring(joined);
}

std::vector<std::string> EditorPage::split_lines(const std::string& text)
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

// ---------------------------------------------------------------------------
// Building

QPushButton* EditorPage::button(const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(name);
    return b;
}

QToolButton* EditorPage::build_name_group(const Names& names, const char* lock_name)
{
    name_group = new QGroupBox(names.name_caption, this);
    name_group->setObjectName(names.name_group);
    QToolButton* lock = nullptr;
    if (lock_name) {
        lock = new QToolButton(name_group);
        lock->setObjectName(lock_name);
    }
    name_box = new QComboBox(name_group);
    name_box->setObjectName(names.name_box);
    name_box->setMinimumContentsLength(20);
    keep_sorted(name_box);
    auto* layout = new QHBoxLayout(name_group);
    if (lock) {
        layout->addWidget(lock);
        layout->addWidget(name_box, 1);
    } else {
        layout->addWidget(name_box);
    }
    return lock;
}

void EditorPage::build_description(const Names& names)
{
    description_group = new QGroupBox(names.description_caption, this);
    description_group->setObjectName("description_group");
    description_box = new QPlainTextEdit(description_group);
    description_box->setObjectName(names.description_box);
    auto* layout = new QVBoxLayout(description_group);
    layout->addWidget(description_box);
}

void EditorPage::build_sequence(const Names& names)
{
    sequence_group = new QGroupBox(names.sequence_caption, this);
    sequence_group->setObjectName("sequence_group");
    line_box = new QListWidget(sequence_group);
    line_box->setObjectName(names.line_box);
    line_box->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* layout = new QVBoxLayout(sequence_group);
    layout->addWidget(line_box);
}

void EditorPage::build_pane(const Names& names)
{
    pane_group = new QGroupBox(names.pane_caption, this);
    pane_group->setObjectName(names.pane_group);
    pane_choice_box = new QComboBox(pane_group);
    pane_choice_box->setObjectName(names.pane_choice_box);
    auto* pane = new QGridLayout(pane_group);
    pane->addWidget(pane_choice_box, 0, 0, 1, 2);
    for (int i = 0; i < editor_pane_slots; ++i) {
        PaneSlot& slot = pane_slots[static_cast<std::size_t>(i)];
        slot.label = new QLabel(pane_group);
        slot.label->setObjectName(QString(names.slot_label).arg(i + 1));
        slot.text = new QLineEdit(pane_group);
        slot.text->setObjectName(QString(names.slot_text).arg(i + 1));
        slot.text->setContextMenuPolicy(Qt::CustomContextMenu);
        slot.box = new QComboBox(pane_group);
        slot.box->setObjectName(QString(names.slot_box).arg(i + 1));
        pane->addWidget(slot.label, i + 1, 0);
        pane->addWidget(slot.text, i + 1, 1);
        pane->addWidget(slot.box, i + 1, 1);
        slot.label->hide();
        slot.text->hide();
        slot.box->hide();
        connect(slot.text, &QWidget::customContextMenuRequested, this, [this, i](const QPoint& at) {
            prepare_popup(i);
            if (!pane_popup->isEmpty())
                pane_popup->popup(pane_slots[static_cast<std::size_t>(i)].text->mapToGlobal(at));
        });
    }
    pane->setRowStretch(editor_pane_slots + 1, 1);
    pane->setColumnStretch(1, 1);
    insert_button = button(names.insert_button, "&Insert");
    replace_button = button(names.replace_button, "&Replace");
    delete_button = button(names.delete_button, "&Delete");
    defaults_button = button(names.defaults_button, "Default &All");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {insert_button, replace_button, delete_button, defaults_button}) buttons->addWidget(b);
    pane->addLayout(buttons, editor_pane_slots + 2, 0, 1, 2);

    pane_popup = new QMenu(this);
    pane_popup->setObjectName(names.popup);

    connect(insert_button, &QPushButton::clicked, this, [this] { insert_pane_line(); });
    connect(replace_button, &QPushButton::clicked, this, [this] { replace_pane_line(); });
    connect(delete_button, &QPushButton::clicked, this, [this] { delete_selected_line(); });
    connect(defaults_button, &QPushButton::clicked, this, [this] { set_pane_defaults(); });
    connect(pane_popup, &QMenu::triggered, this, [this](QAction* item) { take_popup_choice(item); });
}

void EditorPage::lay_out(QWidget* middle, int middle_stretch)
{
    auto* left = new QVBoxLayout;
    left->addWidget(name_group);
    left->addWidget(middle, middle_stretch);
    left->addWidget(description_group, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 3);
    layout->addWidget(sequence_group, 3);
    layout->addWidget(pane_group, 4);
}

// ---------------------------------------------------------------------------
// The name box

void EditorPage::adopt_name_controls(QGroupBox* group, QComboBox* box)
{
    if (!group || !box || box == name_box) return;
    delete name_group;
    name_group = group;
    name_box = box;
    refill_names();
}

void EditorPage::set_shown_name(const std::string& name)
{
    shown_name_ = name;
    const QSignalBlocker block(name_box);
    if (name.empty()) {
        name_box->setCurrentIndex(-1);
        return;
    }
    add_name(name_box, name);
    kelvo::select_name(name_box, name);
}

std::optional<std::string> EditorPage::asked_save_name(const std::string& caption, const std::string& current)
{
    if (save_name_asker_) return save_name_asker_(caption, current);
    std::string chosen;
    if (!kelvo::ask_save_name(caption, current, chosen)) return std::nullopt;
    return chosen;
}

// ---------------------------------------------------------------------------
// The line list

int EditorPage::selected_line() const
{
    QListWidgetItem* item = line_box->currentItem();
    return item && item->isSelected() ? line_box->row(item) : -1;
}

void EditorPage::select_line(int row)
{
    const QSignalBlocker block(line_box);
    updating_ = true;
    if (row >= 0 && row < line_box->count()) {
        line_box->setCurrentRow(row);
    } else {
        line_box->setCurrentRow(-1);
        line_box->clearSelection();
    }
    updating_ = false;
}

void EditorPage::show_lines(const std::vector<std::string>& entries, int select_row)
{
    {
        const QSignalBlocker block(line_box);
        updating_ = true;
        line_box->clear();
        for (const std::string& e : entries) line_box->addItem(to_qstring(e));
        updating_ = false;
    }
    select_line(select_row);
}

void EditorPage::update_lines(const std::vector<std::string>& entries, int select_row)
{
    if (line_box->count() != static_cast<int>(entries.size())) {
        show_lines(entries, select_row);
        return;
    }
    const QSignalBlocker block(line_box);
    for (int i = 0; i < line_box->count(); ++i)
        line_box->item(i)->setText(to_qstring(entries[static_cast<std::size_t>(i)]));
}

// ---------------------------------------------------------------------------
// The pane

void EditorPage::show_text_slot(std::size_t i, const std::string& label, const std::string& hint,
                                const std::string& text)
{
    const PaneSlot& slot = pane_slots[i];
    slot_is_choice_[i] = false;
    slot.label->setText(to_qstring(label));
    slot.label->setToolTip(to_qstring(hint));
    slot.label->show();
    slot.text->setText(to_qstring(text));
    slot.text->setToolTip(to_qstring(hint));
    slot.box->hide();
    slot.text->show();
}

void EditorPage::show_choice_slot(std::size_t i, const std::string& label, const std::string& hint,
                                  const std::vector<std::string>& entries, const std::string* value)
{
    const PaneSlot& slot = pane_slots[i];
    slot_is_choice_[i] = true;
    slot.label->setText(to_qstring(label));
    slot.label->setToolTip(to_qstring(hint));
    slot.label->show();
    fill_choice(slot.box, entries, value);
    slot.box->setToolTip(to_qstring(hint));
    slot.text->hide();
    slot.box->show();
}

void EditorPage::show_content(const PaneContent& content)
{
    const std::size_t shown = std::min(content.shown.size(), pane_slots.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const PaneContent::Slot& slot = content.shown[i];
        if (slot.choice) show_choice_slot(i, slot.label, slot.hint, slot.entries, slot.value ? &*slot.value : nullptr);
        else show_text_slot(i, slot.label, slot.hint, slot.text);
    }
    hide_slots(shown);
    hidden_values_ = content.hidden_values;
}

void EditorPage::fill_choice(QComboBox* box, const std::vector<std::string>& entries, const std::string* value)
{
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& e : entries) box->addItem(to_qstring(e));
    // A value the box does not offer (an object the configuration lost, a
    // deleted parameter) is kept as it is rather than replaced by the first
    // entry: writing the pane back must not change the line behind the
    // user's back; the save check reports it.
    if (!value) box->setCurrentIndex(entries.empty() ? -1 : 0);
    else if (value->empty()) box->setCurrentIndex(-1);
    else select_or_add(box, *value);
}

void EditorPage::hide_slots(std::size_t from)
{
    shown_slots_ = std::min(from, pane_slots.size());
    for (std::size_t i = from; i < pane_slots.size(); ++i) {
        pane_slots[i].label->hide();
        pane_slots[i].text->hide();
        pane_slots[i].box->hide();
    }
}

std::vector<std::string> EditorPage::pane_texts() const
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < shown_slots_; ++i) {
        const PaneSlot& slot = pane_slots[i];
        if (!slot_is_choice_[i]) texts.push_back(from_qstring(slot.text->text()));
        else texts.push_back(selected_name(slot.box));
    }
    texts.insert(texts.end(), hidden_values_.begin(), hidden_values_.end());
    return texts;
}

void EditorPage::insert_pane_line()
{
    const std::optional<std::string> line = build_pane_line();
    if (line) insert_line(selected_line(), *line);
}

void EditorPage::replace_pane_line()
{
    const int row = selected_line();
    if (row < 0) return;
    const std::optional<std::string> line = build_pane_line();
    if (line) replace_line(row, *line);
}

void EditorPage::delete_selected_line()
{
    const int row = selected_line();
    if (row >= 0) delete_line(row);
}

void EditorPage::set_pane_defaults()
{
    for (std::size_t i = 0; i < shown_slots_; ++i)
        if (!slot_is_choice_[i]) pane_slots[i].text->setText(to_qstring(slot_default(i)));
}

void EditorPage::prepare_popup(int slot)
{
    popup_slot_ = -1;
    pane_popup->clear();
    if (slot < 0 || slot >= static_cast<int>(shown_slots_) || slot_is_choice_[static_cast<std::size_t>(slot)]) return;
    popup_slot_ = slot;
    for (const std::string& item : popup_items(static_cast<std::size_t>(slot))) pane_popup->addAction(to_qstring(item));
}

void EditorPage::take_popup_choice(QAction* item)
{
    if (!item || popup_slot_ < 0) return;
    const bool first = !pane_popup->actions().isEmpty() && pane_popup->actions().first() == item;
    pane_slots[static_cast<std::size_t>(popup_slot_)].text->setText(
        to_qstring(popup_choice_text(from_qstring(item->text()), first)));
}

}  // namespace kelvo
