#pragma once
// `Tadd_param_form`: defines one macro parameter, numeric (unit, default,
// limits) or object (the classes it may stand for), and returns its
// parameter line. Created once and reused; every opening sets all fields.
#include "language/parameter_line.h"

#include <QDialog>

#include <array>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QStackedWidget;

namespace kelvo {

class ConfigDb;

class Tadd_param_form : public QDialog {
    Q_OBJECT
public:
    explicit Tadd_param_form(QWidget* parent = nullptr);

    static constexpr int class_boxes = 32;

    QLabel* name_label = nullptr;
    QLineEdit* new_param_text = nullptr;
    QGroupBox* kind_group = nullptr;
    QRadioButton* numeric_button = nullptr;
    QRadioButton* object_button = nullptr;
    QStackedWidget* kind_pages = nullptr;
    QLabel* units_label = nullptr;
    QComboBox* units_box = nullptr;
    QLabel* default_label = nullptr;
    QLineEdit* default_value = nullptr;
    QLabel* min_label = nullptr;
    QLineEdit* min_value = nullptr;
    QLabel* max_label = nullptr;
    QLineEdit* max_value = nullptr;
    QLabel* classes_label = nullptr;
    std::array<QCheckBox*, class_boxes> class_checks{};  // CheckBox1 .. CheckBox32
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;
    QMenu* param_popup = nullptr;

    // Sets every field: for a new parameter (position -1) empty, "A numeric
    // value" chosen, no class ticked; for the parameter at position (from 0)
    // its parsed line. parameter_lines are the macro's lines as they stand.
    void prepare(const ConfigDb& db, const std::vector<std::string>& parameter_lines, int position);
    // prepare, then modal. The parameter line, or empty when cancelled.
    std::string execute(const ConfigDb& db, const std::vector<std::string>& parameter_lines, int position);
    // The line of the last OK; empty after Cancel.
    const std::string& result() const { return result_; }

    // OK: the checks in order; the first failure is shown and the dialog
    // stays open with the user's input.
    void ok_buttonClick();
    void cancel_buttonClick();
    // Fills `param_popup` with the names for the chosen unit and remembers
    // the value box it was opened from.
    void prepare_param_popup(QLineEdit* target);
    void param_popupClick(QAction* item);

    // The unit the units box stands for ("None" is empty).
    std::string chosen_unit() const;
    // The set of ticked classes, bit n for CheckBox(n+1).
    std::uint32_t ticked_classes() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void kind_changed();
    void select_unit(const std::string& unit);

    const ConfigDb* db_ = nullptr;
    std::vector<std::string> other_names_;  // parameters of the macro except the one edited
    QLineEdit* popup_target_ = nullptr;
    std::string result_;
};

}  // namespace kelvo
