#include "link/qt/pchoice_form.h"

#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

Tpchoice_form::Tpchoice_form(QWidget* parent) : QDialog(parent)
{
    setObjectName("pchoice_form");
    setWindowTitle("Com Port Selection");
    message_label = new QLabel(this);
    message_label->setObjectName("message_label");
    message_label->setWordWrap(true);
    message_label->setMinimumWidth(360);

    auto button = [this](const char* name, const char* caption, BusyPortChoice choice) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, choice] { pick(choice); });
        return b;
    };
    retry_button = button("retry_button", "Retry", BusyPortChoice::retry);
    exit_button = button("exit_button", "Exit program", BusyPortChoice::exit_program);
    offline_button = button("offline_button", "Run offline", BusyPortChoice::run_offline);
    another_port_button = button("another_port_button", "Another port", BusyPortChoice::another_port);
    retry_button->setDefault(true);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {retry_button, exit_button, offline_button, another_port_button}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_label);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    set_port_number(1);
}

void Tpchoice_form::set_port_number(int port) { message_label->setText(to_qstring(busy_port_text(port))); }

BusyPortChoice Tpchoice_form::choose(int port)
{
    set_port_number(port);
    adjustSize();
    centre_on_screen(this);
    exec();
    return choice_;
}

void Tpchoice_form::pick(BusyPortChoice choice)
{
    choice_ = choice;
    accept();
}

}  // namespace kelvo
