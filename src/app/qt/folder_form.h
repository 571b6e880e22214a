#pragma once
// `Tfolder_form`: chooses the method folder from the recently used folders,
// or a new one through the folder browser.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace kelvo {

class Tfolder_form : public QDialog {
    Q_OBJECT
public:
    // Fills its list with the stored folder list.
    explicit Tfolder_form(QWidget* parent = nullptr);

    QLabel* text_label = nullptr;
    QComboBox* folder_combo_box = nullptr;
    QPushButton* ok_button = nullptr;
    QPushButton* cancel_button = nullptr;
    QPushButton* browse_button = nullptr;

    // Puts the folder at the top of the list (an equal later entry leaves)
    // and selects it.
    void put_on_top(const std::string& folder);
    std::vector<std::string> folders() const;
    // The selected entry; empty when none is.
    std::string selected_folder() const;

    // At the first start of an installed program (no folder known yet) the
    // list offers `copy`, the user's copy of the `installed` demo folder;
    // accepting it makes the copy. Nothing is offered when either is empty.
    void offer_demo_folder(const std::string& installed, const std::string& copy);

    // The folder browser, starting at the given folder; an empty result
    // means cancelled. Replaceable for tests.
    std::function<QString(const QString& start)> browse_for_folder;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void browse_buttonClick();
    void set_folders(const std::vector<std::string>& folders);
    void enable_ok();

    std::string demo_installed_;
    std::string demo_copy_;
};

}  // namespace kelvo
