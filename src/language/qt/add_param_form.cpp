#include "language/qt/add_param_form.h"

#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/qt/atom_pane_rules.h"
#include "language/value_checks.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kelvo {
namespace {

// The name a parameter line gives, read without messages: the first field of
// an object line, the text before " (" of a numeric one.
std::string quiet_parameter_name(const ConfigDb& db, const std::string& line)
{
    std::size_t pos = 0;
    const std::string first = next_field(line, pos, ';');
    const std::string second = next_field(line, pos, ';');
    if (!second.empty() && db.class_index(second) < db.class_count()) return first;
    const auto open = first.find('(');
    if (open == std::string::npos || open < 1) return first;
    return first.substr(0, open - 1);
}

QLineEdit* value_box(QWidget* parent, const char* name)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const char* text)
{
    auto* l = new QLabel(QString::fromLatin1(text), parent);
    l->setObjectName(name);
    return l;
}

}  // namespace

Tadd_param_form::Tadd_param_form(QWidget* parent) : QDialog(parent)
{
    setObjectName("add_param_form");
    setWindowTitle("Add new parameter");
    setModal(true);

    name_label = label(this, "name_label", "Please type the parameter name ");
    new_param_text = new QLineEdit(this);
    new_param_text->setObjectName("new_param_text");

    kind_group = new QGroupBox("This parameter represents", this);
    kind_group->setObjectName("kind_group");
    numeric_button = new QRadioButton("A numeric value", kind_group);
    numeric_button->setObjectName("numeric_button");
    object_button = new QRadioButton("An object", kind_group);
    object_button->setObjectName("object_button");
    auto* kind_layout = new QHBoxLayout(kind_group);
    kind_layout->addWidget(numeric_button);
    kind_layout->addWidget(object_button);
    numeric_button->setChecked(true);

    kind_pages = new QStackedWidget(this);
    kind_pages->setObjectName("kind_pages");

    auto* numeric_page = new QWidget;
    numeric_page->setObjectName("numeric_page");
    auto* numeric_layout = new QGridLayout(numeric_page);
    units_label = label(numeric_page, "units_label", "Please choose units for the  parameter");
    units_box = new QComboBox(numeric_page);
    units_box->setObjectName("units_box");
    default_label = label(numeric_page, "default_label", "Please type a default value for the parameter");
    default_value = value_box(numeric_page, "default_value");
    min_label = label(numeric_page, "min_label", "Please type a lower limit for the parameter");
    min_value = value_box(numeric_page, "min_value");
    max_label = label(numeric_page, "max_label", "Please type an upper limit for the parameter");
    max_value = value_box(numeric_page, "max_value");
    int row = 0;
    for (auto [l, w] : {std::pair<QLabel*, QWidget*>{units_label, units_box}, {default_label, default_value},
                        {min_label, min_value}, {max_label, max_value}}) {
        numeric_layout->addWidget(l, row, 0);
        numeric_layout->addWidget(w, row, 1);
        ++row;
    }
    numeric_layout->setRowStretch(row, 1);
    kind_pages->addWidget(numeric_page);

    auto* object_page = new QWidget;
    object_page->setObjectName("object_page");
    auto* object_layout = new QVBoxLayout(object_page);
    classes_label = label(object_page, "classes_label", "Please check the type of objects that this parameter may represent:");
    object_layout->addWidget(classes_label);
    auto* checks = new QGridLayout;
    for (int i = 0; i < class_boxes; ++i) {
        auto* box = new QCheckBox(object_page);
        box->setObjectName(QString("CheckBox%1").arg(i + 1));
        class_checks[static_cast<std::size_t>(i)] = box;
        checks->addWidget(box, i / 4, i % 4);
    }
    object_layout->addLayout(checks);
    object_layout->addStretch(1);
    kind_pages->addWidget(object_page);

    ok_button = new QPushButton("OK", this);
    ok_button->setObjectName("ok_button");
    cancel_button = new QPushButton("Cancel", this);
    cancel_button->setObjectName("cancel_button");
    ok_button->setDefault(true);
    cancel_button->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_button);
    buttons->addWidget(cancel_button);

    auto* layout = new QVBoxLayout(this);
    auto* name_row = new QHBoxLayout;
    name_row->addWidget(name_label);
    name_row->addWidget(new_param_text, 1);
    layout->addLayout(name_row);
    layout->addWidget(kind_group);
    layout->addWidget(kind_pages, 1);
    layout->addLayout(buttons);

    param_popup = new QMenu(this);
    param_popup->setObjectName("param_popup");
    connect(param_popup, &QMenu::triggered, this, &Tadd_param_form::param_popupClick);
    for (QLineEdit* box : {default_value, min_value, max_value}) {
        connect(box, &QWidget::customContextMenuRequested, this, [this, box](const QPoint& at) {
            prepare_param_popup(box);
            if (!param_popup->isEmpty()) param_popup->popup(box->mapToGlobal(at));
        });
    }
    connect(numeric_button, &QRadioButton::toggled, this, [this] { kind_changed(); });
    connect(ok_button, &QPushButton::clicked, this, &Tadd_param_form::ok_buttonClick);
    connect(cancel_button, &QPushButton::clicked, this, &Tadd_param_form::cancel_buttonClick);
}

void Tadd_param_form::kind_changed() { kind_pages->setCurrentIndex(numeric_button->isChecked() ? 0 : 1); }

