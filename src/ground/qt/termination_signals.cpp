#include "ground/qt/termination_signals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo {

namespace {

int signal_fds[2] = {-1, -1};
QSocketNotifier* notifier = nullptr;

void on_signal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signal_fds[1], &c, 1);
}

}  // namespace

void on_termination_signals(QObject* context, std::function<void()> action)
{
    if (signal_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_fds) != 0) return;
    delete notifier;
    notifier = new QSocketNotifier(signal_fds[0], QSocketNotifier::Read, context);
    QObject::connect(notifier, &QObject::destroyed, [] { notifier = nullptr; });
    QObject::connect(notifier, &QSocketNotifier::activated, context, [action = std::move(action)] {
        char c;
        [[maybe_unused]] const auto n = ::read(signal_fds[0], &c, 1);
        action();
    });
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

}  // namespace kelvo
