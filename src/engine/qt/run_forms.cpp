#include "engine/qt/run_forms.h"

#include "ground/qt/qt_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

Tstep_dialog::Tstep_dialog(QWidget* parent) : QDialog(parent)
{
    setObjectName("Tstep_dialog");
    setWindowTitle(step_dialog_caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    command_label = new QLabel(this);
    command_label->setObjectName("command_label");
    layout->addWidget(command_label);
    auto* grid = new QGridLayout;
    for (int i = 0; i < step_dialog_fields; ++i) {
        name_labels[static_cast<std::size_t>(i)] = new QLabel(this);
        value_labels[static_cast<std::size_t>(i)] = new QLabel(this);
        name_labels[static_cast<std::size_t>(i)]->setObjectName(QString("name_label%1").arg(i + 1));
        value_labels[static_cast<std::size_t>(i)]->setObjectName(QString("value_label%1").arg(i + 1));
        // Names above their values, seven to a row.
        grid->addWidget(name_labels[static_cast<std::size_t>(i)], (i / 7) * 2, i % 7);
        grid->addWidget(value_labels[static_cast<std::size_t>(i)], (i / 7) * 2 + 1, i % 7);
    }
    layout->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    step_button = new QPushButton("&Step", this);
    step_button->setObjectName("step_button");
    cancel_method_button = new QPushButton("&Cancel Method", this);
    cancel_method_button->setObjectName("cancel_method_button");
    leave_button = new QPushButton("&Leave Step Mode", this);
    leave_button->setObjectName("leave_button");
    buttons->addWidget(step_button);
    buttons->addWidget(cancel_method_button);
    buttons->addWidget(leave_button);
    layout->addLayout(buttons);
    step_button->setDefault(true);
    connect(step_button, &QPushButton::clicked, this, [this] {
        answer_ = StepAnswer::step;
        accept();
    });
    connect(cancel_method_button, &QPushButton::clicked, this, [this] {
        answer_ = StepAnswer::cancel_method;
        accept();
    });
    connect(leave_button, &QPushButton::clicked, this, [this] {
        answer_ = StepAnswer::leave_step_mode;
        accept();
    });
}

void Tstep_dialog::show_command(const StepDialogContent& content)
{
    command_label->setText(to_qstring(content.command));
    for (std::size_t i = 0; i < step_dialog_fields; ++i) {
        const bool named = i < content.names.size();
        name_labels[i]->setVisible(named);
        name_labels[i]->setText(named ? to_qstring(content.names[i]) : QString());
        const bool valued = named && i < content.values.size();
        value_labels[i]->setVisible(valued);
        value_labels[i]->setText(valued ? to_qstring(content.values[i]) : QString());
    }
}

StepAnswer Tstep_dialog::ask(const StepDialogContent& content)
{
    show_command(content);
    answer_ = StepAnswer::step;
    exec();
    return answer_;
}

Tnew_syr::Tnew_syr(QWidget* parent) : QDialog(parent)
{
    setObjectName("Tnew_syr");
    setWindowTitle(new_syr_caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    message_label = new QLabel(this);
    message_label->setObjectName("message_label");
    message_label->setWordWrap(true);
    layout->addWidget(message_label);
    auto* buttons = new QHBoxLayout;
    continue_button = new QPushButton("&Continue", this);
    continue_button->setObjectName("continue_button");
    cancel_button = new QPushButton("C&ancel Method", this);
    cancel_button->setObjectName("cancel_button");
    buttons->addWidget(continue_button);
    buttons->addWidget(cancel_button);
    layout->addLayout(buttons);
    connect(continue_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
}

bool Tnew_syr::ask(const std::string& method, const std::string& needed, const std::string& mounted)
{
    message_label->setText(to_qstring(syringe_mismatch_text(method, needed, mounted)));
    return exec() == QDialog::Accepted;
}

}  // namespace kelvo
