#include "pty_device.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace kelvo::sim {

namespace {

speed_t speed_constant(int baud) { return baud == 38400 ? B38400 : B9600; }

int speed_number(speed_t s)
{
    switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

void make_raw(int fd, int baud)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    cfsetispeed(&t, speed_constant(baud));
    cfsetospeed(&t, speed_constant(baud));
    tcsetattr(fd, TCSANOW, &t);
}

}  // namespace

PtyDevice::~PtyDevice() { close(); }

bool PtyDevice::open(int initial_speed, std::string& error)
{
    close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        close();
        return false;
    }
    path_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        error = "cannot open " + path_ + ": " + std::strerror(errno);
        close();
        return false;
    }
    make_raw(slave_, initial_speed);
    make_raw(master_, initial_speed);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    return true;
}

void PtyDevice::close()
{
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

int PtyDevice::line_speed() const
{
    termios t{};
    if (slave_ < 0 || tcgetattr(slave_, &t) != 0) return 0;
    return speed_number(cfgetospeed(&t));
}

std::string PtyDevice::read_available()
{
    std::string bytes;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n > 0) {
            bytes.append(buf, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    return bytes;
}

void PtyDevice::write_all(const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size() && master_ >= 0) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            // Nobody reads the other side: give it a second, then drop the rest.
            pollfd p{master_, POLLOUT, 0};
            if (poll(&p, 1, 1000) <= 0) return;
        } else {
            return;
        }
    }
}

}  // namespace kelvo::sim
