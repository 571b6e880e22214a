#include "samplelist/qt/column_form.h"

#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"
#include "ground/text_utils.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace kelvo {

namespace {

constexpr int top = 36;
constexpr int row_height = 26;
constexpr int half_width = Tcolumnform::designed_width / 2;
constexpr int button_row = top + Tcolumnform::half_rows * row_height + 12;

}  // namespace

Tcolumnform::Tcolumnform(ColumnTable& columns, std::function<std::vector<std::string>(ProgramList)> entries,
                         QWidget* parent)
    : QDialog(parent), columns_(columns), entries_(std::move(entries))
{
    setObjectName("Tcolumnform");
    setWindowTitle("Define columns of sample list");
    setModal(true);
    Label1 = new QLabel("Default values for columns in the sample list", this);
    Label1->setObjectName("Label1");
    Label1->setGeometry(12, 10, half_width - 24, 20);

    for (int i = 0; i < row_count; ++i) {
        const int x = i < half_rows ? 8 : half_width + 8;
        const int y = top + (i % half_rows) * row_height;
        const QString n = QString::number(i + 1);
        StaticText[i] = new QLabel(this);
        StaticText[i]->setObjectName("StaticText" + n);
        StaticText[i]->setGeometry(x, y + 3, 120, 18);
        CheckBox[i] = new QCheckBox("Visible", this);
        CheckBox[i]->setObjectName("CheckBox" + n);
        CheckBox[i]->setGeometry(x + 124, y + 2, 70, 20);
        if (i == 0) continue;
        Edit[i] = new QLineEdit(this);
        Edit[i]->setObjectName("Edit" + n);
        Edit[i]->setGeometry(x + 198, y, 160, 22);
        ComboBox[i] = new QComboBox(this);
        ComboBox[i]->setObjectName("ComboBox" + n);
        ComboBox[i]->setGeometry(x + 198, y, 160, 22);
    }

    apply_button = new QPushButton("&Apply", this);
    apply_button->setObjectName("apply_button");
    ok_button = new QPushButton("&OK", this);
    ok_button->setObjectName("ok_button");
    ok_button->setDefault(true);
    cancel_button = new QPushButton("&Cancel", this);
    cancel_button->setObjectName("cancel_button");
    connect(apply_button, &QPushButton::clicked, this, [this] { apply(); });
    connect(ok_button, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cancel_button, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(designed_width, button_row + 40);
    centre_on_screen(this);
}

void Tcolumnform::showEvent(QShowEvent* event)
{
    refresh();
    QDialog::showEvent(event);
}

void Tcolumnform::place_buttons()
{
    const int right = width() - 8;
    cancel_button->setGeometry(right - 84, button_row, 84, 26);
    ok_button->setGeometry(right - 2 * 84 - 8, button_row, 84, 26);
    apply_button->setGeometry(right - 3 * 84 - 16, button_row, 84, 26);
}

void Tcolumnform::refresh()
{
    setFixedSize(columns_.count() <= half_rows ? designed_width / 2 : designed_width, button_row + 40);
    place_buttons();
    for (int i = 0; i < row_count; ++i) {
        const int col = i + 1;
        const bool used = columns_.valid(col);
        StaticText[i]->setVisible(used);
        CheckBox[i]->setVisible(used);
        if (i > 0) {
            Edit[i]->setVisible(false);
            ComboBox[i]->setVisible(false);
        }
        if (!used) continue;
        const SampleColumn& c = columns_.column(col);
        StaticText[i]->setText(to_qstring(c.heading));
        CheckBox[i]->setChecked(!c.hidden);
        if (i == 0) continue;  // Status has no default
        if (c.kind == ColumnKind::text || c.kind == ColumnKind::numeric) {
            Edit[i]->setText(to_qstring(c.default_text));
            Edit[i]->setVisible(true);
        } else if (c.kind == ColumnKind::list || c.kind == ColumnKind::choice) {
            const std::vector<std::string> items =
                c.kind == ColumnKind::list ? columns_.items_of(col) : entries_(c.program_list);
            ComboBox[i]->clear();
            int selected = -1;
            for (const std::string& item : items) {
                if (selected < 0 && same_text(item, c.default_text)) selected = ComboBox[i]->count();
                ComboBox[i]->addItem(to_qstring(item));
            }
            ComboBox[i]->setCurrentIndex(selected);
            ComboBox[i]->setVisible(true);
        } else {
            Edit[i]->clear();
        }
    }
}

void Tcolumnform::apply()
{
    const int rows = std::min(columns_.count(), row_count);
    for (int i = 0; i < rows; ++i) {
        SampleColumn& c = columns_.column(i + 1);
        c.hidden = !CheckBox[i]->isChecked();
        if (i == 0) continue;
        if (!ComboBox[i]->isHidden()) {
            // A default that is not among the entries stays as it was.
            if (ComboBox[i]->currentIndex() >= 0) c.default_text = from_qstring(ComboBox[i]->currentText());
        } else {
            c.default_text = from_qstring(Edit[i]->text());
        }
    }
    if (applied) applied();
}

}  // namespace kelvo
