#include "samplelist/qt/test_params_form.h"

#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {

namespace {
constexpr int heading_col = 1;
constexpr int entry_col = 2;
}  // namespace

Ttest_params_form::Ttest_params_form(QWidget* parent) : QDialog(parent)
{
    setObjectName("Ttest_params_form");
    setWindowTitle(test_parameters_caption);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    text_label = new QLabel(test_parameters_text, this);
    text_label->setObjectName("text_label");
    layout->addWidget(text_label);
    test_sheet = new SpreadGrid(this);
    test_sheet->setObjectName("test_sheet");
    test_sheet->set_max_cols(2);
    test_sheet->set_process_tab(true);
    test_sheet->set_edit_enter_action(SpreadEnterAction::none);
    test_sheet->set_auto_clipboard(true);
    test_sheet->set_col_width(heading_col, 14);
    test_sheet->set_col_width(entry_col, 20);
    test_sheet->installEventFilter(this);
    // Enter in an entry being typed: the entry is committed, then OK.
    if (auto* delegate = qobject_cast<SpreadDelegate*>(test_sheet->itemDelegate()))
        connect(delegate, &SpreadDelegate::enter_pressed, this, &QDialog::accept, Qt::QueuedConnection);
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
    SpreadGrid& g = *test_sheet;
    g.set_max_rows(0);
    g.set_max_rows(static_cast<int>(rows.size()));
    g.set_block_mode(false);
    g.set_col(heading_col);
    g.set_row(-1);
    g.set_cell_type(SpreadCellType::static_text);
    g.set_col(entry_col);
    g.set_cell_type(SpreadCellType::edit);
    for (int r = 1; r <= static_cast<int>(rows.size()); ++r) {
        const TestParameterRow& row = rows[static_cast<std::size_t>(r - 1)];
        g.set_row(r);
        g.set_col(heading_col);
        g.set_value(to_qstring(row.heading));
        g.set_col(entry_col);
        g.set_value(to_qstring(row.value));
    }
    if (!rows.empty()) {
        g.set_col(entry_col);
        g.set_row(1);
        g.action(SpreadAction::active_cell);
    }
}

std::vector<std::string> Ttest_params_form::entries() const
{
    std::vector<std::string> out;
    SpreadGrid& g = *test_sheet;
    g.set_block_mode(false);
    g.set_col(entry_col);
    for (int r = 1; r <= g.max_rows(); ++r) {
        g.set_row(r);
        out.push_back(from_qstring(g.value()));
    }
    return out;
}

// Enter accepts the form, also from the grid (where it would move the
// cell); Escape abandons it.
void Ttest_params_form::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool Ttest_params_form::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == test_sheet && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool Ttest_params_form::ask(const std::vector<TestParameterRow>& rows, SampleVariables& variables)
{
    prepare(rows);
    if (exec() != QDialog::Accepted) return false;
    apply_test_parameters(rows_, entries(), variables);
    return true;
}

}  // namespace kelvo
