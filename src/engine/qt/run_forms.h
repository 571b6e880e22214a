#pragma once
// The modal dialogs of a method run: the step dialog (`Tstep_dialog`) and
// the syringe-mismatch dialog (`Tnew_syr`).
#include "engine/run_dialogs.h"

#include <QDialog>

#include <array>

class QLabel;
class QPushButton;

namespace kelvo {

inline constexpr const char* step_dialog_caption = "Step through method";
inline constexpr const char* new_syr_caption = "Syringe mismatch!";
inline constexpr int step_dialog_fields = 14;

class Tstep_dialog : public QDialog {
    Q_OBJECT
public:
    explicit Tstep_dialog(QWidget* parent = nullptr);

    QLabel* command_label = nullptr;
    std::array<QLabel*, step_dialog_fields> name_labels{};
    std::array<QLabel*, step_dialog_fields> value_labels{};
    QPushButton* step_button = nullptr;          // "&Step"
    QPushButton* cancel_method_button = nullptr;  // "&Cancel Method"
    QPushButton* leave_button = nullptr;          // "&Leave Step Mode"

    void show_command(const StepDialogContent& content);
    // Modal; closing otherwise counts as "&Step".
    StepAnswer ask(const StepDialogContent& content);
    StepAnswer answer() const { return answer_; }

private:
    StepAnswer answer_ = StepAnswer::step;
};

class Tnew_syr : public QDialog {
    Q_OBJECT
public:
    explicit Tnew_syr(QWidget* parent = nullptr);

    QLabel* message_label = nullptr;
    QPushButton* continue_button = nullptr;  // "&Continue"
    QPushButton* cancel_button = nullptr;    // "C&ancel Method"

    // Modal; true for "&Continue".
    bool ask(const std::string& method, const std::string& needed, const std::string& mounted);
};

}  // namespace kelvo
