#include "app/qt/save_dialog.h"

#include "ground/qt/window_place.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

Tsave_dialog::Tsave_dialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)  // no title-bar buttons
{
    setObjectName("save_dialog");
    name_label = new QLabel("Name:", this);
    name_label->setObjectName("name_label");
    name_to_save = new QLineEdit(this);
    name_to_save->setObjectName("name_to_save");
    name_to_save->setMinimumWidth(260);
    name_label->setBuddy(name_to_save);

    auto* buttons = new QDialogButtonBox(this);
    ok_button = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_button->setObjectName("ok_button");
    cancel_button = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel_button->setObjectName("cancel_button");
    ok_button->setDefault(true);
    cancel_button->setAutoDefault(false);  // Enter means OK wherever the focus is
    connect(ok_button, &QPushButton::clicked, this, [this] {
        chosen_ = name_to_save->text();
        ok_ = true;
        accept();
    });
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] { ok_ = false; });

    auto* row = new QHBoxLayout;
    row->addWidget(name_label);
    row->addWidget(name_to_save, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setLayout(layout);
}

bool Tsave_dialog::run(const QString& caption, const QString& current, QString& chosen)
{
    setWindowTitle(caption);
    name_to_save->setText(current);
    ok_ = false;
    chosen_.clear();
    exec();
    if (ok_) chosen = chosen_;
    return ok_;
}

void Tsave_dialog::showEvent(QShowEvent* event)
{
    adjustSize();
    centre_on_screen(this);
    QDialog::showEvent(event);
    name_to_save->setFocus();
}

}  // namespace kelvo
