#include "app/qt/new_form.h"

#include "ground/qt/window_place.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

Tnew_form::Tnew_form(QWidget* parent) : QDialog(parent)
{
    setObjectName("new_form");
    choose_label = new QLabel(this);
    choose_label->setObjectName("choose_label");
    potential_name = new QLineEdit(this);
    potential_name->setObjectName("potential_name");
    potential_name->setMinimumWidth(280);
    choose_label->setBuddy(potential_name);

    auto* buttons = new QDialogButtonBox(this);
    ok_button = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_button->setObjectName("ok_button");
    cancel_button = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    cancel_button->setObjectName("cancel_button");
    // Enter acts as OK, Escape (QDialog's own) as Cancel.
    ok_button->setDefault(true);
    cancel_button->setAutoDefault(false);  // Enter means OK wherever the focus is
    connect(ok_button, &QPushButton::clicked, this, [this] { ok_buttonClick(); });
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choose_label);
    layout->addWidget(potential_name);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    setLayout(layout);
}

bool Tnew_form::run(const QString& caption, const QString& label, const QString& current, QString& chosen)
{
    setWindowTitle(caption);
    // Wide enough for the caption besides the title bar's icon and buttons,
    // which the window manager draws in a font of about this size.
    setMinimumWidth(fontMetrics().horizontalAdvance(caption) * 5 / 4 + title_bar_allowance);
    choose_label->setText(label);
    potential_name->setText(current);
    chosen_.clear();
    exec();
    chosen = chosen_;
    return ok_ && !chosen_.isEmpty();
}

void Tnew_form::showEvent(QShowEvent* event)
{
    ok_ = false;
    adjustSize();
    centre_on_screen(this);
    QDialog::showEvent(event);
    potential_name->setFocus();
    potential_name->selectAll();
}

void Tnew_form::ok_buttonClick()
{
    chosen_ = potential_name->text();
    ok_ = true;
    accept();
}

}  // namespace kelvo
