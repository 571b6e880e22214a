#pragma once
// `Tsave_dialog`: asks for the name under which a document is saved. The
// caller sets the caption ("Save Macro", ...) and the current name.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvo {

class Tsave_dialog : public QDialog {
    Q_OBJECT
public:
    explicit Tsave_dialog(QWidget* parent = nullptr);

    QLabel* name_label = nullptr;
    QLineEdit* name_to_save = nullptr;
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;

    // Shows the dialog modally. True when OK (or Enter) was pressed; the
    // name is taken exactly as typed.
    bool run(const QString& caption, const QString& current, QString& chosen);

    bool ok_pressed() const { return ok_; }
    const QString& chosen_name() const { return chosen_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool ok_ = false;
    QString chosen_;
};

}  // namespace kelvo
