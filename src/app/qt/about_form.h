#pragma once
// `Tabout_form`: the program's version and the instrument firmware read at
// start-up.
#include <QDialog>

#include <string>

class QLabel;
class QPushButton;

namespace kelvo {

inline constexpr const char* software_text = "Software : Cadenzor Version 1.0";
inline constexpr const char* not_connected_text = "Not connected to KELVO";

// "Firmware : " + version, or "Not connected to KELVO" without one.
std::string firmware_text(const std::string& version);

class Tabout_form : public QDialog {
    Q_OBJECT
public:
    explicit Tabout_form(QWidget* parent = nullptr);

    QLabel* picture = nullptr;
    QLabel* software_label = nullptr;
    QLabel* firmware_label = nullptr;
    QPushButton* ok_button = nullptr;

    // The answer to "GET_FW_VERSION" (empty when none was read).
    void set_firmware_version(const std::string& version) { firmware_version_ = version; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string firmware_version_;
};

}  // namespace kelvo
