#pragma once
// `Tkelvo_lib`: the instrument-link window. It owns the serial port and the
// link (KelvoLink), hands the port's events to the link, and shows the link's
// two lists: `debug_box` (what was sent, debug lines) and `return_box` (the
// answer lines of the current answer). The window is visible only with the
// "DBG" switch; debug lines are collected only while it is.
#include "ground/debug_lines.h"
#include "link/kelvo_link.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QListWidget;

namespace kelvo {

class QtSerialPort;

class Tkelvo_lib : public QWidget, public SerialEvents, public LinkUi {
    Q_OBJECT
public:
    // port: the serial port to use (not owned; tests pass a fake). Without
    // one the window owns a QtSerialPort.
    explicit Tkelvo_lib(QWidget* parent = nullptr, SerialPort* port = nullptr);
    ~Tkelvo_lib() override;

    QListWidget* debug_box = nullptr;
    QListWidget* return_box = nullptr;

    KelvoLink& link() { return *link_; }
    SerialPort& port() { return *port_; }
    // The QtSerialPort the window owns; nullptr when a port was given.
    QtSerialPort* serial_port() const { return owned_port_.get(); }

    // "DBG": shows the window, and with it the debug list starts collecting.
    void set_debug_window(bool shown);

    // ---- where the link's window requests go (set by start-up)
    std::function<void(const std::string&)> on_status_text;
    std::function<void()> on_close_splash;

    // ---- port events, handed to the link
    void portTriggerAvail(const std::string& bytes);
    void portTimer();
    void portLost(const std::string& reason);

    // ---- SerialEvents
    void data_available(const std::string& bytes) override { portTriggerAvail(bytes); }
    void timer_fired() override { portTimer(); }
    void port_lost(const std::string& reason) override { portLost(reason); }

    // ---- LinkUi
    void status_text(const std::string& text) override;
    void busy_cursor() override;
    void restore_cursor() override;
    void close_splash_and_show_main() override;
    void debug_line_added(const std::string& line) override;
    void answer_lines_changed() override;

    bool cursor_busy() const { return cursor_busy_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::unique_ptr<QtSerialPort> owned_port_;
    SerialPort* port_ = nullptr;
    std::unique_ptr<KelvoLink> link_;
    // The program's debug lines go to the link's list (it goes before the link).
    std::optional<DebugLineRoute> debug_route_;
    bool cursor_busy_ = false;
};

}  // namespace kelvo
