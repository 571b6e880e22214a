#pragma once
// `Tpchoice_form`: the port the program wants is in use. Four ways on:
// "Retry", "Exit program", "Run offline", "Another port"; start-up reads the
// choice after the dialog has closed.
#include "link/startup_chain.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kelvo {

class Tpchoice_form : public QDialog {
    Q_OBJECT
public:
    explicit Tpchoice_form(QWidget* parent = nullptr);

    QLabel* message_label = nullptr;
    QPushButton* retry_button = nullptr;
    QPushButton* exit_button = nullptr;
    QPushButton* offline_button = nullptr;
    QPushButton* another_port_button = nullptr;

    // The text names the port.
    void set_port_number(int port);
    // The last button pressed; closing the dialog otherwise keeps the
    // previous choice (Retry at first).
    BusyPortChoice choice() const { return choice_; }
    // Shows the dialog modally for the port and returns the choice.
    BusyPortChoice choose(int port);

private:
    void pick(BusyPortChoice choice);
    BusyPortChoice choice_ = BusyPortChoice::retry;
};

}  // namespace kelvo
