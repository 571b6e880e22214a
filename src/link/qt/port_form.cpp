#include "link/qt/port_form.h"

#include "ground/qt/window_place.h"
#include "ground/settings.h"
#include "link/serial_port.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kelvo {

Tport_form::Tport_form(SerialPort& port, QWidget* parent) : QDialog(parent), port_(port)
{
    setObjectName("port_form");
    setWindowTitle("Choose Serial Port");
    choose_label = new QLabel("Please choose the proper serial port:", this);
    choose_label->setObjectName("choose_label");

    auto* group = new QButtonGroup(this);
    auto* radios = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        const QString name = QString("COM%1").arg(i + 1);
        auto* b = new QRadioButton(name, this);
        b->setObjectName(name.toLower() + "_button");
        group->addButton(b, i + 1);
        radios->addWidget(b);
        com_buttons[static_cast<std::size_t>(i)] = b;
    }

    ok_button = new QPushButton("OK", this);
    ok_button->setObjectName("ok_button");
    ok_button->setDefault(true);
    cancel_button = new QPushButton("Cancel", this);
    cancel_button->setObjectName("cancel_button");
    connect(ok_button, &QPushButton::clicked, this, [this] { ok_buttonClick(); });
    connect(cancel_button, &QPushButton::clicked, this, [this] { cancel_buttonClick(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_button);
    buttons->addWidget(cancel_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choose_label);
    layout->addLayout(radios);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

bool Tport_form::choose(int current)
{
    port_number_ = current;
    return exec() == QDialog::Accepted;
}

void Tport_form::showEvent(QShowEvent* event)
{
    for (int n = 1; n <= 4; ++n) {
        QRadioButton* b = com_buttons[static_cast<std::size_t>(n - 1)];
        b->setEnabled(port_.exists(n));
        // An exclusive group cannot uncheck by itself.
        b->setAutoExclusive(false);
        b->setChecked(n == port_number_);
        b->setAutoExclusive(true);
    }
    adjustSize();
    centre_on_screen(this);
    QDialog::showEvent(event);
}

void Tport_form::ok_buttonClick()
{
    for (int n = 1; n <= 4; ++n) {
        const QRadioButton* b = com_buttons[static_cast<std::size_t>(n - 1)];
        if (b->isChecked() && b->isEnabled()) {
            port_number_ = n;
            break;
        }
    }
    write_setting_integer("Port", port_number_);
    accept();
}

// Escape ends here as well (QDialog's reject).
void Tport_form::cancel_buttonClick() { reject(); }

}  // namespace kelvo
