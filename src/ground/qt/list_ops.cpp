#include "ground/qt/list_ops.h"

#include "ground/folder_files.h"
#include "ground/qt/qt_text.h"
#include "ground/text_utils.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPalette>
#include <QWidget>

namespace kelvo {

std::string selected_name(const QComboBox* box)
{
    return box->currentIndex() < 0 ? std::string() : from_qstring(box->currentText());
}

static int index_of(const QComboBox* box, const std::string& name)
{
    for (int i = 0; i < box->count(); ++i)
        if (same_text(from_qstring(box->itemText(i)), name)) return i;
    return -1;
}

void select_name(QComboBox* box, const std::string& name)
{
    const int i = index_of(box, name);
    if (i >= 0) box->setCurrentIndex(i);
}

bool contains_name(const QComboBox* box, const std::string& name) { return index_of(box, name) >= 0; }

void add_name(QComboBox* box, const std::string& name)
{
    if (!contains_name(box, name)) box->addItem(to_qstring(name));
}

void remove_name(QComboBox* box, const std::string& name)
{
    const int i = index_of(box, name);
    if (i >= 0) box->removeItem(i);
}

int find_in_list(const std::vector<std::string>& list, const std::string& name)
{
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (same_text(list[static_cast<std::size_t>(i)], name)) return i;
    return -1;
}

int find_in_list(const QStringList& list, const std::string& name)
{
    for (int i = static_cast<int>(list.size()) - 1; i >= 0; --i)
        if (same_text(from_qstring(list[i]), name)) return i;
    return -1;
}

void fill_from_folder(QComboBox* box, const std::string& pattern, const std::string& extra_name)
{
    const std::string remembered = selected_name(box);
    std::string folder, extension;
    split_pattern(pattern, folder, extension);
    const QSignalBlocker block(box);
    box->clear();
    for (const std::string& title : folder_file_titles(folder, extension)) box->addItem(to_qstring(title));
    if (!extra_name.empty() && !contains_name(box, extra_name)) box->addItem(to_qstring(extra_name));
    box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    if (remembered.empty()) box->setCurrentIndex(-1);
    else select_name(box, remembered);
}

void refill_keeping_selection(QComboBox* box, const std::string& pattern)
{
    const std::string name = selected_name(box);
    fill_from_folder(box, pattern, name);
    select_name(box, name);
}

QObject* find_child(QObject* container, const QString& name)
{
    if (!container) return nullptr;
    for (QObject* child : container->children())
        if (child->objectName() == name) return child;
    return nullptr;
}

bool set_popup_choice(QMenu* menu, const std::string& caption, int n)
{
    const QList<QAction*> items = menu->actions();
    if (n < 0 || n >= items.size()) return false;
    for (int i = 0; i < n; ++i)
        if (same_text(from_qstring(items[i]->text()), caption)) return false;
    items[n]->setText(to_qstring(caption));
    items[n]->setVisible(true);
    return true;
}

void take_popup_choice(QAction* clicked, QLineEdit* target)
{
    if (clicked && target) target->setText(clicked->text());
}

void fill_colour(QWidget* paint_box, const QColor& colour)
{
    QPalette p = paint_box->palette();
    p.setColor(QPalette::Window, colour);
    paint_box->setAutoFillBackground(true);
    paint_box->setPalette(p);
    paint_box->update();
}

}  // namespace kelvo
