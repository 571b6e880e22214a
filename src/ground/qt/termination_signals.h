#pragma once
// SIGTERM and SIGINT turned into an action on the Qt event loop (a signal
// handler may do next to nothing; the action runs as an ordinary event).
#include <functional>

class QObject;

namespace kelvo {

// The action runs, in context's thread, for each SIGTERM or SIGINT that
// arrives while context lives. One action at a time: a later call replaces
// the earlier one.
void on_termination_signals(QObject* context, std::function<void()> action);

}  // namespace kelvo
