#pragma once
// The application object of cadenzor: no exception leaves an event handler.
// Qt cannot unwind through its event loop, so an escaping exception would end
// the program with the user's unsaved work; it is logged instead and the
// event counts as not handled.
#include <QApplication>

#include <functional>

namespace kelvo {

class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;

    // Runs deliver; an exception it throws is logged ("Internal error: " and
    // what it says) and gives false.
    static bool guarded(const std::function<bool()>& deliver);
};

}  // namespace kelvo
