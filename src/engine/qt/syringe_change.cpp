#include "engine/qt/syringe_change.h"
#include "ground/duration.h"

#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "ground/text_utils.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvo {
namespace {

bool is_seconds_unit(const std::string& unit) { return unit == "s"; }

// The value as the dialog writes it and reads it back: a bound shown as
// 0.3 must accept the entry 0.3 even when the bound was computed as
// 0.30000000000000004.
double as_written(double value)
{
    double read = 0;
    return parse_decimal(number_text(value), read) ? read : value;
}

}  // namespace

std::string out_of_range_number(double value, const std::string& unit)
{
    // Negative seconds have no duration form that reads back.
    const std::string number = is_seconds_unit(unit) && value >= 0 ? duration_text(value) : number_text(value);
    return number + unit;
}

std::string out_of_range_text(const std::string& name, const std::string& unit, double value, double minimum,
                              double maximum)
{
    return name + ":" + out_of_range_number(value, unit) + " is out of range (" + out_of_range_number(minimum, unit) +
           " - " + out_of_range_number(maximum, unit) + ")";
}

std::string out_of_range_entry(double proposed, const std::string& unit)
{
    return is_seconds_unit(unit) && proposed >= 0 ? duration_text(proposed) : number_text(proposed);
}

std::optional<double> accept_out_of_range_entry(const std::string& text, const std::string& unit, double minimum,
                                                double maximum, std::string& refusal)
{
    refusal.clear();
    double value = 0;
    if (is_decimal(text) && parse_decimal(text, value)) {
        // a plain number, in every unit
    } else if (is_seconds_unit(unit) && is_duration(text)) {
        value = duration_seconds(text);
    } else {
        refusal = text + (is_seconds_unit(unit) ? " is not a time" : " is not a number");
        return std::nullopt;
    }
    const double shown = as_written(value);
    if (shown < as_written(minimum) || shown > as_written(maximum)) {
        refusal = text + " is out of range!";
        return std::nullopt;
    }
    return value;
}

Tsyringe_change::Tsyringe_change(QWidget* parent) : QDialog(parent)
{
    setObjectName("syringe_change");
    setWindowTitle(QString::fromLatin1(syringe_change_caption));
    setModal(true);
    message_label = new QLabel(this);
    message_label->setObjectName("message_label");
    message_label->setWordWrap(true);
    value_edit = new QLineEdit(this);
    value_edit->setObjectName("value_edit");
    auto* buttons = new QDialogButtonBox(this);
    ok_button = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok_button->setObjectName("ok_button");
    ok_button->setDefault(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(message_label);
    layout->addWidget(value_edit);
    layout->addWidget(buttons);
    setMinimumWidth(360);
    // The button box would accept on its own; OK must check the entry first.
    connect(ok_button, &QPushButton::clicked, this, [this] { ok_buttonClick(); });
}

void Tsyringe_change::prepare(const std::string& context, const std::string& unit, double maximum, double minimum,
                              double proposed, double value)
{
    unit_ = unit;
    minimum_ = minimum;
    maximum_ = maximum;
    taken_ = proposed;
    message_label->setText(to_qstring(out_of_range_text(context, unit, value, minimum, maximum)));
    value_edit->setText(to_qstring(out_of_range_entry(proposed, unit)));
    value_edit->selectAll();
    value_edit->setFocus();
}

bool Tsyringe_change::ok_buttonClick()
{
    std::string refusal;
    const std::optional<double> accepted =
        accept_out_of_range_entry(from_qstring(value_edit->text()), unit_, minimum_, maximum_, refusal);
    if (!accepted) {
        show_error(refusal);
        return false;
    }
    taken_ = *accepted;
    accept();
    return true;
}

double Tsyringe_change::ask(const std::string& context, const std::string& unit, double maximum, double minimum,
                            double proposed, double value)
{
    prepare(context, unit, maximum, minimum, proposed, value);
    exec();
    return taken_;
}

}  // namespace kelvo
