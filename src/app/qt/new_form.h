#pragma once
// `Tnew_form`: asks for the name of a new document.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvo {

class Tnew_form : public QDialog {
    Q_OBJECT
public:
    explicit Tnew_form(QWidget* parent = nullptr);

    QLabel* choose_label = nullptr;
    QLineEdit* potential_name = nullptr;
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;

    // Shows the dialog modally with the caption, the label and the proposed
    // name. True when OK was pressed and the chosen name is not empty.
    bool run(const QString& caption, const QString& label, const QString& current, QString& chosen);

    bool ok_pressed() const { return ok_; }

    // Room the title bar takes besides the caption: icon and buttons.
    static constexpr int title_bar_allowance = 140;
    const QString& chosen_name() const { return chosen_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ok_buttonClick();
    bool ok_ = false;
    QString chosen_;
};

}  // namespace kelvo
