#pragma once
// The serial line on QSerialPort, with the link's timer trigger on a QTimer.
// Port n is COMn on Windows; elsewhere the device named by the setting
// "COMn Device" (default /dev/ttyS<n-1>), unless a device was set for it.
#include "link/serial_port.h"

#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <map>
#include <string>

namespace kelvo {

class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    // Uses this device for port n instead of the setting (the command-line
    // companion's --device). The name is the file system's own (UTF-8).
    void set_device_name(int port, const std::string& device);
    // The device port n opens (UTF-8).
    std::string device_name(int port) const;

    void set_events(SerialEvents* events) override { events_ = events; }
    OpenResult open(int port) override;
    void close() override;
    bool is_open() const override;
    bool exists(int port) override;
    void set_speed(int baud) override;
    int speed() const override { return speed_; }
    void write(const std::string& bytes) override;
    void arm(int ticks) override;
    void disarm() override;

private:
    void on_ready_read();
    void on_error(QSerialPort::SerialPortError error);
    void on_timer();

    QSerialPort* port_ = nullptr;
    QTimer timer_;
    SerialEvents* events_ = nullptr;
    std::map<int, std::string> devices_;
    int speed_ = normal_speed;
    bool lost_reported_ = false;
};

}  // namespace kelvo
