#include "app/qt/folder_form.h"

#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "ground/documents.h"
#include "app/demo_folder.h"
#include "app/folder_choice.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"
#include "ground/settings.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

Tfolder_form::Tfolder_form(QWidget* parent) : QDialog(parent)
{
    setObjectName("folder_form");
    setWindowTitle(folder_form_caption);
    text_label = new QLabel(folder_form_text, this);
    text_label->setObjectName("text_label");
    folder_combo_box = new QComboBox(this);  // selection only: not editable
    folder_combo_box->setObjectName("folder_combo_box");
    folder_combo_box->setMinimumWidth(460);
    folder_combo_box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    ok_button = new QPushButton("OK", this);
    ok_button->setObjectName("ok_button");
    ok_button->setDefault(true);  // Enter acts as OK, Escape as Cancel
    cancel_button = new QPushButton("Cancel", this);
    cancel_button->setObjectName("cancel_button");
    browse_button = new QPushButton("Browse", this);
    browse_button->setObjectName("browse_button");
    // Enter means OK wherever the focus is.
    cancel_button->setAutoDefault(false);
    browse_button->setAutoDefault(false);
    connect(ok_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
    connect(browse_button, &QPushButton::clicked, this, [this] { browse_buttonClick(); });
    connect(folder_combo_box, &QComboBox::currentIndexChanged, this, [this] { enable_ok(); });

    browse_for_folder = [this](const QString& start) {
        return QFileDialog::getExistingDirectory(this, folder_form_caption, start);
    };

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(browse_button);
    buttons->addStretch(1);
    buttons->addWidget(ok_button);
    buttons->addWidget(cancel_button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_label);
    layout->addWidget(folder_combo_box);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setLayout(layout);

    set_folders(read_folder_list());
}

void Tfolder_form::set_folders(const std::vector<std::string>& folders)
{
    folder_combo_box->clear();
    for (const std::string& f : folders) folder_combo_box->addItem(to_qstring(f));
    enable_ok();
}

std::vector<std::string> Tfolder_form::folders() const
{
    std::vector<std::string> list;
    for (int i = 0; i < folder_combo_box->count(); ++i) list.push_back(from_qstring(folder_combo_box->itemText(i)));
    return list;
}

std::string Tfolder_form::selected_folder() const
{
    return folder_combo_box->currentIndex() < 0 ? std::string() : from_qstring(folder_combo_box->currentText());
}

void Tfolder_form::put_on_top(const std::string& folder)
{
    std::vector<std::string> list = folders();
    put_folder_on_top(list, folder);
    set_folders(list);
    folder_combo_box->setCurrentIndex(0);
}

void Tfolder_form::offer_demo_folder(const std::string& installed, const std::string& copy)
{
    if (installed.empty() || copy.empty() || folder_combo_box->count() > 0) return;
    demo_installed_ = installed;
    demo_copy_ = copy;
    put_on_top(copy);
}

void Tfolder_form::accept()
{
    if (!demo_copy_.empty() && selected_folder() == demo_copy_) {
        if (copy_demo_folder(demo_installed_, demo_copy_))
            debug_line("copied " + demo_installed_ + " -> " + demo_copy_);
        else
            debug_line("could not copy all of " + demo_installed_ + " -> " + demo_copy_);
    }
    QDialog::accept();
}

// A folder is needed: OK stays disabled until one is chosen (an empty list
// at the first start, before Browse was used).
void Tfolder_form::enable_ok() { ok_button->setEnabled(folder_combo_box->currentIndex() >= 0); }

void Tfolder_form::browse_buttonClick()
{
    const QString chosen = browse_for_folder(to_qstring(method_folder()));
    if (chosen.isEmpty()) return;
    const QString native = QDir::toNativeSeparators(chosen);
    bool ok = true;
    const std::string folder = utf8_to_cp1252(native.toStdString(), &ok);
    if (!ok) {
        // The documents' texts are Windows-1252; such a folder cannot be named in them.
        debug_line("skipped folder " + native.toStdString());
        return;
    }
    put_on_top(folder);
}

void Tfolder_form::showEvent(QShowEvent* event)
{
    adjustSize();
    centre_on_screen(this);
    QDialog::showEvent(event);
    enable_ok();
}

}  // namespace kelvo
