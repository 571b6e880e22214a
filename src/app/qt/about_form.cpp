#include "app/qt/about_form.h"

#include "ground/qt/qt_text.h"
#include "ground/qt/resources.h"
#include "ground/qt/window_place.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

std::string firmware_text(const std::string& version)
{
    return version.empty() ? std::string(not_connected_text) : "Firmware : " + version;
}

Tabout_form::Tabout_form(QWidget* parent) : QDialog(parent)
{
    init_resources();
    setObjectName("about_form");
    setWindowTitle("About");
    picture = new QLabel(this);
    picture->setObjectName("picture");
    picture->setPixmap(QPixmap(":/images/cadenzor_icon.png").scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    software_label = new QLabel(this);
    software_label->setObjectName("software_label");
    firmware_label = new QLabel(this);
    firmware_label->setObjectName("firmware_label");
    for (QLabel* l : {software_label, firmware_label}) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    ok_button = new QPushButton("OK", this);
    ok_button->setObjectName("ok_button");
    ok_button->setDefault(true);
    connect(ok_button, &QPushButton::clicked, this, &QDialog::accept);

    auto* lines = new QVBoxLayout;
    lines->addWidget(software_label);
    lines->addWidget(firmware_label);
    lines->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(lines, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    setLayout(layout);
}

void Tabout_form::showEvent(QShowEvent* event)
{
    software_label->setText(software_text);
    firmware_label->setText(to_qstring(firmware_text(firmware_version_)));
    adjustSize();
    centre_on_screen(this);
    QDialog::showEvent(event);
}

}  // namespace kelvo
