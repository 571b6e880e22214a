#pragma once
// `Tcolumnform`, "Define columns of sample list": which columns the sample
// list shows and what new cells get. 32 rows of controls in two halves of
// 16 (rows 1-16 left, 17-32 right); with 16 columns or fewer the form is
// half as wide, so that only the left half shows. Row i: `StaticText`i (the
// heading), `CheckBox`i "Visible", and from row 2 `Edit`i (text and numeric
// columns) or `ComboBox`i (list and choice columns) for the default.
#include "samplelist/sample_columns.h"

#include <QDialog>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvo {

class Tcolumnform : public QDialog {
    Q_OBJECT
public:
    static constexpr int row_count = 32;
    static constexpr int half_rows = 16;
    static constexpr int designed_width = 760;

    // columns: the sample list's columns (not owned). entries: what a choice
    // column's combo offers.
    Tcolumnform(ColumnTable& columns, std::function<std::vector<std::string>(ProgramList)> entries,
                QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;  // "Default values for columns in the sample list"
    std::array<QLabel*, row_count> StaticText{};
    std::array<QCheckBox*, row_count> CheckBox{};
    std::array<QLineEdit*, row_count> Edit{};      // [0] unused
    std::array<QComboBox*, row_count> ComboBox{};  // [0] unused
    QPushButton* apply_button = nullptr;
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;

    // After Apply has changed the columns: the grids take the visibility
    // and widths, the settings the visibility and defaults.
    std::function<void()> applied;

    // Fills the rows from the columns (each activation).
    void refresh();
    // "&Apply".
    void apply();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void place_buttons();

    ColumnTable& columns_;
    std::function<std::vector<std::string>(ProgramList)> entries_;
};

}  // namespace kelvo