void Tadd_param_form::select_unit(const std::string& unit)
{
    if (unit.empty()) {
        units_box->setCurrentIndex(0);
        return;
    }
    // Units are compared exactly; a unit the configuration no longer offers
    // is kept rather than silently replaced.
    int index = units_box->findText(to_qstring(unit), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        units_box->addItem(to_qstring(unit));
        index = units_box->count() - 1;
    }
    units_box->setCurrentIndex(index);
}

void Tadd_param_form::prepare(const ConfigDb& db, const std::vector<std::string>& parameter_lines, int position)
{
    db_ = &db;
    result_.clear();
    other_names_.clear();
    for (std::size_t i = 0; i < parameter_lines.size(); ++i)
        if (static_cast<int>(i) != position) other_names_.push_back(quiet_parameter_name(db, parameter_lines[i]));

    units_box->clear();
    for (const std::string& unit : parameter_units(db)) units_box->addItem(to_qstring(unit));
    for (int i = 0; i < class_boxes; ++i) {
        QCheckBox* box = class_checks[static_cast<std::size_t>(i)];
        box->setChecked(false);
        box->setVisible(i < db.class_count());
        box->setText(i < db.class_count() ? to_qstring(db.classes()[static_cast<std::size_t>(i)].name) : QString());
    }
    new_param_text->clear();
    default_value->clear();
    min_value->clear();
    max_value->clear();
    units_box->setCurrentIndex(0);
    numeric_button->setChecked(true);

    const bool editing = position >= 0 && position < static_cast<int>(parameter_lines.size());
    if (!editing) {
        setWindowTitle("Add new parameter");
    } else {
        setWindowTitle(QString("Edit parameter %1").arg(position + 1));
        MacroParameter p;
        read_parameter_line(db, prompts(), parameter_lines[static_cast<std::size_t>(position)], p);
        new_param_text->setText(to_qstring(p.name));
        if (p.is_object()) {
            object_button->setChecked(true);
            for (int i = 0; i < class_boxes; ++i)
                class_checks[static_cast<std::size_t>(i)]->setChecked(ConfigDb::test_bit(p.classes, i));
        } else {
            select_unit(p.unit);
            default_value->setText(to_qstring(p.default_value));
            min_value->setText(to_qstring(p.minimum));
            max_value->setText(to_qstring(p.maximum));
        }
    }
    kind_changed();
    new_param_text->setFocus();
}

std::string Tadd_param_form::execute(const ConfigDb& db, const std::vector<std::string>& parameter_lines, int position)
{
    prepare(db, parameter_lines, position);
    if (exec() != QDialog::Accepted) result_.clear();
    return result_;
}

std::string Tadd_param_form::chosen_unit() const
{
    const std::string unit = from_qstring(units_box->currentText());
    return units_box->currentIndex() <= 0 ? std::string() : unit;
}

std::uint32_t Tadd_param_form::ticked_classes() const
{
    std::uint32_t set = 0;
    const int shown = db_ ? db_->class_count() : 0;
    for (int i = 0; i < class_boxes && i < shown; ++i)
        if (class_checks[static_cast<std::size_t>(i)]->isChecked()) set |= 1u << i;
    return set;
}

void Tadd_param_form::ok_buttonClick()
{
    if (!db_) return;
    const ConfigDb& db = *db_;
    const std::string name = from_qstring(new_param_text->text());

    if (name.find_first_of("()+-*/") != std::string::npos) {
        show_error("Please do not use parentheses or arithmetic operations in the parameter name");
        return;
    }
    // A nameless parameter cannot be read back, and ";" or "," would split
    // the parameter line or the atom lines that name the parameter.
    if (name.find_first_not_of(' ') == std::string::npos) {
        show_error("Please type the parameter name");
        return;
    }
    if (name.find_first_of(";,") != std::string::npos) {
        show_error("Please do not use ; or , in the parameter name");
        return;
    }
    for (const std::string& other : other_names_) {
        if (same_text(other, name)) {
            show_error("There is already a parameter named " + name);
            return;
        }
    }
    if (db.object_index(name) < db.object_count()) {
        show_error("There is an object named " + name);
        return;
    }

    std::string line;
    if (object_button->isChecked()) {
        const std::uint32_t classes = ticked_classes();
        if (classes == 0) {
            show_error("You must select at least one object type!");
            return;
        }
        line = object_parameter_line(db, name, classes);
    } else {
        const std::string unit = chosen_unit();
        line = name + " (" + unit + ")";
        for (QLineEdit* box : {default_value, min_value, max_value}) {
            const std::string value = from_qstring(box->text());
            if (!value_check(db, value, unit, parameter_bound_context())) {
                show_error(name + ": " + value + " makes no sense ");
                return;
            }
            line += ";" + value;
        }
    }
    result_ = line;
    accept();
}

void Tadd_param_form::cancel_buttonClick()
{
    result_.clear();
    reject();
}

void Tadd_param_form::prepare_param_popup(QLineEdit* target)
{
    popup_target_ = target;
    param_popup->clear();
    if (!db_) return;
    for (const std::string& name : reference_fill_2(*db_, chosen_unit())) param_popup->addAction(to_qstring(name));
}

void Tadd_param_form::param_popupClick(QAction* item)
{
    if (item && popup_target_) popup_target_->setText(item->text());
}

void Tadd_param_form::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ok_buttonClick();
        return;
    case Qt::Key_Escape:
        cancel_buttonClick();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

}  // namespace kelvo
