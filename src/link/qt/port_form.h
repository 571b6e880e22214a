#pragma once
// `Tport_form`: the port chooser. Radio buttons "COM1" to "COM4"; only the
// ports that exist on the machine can be chosen. OK stores the choice as the
// setting "Port".
#include <QDialog>

#include <array>

class QLabel;
class QPushButton;
class QRadioButton;

namespace kelvo {

class SerialPort;

class Tport_form : public QDialog {
    Q_OBJECT
public:
    // The port is asked which COM ports exist (not owned).
    explicit Tport_form(SerialPort& port, QWidget* parent = nullptr);

    QLabel* choose_label = nullptr;
    std::array<QRadioButton*, 4> com_buttons{};
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;

    // The port number (1 to 4): checked on showing, changed by OK.
    int port_number() const { return port_number_; }
    void set_port_number(int port) { port_number_ = port; }

    // Shows the chooser modally starting at the port; true when closed with
    // OK (port_number() is then the choice, already stored).
    bool choose(int current);

    void ok_buttonClick();
    void cancel_buttonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SerialPort& port_;
    int port_number_ = 1;
};

}  // namespace kelvo
