#pragma once
// The out-of-range dialog: a numeric value lies outside its bounds (at
// expansion, or in the Method Editor's range check). It shows the value and
// the bounds and offers the violated bound; OK takes an entry within the
// bounds, and closing it any other way takes the proposed value.
#include "language/value_checks.h"

#include <QDialog>

#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvo {

// "Parameter out of range" — the texts of the dialog, kept apart from the
// widgets so that the rules are testable on their own.
inline constexpr const char* syringe_change_caption = "Parameter out of range";

// A bound or value as the dialog writes it: the number ("." as the point; a
// duration for seconds) followed by its unit.
std::string out_of_range_number(double value, const std::string& unit);
// NAME + ":" + CURRENT + " is out of range (" + MINIMUM + " - " + MAXIMUM + ")".
std::string out_of_range_text(const std::string& name, const std::string& unit, double value, double minimum,
                              double maximum);
// What the edit field first shows: the proposed value (a duration for seconds).
std::string out_of_range_entry(double proposed, const std::string& unit);

// The OK rule: the entry's value when it is a number (or, for seconds, a
// duration) within the bounds inclusive; otherwise nullopt and refusal holds
// TEXT + " is out of range!", " is not a number" or " is not a time".
std::optional<double> accept_out_of_range_entry(const std::string& text, const std::string& unit, double minimum,
                                                double maximum, std::string& refusal);

class Tsyringe_change : public QDialog, public OutOfRangeDialog {
    Q_OBJECT
public:
    explicit Tsyringe_change(QWidget* parent = nullptr);

    QLabel* message_label = nullptr;
    QLineEdit* value_edit = nullptr;
    QPushButton* ok_button = nullptr;

    // Shows the dialog modally and returns the value to take.
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override;

    // Sets the texts and the value taken when the dialog is closed without OK.
    void prepare(const std::string& context, const std::string& unit, double maximum, double minimum,
                 double proposed, double value);
    // "OK": accepts the entry and closes, or shows the refusal (error box) and
    // stays open. True when accepted.
    bool ok_buttonClick();
    // The value the dialog gives back: the accepted entry, else the proposed
    // value.
    double taken_value() const { return taken_; }

private:
    std::string unit_;
    double minimum_ = 0;
    double maximum_ = 0;
    double taken_ = 0;
};

}  // namespace kelvo
