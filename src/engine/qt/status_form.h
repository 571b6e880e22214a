#pragma once
// `Tstatus_form`: the small always-on-top window with four lines of run
// progress. Its place is kept in "Status Left" / "Status Top"; by default it
// sits in the bottom-right corner of the screen.
#include "engine/status_display.h"

#include <QWidget>

#include <functional>

class QLabel;

namespace kelvo {

class Tstatus_form : public QWidget, public StatusDisplay {
    Q_OBJECT
public:
    // Placed by the stored position when created.
    explicit Tstatus_form(QWidget* parent = nullptr);

    QLabel* running_line = nullptr;
    QLabel* method_line = nullptr;
    QLabel* tray_and_vial_line = nullptr;
    QLabel* atom_status_line = nullptr;
    // Below the four lines: the time a sample list has left (empty when none).
    QLabel* estimate_line = nullptr;
    void set_estimate(const std::string& text);

    void set_line(StatusLine line, const std::string& text) override;
    std::string line(StatusLine line) const override;

    void restore_position();
    // "Status Left" / "Status Top" from the window's position.
    void store_position() const;

    // The user closed the window by its own close button (the position is
    // stored already): the owner switches the status window off.
    std::function<void()> on_closed_by_user;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QLabel* label(StatusLine line) const;
    // Moves the window, frame included, back onto the screen.
    void keep_on_screen();
    int frame_tries_ = 0;
};

}  // namespace kelvo
