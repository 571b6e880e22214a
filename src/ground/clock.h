#pragma once
// Time comes through this interface so that the core stays deterministic.
#include <cstdint>
#include <ctime>

namespace kelvo {

struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime local_now() = 0;
    // Milliseconds from an arbitrary fixed start, never going back.
    virtual std::int64_t elapsed_ms() = 0;
};

// The system clock.
class SystemClock final : public Clock {
public:
    LocalTime local_now() override;
    std::int64_t elapsed_ms() override;
};

// A clock the tests set by hand.
class ManualClock final : public Clock {
public:
    LocalTime now;
    std::int64_t ms = 0;
    LocalTime local_now() override { return now; }
    std::int64_t elapsed_ms() override { return ms; }
};

Clock& clock();
Clock* install_clock(Clock* c);

}  // namespace kelvo
