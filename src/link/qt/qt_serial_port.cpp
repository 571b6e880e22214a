#include "link/qt/qt_serial_port.h"

#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "ground/settings.h"

#include <QFileInfo>
#include <QPointer>
#include <QSerialPortInfo>

#ifndef Q_OS_WIN
#include <termios.h>
#include <unistd.h>
#endif

namespace kelvo {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; a time-out must never be short.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &QtSerialPort::on_timer);
}

QtSerialPort::~QtSerialPort() { close(); }

void QtSerialPort::set_device_name(int port, const std::string& device) { devices_[port] = device; }

std::string QtSerialPort::device_name(int port) const
{
    const auto it = devices_.find(port);
    if (it != devices_.end()) return it->second;
    const std::string com = "COM" + std::to_string(port);
#ifdef Q_OS_WIN
    return com;
#else
    return cp1252_to_utf8(read_setting_text(com + " Device", "/dev/ttyS" + std::to_string(port - 1)));
#endif
}

OpenResult QtSerialPort::open(int port)
{
    close();
    const QString name = QString::fromStdString(device_name(port));
    port_ = new QSerialPort(this);
    port_->setPortName(name);
    port_->setBaudRate(normal_speed);
    port_->setDataBits(QSerialPort::Data8);
    port_->setParity(QSerialPort::NoParity);
    port_->setStopBits(QSerialPort::OneStop);
    port_->setFlowControl(QSerialPort::SoftwareControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = port_->error();
        delete port_;
        port_ = nullptr;
        if (error == QSerialPort::PermissionError) {
#ifdef Q_OS_WIN
            return OpenResult::in_use;
#else
            // The lock of another open also shows as a permission error; a
            // device we may use is therefore in use.
            return ::access(QFile::encodeName(name).constData(), R_OK | W_OK) == 0 ? OpenResult::in_use
                                                                                  : OpenResult::cannot_open;
#endif
        }
        return OpenResult::cannot_open;
    }
    speed_ = normal_speed;
#ifndef Q_OS_WIN
    // Qt's software flow control also sets IXANY (any byte resumes a stopped
    // output); the instrument's flow control is XON/XOFF alone. The speed
    // changes later read the settings back, so clearing it once holds.
    termios tio{};
    if (::tcgetattr(port_->handle(), &tio) == 0 && (tio.c_iflag & IXANY)) {
        tio.c_iflag &= ~static_cast<tcflag_t>(IXANY);
        ::tcsetattr(port_->handle(), TCSANOW, &tio);
    }
#endif
    // A pseudo-terminal has no modem lines and refuses these; that is fine.
    port_->setDataTerminalReady(false);
    port_->setRequestToSend(false);
    port_->clearError();
    lost_reported_ = false;
    connect(port_, &QSerialPort::readyRead, this, &QtSerialPort::on_ready_read);
    connect(port_, &QSerialPort::errorOccurred, this, &QtSerialPort::on_error);
    return OpenResult::ok;
}

void QtSerialPort::close()
{
    if (!port_) return;
    port_->disconnect(this);
    port_->close();
    port_->deleteLater();
    port_ = nullptr;
}

bool QtSerialPort::is_open() const { return port_ && port_->isOpen(); }

bool QtSerialPort::exists(int port)
{
#ifdef Q_OS_WIN
    const QString name = QString::fromStdString(device_name(port));
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        if (info.portName().compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
#else
    // Pseudo-terminals are not listed as serial ports: the device file is
    // what counts.
    return QFileInfo::exists(QString::fromStdString(device_name(port)));
#endif
}

void QtSerialPort::set_speed(int baud)
{
    speed_ = baud;
    if (is_open()) port_->setBaudRate(baud);
}

void QtSerialPort::write(const std::string& bytes)
{
    if (!is_open()) return;
    port_->write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void QtSerialPort::arm(int ticks) { timer_.start(ticks * tick_ms); }

void QtSerialPort::disarm() { timer_.stop(); }

void QtSerialPort::on_ready_read()
{
    if (!port_) return;
    const QByteArray data = port_->readAll();
    if (!data.isEmpty() && events_) events_->data_available(std::string(data.constData(), static_cast<std::size_t>(data.size())));
}

void QtSerialPort::on_timer()
{
    if (events_) events_->timer_fired();
}

void QtSerialPort::on_error(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !port_) return;
    const std::string reason = port_->errorString().toStdString();
    // A vanished device shows as a resource error (EIO), or on a
    // pseudo-terminal whose other side closed as a read that ends for good.
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) {
        debug_line("serial port: " + utf8_to_cp1252(reason));
        return;
    }
    // The device is gone: close at once so that no error storm follows, and
    // tell the link once, after Qt has finished with the signal.
    close();
    if (lost_reported_) return;
    lost_reported_ = true;
    QPointer<QtSerialPort> self(this);
    QTimer::singleShot(0, this, [self, reason] {
        if (self && self->events_) self->events_->port_lost(utf8_to_cp1252(reason));
    });
}

}  // namespace kelvo
