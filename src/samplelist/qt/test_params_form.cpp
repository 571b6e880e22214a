#include "samplelist/qt/test_params_form.h"

#include "ground/qt/qt_text.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kelvo {

Ttest_params_form::Ttest_params_form(QWidget* parent) : QDialog(parent)
{
    setObjectName("Ttest_params_form");
    setWindowTitle(test_parameters_caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    text_label = new QLabel(test_parameters_text, this);
    text_label->setObjectName("text_label");
    layout->addWidget(text_label);
    test_sheet = new QTableWidget(0, 2, this);
    test_sheet->setObjectName("test_sheet");
    test_sheet->horizontalHeader()->hide();
    test_sheet->verticalHeader()->hide();
    test_sheet->horizontalHeader()->setStretchLastSection(true);
    test_sheet->setSelectionMode(QAbstractItemView::SingleSelection);
    test_sheet->setEditTriggers(QAbstractItemView::AllEditTriggers);
    layout->addWidget(test_sheet);
    auto* buttons = new QHBoxLayout;
    ok_button = new QPushButton("OK", this);
    ok_button->setObjectName("ok_button");
    ok_button->setDefault(true);
    cancel_button = new QPushButton("Cancel", this);
    cancel_button->setObjectName("cancel_button");
    buttons->addStretch();
    buttons->addWidget(ok_button);
    buttons->addWidget(cancel_button);
    layout->addLayout(buttons);
    connect(ok_button, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 320);
}

void Ttest_params_form::prepare(const std::vector<TestParameterRow>& rows)
{
    rows_ = rows;
    test_sheet->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        auto* heading = new QTableWidgetItem(to_qstring(rows[static_cast<std::size_t>(r)].heading));
        heading->setFlags(Qt::ItemIsEnabled);
        test_sheet->setItem(r, 0, heading);
        test_sheet->setItem(r, 1, new QTableWidgetItem(to_qstring(rows[static_cast<std::size_t>(r)].value)));
    }
    if (!rows.empty()) test_sheet->setCurrentCell(0, 1);
}

std::vector<std::string> Ttest_params_form::entries() const
{
    std::vector<std::string> out;
    for (int r = 0; r < test_sheet->rowCount(); ++r) {
        const QTableWidgetItem* item = test_sheet->item(r, 1);
        out.push_back(item ? from_qstring(item->text()) : std::string());
    }
    return out;
}

bool Ttest_params_form::ask(const std::vector<TestParameterRow>& rows, SampleVariables& variables)
{
    prepare(rows);
    if (exec() != QDialog::Accepted) return false;
    // An entry still being edited counts.
    test_sheet->setCurrentItem(nullptr);
    apply_test_parameters(rows_, entries(), variables);
    return true;
}

}  // namespace kelvo
