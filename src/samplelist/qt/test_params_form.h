#pragma once
// The Test Parameters form (`Ttest_params_form`): before a method that names
// sample-list values runs by itself, the user fills in one entry per
// sample-list column from the volume column on, in the program's grid. OK
// (or Enter) sets the sample-list variables; Cancel (or Escape) abandons
// the run.
#include "samplelist/test_parameters.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kelvo {

class SpreadGrid;

class Ttest_params_form : public QDialog {
    Q_OBJECT
public:
    explicit Ttest_params_form(QWidget* parent = nullptr);

    QLabel* text_label = nullptr;
    SpreadGrid* test_sheet = nullptr;  // heading | entry, one row per column
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;

    // Fills the sheet with the rows (headings and initial entries).
    void prepare(const std::vector<TestParameterRow>& rows);
    std::vector<std::string> entries() const;
    // Modal; on OK the variables are set. False on Cancel.
    bool ask(const std::vector<TestParameterRow>& rows, SampleVariables& variables);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<TestParameterRow> rows_;
};

}  // namespace kelvo
