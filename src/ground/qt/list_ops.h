#pragma once
// Operations on the program's drop-down lists, pop-up menus and paint boxes.
// Names are compared with same_text.
#include <QColor>
#include <QStringList>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QMenu;
class QAction;
class QObject;
class QWidget;

namespace kelvo {

std::string selected_name(const QComboBox* box);
void select_name(QComboBox* box, const std::string& name);
bool contains_name(const QComboBox* box, const std::string& name);
void add_name(QComboBox* box, const std::string& name);
void remove_name(QComboBox* box, const std::string& name);
// Index (from 0) of the last entry equal to the name, -1 when none.
int find_in_list(const std::vector<std::string>& list, const std::string& name);
int find_in_list(const QStringList& list, const std::string& name);
// pattern: FOLDER + separator + "*" + extension.
void fill_from_folder(QComboBox* box, const std::string& pattern, const std::string& extra_name);
void refill_keeping_selection(QComboBox* box, const std::string& pattern);
// The first child whose object name equals the name exactly.
QObject* find_child(QObject* container, const QString& name);
// Slot n gets the caption unless one of slots 0 .. n-1 already has it.
bool set_popup_choice(QMenu* menu, const std::string& caption, int n);
// Copies the clicked item's caption into the edit field the menu was opened from.
void take_popup_choice(QAction* clicked, QLineEdit* target);
// Paints the whole paint box in the colour.
void fill_colour(QWidget* paint_box, const QColor& colour);

}  // namespace kelvo
