#include "app/qt/guarded_application.h"

#include "ground/debug_lines.h"
#include "ground/log.h"

#include <exception>
#include <string>

namespace kelvo {

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    return guarded([&] { return QApplication::notify(receiver, event); });
}

bool GuardedApplication::guarded(const std::function<bool()>& deliver)
{
    std::string what;
    try {
        return deliver();
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown exception";
    }
    log_only("Internal error: " + what);
    debug_line("Internal error: " + what);
    return false;
}

}  // namespace kelvo
