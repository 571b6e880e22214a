#pragma once
// Runs the event loop until done() holds; false when limit_ms passed first.
#include <QTest>

namespace kelvo::test {

template <class Done>
bool wait_until(Done done, int limit_ms = 15000)
{
    return QTest::qWaitFor(done, limit_ms);
}

}  // namespace kelvo::test
