// The Qt serial adapter on a pseudo-terminal pair made by the test.
#include "link/qt/qt_serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <functional>
#include <poll.h>

namespace kelvo {
namespace {

struct Recorder : SerialEvents {
    std::string bytes;
    int timers = 0;
    std::vector<std::string> lost;
    void data_available(const std::string& b) override { bytes += b; }
    void timer_fired() override { ++timers; }
    void port_lost(const std::string& reason) override { lost.push_back(reason); }
};

// Runs the event loop until the condition holds (true) or the limit passes.
bool spin_until(const std::function<bool()>& done, int limit_ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > limit_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class QtSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[256];
        ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        device = name;
        termios t{};
        tcgetattr(master, &t);
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
        port.set_events(&events);
        port.set_device_name(1, device);
    }
    void TearDown() override
    {
        port.close();
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
    }
    std::string read_master(std::size_t want)
    {
        std::string got;
        spin_until([&] {
            char buf[256];
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 0) > 0) {
                const ssize_t n = read(master, buf, sizeof buf);
                if (n > 0) got.append(buf, static_cast<std::size_t>(n));
            }
            return got.size() >= want;
        });
        return got;
    }

    int master = -1, slave = -1;
    std::string device;
    Recorder events;
    QtSerialPort port;
};

TEST_F(QtSerialPortTest, OpensAtNormalSpeedAndCarriesBytesBothWays)
{
    ASSERT_EQ(port.open(1), OpenResult::ok);
    EXPECT_TRUE(port.is_open());
    EXPECT_TRUE(port.exists(1));
    termios t{};
    tcgetattr(slave, &t);
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_TRUE(t.c_iflag & IXOFF);
    EXPECT_FALSE(t.c_iflag & IXANY);  // XON/XOFF only: no other byte resumes output

    port.write("GET_STAT\r");
    EXPECT_EQ(read_master(9), "GET_STAT\r");

    // Fragments arrive in order, all of them.
    ASSERT_EQ(write(master, "REA", 3), 3);
    ASSERT_TRUE(spin_until([&] { return events.bytes == "REA"; }));
    ASSERT_EQ(write(master, "DY\r\x9D", 4), 4);
    ASSERT_TRUE(spin_until([&] { return events.bytes.size() == 7; }));
    EXPECT_EQ(events.bytes, "READY\r\x9D");

    port.set_speed(38400);
    tcgetattr(slave, &t);
    EXPECT_EQ(cfgetospeed(&t), B38400);
    EXPECT_EQ(port.speed(), 38400);
    EXPECT_TRUE(t.c_iflag & IXON);
    EXPECT_FALSE(t.c_iflag & IXANY);
}

TEST_F(QtSerialPortTest, SecondOpenIsInUseAndAMissingDeviceCannotOpen)
{
    ASSERT_EQ(port.open(1), OpenResult::ok);
    QtSerialPort other;
    other.set_device_name(1, device);
    EXPECT_EQ(other.open(1), OpenResult::in_use);
    EXPECT_TRUE(other.exists(1));
    other.set_device_name(2, "/dev/no-such-kelvo-device");
    EXPECT_EQ(other.open(2), OpenResult::cannot_open);
    EXPECT_FALSE(other.exists(2));
    // Free again once closed.
    port.close();
    EXPECT_EQ(other.open(1), OpenResult::ok);
}

TEST_F(QtSerialPortTest, TimerTriggerFiresOnceAndCanBeDisarmed)
{
    ASSERT_EQ(port.open(1), OpenResult::ok);
    port.arm(1);
    ASSERT_TRUE(spin_until([&] { return events.timers == 1; }));
    port.arm(1);
    port.disarm();
    QElapsedTimer t;
    t.start();
    spin_until([&] { return t.elapsed() > 200; });
    EXPECT_EQ(events.timers, 1);
}

TEST_F(QtSerialPortTest, TheTimeOutIsNeverShort)
{
    ASSERT_EQ(port.open(1), OpenResult::ok);
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        port.arm(4);
        ASSERT_TRUE(spin_until([&] { return events.timers == i + 1; }));
        EXPECT_GE(t.elapsed(), 4 * tick_ms);
    }
}

TEST_F(QtSerialPortTest, VanishedDeviceIsClosedAndReportedOnce)
{
    ASSERT_EQ(port.open(1), OpenResult::ok);
    close(slave);
    slave = -1;
    close(master);
    master = -1;
    ASSERT_TRUE(spin_until([&] { return !events.lost.empty(); })) << "no report";
    EXPECT_FALSE(port.is_open());
    QElapsedTimer t;
    t.start();
    spin_until([&] { return t.elapsed() > 300; });
    EXPECT_EQ(events.lost.size(), 1u);
    port.write("GET_STAT\r");  // nowhere to go, no crash
}

}  // namespace
}  // namespace kelvo
